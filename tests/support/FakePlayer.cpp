#include "support/FakePlayer.h"

#include <algorithm>

namespace zentuvo {

void FakePlayer::check() const {
    if (broken)
        throw PlayerError("the player does not answer");
}

int FakePlayer::playlistAdd(const QString& mrl, const QString& name, const QStringList& options) {
    check();
    items.append({mrl, name, options});
    return int(items.size()) - 1;
}

void FakePlayer::playItem(int item) {
    check();
    ++playCalls;
    if (item < 0 || item >= items.size()) {
        playingItem = -1;
        setState(PlayerState::Error);
        return;
    }
    playingItem = item;
    setState(items[item].mrl.isEmpty() ? PlayerState::Error : stateOnPlay);
}

bool FakePlayer::isPlaying() const {
    check();
    return state_ == PlayerState::Opening || state_ == PlayerState::Buffering ||
           state_ == PlayerState::Playing;
}

void FakePlayer::stop() {
    check();
    ++stopCalls;
    playingItem = -1;
    if (state_ != PlayerState::Idle)
        setState(PlayerState::Idle);
}

int FakePlayer::itemCount() const {
    check();
    return int(items.size());
}

void FakePlayer::clear() {
    check();
    ++clearCalls;
    items.clear();
    playingItem = -1;
    if (state_ != PlayerState::Idle)
        setState(PlayerState::Idle);
}

PlayerState FakePlayer::state() const {
    check();
    return state_;
}

double FakePlayer::position() const {
    check();
    return reportedPosition;
}

void FakePlayer::setPosition(double position) {
    check();
    reportedPosition = position;
}

bool FakePlayer::canPause() const {
    check();
    return pausable && (state_ == PlayerState::Playing || state_ == PlayerState::Paused);
}

qint64 FakePlayer::progressCount() const {
    check();
    return progress;
}

void FakePlayer::setPaused(bool paused) {
    check();
    pauseCalls.append(paused);
    if (canPause())
        setState(paused ? PlayerState::Paused : PlayerState::Playing);
}

void FakePlayer::setVolume(int percent) {
    check();
    volume_ = std::clamp(percent, 0, kMaxVolume);
    volumeCalls.append(volume_);
}

std::optional<QSize> FakePlayer::videoSize() const {
    check();
    return reportedSize;
}

void FakePlayer::setState(PlayerState state) {
    state_ = state;
    emit stateChanged(state);
}

const FakePlayer::Item* FakePlayer::current() const {
    return playingItem >= 0 && playingItem < items.size() ? &items[playingItem] : nullptr;
}

} // namespace zentuvo
