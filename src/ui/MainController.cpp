#include "ui/MainController.h"

#include "app/AppContext.h"
#include "app/ChannelHomePage.h"
#include "app/GuideUpdates.h"
#include "app/RecordingScheduler.h"
#include "app/Settings.h"
#include "data/Database.h"
#include "playback/Player.h"
#include "playback/Reconnect.h"
#include "record/ScheduledRun.h"
#include "ui/dialogs/AboutWindow.h"
#include "ui/dialogs/ChannelEditor.h"
#include "ui/dialogs/ChannelPropertyWindow.h"
#include "ui/dialogs/ExportPlaylistWindow.h"
#include "ui/dialogs/GuideSourcesFrame.h"
#include "ui/dialogs/ImportPlaylistWindow.h"
#include "ui/dialogs/OptionsWindow.h"
#include "ui/dialogs/RequirementsWindow.h"
#include "ui/dialogs/SearchWindow.h"
#include "ui/guide/GuideWindow.h"
#include "ui/main/ChannelChecks.h"
#include "ui/main/ChannelListPanel.h"
#include "ui/main/FilePlayback.h"
#include "ui/main/GuideProgress.h"
#include "ui/main/MainCommands.h"
#include "ui/main/MainWindow.h"
#include "ui/main/MyListPanel.h"
#include "ui/main/NowNextRefresh.h"
#include "ui/record/RecordLauncher.h"
#include "ui/record/RecordWindow.h"
#include "ui/record/ScheduleWindow.h"
#include "ui/widgets/ListView.h"
#include "ui/widgets/VideoView.h"

#include <QLayout>
#include <QLocale>
#include <QTimer>
#include <QVBoxLayout>

namespace zentuvo {

namespace {

// Puts a video view into a player placeholder of the window.
VideoView* embedView(QWidget* placeholder, Player& player) {
    auto* view = new VideoView(placeholder);
    if (!placeholder->layout()) {
        auto* layout = new QVBoxLayout(placeholder);
        layout->setContentsMargins(0, 0, 0, 0);
    }
    placeholder->layout()->addWidget(view);
    view->setPlayer(&player);
    return view;
}

} // namespace

MainController::MainController(AppContext& app, MainWindow& window, PlayerFactory makePlayer)
    : app_(app), window_(window), makePlayer_(std::move(makePlayer)), main_(makePlayer_()),
      preview_(makePlayer_()) {
    MainWidgets& ui = window_.ui();
    mainView_ = embedView(ui.VLCPlugin21, *main_);
    previewView_ = embedView(ui.VLCPluginPreview, *preview_);
    PlayerControlView& view = *this;
    control_ = std::make_unique<PlayerControl>(app_, *main_, *preview_, view);
    files_ = std::make_unique<FilePlayback>(app_, *control_, *main_,
                                            FilePlaybackWidgets{ui.VLCPlugin21, ui.txtMessages,
                                                                ui.SliderPlayFile, ui.SliderVolume,
                                                                ui.lblPlayFileTime});
    recorder_ = std::make_unique<RecordLauncher>(app_, window_);
    scheduler_ = std::make_unique<RecordingScheduler>(app_, ScheduledRun::factory(app_));
    recorder_->setScheduler(scheduler_.get());
    checks_ =
        std::make_unique<ChannelChecks>(app_, *window_.channels().model(),
                                        *window_.myList().model(), ui.prgCheck, ui.cmdCancelCheck);
    checks_->loadStates();
    nowNext_ = std::make_unique<NowNextRefresh>(
        app_, QList<ChannelListModel*>{window_.channels().model(), window_.myList().model()});
    connect(nowNext_.get(), &NowNextRefresh::refreshed, this, [this] {
        if (window_.ui().txtMessages->text() == shownInfoLine_) // not replaced by a file's playback
            showInfoLine();
    });
    nowNext_->reloadGuide();
    startGuideUpdates();
    // The preview starts silent, the main player at the slider's volume.
    control_->applyPreviewVolume();
    control_->setMainVolume(ui.SliderVolume->value());
    // The view modes are the window's own; they need the main player for the picture size
    // and its full screen.
    window_.setMainPlayer(main_.get());
    connectCommands();
    connect(ui.statusTimer, &QTimer::timeout, control_.get(), &PlayerControl::updateStatus);
    connect(ui.statusTimer, &QTimer::timeout, files_.get(), &FilePlayback::updateTime);
    ui.statusTimer->start();
    connectInfoLogo();
    // Once the window shows: what was missed is told over it.
    QTimer::singleShot(0, scheduler_.get(), &RecordingScheduler::start);
}

MainController::~MainController() {
    stopOwned();
    window_.setMainPlayer(nullptr);
}

void MainController::shutdown() {
    window_.ui().statusTimer->stop();
    stopOwned();
}

void MainController::stopOwned() {
    if (recorder_)
        recorder_->endRecordingForShutdown();
    main_->stop();
    preview_->stop();
}

void MainController::connectCommands() {
    const MainCommands* commands = &window_.commands();
    PlayerControl* control = control_.get();
    connect(commands, &MainCommands::playRequested, control, &PlayerControl::playMain);
    connect(commands, &MainCommands::previewRequested, control, &PlayerControl::playPreview);
    connect(commands, &MainCommands::stopRequested, control, &PlayerControl::stopMain);
    connect(commands, &MainCommands::pauseToggleRequested, control, &PlayerControl::togglePause);
    connect(commands, &MainCommands::liveRequested, control, &PlayerControl::goLive);
    connect(control, &PlayerControl::pauseChanged, &window_.commands(), &MainCommands::showPaused);
    connect(commands, &MainCommands::swapRequested, control, &PlayerControl::swap);
    connect(commands, &MainCommands::previousChannelRequested, control,
            &PlayerControl::playPrevious);
    connect(control, &PlayerControl::previousChannelAvailable,
            window_.menus().miViewPreviousChannel, &QAction::setEnabled);
    connect(commands, &MainCommands::previewVolumeSwitchRequested, control,
            &PlayerControl::switchPreviewVolume);
    connect(commands, &MainCommands::previewStopRequested, control,
            &PlayerControl::stopPreviewKeepingPlaylist);
    connect(commands, &MainCommands::volumeChanged, control, &PlayerControl::setMainVolume);
    connect(commands, &MainCommands::muteToggleRequested, control, &PlayerControl::toggleMute);
    connect(control, &PlayerControl::mutedChanged, window_.menus().miViewMute,
            &QAction::setChecked);
    connect(commands, &MainCommands::recordRequested, this,
            [this] { recorder_->record(control_->mainChannel()); });
    connect(commands, &MainCommands::playFileRequested, files_.get(), &FilePlayback::playFrom);
    connect(commands, &MainCommands::searchRequested, this, &MainController::openSearch);
    connect(commands, &MainCommands::checkChannelsRequested, this,
            [this] { checks_->check(window_.commands().shownChannels()); });
    // The shown list is checked whenever it changes, when the user wants that.
    const auto checkWhenShown = [this](bool myList) {
        if (app_.preferences().checkShownList() && window_.commands().myListShown() == myList)
            checks_->check(window_.commands().shownChannels());
    };
    connect(&window_.channels(), &ChannelListPanel::filled, this,
            [checkWhenShown] { checkWhenShown(false); });
    connect(&window_.myList(), &MyListPanel::filled, this,
            [checkWhenShown] { checkWhenShown(true); });
    // A channel that fails to play for good is checked again and marked.
    connect(main_.get(), &Player::stateChanged, this, [this](PlayerState state) {
        if (state == PlayerState::Error && control_->mainReconnect().attempt() == 0)
            checks_->recheck(control_->mainChannel());
    });
    connect(commands, &MainCommands::guideRequested, this, &MainController::openGuide);
    connect(commands, &MainCommands::scheduleRequested, this, &MainController::openSchedule);
    connect(commands, &MainCommands::requirementsRequested, this,
            [this] { RequirementsWindow::open(app_, window_); });
    connect(commands, &MainCommands::optionsRequested, this, &MainController::openOptions);
    connect(commands, &MainCommands::aboutRequested, this, &MainController::openAbout);
    connect(commands, &MainCommands::channelPropertyRequested, this,
            &MainController::openChannelProperty);
    connect(commands, &MainCommands::myListEditorRequested, this, &MainController::openEditor);
    connect(commands, &MainCommands::importPlaylistRequested, this,
            [this] { ImportPlaylistWindow(app_, window_, &window_).exec(); });
    connect(commands, &MainCommands::exportPlaylistRequested, this,
            [this] { ExportPlaylistWindow(app_, window_, &window_).exec(); });
}

// The guide's sources due are refreshed once the window shows (the event loop runs), one
// after the other, with their progress in the bottom bar.
void MainController::startGuideUpdates() {
    const AppPaths paths = app_.paths();
    // The guide's texts in the program's language where a guide has several, else the system's.
    static const char* const codes[] = {"en", "it", "de", "fr", "es"};
    const int language = app_.preferences().language();
    QStringList languages;
    if (language >= 1 && language <= 5)
        languages << QString::fromLatin1(codes[language - 1]);
    languages << QLocale::languageToCode(QLocale::system().language());
    guideUpdates_ = std::make_unique<GuideUpdates>(programUserAgent(), [paths, languages] {
        GuideRefreshSetup setup;
        setup.guideDb = paths.guideFile();
        setup.cacheFolder = paths.cacheFolder;
        try {
            setup.targets = loadGuideTargets(paths.catalogue, paths.myList);
        } catch (const DbError&) {
        }
        setup.languages = languages;
        return setup;
    });
    guideProgress_ = std::make_unique<GuideProgress>(app_, *guideUpdates_, window_.ui().prgGuide,
                                                     window_.ui().cmdCancelGuide);
    // A refreshed guide: its window, the lists' now/next and the guide's icons follow.
    connect(guideUpdates_.get(), &GuideUpdates::guideChanged, this, [this] {
        if (guide_)
            guide_->reload();
        nowNext_->reloadGuide();
        window_.reloadLogos();
    });
    QTimer::singleShot(0, guideUpdates_.get(), [this] {
        guideUpdates_->refreshDue(app_.preferences().guideRefreshHours());
    });
}

void MainController::importPlaylist(const QString& source) {
    pendingImports_ << source;
    openNextImport();
}

void MainController::openNextImport() {
    if (import_ || pendingImports_.isEmpty())
        return;
    auto* window = new ImportPlaylistWindow(app_, window_, &window_);
    window->setSource(pendingImports_.takeFirst());
    import_ = window;
    connect(window, &QDialog::finished, this, [this, window] {
        window->deleteLater();
        import_ = nullptr;
        openNextImport();
    });
    window->open();
}

void MainController::openSearch() {
    SearchWindow* search = SearchWindow::open(app_, window_);
    PlayerControl* control = control_.get();
    // The search window is made once and shown again: its signals are connected once.
    connect(search, &SearchWindow::playRequested, control, &PlayerControl::playMain,
            Qt::UniqueConnection);
    connect(search, &SearchWindow::previewRequested, control, &PlayerControl::playPreview,
            Qt::UniqueConnection);
}

// The guide's rows: the channels of the list the main window shows, in its order, by the
// names in its name column.
void MainController::openGuide() {
    QList<GuideChannel> channels;
    if (const QAbstractItemModel* model = window_.commands().currentList()->model()) {
        channels.reserve(model->rowCount());
        for (int r = 0; r < model->rowCount(); ++r) {
            const QModelIndex name = model->index(r, 1);
            channels.append(
                {name.data(ListView::ChannelRole).value<ChannelRef>(), name.data().toString()});
        }
    }
    GuideWindow* guide = GuideWindow::open(app_, window_);
    guide_ = guide;
    guide->setChannels(std::move(channels));
    guide->grid()->setLogos(&window_.logos());
    connect(guide, &GuideWindow::playRequested, control_.get(), &PlayerControl::playMain,
            Qt::UniqueConnection);
    guide->setScheduler(scheduler_.get());
}

// The channels a recording made by hand may be of: the playing one and the shown list's.
void MainController::openSchedule() {
    QList<GuideChannel> channels;
    if (const QAbstractItemModel* model = window_.commands().currentList()->model())
        for (int r = 0; r < model->rowCount(); ++r) {
            const QModelIndex name = model->index(r, 1);
            channels.append(
                {name.data(ListView::ChannelRole).value<ChannelRef>(), name.data().toString()});
        }
    ScheduleWindow* window = ScheduleWindow::open(app_, window_, *scheduler_);
    window->setChannels(control_->mainChannel(), channels);
}

void MainController::openOptions() {
    const bool hid = app_.preferences().hideOffline();
    OptionsWindow options(app_, window_, &window_);
    GuideSourcesFrame* sources = options.guideSources();
    connect(sources, &GuideSourcesFrame::refreshRequested, guideUpdates_.get(),
            &GuideUpdates::refreshAll);
    connect(guideUpdates_.get(), &GuideUpdates::sourceFinished, sources,
            &GuideSourcesFrame::reload);
    options.exec();
    if (hid && !app_.preferences().hideOffline()) { // the hidden channels come back
        if (const auto filter = window_.channels().selectedFilter())
            window_.channels().fillChannels(QString::number(*filter));
        window_.myList().fillMyList();
    }
}

void MainController::openAbout() {
    AboutWindow(app_, window_, main_->versionInfo(), &window_).exec();
}

void MainController::openEditor(qint32 myListNumber) {
    ChannelEditor editor(app_, window_, makePlayer_(), myListNumber, &window_);
    editor.exec();
}

void MainController::openChannelProperty(ChannelRef channel) {
    if (channel.isNull())
        return;
    ChannelPropertyWindow(app_, window_, channel, &window_).exec();
}

void MainController::setPlayerMessage(const QString& text) {
    window_.ui().lblPlayerMessage->setText(text);
}

void MainController::setPreviewMessage(const QString& text) {
    window_.ui().lblPreview->setText(text);
}

void MainController::setInfoLine(const QString& text) {
    infoLine_ = text;
    showInfoLine();
}

// A playing channel's line ends with what runs on it now and next.
void MainController::showInfoLine() {
    const ChannelRef channel = control_ ? control_->mainChannel() : ChannelRef();
    const QString guide = infoLine_.isEmpty() || !channel.isChannel() || !nowNext_
                              ? QString()
                              : nowNext_->shortLine(channel);
    shownInfoLine_ = guide.isEmpty() ? infoLine_ : infoLine_ + QStringLiteral(" | ") + guide;
    window_.ui().txtMessages->setText(shownInfoLine_);
    window_.ui().txtMessages->setCursorPosition(0);
}

void MainController::showFileSlider(bool visible) {
    window_.ui().SliderPlayFile->setVisible(visible);
    window_.ui().lblPlayFileTime->setVisible(visible);
}

void MainController::setFileSlider(int value) {
    // The timer's updates must not count as the user's seek.
    QSlider* slider = window_.ui().SliderPlayFile;
    if (slider->isSliderDown())
        return;
    const QSignalBlocker block(slider);
    slider->setValue(value);
}

void MainController::showMainPlayer() {
    window_.ui().VLCPlugin21->show();
}

void MainController::hideNoStreamPicture() {
    window_.ui().picNoStream->hide();
}

void MainController::hideNoStreamPreviewPicture() {
    window_.ui().picNoStreamPreview->hide();
}

int MainController::mainVolumeSlider() const {
    return window_.ui().SliderVolume->value();
}

QString MainController::previewVolumePicture() const {
    return window_.ui().imgButtonPreviewVolume->property("picture").toString();
}

void MainController::setPreviewVolumePicture(const QString& key) {
    QToolButton* button = window_.ui().imgButtonPreviewVolume;
    button->setProperty("picture", key);
    button->setIcon(mainIcon(key));
}

void MainController::relayout() {
    window_.relayout();
}

} // namespace zentuvo
