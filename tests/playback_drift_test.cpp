// The rate that keeps a live stream's lead steady, second by second.
#include "playback/DriftSteer.h"

#include <gtest/gtest.h>

using namespace zentuvo;

namespace {

double feed(DriftSteer& steer, qint64& second, int seconds, double leadMs) {
    double rate = steer.rate();
    for (int i = 0; i < seconds; ++i, ++second)
        rate = steer.next(second * 1000, leadMs);
    return rate;
}

} // namespace

TEST(DriftSteer, KeepsTheLeadWhereItSettledWithinItsBand) {
    DriftSteer steer;
    qint64 second = 1;
    // The start's burst is not part of the aim; the settling seconds are.
    constexpr int kFrom = DriftSteer::kSettleFromMs / 1000, kTo = DriftSteer::kSettleToMs / 1000;
    EXPECT_EQ(feed(steer, second, kFrom - 1, 5000), 1.0);
    EXPECT_EQ(feed(steer, second, kTo - kFrom + 1, 600), 1.0);
    ASSERT_DOUBLE_EQ(steer.aimMs(), 600);
    // Up to the band's edge it plays on as it is.
    EXPECT_EQ(feed(steer, second, 20, 600 + DriftSteer::kBandMs), 1.0);
    // Beyond it over the window's mean (one chunky read is not enough) faster, until back
    // at the aim.
    feed(steer, second, 20, 600);
    EXPECT_EQ(feed(steer, second, 1, 600 + 10 * DriftSteer::kBandMs), 1.0);
    EXPECT_EQ(feed(steer, second, 1, 3000), 1.0 + DriftSteer::kNudge);
    EXPECT_EQ(feed(steer, second, 30, 700), 1.0 + DriftSteer::kNudge);
    EXPECT_EQ(feed(steer, second, DriftSteer::kWindow - 1, 600), 1.0 + DriftSteer::kNudge);
    EXPECT_EQ(feed(steer, second, 1, 600), 1.0);
    // Drained: slower, until back at the aim; never aiming under half the settled lead.
    EXPECT_EQ(feed(steer, second, DriftSteer::kWindow, 350), 1.0);
    EXPECT_EQ(feed(steer, second, DriftSteer::kWindow, 349), 1.0 - DriftSteer::kNudge);
    EXPECT_EQ(feed(steer, second, DriftSteer::kWindow, 600), 1.0);
    EXPECT_EQ(feed(steer, second, DriftSteer::kWindow, 351), 1.0);

    DriftSteer small;
    second = 1;
    feed(small, second, kTo, 300);
    EXPECT_EQ(feed(small, second, DriftSteer::kWindow, 151), 1.0);
    EXPECT_EQ(feed(small, second, DriftSteer::kWindow, 149), 1.0 - DriftSteer::kNudge);
    // Run dry: slower for a while whatever the lead, then settling anew around what that
    // put in hand.
    small.ranDry(second * 1000);
    EXPECT_EQ(feed(small, second, DriftSteer::kDryMs / 1000, 10000), 1.0 - DriftSteer::kNudge);
    EXPECT_EQ(feed(small, second, 1, 10000), 1.0);
    EXPECT_LT(small.aimMs(), 0);
    // After a pause it settles anew, at the rate of one.
    small.reset(second * 1000);
    EXPECT_EQ(small.rate(), 1.0);
    EXPECT_LT(small.aimMs(), 0);
    EXPECT_EQ(feed(small, second, kTo + 1, 4000), 1.0);
    EXPECT_DOUBLE_EQ(small.aimMs(), 4000);
    // Back to buffering in the first seconds after the start: the start's own doing.
    DriftSteer fresh;
    fresh.ranDry(DriftSteer::kStartMs - 1);
    EXPECT_EQ(fresh.rate(), 1.0);
    fresh.ranDry(DriftSteer::kStartMs);
    EXPECT_EQ(fresh.rate(), 1.0 - DriftSteer::kNudge);
}
