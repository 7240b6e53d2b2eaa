#pragma once

#include <QtGlobal>

namespace zentuvo {

// Keeps a live stream's bytes waiting for the player near where they settled after the
// start, by playing a touch faster or slower. A player reads a live stream at its own clock's
// pace: from a sender whose clock runs fast the stream piles up (the picture falls ever
// further behind the broadcast), from a slow one it drains until the player runs dry and
// stops to buffer.
//
// Fed once a second with the lead: the stream's own time received less the time played. The
// mean lead of the settling time (after the start's burst and buffering) is the aim; once the
// lead of the last kWindow seconds is kBandMs above it the player runs kNudge faster until
// it is back, below it kNudge slower (never aiming under half the settled lead).
class DriftSteer {
public:
    static constexpr qint64 kSettleFromMs = 60000;
    static constexpr qint64 kSettleToMs = 120000;
    static constexpr int kWindow = 10;
    static constexpr double kBandMs = 250;
    // 2000 ppm: twenty times a poor sender clock's drift, far below what one hears.
    static constexpr double kNudge = 0.002;

    // elapsedMs: since the item started. Returns the rate to play at.
    double next(qint64 elapsedMs, double leadMs);
    double rate() const { return rate_; }
    // The settled lead, or a negative number while settling.
    double aimMs() const { return aim_; }
    // Starts settling anew (after a pause, which piles the stream up on purpose).
    void reset(qint64 elapsedMs);
    // The player ran dry and went back to buffering: a slow sender outran the band (the
    // library keeps only a few tens of ms in hand against lateness). Plays kNudge slower for
    // kDryMs, which puts that much more in hand, then settles anew around it. In the first
    // kStartMs it is the start's own doing, not the sender's, and changes nothing.
    void ranDry(qint64 elapsedMs);
    static constexpr qint64 kDryMs = 120000;
    static constexpr qint64 kStartMs = 10000;

private:
    double aim_ = -1;
    double settleSum_ = 0;
    int settleCount_ = 0;
    qint64 settleStart_ = 0;
    double window_[kWindow] = {};
    int filled_ = 0;
    double rate_ = 1.0;
    qint64 dryUntil_ = -1;
};

} // namespace zentuvo
