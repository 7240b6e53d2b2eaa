// Real playback: libVLC in our windows on an X server, from a live-like HTTP source on the
// loopback that the test starts.
#include "playback/VlcPlayer.h"
#include "playback_live_source.h"
#include "playback_players_fixture.h"
#include "support/TestSupport.h"
#include "ui/main/PlayerControl.h"
#include "ui/widgets/VideoView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QOpenGLContext>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <optional>
#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/lsan_interface.h>
#endif

using namespace zentuvo;
using namespace zentuvo::test;

namespace {

const QString kAgentPrefix = ":http-user-agent=";

class PlaybackVlc : public PlayersOnScreen {
protected:
    static void SetUpTestSuite() {
        source = new LiveSource(QStringLiteral(ZENTUVO_LIVE_SERVER), {"/alpha.ts"}, 0.0, 0.5,
                                {"--file-path", "/film=" + film()});
    }
    static void TearDownTestSuite() {
        delete source;
        source = nullptr;
    }

    void SetUp() override {
        QList<FixtureChannel> channels = defaultChannels();
        for (auto& c : channels)
            c.streamUrl.replace(":9/", QStringLiteral(":%1/").arg(source->port()));
        openPlayers(channels);
    }

    static QString film() {
        static QTemporaryDir dir;
        return dir.filePath("film.mkv");
    }

    static inline LiveSource* source = nullptr;
};

} // namespace

// What the commands hand the player and show is in playback_control_test.cpp; here the
// library plays it, embedded into our windows.
TEST_F(PlaybackVlc, MainPlayerPlaysAndStopsWithTheProgramsUserAgent) {
    ASSERT_TRUE(VideoView::canEmbed());
    EXPECT_TRUE(main->versionInfo().startsWith("3."));
    std::optional<PlayerState> announced;
    QObject::connect(main.get(), &Player::stateChanged, [&](PlayerState s) { announced = s; });
    control->playMain(ChannelRef::fromText("1 CH_ID"));
    ASSERT_TRUE(waitFor([&] { return playing(*main); })) << int(main->state());
    EXPECT_TRUE(waitFor([&] { return announced == PlayerState::Playing; }));
    EXPECT_TRUE(waitFor([&] { return main->videoSize() == QSize(320, 240); }));
    // The server saw the program's user agent, with its blanks.
    const QString agent =
        t->app->preferences().playerUserAgentOption().mid(kAgentPrefix.size()).replace(u'+', u' ');
    EXPECT_TRUE(source->requests().contains("/alpha.ts\t" + agent + "\t"))
        << source->requests().join('\n').toStdString();
    control->stopMain();
    EXPECT_EQ(main->state(), PlayerState::Idle);
    EXPECT_TRUE(t->messages.shown.isEmpty());
}

TEST_F(PlaybackVlc, MissingAddressReadsError) {
    control->playMain(myList(source->url("/missing.ts")));
    ASSERT_TRUE(waitFor([&] { return main->state() == PlayerState::Error; })) << int(main->state());
    control->updateStatus();
    EXPECT_EQ(view.playerMessage, "ERROR: not found on the server");
    // It stays an error: the library's later "ended" does not replace it.
    runEvents(1500);
    EXPECT_EQ(main->state(), PlayerState::Error);
    // Addresses without a scheme never reach the library; a local file goes by its path.
    control->playMain(myList("alpha.ts"));
    EXPECT_EQ(main->state(), PlayerState::Error);
    control->playMain(myList(source->stream()));
    ASSERT_TRUE(waitFor([&] { return playing(*main); })) << int(main->state());
    EXPECT_TRUE(waitFor([&] { return main->position() > 0.0; }));
}

// An address that names no container is read as a live transport stream; a film behind one
// is handed back to the library, which plays it.
TEST_F(PlaybackVlc, AnAddressThatIsNoTransportStreamIsLeftToTheLibrary) {
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg",
                 {"-y", "-v", "error", "-i", source->stream(), "-t", "20", "-c", "copy", film()});
    ASSERT_TRUE(ffmpeg.waitForFinished(60000) && ffmpeg.exitCode() == 0);
    control->playMain(myList(source->url("/film")));
    ASSERT_TRUE(waitFor([&] { return playing(*main); })) << int(main->state());
    EXPECT_TRUE(waitFor([&] { return main->videoSize() == QSize(320, 240); }));
    // Once by us, then by the library (which may ask more than once as it probes).
    EXPECT_GE(source->requests().filter(QRegularExpression("^/film\t")).size(), 2);
}

// Paused, a live channel keeps coming in; resumed, it plays on from where it paused, on the
// same connection, and the status line says how far behind the live edge it is.
TEST_F(PlaybackVlc, APausedLiveChannelResumesBehindTheLiveEdge) {
    control->playMain(ChannelRef::fromText("1 CH_ID"));
    ASSERT_TRUE(waitFor([&] { return playing(*main) && main->playedTime() > 1000; }));
    EXPECT_TRUE(main->canPause());
    const qsizetype requests = source->requests().size();
    control->togglePause();
    ASSERT_TRUE(waitFor([&] { return main->state() == PlayerState::Paused; }));
    const qint64 pausedAt = main->playedTime();
    QElapsedTimer wall;
    wall.start();
    runEvents(4000); // the pause is the scenario
    control->togglePause();
    ASSERT_TRUE(waitFor([&] { return playing(*main) && main->playedTime() >= pausedAt + 2000; }));
    // Two seconds of the stream took the pause longer: it did not skip to the live edge.
    EXPECT_GE(wall.elapsed(), 5500);
    EXPECT_EQ(source->requests().size(), requests);
    control->updateStatus();
    EXPECT_TRUE(view.playerMessage.startsWith("Playing -0:0")) << view.playerMessage.toStdString();
    EXPECT_GE(control->behindLiveMs(), 4000);
    control->goLive(); // opened anew
    ASSERT_TRUE(waitFor([&] { return playing(*main); }));
    EXPECT_EQ(control->behindLiveMs(), 0);
}

// Under LeakSanitizer: libVLC's OpenGL video output leaves a few blocks inside libplacebo
// for each video output it closes, and the system's OpenGL driver (Mesa) keeps blocks that
// only its own globals point to. Both libraries would be unloaded before the check at the
// end of the process (libVLC unloads its plugins with its last instance, libGL the driver
// with the last display connection that uses it): the driver's blocks would then look
// leaked, and no suppression could match the libplacebo ones, as the checker can no longer
// name an unloaded library. The program keeps one player and one OpenGL context of its own,
// which keep both loaded, checks for leaks while they still are, and suppresses libplacebo.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libplacebo\n";
}

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    static const VlcPlayer* const keepsPluginsLoaded = new VlcPlayer;
    static QOpenGLContext* const keepsDriverLoaded = new QOpenGLContext;
    keepsDriverLoaded->create();
    (void)keepsPluginsLoaded;
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
#ifdef __SANITIZE_ADDRESS__
    __lsan_do_leak_check();
#endif
    return result;
}
