// Failing streams in the main player: a refused connection, a source that stalls, one that
// ends, one that sends no stream at all, each from the loopback. Whatever the source does,
// the player reaches a state that says so within a bounded time and the GUI thread keeps
// turning.
#include "playback/VlcPlayer.h"
#include "playback_live_source.h"
#include "playback_players_fixture.h"
#include "support/TestSupport.h"
#include "ui/main/PlayerControl.h"
#include "ui/widgets/PlayerStateText.h"
#include "ui/widgets/VideoView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <arpa/inet.h>
#include <functional>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

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

// A loopback port that was free a moment ago and that nobody listens on.
int closedPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return 0;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
        port = ntohs(addr.sin_port);
    ::close(fd);
    return port;
}

class PlaybackFailure : public PlayersOnScreen {
protected:
    static void SetUpTestSuite() {
        source = new LiveSource(QStringLiteral(ZENTUVO_LIVE_SERVER), {"/alpha.ts"}, 0.0, 0.5,
                                {"--stall-path", "/stall.ts", "--stall-after", "2", "--end-path",
                                 "/end.ts", "--end-after", "3", "--garbage-path", "/garbage.ts",
                                 "--silent-path", "/silent.ts"});
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
    // The status line shows the state (or the message given), and a second later the state
    // still holds.
    void expectItStays(const std::function<bool()>& holds, const QString& message = {}) {
        control->updateStatus();
        EXPECT_EQ(view.playerMessage, message.isEmpty() ? status() : message);
        runEvents(1000);
        EXPECT_TRUE(holds()) << shown();
    }

    static inline LiveSource* source = nullptr;
};

} // namespace

TEST_F(PlaybackFailure, RefusedConnectionReadsError) {
    const int port = closedPort();
    ASSERT_GT(port, 0);
    PauseMeter meter;
    control->playMain(myList(QStringLiteral("http://127.0.0.1:%1/refused.ts").arg(port)));
    ASSERT_TRUE(waitFor([&] { return state() == PlayerState::Error; })) << shown();
    EXPECT_EQ(status(), "ERROR");
    expectItStays([&] { return state() == PlayerState::Error; },
                  "ERROR: the server refused the connection");
    EXPECT_TRUE(view.infoLine.endsWith(") - the server refused the connection"))
        << view.infoLine.toStdString();
    EXPECT_LT(meter.longest(), kLongestPauseMs);
}

TEST_F(PlaybackFailure, AMissingStreamSaysItIsNotFound) {
    control->playMain(myList(source->url("/missing.ts")));
    ASSERT_TRUE(waitFor([&] { return state() == PlayerState::Error; })) << shown();
    expectItStays([&] { return state() == PlayerState::Error; }, "ERROR: not found on the server");
    EXPECT_TRUE(main->lastError().contains("404")) << main->lastError().toStdString();
}

TEST_F(PlaybackFailure, ASourceThatNeverAnswersIsStoppedWithTheReason) {
    control->setStartTimeout(2000);
    const QString failed = "ERROR: no answer from the server within 2 s";
    control->playMain(myList(source->url("/silent.ts")));
    ASSERT_TRUE(waitFor([&] { return view.playerMessage == failed; })) << shown();
    EXPECT_FALSE(main->isPlaying()) << shown();
    EXPECT_TRUE(view.infoLine.startsWith("Mine (") &&
                view.infoLine.endsWith(") - no answer from the server within 2 s"))
        << view.infoLine.toStdString();
    expectItStays([&] { return !main->isPlaying(); }, failed);
}

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

TEST_F(PlaybackFailure, SourceThatEndsDoesNotReadPlayingForever) {
    PauseMeter meter;
    control->playMain(myList(source->url("/end.ts")));
    ASSERT_TRUE(waitFor([&] { return state() == PlayerState::Playing; })) << shown();
    // The body ends three seconds in.
    ASSERT_TRUE(waitFor([&] { return endedOrFailed(); })) << shown();
    EXPECT_FALSE(main->isPlaying());
    expectItStays([&] { return endedOrFailed(); });
    EXPECT_LT(meter.longest(), kLongestPauseMs);
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
