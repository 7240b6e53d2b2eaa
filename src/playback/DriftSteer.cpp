#include "playback/DriftSteer.h"

#include <algorithm>
#include <numeric>

namespace zentuvo {

double DriftSteer::next(qint64 elapsedMs, double leadMs) {
    if (dryUntil_ >= 0) {
        if (elapsedMs < dryUntil_)
            return rate_;
        reset(elapsedMs);
    }
    const qint64 since = elapsedMs - settleStart_;
    if (aim_ < 0) {
        if (since >= kSettleFromMs) {
            settleSum_ += leadMs;
            ++settleCount_;
        }
        if (since >= kSettleToMs && settleCount_ > 0)
            aim_ = settleSum_ / settleCount_;
        return rate_;
    }
    window_[filled_++ % kWindow] = leadMs;
    if (filled_ < kWindow)
        return rate_;
    const double lead = std::accumulate(window_, window_ + kWindow, 0.0) / kWindow;
    if (rate_ == 1.0) {
        if (lead > aim_ + kBandMs)
            rate_ = 1.0 + kNudge;
        else if (lead < std::max(aim_ - kBandMs, aim_ / 2))
            rate_ = 1.0 - kNudge;
    } else if ((rate_ > 1.0 && lead <= aim_) || (rate_ < 1.0 && lead >= aim_)) {
        rate_ = 1.0;
    }
    return rate_;
}

void DriftSteer::ranDry(qint64 elapsedMs) {
    if (elapsedMs - settleStart_ < kStartMs)
        return;
    rate_ = 1.0 - kNudge;
    dryUntil_ = elapsedMs + kDryMs;
}

void DriftSteer::reset(qint64 elapsedMs) {
    *this = DriftSteer();
    settleStart_ = elapsedMs;
}

} // namespace zentuvo
