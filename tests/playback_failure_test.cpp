// Failing streams in the main player: a source that stalls, one that ends (and comes back,
// or not), one that sends no stream at all, each from the loopback. Whatever the source does,
// the player reaches a state that says so within a bounded time and the GUI thread keeps
// turning. (A missing stream is in
// playback_vlc_test.cpp; a refused connection and a source that never answers are reasons the
// fake players give in playback_control_test.cpp.)
#include "playback/Reconnect.h"
#include "playback/VlcPlayer.h"
#include "playback_live_source.h"
#include "playback_players_fixture.h"
#include "support/TestSupport.h"
#include "ui/main/PlayerControl.h"
#include "ui/widgets/PlayerStateText.h"
#include "ui/widgets/VideoView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTimer>
#include <algorithm>

using namespace zentuvo;
using namespace zentuvo::test;

namespace {

// A correctness bound for the GUI thread, not a benchmark.
constexpr qint64 kLongestPauseMs = 500;

// The longest time the event loop went without serving a 10 ms timer while it lived.
class PauseMeter {
public:
    PauseMeter() {
        clock_.start();
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const qint64 now = clock_.elapsed();
            longest_ = std::max(longest_, now - last_);
            last_ = now;
        });
        timer_.start();
    }
    qint64 longest() const { return std::max(longest_, clock_.elapsed() - last_); }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
    qint64 longest_ = 0;
};

class PlaybackFailure : public PlayersOnScreen {
protected:
    static void SetUpTestSuite() {
        source = new LiveSource(QStringLiteral(ZENTUVO_LIVE_SERVER), {"/alpha.ts"}, 0.0, 0.5,
                                {"--stall-path", "/stall.ts", "--stall-after", "2", "--end-path",
                                 "/end.ts", "--end-after", "3", "--garbage-path", "/garbage.ts",
                                 "--once-path", "/once.ts"});
    }
    static void TearDownTestSuite() {
        delete source;
        source = nullptr;
    }

    void SetUp() override { openPlayers(); }

    PlayerState state() const { return main->state(); }
    QString status() const { return playerStateText(int(main->state())); }
    std::string shown() const {
        return std::to_string(int(state())) + " " + status().toStdString();
    }
    bool endedOrFailed() const {
        return state() == PlayerState::Ended || state() == PlayerState::Error;
    }
    // The status line shows the state, and a second later the state still holds.
    void expectItStays(const std::function<bool()>& holds) {
        control->updateStatus();
        EXPECT_EQ(view.playerMessage, status());
        runEvents(1000);
        EXPECT_TRUE(holds()) << shown();
    }

    // How many requests the source has seen for a path.
    static int served(const QString& path) {
        return int(source->requests().filter(QRegularExpression("^" + path + "\t")).size());
    }

    static inline LiveSource* source = nullptr;
};

} // namespace

TEST_F(PlaybackFailure, StalledSourceNeitherHangsTheWindowNorTheStop) {
    PauseMeter meter;
    control->playMain(myList(source->url("/stall.ts")));
    ASSERT_TRUE(waitFor([&] { return state() == PlayerState::Playing; })) << shown();
    // The source goes silent two seconds in; the player waits on it with the window alive.
    runEvents(5000);
    EXPECT_NE(state(), PlayerState::Idle) << shown();
    QElapsedTimer stopping;
    stopping.start();
    main->stop();
    EXPECT_LT(stopping.elapsed(), kLongestPauseMs);
    EXPECT_EQ(status(), "Idle/Close");
    // No late event of the stopped input turns it into something else.
    expectItStays([&] { return state() == PlayerState::Idle; });
    EXPECT_LT(meter.longest(), kLongestPauseMs);
}

TEST_F(PlaybackFailure, SourceThatEndsIsReconnectedAndPlaysOn) {
    PauseMeter meter;
    control->playMain(myList(source->url("/end.ts")));
    ASSERT_TRUE(waitFor([&] { return state() == PlayerState::Playing; })) << shown();
    // The body ends three seconds in; a second later the channel opens again.
    ASSERT_TRUE(waitFor([&] { return endedOrFailed(); })) << shown();
    EXPECT_FALSE(main->isPlaying());
    control->updateStatus();
    EXPECT_EQ(view.playerMessage, "Reconnecting (1/3)");
    ASSERT_TRUE(waitFor([&] { return state() == PlayerState::Playing; })) << shown();
    EXPECT_EQ(control->mainReconnect().attempt(), 0);
    EXPECT_EQ(served("/end.ts"), 2);
    EXPECT_LT(meter.longest(), kLongestPauseMs);
}

TEST_F(PlaybackFailure, SourceThatGoesForGoodEndsInTheErrorAfterThreeTries) {
    control->mainReconnect().setDelays({100, 100, 100});
    QSignalSpy tries(&control->mainReconnect(), &Reconnect::tryStarted);
    control->playMain(myList(source->url("/once.ts")));
    ASSERT_TRUE(waitFor([&] { return state() == PlayerState::Playing; })) << shown();
    ASSERT_TRUE(waitFor([&] {
        control->updateStatus();
        return view.playerMessage.startsWith("ERROR");
    })) << shown();
    EXPECT_EQ(tries.count(), 3);
    const int requests = served("/once.ts"); // the library may ask twice on a 404
    const QString error = "ERROR: the stream broke off and did not come back after 3 tries: "
                          "not found on the server";
    EXPECT_EQ(view.playerMessage, error);
    runEvents(1000); // and it stays so
    control->updateStatus();
    EXPECT_EQ(view.playerMessage, error);
    EXPECT_EQ(served("/once.ts"), requests);
}

TEST_F(PlaybackFailure, GarbageInsteadOfAStreamEndsOrFails) {
    PauseMeter meter;
    control->playMain(myList(source->url("/garbage.ts")));
    ASSERT_TRUE(waitFor([&] { return endedOrFailed(); })) << shown();
    EXPECT_FALSE(main->isPlaying());
    expectItStays([&] { return endedOrFailed(); });
    // A good channel plays after it.
    control->playMain(myList(source->url("/alpha.ts")));
    ASSERT_TRUE(waitFor([&] { return state() == PlayerState::Playing; })) << shown();
    EXPECT_LT(meter.longest(), kLongestPauseMs);
}
