#include "playback/Reconnect.h"

#include <QTimer>
#include <exception>

namespace zentuvo {

Reconnect::Reconnect(Player& player, QObject* parent)
    : QObject(parent), player_(player), timer_(new QTimer(this)) {
    timer_->setSingleShot(true);
    connect(timer_, &QTimer::timeout, this, &Reconnect::startTry);
    connect(&player_, &Player::stateChanged, this, &Reconnect::onState);
}

void Reconnect::watch(int item) {
    cancel();
    item_ = item;
}

void Reconnect::cancel() {
    timer_->stop();
    item_ = -1;
    played_ = false;
    tries_.reset();
    movedAt_ = -1;
    length_ = playedMs_ = 0;
}

void Reconnect::onState(PlayerState state) {
    if (item_ < 0)
        return;
    if (state == PlayerState::Playing) {
        played_ = true;
        movedAt_ = -1; // the stall watch starts anew
        if (tries_.attempt() > 0) {
            tries_.reset();
            emit reconnected();
        }
    } else if (state == PlayerState::Ended && length_ > 0 && playedMs_ >= length_ - kEndSlackMs) {
        cancel(); // the end of a film
    } else if ((state == PlayerState::Ended || state == PlayerState::Error) && played_) {
        dropped();
    }
}

void Reconnect::tick(qint64 nowMs) {
    if (item_ < 0 || timer_->isActive())
        return;
    qint64 progress = -1;
    try {
        if (player_.state() == PlayerState::Playing) {
            progress = player_.progressCount();
            length_ = player_.length();
            playedMs_ = player_.playedTime();
        }
    } catch (const std::exception&) {
    }
    if (progress < 0 || progress != progress_ || movedAt_ < 0) {
        progress_ = progress;
        movedAt_ = nowMs;
    } else if (nowMs - movedAt_ >= kStallMs) {
        try {
            player_.stop();
        } catch (const std::exception&) {
        }
        dropped();
    }
}

void Reconnect::tryFailed() {
    if (item_ >= 0 && tries_.attempt() > 0)
        dropped();
}

void Reconnect::dropped() {
    if (timer_->isActive())
        return; // a try is already on its way
    movedAt_ = -1;
    const std::optional<int> delay = tries_.next();
    if (!delay) {
        item_ = -1;
        emit gaveUp();
        return;
    }
    timer_->start(*delay);
    emit reconnecting(tries_.attempt());
}

void Reconnect::startTry() {
    emit tryStarted();
    try {
        player_.playItem(item_);
    } catch (const std::exception&) {
        dropped();
    }
}

} // namespace zentuvo
