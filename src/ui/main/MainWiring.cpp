#include "ui/main/MainWiring.h"

#include "app/AppState.h"
#include "common/ChannelHomePage.h"
#include "data/ChannelKey.h"
#include "playback/Player.h"
#include "record/RecordLauncher.h"
#include "record/RecordWindow.h"
#include "ui/dialogs/AboutWindow.h"
#include "ui/dialogs/ChannelEditor.h"
#include "ui/dialogs/ChannelPropertyWindow.h"
#include "ui/dialogs/OptionsWindow.h"
#include "ui/dialogs/RequirementsWindow.h"
#include "ui/dialogs/SearchWindow.h"
#include "ui/main/FilePlayback.h"
#include "ui/main/MainWindow.h"
#include "ui/main/VideoView.h"

#include <QLayout>
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

MainWiring::MainWiring(AppState& app, MainWindow& window, PlayerFactory makePlayer)
    : QObject(&window), app_(app), window_(window), makePlayer_(std::move(makePlayer)),
      main_(makePlayer_()), preview_(makePlayer_()) {
    MainWidgets& ui = window_.ui();
    mainView_ = embedView(ui.VLCPlugin21, *main_);
    previewView_ = embedView(ui.VLCPluginPreview, *preview_);
    PlayerControlView& view = *this;
    control_ = std::make_unique<PlayerControl>(app_, *main_, *preview_, view);
    files_ = std::make_unique<FilePlayback>(
        app_, *main_,
        FilePlaybackWidgets{ui.VLCPlugin21, ui.txtMessages, ui.SliderPlayFile, ui.SliderVolume},
        [this] { control_->StopVideo(); });
    recorder_ = std::make_unique<RecordLauncher>(app_, window_);
    // The preview starts silent, the main player at the slider's volume.
    control_->SetPreviewVolume();
    control_->SetMainVolume(ui.SliderVolume->value());
    connectHooks();
    connect(ui.TimerStatus, &QTimer::timeout, this, [this] { control_->TimerStatus(); });
    ui.TimerStatus->start();
}

// The wiring may go with the window (as its child): by then the window's elements are
// gone, so only what the wiring owns is stopped here.
MainWiring::~MainWiring() {
    stopOwned();
}

void MainWiring::shutdown() {
    window_.ui().TimerStatus->stop();
    stopOwned();
}

void MainWiring::stopOwned() {
    if (recorder_)
        recorder_->EndRecordingForShutdown();
    main_->stop();
    preview_->stop();
}

void MainWiring::connectHooks() {
    MainWindowHooks& h = window_.hooks();
    h.PlayVideo = [this](const QString& key) { control_->PlayVideo(key); };
    h.PlayPreview = [this](const QString& key) { control_->PlayPreview(key); };
    h.stopMain = [this] { control_->StopVideo(); };
    h.swap = [this] { control_->Swap(); };
    h.switchPreviewVolume = [this] { control_->SwitchPreviewVolume(); };
    h.stopPreview = [this] { control_->PreviewStopButton(); };
    h.volumeChanged = [this](int position) { control_->SetMainVolume(position); };
    h.record = [this] { recorder_->imgButtonRecord_Click(); };
    h.playFromFile = [this] { files_->PlayFrom(); };
    // The view modes are the window's own; they need the main player for the picture size
    // and its full screen.
    window_.setMainPlayer(main_.get());
    h.showSearch = [this] { SearchWindow::open(app_, window_); };
    h.showRequirements = [this] { RequirementsWindow::open(app_, window_); };
    h.showOptions = [this] { OptionsWindow(app_, window_, &window_).exec(); };
    h.showAbout = [this] { AboutWindow(app_, window_, &window_).exec(); };
    h.showChannelProperty = [this] { openChannelProperty(); };
    h.showMyListEditor = [this] { openEditor(); };
    h.mainPlayerTag = [this] { return main_->Tag(); };
    h.playerVersionInfo = [this] { return main_->versionInfo(); };
}

void MainWiring::openEditor() {
    ChannelEditor editor(app_, window_, makePlayer_(), &window_);
    editor.exec();
}

void MainWiring::openChannelProperty() {
    if (window_.SelectedChannelKey().isEmpty())
        return;
    ChannelPropertyWindow(app_, window_, &window_).exec();
}

void MainWiring::setPlayerMessage(const QString& text) {
    window_.ui().lblPlayerMessage->setText(text);
}

void MainWiring::setPreviewMessage(const QString& text) {
    window_.ui().lblPreview->setText(text);
}

void MainWiring::setInfoLine(const QString& text) {
    window_.ui().txtMessages->setText(text);
    window_.ui().txtMessages->setCursorPosition(0);
}

void MainWiring::showFileSlider(bool visible) {
    window_.ui().SliderPlayFile->setVisible(visible);
}

void MainWiring::setFileSlider(int value) {
    // The timer's updates must not count as the user's seek.
    QSlider* slider = window_.ui().SliderPlayFile;
    if (slider->isSliderDown())
        return;
    const QSignalBlocker block(slider);
    slider->setValue(value);
}

void MainWiring::showMainPlayer() {
    window_.ui().VLCPlugin21->show();
}

void MainWiring::hideNoStreamPicture() {
    window_.ui().picNoStream->hide();
}

void MainWiring::hideNoStreamPreviewPicture() {
    window_.ui().picNoStreamPreview->hide();
}

int MainWiring::mainVolumeSlider() const {
    return window_.ui().SliderVolume->value();
}

QString MainWiring::previewVolumePicture() const {
    return window_.ui().imgButtonPreviewVolume->property("picture").toString();
}

void MainWiring::setPreviewVolumePicture(const QString& key) {
    QToolButton* button = window_.ui().imgButtonPreviewVolume;
    button->setProperty("picture", key);
    button->setIcon(mainIcon(key));
}

void MainWiring::relayout() {
    window_.FormResize();
}

} // namespace zentuvo
