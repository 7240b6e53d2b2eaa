#pragma once

#include <QObject>
#include <QPoint>
#include <QString>
#include <functional>

namespace zentuvo {

class AppState;
class ChannelListPanel;
class MyListPanel;
struct MainMenus;
struct MainWidgets;

// What the players, the view modes and the dialogs plug into the main window. A hook left
// empty makes its command do nothing.
struct MainWindowHooks {
    std::function<void(const QString& key)> PlayVideo;   // main player
    std::function<void(const QString& key)> PlayPreview; // preview player
    std::function<void()> stopMain;
    std::function<void()> swap;
    std::function<void()> switchPreviewVolume;
    std::function<void()> stopPreview;
    std::function<void()> record;
    std::function<void()> playFromFile;
    std::function<void()> viewOriginalSize;
    std::function<void()> viewFitWindow;
    std::function<void()> viewFullVideo;
    std::function<void()> viewFullScreen;
    std::function<void()> hideShowPreview;
    std::function<void()> showHideRightPanel;
    std::function<void(int position)> volumeChanged;
    std::function<void()> showSearch;       // modeless
    std::function<void()> showRequirements; // modeless
    std::function<void()> showOptions;      // modal
    std::function<void()> showAbout;        // modal
    // The property window of the selected catalogue row (modal).
    std::function<void()> showChannelProperty;
    // The My List editor (modal), for ViewFilter.EditingModeMyListID (0: a new channel).
    std::function<void()> showMyListEditor;
    // What the main player plays ("" when stopped, "-1 FL" for a file), and the player
    // component's version text.
    std::function<QString()> mainPlayerTag;
    std::function<QString()> playerVersionInfo;
};

// Turns mouse, keyboard, menu and picture-button input of the main window into actions on
// its two lists: which list event does what, which pop-up menu opens where, and what each
// command runs.
class MainCommands : public QObject {
    Q_OBJECT
public:
    MainCommands(AppState& app, MainWidgets& ui, MainMenus& menus, ChannelListPanel& channels,
                 MyListPanel& myList, QWidget* window);

    MainWindowHooks hooks;

    // The tab last switched to: 1 catalogue, 2 My List, 0 before the first switch.
    int CurrentTab = 0;
    // Where the last mouse-button release over either list landed, in that list's viewport
    // coordinates.
    QPoint LastListMouse{-1, -1};

    // Catalogue list.
    void lvwChannelsDblClick(); // play the selected row
    void miLvwChannelsPreviewClick();
    void miLvwChannelsPropertyClick();
    void miLvwChannelsVisitHomePageClick();
    // Opens a catalogue channel's home page, or says that it has none.
    void VisitChannelHomePage(const QString& key);

    // My List list.
    void lvwMyListDblClick(); // play the selected row
    void miLvwMyListPreviewClick();
    void miLvwChannelsAddOnMyListClick();
    void miLvwMyListChannelPropertyClick();

    // Picture buttons that act on the list of the current tab.
    void imgButtonPlayClick();
    void imgButtonPreviewClick();
    void imgButtonPropertyClick();
    void imgButtonHomePageClick();

private:
    void connectLists();
    void connectMenus();
    void connectButtons();
    // Whether a row of the list lies under the last release point.
    bool rowUnderPointer(bool catalogue) const;
    void playKey(const QString& key, const std::function<void(const QString&)>& player);

    AppState& app_;
    MainWidgets& ui_;
    MainMenus& menus_;
    ChannelListPanel& channels_;
    MyListPanel& myList_;
    QWidget* window_;
};

} // namespace zentuvo
