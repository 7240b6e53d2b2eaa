#include "ui/widgets/VideoView.h"

#include "playback/Player.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <exception>

namespace zentuvo {

VideoView::VideoView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    setMinimumSize(32, 24);
    if (canEmbed()) {
        // A window of our own for the player to draw into, without making the whole window
        // tree native.
        setAttribute(Qt::WA_NativeWindow);
        setAttribute(Qt::WA_DontCreateNativeAncestors);
    }
}

VideoView::~VideoView() {
    // The player must not go on drawing into a window that is about to go.
    if (player_ && passed_ != 0) {
        player_->stop();
        player_->setVideoWindow(0);
    }
}

bool VideoView::canEmbed() {
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

void VideoView::setPlayer(Player* player) {
    if (player_ == player)
        return;
    if (player_) {
        disconnect(player_, nullptr, this, nullptr);
        if (passed_ != 0)
            player_->setVideoWindow(0);
    }
    player_ = player;
    passed_ = 0;
    if (player_) {
        connect(player_, &Player::stateChanged, this, qOverload<>(&QWidget::update));
        passWindow();
    }
    update();
}

void VideoView::passWindow() {
    if (!player_ || !canEmbed())
        return;
    const quintptr id = quintptr(winId());
    if (id != passed_) {
        passed_ = id;
        player_->setVideoWindow(id);
    }
}

void VideoView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    passWindow();
}

bool VideoView::event(QEvent* event) {
    // A new parent can give the widget a new native window.
    if (event->type() == QEvent::WinIdChange)
        passWindow();
    return QWidget::event(event);
}

bool VideoView::idle() const {
    if (!player_)
        return true;
    try {
        const PlayerState state = player_->state();
        return state != PlayerState::Playing && state != PlayerState::Paused &&
               state != PlayerState::Buffering;
    } catch (const std::exception&) {
        return true; // a player that cannot say shows the idle look
    }
}

void VideoView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (!idle())
        return;
    // Idle: a faint screen outline with a play mark, well below the level of the picture.
    const int side = std::min(width(), height()) / 4;
    if (side < 12)
        return;
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF screen(rect().center().x() - side * 0.75, rect().center().y() - side * 0.5,
                        side * 1.5, side);
    painter.setPen(QPen(QColor(38, 38, 42), std::max(1.0, side / 24.0)));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(screen, side / 10.0, side / 10.0);
    QPainterPath play;
    const QPointF c = screen.center();
    const double r = side * 0.2;
    play.moveTo(c.x() - r * 0.6, c.y() - r);
    play.lineTo(c.x() + r, c.y());
    play.lineTo(c.x() - r * 0.6, c.y() + r);
    play.closeSubpath();
    painter.fillPath(play, QColor(38, 38, 42));
}

} // namespace zentuvo
