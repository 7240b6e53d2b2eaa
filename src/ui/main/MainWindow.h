#pragma once

#include "ui/MainWindowApi.h"
#include "ui/main/MainCommands.h"
#include "ui/main/MainMenus.h"
#include "ui/main/MainWidgets.h"

#include <QMainWindow>

namespace zentuvo {

class AppContext;
class ChannelListPanel;
class LogoPictures;
class MainLayout;
class MyListPanel;
class Player;
class VideoModes;
class WindowStyle;

// The main window: the video panel, the catalogue and My List lists with the country
// filter, the preview panel, the bottom bar and the menus. It owns the lists; the commands
// that belong to the players, the recorder and the dialogs leave through the signals of
// commands().
class MainWindow : public QMainWindow, public MainWindowApi {
    Q_OBJECT
public:
    explicit MainWindow(AppContext& app, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Puts the current language's texts into the window, then lays it out again. Run at
    // the end of loading and after a change of language.
    void applyLanguage() override;
    // Stores the remember flag and the selected filter's number as the default country, and
    // the My List group shown.
    void saveSettings();
    // Lays the window out for its present size, the list columns included. Run on every
    // resize and after every change that moves something; nothing while minimized.
    void relayout();

    // Shows the list of the selected tab (1 catalogue, 2 My List); the tab already shown
    // changes nothing.
    void onTabClicked();
    int currentTab() const { return commands_->currentTab; }

    // The catalogue list (filter, fill, columns, favourites).
    ChannelListPanel& channels() { return *channels_; }
    void fillChannels(const QString& countryID);

    // The My List list.
    MyListPanel& myList() { return *myList_; }
    void fillMyList() override;

    // The channel of the selected catalogue row (null without a selection).
    ChannelRef selectedChannel() const;

    // What the dialogs ask of the window.
    QWidget* mainWidget() override { return this; }
    bool isFullVideo() const override { return fullVideo_; }
    void setFullVideo(bool on) { fullVideo_ = on; }
    // The main player, for the picture size of original-size mode and its full screen.
    void setMainPlayer(Player* player);

    // The window's commands, whose signals the controller connects.
    MainCommands& commands() { return *commands_; }
    MainWidgets& ui() { return ui_; }
    MainMenus& menus() { return menus_; }
    // The layout, the view modes and the window's own style helper.
    MainLayout& mainLayout() { return *layout_; }
    VideoModes& videoModes() { return *modes_; }
    WindowStyle& windowStyle() { return *windowStyle_; }
    // The channels' logos the lists show, for other windows to show too.
    LogoPictures& logos() { return *logos_; }
    // Reads again where the logos come from (after My List or the guide changed).
    void reloadLogos();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    // Escape and Space leave full video, Escape the player's full screen; otherwise they
    // do nothing here.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void initialize();
    void showLogos();

    AppContext& app_;
    MainWidgets ui_;
    MainMenus menus_;
    ChannelListPanel* channels_ = nullptr;
    MyListPanel* myList_ = nullptr;
    MainCommands* commands_ = nullptr;
    WindowStyle* windowStyle_ = nullptr;
    MainLayout* layout_ = nullptr;
    VideoModes* modes_ = nullptr;
    bool fullVideo_ = false; // the video fills the whole screen
    LogoPictures* logos_ = nullptr;
};

} // namespace zentuvo
