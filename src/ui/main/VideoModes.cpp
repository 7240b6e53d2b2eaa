#include "ui/main/VideoModes.h"

#include "app/AppContext.h"
#include "common/ErrorReport.h"
#include "common/Messages.h"
#include "playback/Player.h"
#include "ui/main/MainLayout.h"
#include "ui/main/MainWindow.h"
#include "ui/main/WindowStyle.h"

#include <QKeyEvent>
#include <QMenuBar>
#include <QScreen>

namespace zentuvo {

VideoModes::VideoModes(AppContext& app, MainWindow& window, MainLayout& layout, WindowStyle& style)
    : QObject(&window), app_(app), window_(window), layout_(layout), style_(style),
      element_(window.ui().VLCPlugin21) {
    // A double click on the video starts and ends the player's full screen.
    element_->installEventFilter(this);
}

VideoModes::~VideoModes() = default;

void VideoModes::viewOriginalSize() {
    app_.preferences().setVideoSizeMode(1);
    window_.relayout();
}

void VideoModes::viewFitWindow() {
    app_.preferences().setVideoSizeMode(2);
    window_.relayout();
}

void VideoModes::toggleFullVideo() {
    try {
        if (window_.isFullVideo())
            leaveFullVideo();
        else
            enterFullVideo();
    } catch (const std::exception& e) {
        app_.messages.critical(QStringLiteral("Error in FullVideo: ") + errorDescription(e));
    }
}

VideoModes::Place VideoModes::currentPlace() const {
    Place place;
    place.maximized = window_.isMaximized();
    // Without a window manager the full-screen state does not always read back: full video
    // tells it too.
    place.fullScreen = window_.isFullVideo() || window_.isFullScreen();
    place.geometry = place.maximized && window_.normalGeometry().isValid()
                         ? window_.normalGeometry()
                         : window_.geometry();
    place.titlebar = style_.hasTitlebar();
    place.topMost = style_.isTopMost();
    return place;
}

void VideoModes::fillScreen() {
    {
        WindowStyle::Batch batch(style_);
        style_.setTitlebar(false);
        style_.setTopMost(true);
    }
    // The full-screen state covers the desktop's panels as well; without a window manager
    // to honour it, the geometry alone fills the screen.
    window_.showFullScreen();
    if (QScreen* screen = window_.screen())
        window_.setGeometry(screen->geometry());
    window_.activateWindow();
}

void VideoModes::restorePlace(const Place& place) {
    if (place.fullScreen) {
        fillScreen();
        return;
    }
    window_.showNormal();
    {
        WindowStyle::Batch batch(style_);
        style_.setTitlebar(place.titlebar);
        style_.setTopMost(place.topMost);
    }
    style_.setSizable(true);
    window_.setGeometry(place.geometry);
    if (place.maximized)
        window_.showMaximized();
    window_.activateWindow();
}

void VideoModes::enterFullVideo() {
    window_.setFullVideo(true);
    fullVideoPlace_ = currentPlace();
    showMenus(false);
    fillScreen();
    layout_.hideRightPanel();
    window_.relayout();
}

void VideoModes::leaveFullVideo() {
    window_.setFullVideo(false);
    showMenus(true);
    // Back to where the window was, with a title bar and a sizing border, not on top.
    Place place = fullVideoPlace_;
    place.fullScreen = false;
    place.titlebar = true;
    place.topMost = false;
    restorePlace(place);
    // The lists stay out of view until the user shows them again.
    layout_.hideRightPanel();
    window_.relayout();
}

void VideoModes::showMenus(bool show) {
    try {
        const MainMenus& m = window_.menus();
        for (QMenu* menu : {m.mnuFile, m.mnuView, m.mnuTools, m.mnuHelp})
            menu->menuAction()->setVisible(show);
        // Without its menus the bar would stay as an empty strip.
        window_.menuBar()->setVisible(show);
    } catch (const std::exception& e) {
        app_.messages.critical(QStringLiteral("Error in ShowHideMenu: ") + errorDescription(e));
    }
}

void VideoModes::setPlayer(Player* player) {
    player_ = player;
}

bool VideoModes::playerFullScreen() const {
    return playerScreen_.has_value();
}

void VideoModes::toggleFullScreen() {
    try {
        if (!player_)
            return;
        if (playerFullScreen())
            leavePlayerFullScreen();
        else
            enterPlayerFullScreen();
    } catch (const std::exception&) {
        // The player's full screen is a convenience: a failure leaves things as they are.
    }
}

// The video element keeps its place in the window: its video window cannot change hands
// while the player draws into it. The window around it fills the screen instead and shows
// nothing but the video.
void VideoModes::enterPlayerFullScreen() {
    if (playerScreen_)
        return;
    PlayerScreen saved;
    saved.place = currentPlace();
    const MainWidgets& ui = window_.ui();
    for (QWidget* w :
         {static_cast<QWidget*>(window_.menuBar()), ui.rightPanel,
          static_cast<QWidget*>(ui.lblPlayerMessage), static_cast<QWidget*>(ui.picBottom)}) {
        if (!w->isHidden()) {
            saved.hidden.append(w);
            w->hide();
        }
    }
    playerScreen_ = saved;
    layout_.setVideoFill(true);
    fillScreen();
    window_.relayout();
}

void VideoModes::leavePlayerFullScreen() {
    if (!playerScreen_)
        return;
    const PlayerScreen saved = *playerScreen_;
    playerScreen_.reset();
    for (const QPointer<QWidget>& w : saved.hidden) {
        if (w)
            w->show();
    }
    layout_.setVideoFill(false);
    restorePlace(saved.place);
    window_.relayout();
}

bool VideoModes::keyPressed(int key) {
    if (playerScreen_ && key == Qt::Key_Escape) {
        leavePlayerFullScreen();
        return true;
    }
    if (window_.isFullVideo() && (key == Qt::Key_Escape || key == Qt::Key_Space)) {
        toggleFullVideo();
        return true;
    }
    return false;
}

bool VideoModes::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick && watched == element_) {
        toggleFullScreen();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace zentuvo
