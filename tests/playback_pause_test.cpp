// Pause and back to live in the main player, against fake players: the pause and the
// resume, the time behind the live edge in the status line, the way back to live.
#include "playback_fake_view.h"
#include "support/FakePlayer.h"
#include "support/TestSupport.h"
#include "ui/main/PlayerControl.h"

#include <QDir>

using namespace zentuvo;
using namespace zentuvo::test;

using PlaybackPause = ClockedControl;

TEST_F(PlaybackPause, PauseResumesBehindTheLiveEdgeAndTheStatusSaysHowFar) {
    EXPECT_TRUE(QDir(control.timeShiftFolder()).exists());
    EXPECT_EQ(status(), "Playing");
    control.togglePause();
    EXPECT_EQ(main.state(), PlayerState::Paused);
    EXPECT_EQ(view.playerMessage, "Paused"); // at once, not at the next tick
    now += 42'400;
    EXPECT_EQ(status(), "Paused -0:42");
    control.togglePause();
    EXPECT_EQ(main.pauseCalls, (QList<bool>{true, false}));
    EXPECT_EQ(main.state(), PlayerState::Playing);
    now += 60'000; // playing does not add to it
    EXPECT_EQ(status(), "Playing -0:42");
    control.togglePause();
    now += 20 * 60'000;
    EXPECT_EQ(status(), "Paused -20:42");
    control.togglePause();
    EXPECT_EQ(main.playCalls, 1);
    // Past the longest lag the channel goes live by itself.
    control.togglePause();
    now += PlayerControl::kMaxBehindMs;
    control.updateStatus();
    EXPECT_EQ(main.playCalls, 2);
    EXPECT_EQ(status(), "Playing");
}

TEST_F(PlaybackPause, LiveOpensTheChannelAnewOnlyWhenBehind) {
    control.goLive(); // live already: nothing to do
    EXPECT_EQ(main.playCalls, 1);
    control.togglePause();
    now += 5000;
    control.goLive();
    EXPECT_EQ(main.playCalls, 2);
    EXPECT_EQ(main.state(), PlayerState::Playing);
    EXPECT_EQ(control.behindLiveMs(), 0);
    EXPECT_EQ(status(), "Playing");
}

TEST_F(PlaybackPause, WhatCannotPauseOrIsNoChannel) {
    main.pausable = false;
    control.togglePause();
    EXPECT_EQ(main.state(), PlayerState::Playing);
    EXPECT_TRUE(main.pauseCalls.isEmpty());
    // A file pauses and resumes, but has no live edge.
    main.pausable = true;
    control.stopMain();
    control.setMainChannel(ChannelRef::file());
    main.playItem(main.playlistAdd("/tmp/a.ts", "TEST", {}));
    control.togglePause();
    now += 5000;
    EXPECT_EQ(status(), "Paused");
    control.goLive();
    EXPECT_EQ(main.state(), PlayerState::Playing);
    EXPECT_EQ(main.playCalls, 2);
    // A player that cannot be reached changes nothing.
    main.broken = true;
    control.togglePause();
    control.goLive();
}
