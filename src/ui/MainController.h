#pragma once

#include "ui/main/PlayerControl.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <functional>
#include <memory>

class QAction;
class QDialog;

namespace zentuvo {

class AppContext;
class ChannelChecks;
class FilePlayback;
class GuideProgress;
class GuideUpdates;
class GuideWindow;
class MainWindow;
class NowNextRefresh;
class Player;
class RecordLauncher;
class RecordingScheduler;
class SearchWindow;
class VideoView;

// Connects the main window's commands to the players, the recorder and the dialogs: it
// creates the main and preview players with their video views and runs the status timer.
// The start-up code creates it after the window and ends it before the window goes.
class MainController : public QObject, private PlayerControlView {
    Q_OBJECT
public:
    // Makes a player: the real ones over the player library, or fakes in tests. The main
    // player, the preview and each editor's test player come from it.
    using PlayerFactory = std::function<std::unique_ptr<Player>()>;

    MainController(AppContext& app, MainWindow& window, PlayerFactory makePlayer);
    ~MainController() override;

    PlayerControl& control() { return *control_; }
    FilePlayback& files() { return *files_; }
    RecordLauncher& recorder() { return *recorder_; }
    RecordingScheduler& scheduler() { return *scheduler_; }
    Player& mainPlayer() { return *main_; }
    Player& previewPlayer() { return *preview_; }
    // The lists' now/next; its reloadGuide() shows a changed guide.
    NowNextRefresh& nowNext() { return *nowNext_; }
    // The guide's refreshes: the sources due start once the window shows; its guideChanged()
    // follows each source whose programmes were replaced.
    GuideUpdates& guideUpdates() { return *guideUpdates_; }

    // Program shutdown: ends a running recording and stops both players.
    void shutdown();

    // Opens the import window filled in with a playlist handed to the program (its command
    // line, a later start), without waiting for it: one window at a time, the next source
    // when it closes.
    void importPlaylist(const QString& source);

private:
    void connectCommands();
    void startGuideUpdates();
    void stopOwned();
    void openSearch();
    void openGuide();
    void openOptions();
    void openAbout();
    void openEditor(qint32 myListNumber);
    void openChannelProperty(ChannelRef channel);
    void openNextImport();
    // The playing channel's logo at the start of the information line, when it has one.
    void connectInfoLogo();
    void showInfoLogo();
    // Shows infoLine_, with the now/next of the channel playing.
    void showInfoLine();
    void openSchedule();

    // PlayerControlView over the window's elements.
    void setPlayerMessage(const QString& text) override;
    void setPreviewMessage(const QString& text) override;
    void setInfoLine(const QString& text) override;
    void showFileSlider(bool visible) override;
    void setFileSlider(int value) override;
    void showMainPlayer() override;
    void hideNoStreamPicture() override;
    void hideNoStreamPreviewPicture() override;
    int mainVolumeSlider() const override;
    QString previewVolumePicture() const override;
    void setPreviewVolumePicture(const QString& key) override;
    void relayout() override;

    AppContext& app_;
    MainWindow& window_;
    PlayerFactory makePlayer_;
    std::unique_ptr<Player> main_;
    std::unique_ptr<Player> preview_;
    VideoView* mainView_ = nullptr;
    VideoView* previewView_ = nullptr;
    std::unique_ptr<PlayerControl> control_;
    std::unique_ptr<FilePlayback> files_;
    std::unique_ptr<RecordLauncher> recorder_;
    std::unique_ptr<ChannelChecks> checks_;
    std::unique_ptr<NowNextRefresh> nowNext_;
    // The information line as the players set it, and as shown with the guide's now/next.
    QString infoLine_;
    QString shownInfoLine_;
    QAction* infoLogo_ = nullptr;
    std::unique_ptr<GuideUpdates> guideUpdates_;
    std::unique_ptr<GuideProgress> guideProgress_;
    QPointer<GuideWindow> guide_; // the guide window, once opened
    QPointer<QDialog> import_;    // the import window opened by importPlaylist
    QStringList pendingImports_;  // the sources waiting for it
    std::unique_ptr<RecordingScheduler> scheduler_;
};

} // namespace zentuvo
