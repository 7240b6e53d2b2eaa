// Real playback: libVLC in our windows on an X server, from a live-like HTTP source on the
// loopback that the test starts.
#include "data/MyList.h"
#include "playback/VlcPlayer.h"
#include "playback_live_source.h"
#include "playback_players_fixture.h"
#include "support/TestSupport.h"
#include "ui/main/PlayerControl.h"
#include "ui/main/VideoView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QOpenGLContext>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/lsan_interface.h>
#endif

using namespace zentuvo;
using namespace zentuvo::test;

namespace {

constexpr int kPlayTimeoutMs = 20000;
const QString kAgentPrefix = ":http-user-agent=";

bool waitFor(const std::function<bool()>& done, int ms = kPlayTimeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
    return true;
}

class PlaybackVlc : public PlayersOnScreen {
protected:
    static void SetUpTestSuite() {
        source = new LiveSource(QStringLiteral(ZENTUVO_LIVE_SERVER),
                                {"/alpha.ts", "/beta.ts", "/delta.ts", "/probe.ts"});
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

    int requestsFor(const QString& path) const {
        int n = 0;
        for (const QString& line : source->requests())
            n += line.startsWith(path + u'\t');
        return n;
    }
    QString myList(const QString& url) {
        cMyList rec;
        rec.Name = "Mine";
        rec.streamUrl = url;
        rec.countryID = 1;
        EXPECT_TRUE(rec.Save(t->app->data()));
        return QString::number(rec.channelID) + " MY_ID";
    }
    static bool playing(const Player& p) { return p.inputState() == Player::Playing; }

    static inline LiveSource* source = nullptr;
};

} // namespace

TEST_F(PlaybackVlc, EmbedsIntoOurWindows) {
    ASSERT_EQ(QGuiApplication::platformName(), "xcb");
    EXPECT_TRUE(VideoView::canEmbed());
    EXPECT_FALSE(main->headless());
    EXPECT_TRUE(main->versionInfo().startsWith("3."));
}

TEST_F(PlaybackVlc, MainPlayerPlaysAndNamesTheChannel) {
    int announced = -1;
    QObject::connect(main.get(), &Player::stateChanged, [&](int s) { announced = s; });
    control->PlayVideo("1 CH_ID");
    EXPECT_EQ(view.infoLine, "Alpha (Italy)");
    ASSERT_TRUE(waitFor([&] { return playing(*main); })) << main->inputState();
    control->TimerStatus();
    EXPECT_EQ(view.playerMessage, "Playing");
    EXPECT_EQ(view.previewMessage, "- Preview - Idle/Close");
    EXPECT_TRUE(waitFor([&] { return announced == Player::Playing; }));
    EXPECT_TRUE(waitFor([&] { return main->videoSize() == QSize(320, 240); }));
    EXPECT_EQ(main->itemCount(), 1);
    EXPECT_EQ(main->Tag(), "1 CH_ID");

    // The server saw the program's user agent.
    const QString agent =
        t->app->PlayerUserAgentOption.mid(kAgentPrefix.size()).replace(u'+', u' ');
    EXPECT_TRUE(agent.startsWith("Mozilla/5.0 (X11; U; Linux i686;"));
    EXPECT_TRUE(source->requests().contains("/alpha.ts\t" + agent + "\t"))
        << source->requests().join('\n').toStdString();

    control->PlayVideo("1 CH_ID");
    EXPECT_EQ(main->itemCount(), 1);
    ASSERT_TRUE(waitFor([&] { return playing(*main); }));
    control->StopVideo();
    EXPECT_EQ(main->inputState(), Player::Idle);
    EXPECT_EQ(main->itemCount(), 0);
    control->TimerStatus();
    EXPECT_EQ(view.playerMessage, "Idle/Close");
    EXPECT_TRUE(t->messages.shown.isEmpty());
}

TEST_F(PlaybackVlc, PreviewPlaysASecondChannelAndSwapExchangesThem) {
    control->PlayVideo("1 CH_ID");
    control->PlayPreview("2 CH_ID");
    EXPECT_EQ(preview->volume(), 0); // muted at the start picture
    ASSERT_TRUE(waitFor([&] { return playing(*main) && playing(*preview); }))
        << main->inputState() << " " << preview->inputState();
    control->TimerStatus();
    EXPECT_EQ(view.previewMessage, "- Preview - Playing");
    const int alphaBefore = requestsFor("/alpha.ts");
    const int betaBefore = requestsFor("/beta.ts");

    control->Swap();
    EXPECT_EQ(main->Tag(), "2 CH_ID");
    EXPECT_EQ(preview->Tag(), "1 CH_ID");
    EXPECT_EQ(view.infoLine, "beta tv (Italy)");
    ASSERT_TRUE(waitFor([&] { return playing(*main) && playing(*preview); }));
    EXPECT_EQ(requestsFor("/alpha.ts"), alphaBefore + 1);
    EXPECT_EQ(requestsFor("/beta.ts"), betaBefore + 1);
    EXPECT_TRUE(t->messages.shown.isEmpty());

    control->SwitchPreviewVolume();
    EXPECT_EQ(preview->volume(), 100);
    control->PreviewStopButton();
    EXPECT_EQ(preview->inputState(), Player::Idle);
    EXPECT_TRUE(playing(*main));
}

TEST_F(PlaybackVlc, MissingAddressReadsError) {
    control->PlayVideo(myList(source->url("/missing.ts")));
    ASSERT_TRUE(waitFor([&] { return main->inputState() == Player::Error; })) << main->inputState();
    control->TimerStatus();
    EXPECT_EQ(view.playerMessage, "ERROR");
    // It stays an error: the library's later "ended" does not replace it.
    waitFor([] { return false; }, 1500);
    EXPECT_EQ(main->inputState(), Player::Error);
    EXPECT_GE(requestsFor("/missing.ts"), 1);
    // A new start clears it.
    control->PlayVideo("1 CH_ID");
    ASSERT_TRUE(waitFor([&] { return playing(*main); }));
}

TEST_F(PlaybackVlc, ChannelUserAgentAndReferrerReachTheServer) {
    control->PlayVideo("4 CH_ID");
    ASSERT_TRUE(waitFor([&] { return playing(*main); }));
    EXPECT_TRUE(source->requests().contains("/delta.ts\tDeltaAgent/1.0\thttps://delta.example/"))
        << source->requests().join('\n').toStdString();
    control->PlayPreview("4 CH_ID");
    ASSERT_TRUE(waitFor([&] { return playing(*preview); }));
    EXPECT_EQ(source->requests().count("/delta.ts\tDeltaAgent/1.0\thttps://delta.example/"), 2);
}

TEST_F(PlaybackVlc, AddressesWithoutSchemeNeverReachTheLibrary) {
    control->PlayVideo(myList("alpha.ts"));
    EXPECT_EQ(main->inputState(), Player::Error);
    control->PlayVideo("12 XX"); // an empty address
    EXPECT_EQ(main->inputState(), Player::Error);
    EXPECT_TRUE(t->messages.saw("Error: I can't find channel type (wich list?)"));
    // A local file goes by its path.
    control->PlayVideo(myList(source->stream()));
    ASSERT_TRUE(waitFor([&] { return playing(*main); })) << main->inputState();
    EXPECT_TRUE(waitFor([&] { return main->position() > 0.0; }));
}

// Why the player gets the program's user agent with blanks: the library sends no user agent
// at all when given the "+" form.
TEST_F(PlaybackVlc, LibraryDropsTheUserAgentInPlusForm) {
    main->playItem(
        main->playlistAdd(source->url("/probe.ts"), "TEST", {t->app->PlayerUserAgentOption}));
    ASSERT_TRUE(waitFor([&] { return playing(*main); }));
    EXPECT_TRUE(source->requests().contains("/probe.ts\t\t"))
        << source->requests().join('\n').toStdString();
}

TEST_F(PlaybackVlc, HeadlessPlayerPlaysToo) {
    VlcPlayerOptions options;
    options.headless = true;
    VlcPlayer headless(options);
    EXPECT_TRUE(headless.headless());
    headless.setVideoWindow(mainView->winId()); // ignored: nothing is embedded
    headless.setVolume(50);
    headless.playItem(headless.playlistAdd(source->url("/beta.ts"), " ", {}));
    ASSERT_TRUE(waitFor([&] { return playing(headless); })) << headless.inputState();
    headless.stop();
    EXPECT_EQ(headless.inputState(), Player::Idle);
    headless.playItem(7);
    EXPECT_EQ(headless.inputState(), Player::Error);
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
