// The playback commands against fake players: play and stop, the status line, the preview,
// its volume button, the main volume and the swap.
#include "data/ChannelInfo.h"
#include "data/Database.h"
#include "data/MyList.h"
#include "playback/FakePlayer.h"
#include "playback/VlcPlayer.h"
#include "playback_fake_view.h"
#include "support/TestSupport.h"
#include "ui/main/PlayerControl.h"
#include "ui/main/VideoView.h"

#include <QApplication>
#include <QTemporaryFile>
#include <gtest/gtest.h>

using namespace zentuvo;
using namespace zentuvo::test;

namespace {

const QString kNoTitle = ":no-video-title-show";

int idOf(TestApp& t, const QString& code) {
    Connection c(t.app->ChannelConnectionString);
    auto q = c.prepare("SELECT channelID FROM tab_channels WHERE code = ?");
    q.bind(1, code);
    return q.next() ? int(q.integer(0)) : -1;
}

QString key(int id) {
    return QString::number(id) + " CH_ID";
}

class PlaybackControl : public ::testing::Test {
protected:
    TestApp t;
    FakePlayer main;
    FakePlayer preview;
    FakePlayerView view;
    PlayerControl control{*t.app, main, preview, view};

    QString alpha() { return key(idOf(t, "Alpha.it")); }
    QString beta() { return key(idOf(t, "Beta.it")); }
    QString delta() { return key(idOf(t, "Delta.fr")); }
    QString translated(const char* term) { return t.app->Translate(QString::fromLatin1(term)); }
    // The program's user agent as the player gets it: with its blanks.
    QString agent() const { return QString(t.app->PlayerUserAgentOption).replace('+', ' '); }
    int myListChannel(const QString& name, const QString& url) {
        cMyList rec;
        rec.Name = name;
        rec.streamUrl = url;
        rec.countryID = 1;
        EXPECT_TRUE(rec.Save(t.app->data()));
        return rec.channelID;
    }
};

} // namespace

TEST(PlaybackStates, Texts) {
    const char* texts[] = {"Idle/Close", "Opening",  "Buffering", "Playing", "Paused",
                           "Stopping",   "6 - Idle", "7 - Idle",  "Ended",   "ERROR"};
    for (int n = 0; n <= 9; ++n)
        EXPECT_EQ(PlayerControl::GetState(n), texts[n]) << n;
    EXPECT_EQ(PlayerControl::GetState(42), "ERROR");
    EXPECT_EQ(PlayerControl::GetState(-1), "ERROR");
}

TEST_F(PlaybackControl, PlayVideoPlaysCatalogueChannelAndNamesIt) {
    view.volumeSlider = 7;
    control.PlayVideo(alpha());
    ASSERT_EQ(main.items.size(), 1);
    const auto* item = main.current();
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->mrl, "http://127.0.0.1:9/alpha.ts");
    EXPECT_EQ(item->name, "TEST");
    EXPECT_EQ(item->options, QStringList({agent(), kNoTitle}));
    EXPECT_FALSE(item->options.join(' ').contains("aspect-ratio"));
    EXPECT_EQ(main.Tag(), alpha());
    EXPECT_EQ(main.volume(), 140);
    EXPECT_EQ(view.infoLine, "Alpha (Italy)");
    EXPECT_FALSE(view.fileSliderVisible);
    EXPECT_TRUE(view.mainPlayerVisible);
    EXPECT_EQ(view.relayouts, 1);
    EXPECT_TRUE(t.messages.shown.isEmpty());
    EXPECT_TRUE(preview.items.isEmpty());
}

TEST_F(PlaybackControl, PlayVideoPlaysMyListChannel) {
    const int id = myListChannel("Mine", "http://127.0.0.1:9/mine.ts");
    control.PlayVideo(QString::number(id) + " MY_ID");
    ASSERT_NE(main.current(), nullptr);
    EXPECT_EQ(main.current()->mrl, "http://127.0.0.1:9/mine.ts");
    EXPECT_EQ(main.current()->options, QStringList({agent(), kNoTitle}));
    EXPECT_EQ(view.infoLine, "Mine (" + GetCountryCHname(t.app->data(), 1) + ")");
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST_F(PlaybackControl, UnknownKindSaysSoAndPlaysNothing) {
    control.PlayVideo("12 XX");
    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_EQ(t.messages.shown[0].text, "Error: I can't find channel type (wich list?)");
    EXPECT_EQ(t.messages.shown[0].icon, MsgIcon::Critical);
    // The empty address still goes to the player, which reports an error.
    ASSERT_NE(main.current(), nullptr);
    EXPECT_EQ(main.current()->mrl, "");
    EXPECT_EQ(main.inputState(), Player::Error);
    EXPECT_EQ(main.Tag(), "12 XX");
}

TEST_F(PlaybackControl, ReplayLeavesOneItem) {
    control.PlayVideo(alpha());
    control.PlayVideo(beta());
    EXPECT_EQ(main.itemCount(), 1);
    EXPECT_EQ(main.current()->mrl, "http://127.0.0.1:9/beta.ts");
    EXPECT_EQ(view.infoLine, "beta tv (Italy)");
    EXPECT_EQ(main.Tag(), beta());
}

TEST_F(PlaybackControl, ChannelUserAgentAndReferrerReplaceTheDefault) {
    control.PlayVideo(delta());
    ASSERT_NE(main.current(), nullptr);
    EXPECT_EQ(main.current()->options,
              QStringList({":http-user-agent=DeltaAgent/1.0",
                           ":http-referrer=https://delta.example/", kNoTitle}));
    control.PlayPreview(delta());
    ASSERT_NE(preview.current(), nullptr);
    EXPECT_EQ(preview.current()->options, QStringList({":http-user-agent=DeltaAgent/1.0",
                                                       ":http-referrer=https://delta.example/"}));
}

TEST_F(PlaybackControl, HeaderOptions) {
    EXPECT_TRUE(t.app->PlayerUserAgentOption.startsWith(":http-user-agent=Mozilla/5.0+(X11;+U;"));
    cChannel plain;
    EXPECT_EQ(PlayerControl::headerOptions(*t.app, plain),
              QStringList({":http-user-agent=Mozilla/5.0 (X11; U; Linux i686; en-US; rv:1.9.0.6) "
                           "Gecko/2009020911 Ubuntu/8.10 (intrepid) Firefox/3.0.6"}));
    cChannel agent;
    agent.userAgent = "Some Agent/2 (x+y)"; // passed as it stands
    EXPECT_EQ(PlayerControl::headerOptions(*t.app, agent),
              QStringList({":http-user-agent=Some Agent/2 (x+y)"}));
    // A referrer alone keeps the program's user agent.
    cChannel referrer;
    referrer.referrer = "https://ref.example/";
    EXPECT_EQ(PlayerControl::headerOptions(*t.app, referrer),
              QStringList({this->agent(), ":http-referrer=https://ref.example/"}));
}

TEST_F(PlaybackControl, StopVideo) {
    // Never played: no call, no message.
    control.StopVideo();
    EXPECT_EQ(main.stopCalls, 0);
    EXPECT_EQ(main.clearCalls, 0);
    EXPECT_TRUE(t.messages.shown.isEmpty());

    control.PlayVideo(alpha());
    view.fileSliderVisible = true;
    control.StopVideo();
    EXPECT_EQ(main.Tag(), "");
    EXPECT_EQ(main.stopCalls, 1);
    EXPECT_EQ(main.itemCount(), 0);
    EXPECT_EQ(main.inputState(), Player::Idle);
    EXPECT_FALSE(view.fileSliderVisible);
    EXPECT_FALSE(view.noStreamVisible);
    EXPECT_EQ(view.infoLine, "Alpha (Italy)"); // kept after a stop

    // A player that does not answer is stopped silently.
    main.broken = true;
    control.StopVideo();
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST_F(PlaybackControl, PlayerFailureIsReported) {
    main.broken = true;
    control.PlayVideo(alpha());
    EXPECT_TRUE(t.messages.saw("Error in PlayVideo: the player does not answer"));
    preview.broken = true;
    t.messages.clear();
    control.PlayPreview(alpha());
    EXPECT_TRUE(t.messages.saw("Error in SetPreviewVolume: the player does not answer"));
    EXPECT_TRUE(t.messages.saw("Error in PlayPreview: the player does not answer"));
}

TEST_F(PlaybackControl, TimerStatus) {
    control.TimerStatus();
    EXPECT_EQ(view.playerMessage, "Idle/Close");
    EXPECT_EQ(view.previewMessage, "- Preview - Idle/Close");
    main.setState(Player::Playing);
    preview.setState(Player::Buffering);
    main.reportedPosition = 0.375; // 7.5 rounds to 8
    control.TimerStatus();
    EXPECT_EQ(view.playerMessage, "Playing");
    EXPECT_EQ(view.previewMessage, "- Preview - Buffering");
    EXPECT_EQ(view.fileSlider, 8);
    main.reportedPosition = 0.125; // 2.5 rounds to 2
    main.setState(42);
    control.TimerStatus();
    EXPECT_EQ(view.fileSlider, 2);
    EXPECT_EQ(view.playerMessage, "ERROR");
    // Players that cannot report leave the bare texts standing.
    main.broken = true;
    preview.broken = true;
    control.TimerStatus();
    EXPECT_EQ(view.playerMessage, " - ");
    EXPECT_EQ(view.previewMessage, "- Preview - ");
    EXPECT_EQ(view.fileSlider, 2);
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST_F(PlaybackControl, PreviewPlaysAtItsVolumeAndAddsItems) {
    view.volumePicture = "one";
    control.PlayPreview(alpha());
    ASSERT_NE(preview.current(), nullptr);
    EXPECT_EQ(preview.current()->mrl, "http://127.0.0.1:9/alpha.ts");
    EXPECT_EQ(preview.current()->name, " ");
    EXPECT_EQ(preview.current()->options, QStringList({agent()}));
    EXPECT_EQ(preview.volume(), 100);
    EXPECT_EQ(preview.Tag(), alpha());
    view.volumePicture = "zero";
    control.PlayPreview(beta());
    EXPECT_EQ(preview.itemCount(), 2);
    EXPECT_EQ(preview.current()->mrl, "http://127.0.0.1:9/beta.ts");
    EXPECT_EQ(preview.volume(), 0);
    EXPECT_TRUE(main.items.isEmpty());
    EXPECT_EQ(view.infoLine, ""); // the information line names the main player only

    control.PlayPreview("5 ZZ");
    EXPECT_TRUE(t.messages.saw("Error: I can't find channel type (wich list?)"));
}

TEST_F(PlaybackControl, StopPreviewAndStopButton) {
    control.PlayPreview(alpha());
    control.PlayPreview(beta());
    view.previewMessage = "- Preview - Playing";
    control.PreviewStopButton();
    EXPECT_EQ(preview.Tag(), "");
    EXPECT_EQ(preview.inputState(), Player::Idle);
    EXPECT_EQ(preview.itemCount(), 2); // the button keeps the playlist
    EXPECT_EQ(view.previewMessage, "");
    EXPECT_FALSE(view.noStreamPreviewVisible);

    control.PlayPreview(alpha());
    control.StopPreview();
    EXPECT_EQ(preview.Tag(), "");
    EXPECT_EQ(preview.itemCount(), 0);
    EXPECT_EQ(preview.inputState(), Player::Idle);
    preview.broken = true;
    control.StopPreview();
    control.PreviewStopButton();
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST_F(PlaybackControl, PreviewVolumeCycles) {
    EXPECT_EQ(view.volumePicture, "zero");
    control.SwitchPreviewVolume();
    EXPECT_EQ(view.volumePicture, "one");
    EXPECT_EQ(preview.volume(), 100);
    control.SwitchPreviewVolume();
    EXPECT_EQ(view.volumePicture, "two");
    EXPECT_EQ(preview.volume(), 200);
    control.SwitchPreviewVolume();
    EXPECT_EQ(view.volumePicture, "zero");
    EXPECT_EQ(preview.volume(), 0);
    // A picture that is none of the three changes nothing.
    view.volumePicture = "";
    preview.volumeCalls.clear();
    control.SwitchPreviewVolume();
    control.SetPreviewVolume();
    EXPECT_EQ(view.volumePicture, "");
    EXPECT_TRUE(preview.volumeCalls.isEmpty());
    // The volume survives a stop and is applied again at the next preview.
    view.volumePicture = "two";
    control.StopPreview();
    control.PlayPreview(alpha());
    EXPECT_EQ(preview.volume(), 200);
}

TEST_F(PlaybackControl, MainVolume) {
    control.SetMainVolume(0);
    EXPECT_EQ(main.volume(), 0);
    control.SetMainVolume(10);
    EXPECT_EQ(main.volume(), 200);
    control.SetMainVolume(5);
    EXPECT_EQ(main.volume(), 100);
    EXPECT_TRUE(preview.volumeCalls.isEmpty());
    main.broken = true;
    control.SetMainVolume(3); // a slider move never ends in a message
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST_F(PlaybackControl, SwapWithNothingPlayingDoesNothing) {
    control.Swap();
    EXPECT_TRUE(t.messages.shown.isEmpty());
    EXPECT_TRUE(main.items.isEmpty());
    EXPECT_TRUE(preview.items.isEmpty());
    EXPECT_EQ(main.playCalls + preview.playCalls, 0);
}

TEST_F(PlaybackControl, SwapWhileFilePlaysIsRefused) {
    for (const QString& previewTag : {QString(), alpha()}) {
        t.messages.clear();
        main.setTag("-1 FL");
        preview.setTag(previewTag);
        control.Swap();
        ASSERT_EQ(t.messages.shown.size(), 1);
        EXPECT_EQ(t.messages.shown[0].text, "Playing a file - no swap");
        EXPECT_EQ(t.messages.shown[0].icon, MsgIcon::Exclamation);
        EXPECT_EQ(main.Tag(), "-1 FL");
        EXPECT_EQ(preview.Tag(), previewTag);
        EXPECT_EQ(main.playCalls + preview.playCalls, 0);
    }
}

TEST_F(PlaybackControl, SwapExchangesTheChannels) {
    control.PlayVideo(alpha());
    control.PlayPreview(beta());
    control.Swap();
    EXPECT_EQ(main.Tag(), beta());
    EXPECT_EQ(preview.Tag(), alpha());
    EXPECT_EQ(main.current()->mrl, "http://127.0.0.1:9/beta.ts");
    EXPECT_EQ(main.itemCount(), 1);
    EXPECT_EQ(preview.current()->mrl, "http://127.0.0.1:9/alpha.ts");
    EXPECT_EQ(view.infoLine, "beta tv (Italy)");
    EXPECT_TRUE(t.messages.shown.isEmpty());
    // And back again.
    control.Swap();
    EXPECT_EQ(main.Tag(), alpha());
    EXPECT_EQ(preview.Tag(), beta());
}

TEST_F(PlaybackControl, SwapMovesTheMainChannelToAnEmptyPreview) {
    control.PlayVideo(delta());
    control.Swap();
    EXPECT_EQ(preview.Tag(), delta());
    EXPECT_EQ(preview.current()->mrl, "http://127.0.0.1:9/delta.ts");
    EXPECT_EQ(main.Tag(), "");
    EXPECT_EQ(main.itemCount(), 0);
    EXPECT_EQ(main.inputState(), Player::Idle);
    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_EQ(t.messages.shown[0].text, translated("_frmMain_msgSwapNoPreview"));
    EXPECT_EQ(t.messages.shown[0].icon, MsgIcon::Exclamation);
    EXPECT_NE(t.messages.shown[0].text, "_frmMain_msgSwapNoPreview");
}

TEST_F(PlaybackControl, SwapMovesThePreviewChannelToAnEmptyMainPlayer) {
    control.PlayPreview(alpha());
    control.Swap();
    EXPECT_EQ(main.Tag(), alpha());
    EXPECT_EQ(main.current()->mrl, "http://127.0.0.1:9/alpha.ts");
    EXPECT_EQ(view.infoLine, "Alpha (Italy)");
    EXPECT_EQ(preview.Tag(), "");
    EXPECT_EQ(preview.itemCount(), 0);
    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_EQ(t.messages.shown[0].text, translated("_frmMain_msgSwapNoChannel"));
    EXPECT_EQ(t.messages.shown[0].icon, MsgIcon::Exclamation);
}

TEST_F(PlaybackControl, SwapWithOtherNumbersDoesNothing) {
    const QList<QPair<QString, QString>> pairs = {
        {alpha(), "-3 CH_ID"}, {"-2 CH_ID", alpha()}, {"", "-1 FL"}, {"-5 XX", ""}};
    for (const auto& [m, p] : pairs) {
        main.setTag(m);
        preview.setTag(p);
        control.Swap();
        EXPECT_EQ(main.Tag(), m);
        EXPECT_EQ(preview.Tag(), p);
    }
    EXPECT_TRUE(t.messages.shown.isEmpty());
    EXPECT_EQ(main.playCalls + preview.playCalls, 0);
}

TEST(PlaybackAddress, OnlyUrlsReachThePlayerAsLocations) {
    EXPECT_EQ(classifyAddress("http://127.0.0.1:9/alpha.ts"), AddressKind::Location);
    EXPECT_EQ(classifyAddress("  rtsp://host/x  "), AddressKind::Location);
    EXPECT_EQ(classifyAddress("file:///tmp/x.ts"), AddressKind::Location);
    EXPECT_EQ(classifyAddress(""), AddressKind::Unusable);
    EXPECT_EQ(classifyAddress("   "), AddressKind::Unusable);
    EXPECT_EQ(classifyAddress("alpha.ts"), AddressKind::Unusable);
    EXPECT_EQ(classifyAddress("www.example.com/live"), AddressKind::Unusable);
    EXPECT_EQ(classifyAddress("C:\\TV\\alpha.ts"), AddressKind::Unusable);
    EXPECT_EQ(classifyAddress("http://"), AddressKind::Unusable);
    QString path;
    EXPECT_EQ(classifyAddress("/srv/tv/alpha.ts", &path), AddressKind::LocalPath);
    EXPECT_EQ(path, "/srv/tv/alpha.ts");
    QTemporaryFile file("relative_XXXXXX.ts");
    ASSERT_TRUE(file.open());
    EXPECT_EQ(classifyAddress(file.fileName(), &path), AddressKind::LocalPath);
    EXPECT_TRUE(path.startsWith('/'));
}

TEST(PlaybackVideoView, EmbedsOnlyOnXcb) {
    FakePlayer player;
    VideoView view;
    view.resize(160, 120);
    view.setPlayer(&player);
    view.show();
    QApplication::processEvents();
    EXPECT_EQ(VideoView::canEmbed(), QGuiApplication::platformName() == "xcb");
    if (VideoView::canEmbed())
        EXPECT_NE(player.window, 0u);
    else
        EXPECT_EQ(player.window, 0u);
    // The idle look and the playing look both paint, also for a player that cannot say.
    view.grab();
    player.setState(Player::Playing);
    view.grab();
    player.broken = true;
    view.grab();
}

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
