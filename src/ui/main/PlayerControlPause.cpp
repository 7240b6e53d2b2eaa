// The main player's pause and its way back to the live edge.
#include "app/AppContext.h"
#include "playback/Player.h"
#include "ui/main/PlayerControl.h"

#include <QDir>
#include <exception>

namespace zentuvo {

QString PlayerControl::timeShiftFolder() const {
    const QString cache = app_.paths().cacheFolder;
    return cache.isEmpty() ? QString() : QDir(cache).filePath(QStringLiteral("timeshift"));
}

void PlayerControl::trackPause(PlayerState state) {
    if (state == PlayerState::Paused) {
        if (pausedAt_ < 0)
            pausedAt_ = clock_();
    } else if (state == PlayerState::Playing || state == PlayerState::Buffering) {
        if (pausedAt_ >= 0)
            behindMs_ += clock_() - pausedAt_;
        pausedAt_ = -1;
    } else {
        // A new start, a stop, an end or a failure: whatever plays next plays live.
        behindMs_ = 0;
        pausedAt_ = -1;
    }
    emit pauseChanged(pausedAt_ >= 0, behindLiveMs() > 0);
}

qint64 PlayerControl::behindLiveMs() const {
    if (!mainChannel_.isChannel())
        return 0;
    return behindMs_ + (pausedAt_ >= 0 ? clock_() - pausedAt_ : 0);
}

QString PlayerControl::mainStatusText() const {
    QString text = stateText(main_, mainFailure_);
    const qint64 seconds = behindLiveMs() / 1000;
    // Within kMaxBehindMs: minutes and seconds.
    if (seconds > 0)
        text += QStringLiteral(" -%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QChar(u'0'));
    return text;
}

void PlayerControl::togglePause() {
    try {
        if (main_.state() == PlayerState::Paused)
            main_.setPaused(false);
        else if (main_.canPause())
            main_.setPaused(true);
        else // what plays cannot pause: the button and the menu show it unpaused again
            emit pauseChanged(false, behindLiveMs() > 0);
        view_.setPlayerMessage(mainStatusText());
    } catch (const std::exception&) {
        // a player that cannot be reached pauses nothing
    }
}

void PlayerControl::goLive() {
    if (mainChannel_.isChannel()) {
        if (behindLiveMs() > 0 || pausedAt_ >= 0)
            playMain(mainChannel_);
        return;
    }
    try {
        if (main_.state() == PlayerState::Paused)
            main_.setPaused(false);
    } catch (const std::exception&) {
    }
}

} // namespace zentuvo
