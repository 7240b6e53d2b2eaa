// A channel that drops comes back by itself, against fake players: after an end, a failure
// or a frozen picture, three tries with the status saying so; Stop calls them off.
#include "playback/Reconnect.h"
#include "playback_fake_view.h"
#include "support/FakePlayer.h"
#include "support/TestSupport.h"
#include "ui/main/PlayerControl.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace zentuvo;
using namespace zentuvo::test;

namespace {

class PlaybackReconnect : public ClockedControl {
protected:
    void SetUp() override {
        control.mainReconnect().setDelays({1, 1, 1});
        control.previewReconnect().setDelays({1, 1, 1});
        control.setStartTimeout(50);
        ClockedControl::SetUp();
    }
    // Waits until the player has been started `calls` times in all.
    bool startedTimes(FakePlayer& player, int calls) {
        return QTest::qWaitFor([&] { return player.playCalls >= calls; }, 5000);
    }
};

} // namespace

TEST_F(PlaybackReconnect, AnEndOrAFailureTriesAgainAndPlaysOn) {
    for (PlayerState drop : {PlayerState::Ended, PlayerState::Error}) {
        SCOPED_TRACE(int(drop));
        const int calls = main.playCalls;
        main.setState(drop);
        EXPECT_EQ(status(), "Reconnecting (1/3)");
        ASSERT_TRUE(startedTimes(main, calls + 1)); // the same item again
        EXPECT_EQ(main.current()->mrl, "http://127.0.0.1:9/alpha.ts");
        EXPECT_EQ(status(), "Playing");
        EXPECT_EQ(view.infoLine, "Alpha (Italy)");
    }
}

TEST_F(PlaybackReconnect, ThreeFailedTriesEndInTheErrorState) {
    QSignalSpy gaveUp(&control.mainReconnect(), &Reconnect::gaveUp);
    main.stateOnPlay = PlayerState::Error; // the server never comes back
    const int calls = main.playCalls;
    main.setState(PlayerState::Ended);
    ASSERT_TRUE(QTest::qWaitFor([&] { return gaveUp.count() == 1; }, 5000));
    EXPECT_EQ(main.playCalls, calls + 3);
    EXPECT_TRUE(status().startsWith("ERROR: the stream broke off and did not come back after 3"))
        << view.playerMessage.toStdString();
    main.setState(PlayerState::Error); // a late second error keeps the whole story
    EXPECT_TRUE(view.infoLine.startsWith("Alpha (Italy) - the stream broke off"));
}

TEST_F(PlaybackReconnect, ATryThatNeverStartsCountsAsFailed) {
    QSignalSpy gaveUp(&control.mainReconnect(), &Reconnect::gaveUp);
    main.stateOnPlay = PlayerState::Opening; // accepts and sends nothing
    const int calls = main.playCalls;
    main.setState(PlayerState::Error);
    ASSERT_TRUE(QTest::qWaitFor([&] { return gaveUp.count() == 1; }, 5000));
    EXPECT_EQ(main.playCalls, calls + 3);
}

TEST_F(PlaybackReconnect, StopOrAChannelThatNeverPlayedIsNotReconnected) {
    main.setState(PlayerState::Ended);
    control.stopMain(); // during the wait before the first try
    const int calls = main.playCalls;
    QTest::qWait(30); // the delays are 1 ms: a try would have started
    EXPECT_EQ(main.playCalls, calls);
    EXPECT_EQ(control.mainReconnect().attempt(), 0);

    main.stateOnPlay = PlayerState::Error; // fails at once: its error shows, no tries
    control.playMain(catalogueRef(*t.app, "Alpha.it"));
    QTest::qWait(30);
    EXPECT_EQ(main.playCalls, calls + 1);
    EXPECT_EQ(control.mainReconnect().attempt(), 0);
}

TEST_F(PlaybackReconnect, APictureFrozenForTenSecondsReconnects) {
    main.progress = 500;
    status();
    now += Reconnect::kStallMs - 1;
    EXPECT_EQ(status(), "Playing"); // not yet
    main.progress = 501;            // moved: the watch starts again
    status();
    now += Reconnect::kStallMs - 1;
    EXPECT_EQ(status(), "Playing");
    const int calls = main.playCalls;
    now += 1;
    EXPECT_EQ(status(), "Reconnecting (1/3)");
    EXPECT_EQ(main.stopCalls, 1);
    ASSERT_TRUE(startedTimes(main, calls + 1));
    control.togglePause(); // a paused picture is not frozen
    now += 3 * Reconnect::kStallMs;
    EXPECT_TRUE(status().startsWith("Paused")) << view.playerMessage.toStdString();
}

TEST_F(PlaybackReconnect, AFilmThatEndsHasEndedUnlessItStoppedEarly) {
    main.reportedLength = 5'400'000; // a film over HTTP: 90 minutes
    for (const auto& [played, again] : {std::pair{5'390'000, false}, {5'389'999, true}}) {
        SCOPED_TRACE(played);
        control.playMain(catalogueRef(*t.app, "Alpha.it"));
        main.reportedPlayed = played;
        status();
        main.setState(PlayerState::Ended);
        EXPECT_EQ(control.mainReconnect().attempt(), again ? 1 : 0);
    }
}

TEST_F(PlaybackReconnect, ThePreviewReconnectsToo) {
    control.playPreview(catalogueRef(*t.app, "Alpha.it"));
    const int calls = preview.playCalls;
    preview.setState(PlayerState::Ended);
    control.updateStatus();
    EXPECT_TRUE(view.previewMessage.endsWith("Reconnecting (1/3)"))
        << view.previewMessage.toStdString();
    ASSERT_TRUE(startedTimes(preview, calls + 1));
}
