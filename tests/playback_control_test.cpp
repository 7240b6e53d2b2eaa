// The playback commands against fake players: what play and preview hand the player, stop,
// the status line, the preview's volume button, the main volume, the swap; the address rules.
#include "app/PlayerOptions.h"
#include "data/ChannelInfo.h"
#include "data/MyList.h"
#include "playback/VlcPlayer.h"
#include "playback_fake_view.h"
#include "support/FakePlayer.h"
#include "support/TestSupport.h"
#include "ui/main/PlayerControl.h"

#include <QHash>
#include <QTemporaryFile>

using namespace zentuvo;
using namespace zentuvo::test;

namespace {

const QString kNoTitle = ":no-video-title-show";
const QString kUnknownKind = "Error: I can't find channel type (wich list?)";

// A main and a preview player with the playback commands over them.
struct Rig {
    explicit Rig(AppContext& app) : control(app, main, preview, view) {}
    FakePlayer main, preview;
    FakePlayerView view;
    PlayerControl control;
};

class PlaybackControl : public ::testing::Test {
protected:
    TestApp t;
    Rig rig{*t.app};
    FakePlayer& main = rig.main;
    FakePlayer& preview = rig.preview;
    FakePlayerView& view = rig.view;
    PlayerControl& control = rig.control;

    QString key(const char* code) { return catalogueRef(*t.app, code).toText(); }
    QString alpha() { return key("Alpha.it"); }
    QString beta() { return key("Beta.it"); }
    // The program's user agent as the player gets it: with its blanks.
    QString agent() const {
        return QString(t.app->preferences().playerUserAgentOption()).replace('+', ' ');
    }
    // The main player's and the preview's status lines after a tick.
    QStringList status() {
        control.updateStatus();
        return {view.playerMessage, view.previewMessage};
    }
};

} // namespace

TEST_F(PlaybackControl, PlayAndPreviewHandThePlayerTheAddressAndTheHeaders) {
    MyListRecord own;
    own.name = "Own";
    own.streamUrl = "http://127.0.0.1:9/own.ts";
    own.userAgent = "OwnAgent/2";
    own.referrer = "http://127.0.0.1:9/";
    ASSERT_TRUE(own.save(t.app->data()));
    // The channel, its address, its headers, its information line, the message it gives.
    const std::tuple<QString, QString, QStringList, QString, QString> cases[] = {
        {alpha(), "http://127.0.0.1:9/alpha.ts", {agent()}, "Alpha (Italy)", ""},
        {addMyList(*t.app, "Mine", "http://127.0.0.1:9/mine.ts").toText(),
         "http://127.0.0.1:9/mine.ts",
         {agent()},
         "Mine (" + countryName(t.app->data(), 1) + ")",
         ""},
        // The channel's own user agent and referrer replace the program's.
        {key("Delta.fr"),
         "http://127.0.0.1:9/delta.ts",
         {":http-user-agent=DeltaAgent/1.0", ":http-referrer=https://delta.example/"},
         "Delta (France)",
         ""},
        // A My List channel's own headers, as a playlist gave them, likewise; without a
        // country its name stands alone.
        {ChannelRef::myList(own.channelID).toText(),
         "http://127.0.0.1:9/own.ts",
         {":http-user-agent=OwnAgent/2", ":http-referrer=http://127.0.0.1:9/"},
         "Own",
         ""},
        // A reference of no list says so; the empty address still goes to the player, which fails.
        {"12 XX", "", {agent()}, "", kUnknownKind},
    };
    for (const auto& [key, mrl, headers, info, message] : cases) {
        SCOPED_TRACE(key.toStdString());
        Rig r(*t.app);
        r.view.volumeSlider = 7;
        r.view.volumePicture = "one";
        t.messages.clear();
        r.control.playMain(ChannelRef::fromText(beta()));
        r.control.playMain(ChannelRef::fromText(key)); // a new channel replaces the one playing
        ASSERT_NE(r.main.current(), nullptr);
        EXPECT_EQ(r.main.itemCount(), 1);
        EXPECT_EQ(r.main.current()->mrl, mrl);
        // The main player keeps a paused channel in time-shift files of the cache folder.
        const QStringList timeShift{":input-timeshift-path=" + r.control.timeShiftFolder(),
                                    ":input-timeshift-granularity=67108864"};
        EXPECT_EQ(r.main.current()->options, headers + QStringList{kNoTitle} + timeShift);
        // A text of no list reads as no channel, whose tag is empty.
        EXPECT_EQ(r.control.mainTag(), message.isEmpty() ? key : "");
        EXPECT_EQ(r.main.volume(), 140);
        if (message.isEmpty())
            EXPECT_EQ(r.view.infoLine, info);
        else
            EXPECT_EQ(r.main.state(), PlayerState::Error);

        r.control.playPreview(ChannelRef::fromText(beta()));
        r.control.playPreview(ChannelRef::fromText(key)); // each preview adds an item
        EXPECT_EQ(r.preview.itemCount(), 2);
        EXPECT_EQ(r.preview.current()->mrl, mrl);
        EXPECT_EQ(r.preview.current()->options, headers);
        EXPECT_EQ(r.preview.volume(), 100);
        const QStringList expected =
            message.isEmpty() ? QStringList() : QStringList{message, message};
        EXPECT_EQ(t.messages.texts(), expected);
    }
}

TEST_F(PlaybackControl, AReferrerAloneKeepsTheProgramsAgent) {
    ChannelInfo referrer;
    referrer.referrer = "https://ref.example/";
    EXPECT_EQ(playerHeaderOptions(t.app->preferences().playerUserAgentOption(), referrer),
              QStringList({agent(), ":http-referrer=https://ref.example/"}));
}

TEST_F(PlaybackControl, StoppingEmptiesThePlayersAndAPlayerThatFailsIsReportedOrIgnored) {
    control.stopMain(); // never played: no call, no message
    EXPECT_EQ(main.stopCalls + main.clearCalls, 0);
    control.playMain(ChannelRef::fromText(alpha()));
    view.fileSliderVisible = true;
    control.stopMain();
    EXPECT_EQ(control.mainTag(), "");
    EXPECT_EQ(view.infoLine, ""); // the information line goes with the channel
    EXPECT_EQ(main.itemCount(), 0);
    EXPECT_EQ(main.state(), PlayerState::Idle);
    EXPECT_FALSE(view.fileSliderVisible);
    control.playPreview(ChannelRef::fromText(alpha()));
    control.playPreview(ChannelRef::fromText(beta()));
    control.stopPreviewKeepingPlaylist();
    EXPECT_EQ(control.previewTag(), "");
    EXPECT_EQ(preview.itemCount(), 2); // the button keeps the playlist
    control.stopPreview();
    EXPECT_EQ(preview.itemCount(), 0);
    // Stopping a player that does not answer says nothing; playing on one says so.
    main.broken = preview.broken = true;
    control.stopMain();
    control.stopPreview();
    control.stopPreviewKeepingPlaylist();
    EXPECT_TRUE(t.messages.shown.isEmpty());
    control.playMain(ChannelRef::fromText(alpha()));
    control.playPreview(ChannelRef::fromText(alpha()));
    EXPECT_EQ(t.messages.texts(),
              QStringList({"Error in PlayVideo: the player does not answer",
                           "Error in SetPreviewVolume: the player does not answer",
                           "Error in PlayPreview: the player does not answer"}));
}

TEST_F(PlaybackControl, MuteSilencesTheMainPlayerUntilUnmuted) {
    QList<bool> announced;
    QObject::connect(&control, &PlayerControl::mutedChanged, [&](bool m) { announced << m; });
    control.toggleMute();
    EXPECT_EQ(main.volume(), 0);
    control.setMainVolume(8); // the slider moves, the player stays silent
    control.playMain(catalogueRef(*t.app, "Alpha.it"));
    EXPECT_EQ(main.volume(), 0);
    control.toggleMute();
    EXPECT_EQ(main.volume(), view.volumeSlider * PlayerControl::kVolumeStep);
    EXPECT_EQ(announced, QList<bool>({true, false}));
}

TEST_F(PlaybackControl, TimerStatus) {
    EXPECT_EQ(status(), QStringList({"Idle/Close", "- Preview - Idle/Close"}));
    preview.setState(PlayerState::Buffering);
    main.reportedPosition = 0.375; // 7.5 rounds to 8
    EXPECT_EQ(status(), QStringList({"Idle/Close", "- Preview - Buffering"}));
    // A preview that plays names its channel.
    control.playPreview(catalogueRef(*t.app, "Beta.it"));
    EXPECT_EQ(status().last(), "- Preview - beta tv");
    control.stopPreview();
    EXPECT_EQ(view.fileSlider, 8);
    main.reportedPosition = 0.125; // 2.5 rounds to 2
    main.setState(PlayerState(42));
    EXPECT_EQ(status().first(), "ERROR");
    EXPECT_EQ(view.fileSlider, 2);
    // Players that cannot report leave the bare texts standing.
    main.broken = preview.broken = true;
    EXPECT_EQ(status(), QStringList({" - ", "- Preview - "}));
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST_F(PlaybackControl, AChannelThatNeverStartsIsStoppedWithTheReason) {
    control.setStartTimeout(50);
    const QString reason = "no answer from the server within 1 s";
    // The preview never starts; the main player plays in time and is left alone.
    main.stateOnPlay = preview.stateOnPlay = PlayerState::Opening;
    control.playMain(catalogueRef(*t.app, "Alpha.it"));
    control.playPreview(catalogueRef(*t.app, "Beta.it"));
    main.setState(PlayerState::Playing);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return view.previewMessage == "- Preview - ERROR: " + reason; }, 5000))
        << view.previewMessage.toStdString();
    EXPECT_EQ(preview.stopCalls, 1);
    EXPECT_EQ(main.stopCalls, 0);
    EXPECT_EQ(control.previewFailure(), reason);
    EXPECT_EQ(status(), QStringList({"Playing", "- Preview - ERROR: " + reason}));

    // The main player stays opening: stopped, with the reason in the status and information
    // lines until the next play.
    control.playMain(catalogueRef(*t.app, "Alpha.it"));
    main.setState(PlayerState::Buffering);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view.playerMessage == "ERROR: " + reason; }, 5000))
        << view.playerMessage.toStdString();
    EXPECT_EQ(main.stopCalls, 1);
    EXPECT_EQ(view.infoLine, "Alpha (Italy) - " + reason);
    EXPECT_EQ(status().first(), "ERROR: " + reason);
    control.stopMain();
    control.stopPreview();
    EXPECT_EQ(status(), QStringList({"Idle/Close", "- Preview - Idle/Close"}));
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST_F(PlaybackControl, AFailedStreamShowsTheLibrarysReason) {
    // Streams that fail while they open (one that played would be reconnected first).
    main.stateOnPlay = preview.stateOnPlay = PlayerState::Opening;
    control.playMain(catalogueRef(*t.app, "Alpha.it"));
    control.playPreview(catalogueRef(*t.app, "Beta.it"));
    main.reportedError = "HTTP connection failure\nconnection failed: Connection refused";
    preview.reportedError = "HTTP 404 error\nYour input can't be opened";
    main.setState(PlayerState::Error);
    preview.setState(PlayerState::Error);
    EXPECT_EQ(view.infoLine, "Alpha (Italy) - the server refused the connection");
    EXPECT_EQ(status(), QStringList({"ERROR: the server refused the connection",
                                     "- Preview - ERROR: not found on the server"}));
    // What the table does not know shows as the library wrote it; nothing, as before.
    main.reportedError = "Your input can't be opened\nsomething else";
    preview.reportedError.clear();
    EXPECT_EQ(status(), QStringList({"ERROR: Your input can't be opened", "- Preview - ERROR"}));
    // In the user's language.
    t.app->preferences().setLanguage(2);
    main.reportedError = "HTTP 404 error";
    EXPECT_EQ(status(), QStringList({"ERRORE: non trovato sul server", "- Anteprima - ERRORE"}));
}

TEST_F(PlaybackControl, PreviewAndMainVolumes) {
    for (const auto& [picture, volume] : {std::pair{"one", 100}, {"two", 200}, {"zero", 0}}) {
        control.switchPreviewVolume();
        EXPECT_EQ(view.volumePicture, picture);
        EXPECT_EQ(preview.volume(), volume);
    }
    // A picture that is none of the three changes nothing.
    view.volumePicture = "";
    preview.volumeCalls.clear();
    control.switchPreviewVolume();
    control.applyPreviewVolume();
    EXPECT_TRUE(preview.volumeCalls.isEmpty());
    // The volume survives a stop and is applied again at the next preview.
    view.volumePicture = "two";
    control.stopPreview();
    control.playPreview(ChannelRef::fromText(alpha()));
    EXPECT_EQ(preview.volume(), 200);
    for (const auto& [slider, volume] : {std::pair{0, 0}, {10, 200}, {5, 100}}) {
        control.setMainVolume(slider);
        EXPECT_EQ(main.volume(), volume);
    }
    main.broken = true;
    control.setMainVolume(3); // a slider move never ends in a message
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST_F(PlaybackControl, SwapAndPreviousChannel) {
    const ChannelRef a = catalogueRef(*t.app, "Alpha.it"), b = catalogueRef(*t.app, "Beta.it"),
                     mine = addMyList(*t.app, "Mine", "http://127.0.0.1:9/mine.ts"),
                     file = ChannelRef::file(), noMain = ChannelRef::fromText("-2 CH_ID"),
                     noPreview = ChannelRef::fromText("-3 CH_ID");
    // What a channel that plays shows: its address and information line.
    const QHash<QString, QStringList> shown{
        {a.toText(), {"http://127.0.0.1:9/alpha.ts", "Alpha (Italy)"}},
        {b.toText(), {"http://127.0.0.1:9/beta.ts", "beta tv (Italy)"}},
        {mine.toText(),
         {"http://127.0.0.1:9/mine.ts", "Mine (" + countryName(t.app->data(), 1) + ")"}}};
    const QString swapNoPreview = t.app->translate("_frmMain_msgSwapNoPreview"),
                  swapNoChannel = t.app->translate("_frmMain_msgSwapNoChannel"),
                  swapFile = "Playing a file - no swap";
    ASSERT_NE(swapNoPreview, "_frmMain_msgSwapNoPreview");
    // The steps, then what the main player and the preview play, the previous channel and
    // the message. The main player: a, m play Alpha, Mine; f a file; x stop; N a tag without
    // a number. The preview: A, B play Alpha, Beta; F a file; n a tag without a number.
    // w the swap; p the previous channel.
    const std::tuple<const char*, ChannelRef, ChannelRef, ChannelRef, QString> cases[] = {
        {"w", {}, {}, {}, ""}, // nothing plays
        {"fw", file, {}, {}, swapFile},
        {"fAw", file, a, {}, swapFile},
        {"aBw", b, a, a, ""}, // the swap plays the preview's channel in the main player
        {"aBwp", a, a, b, ""},
        {"aw", {}, a, a, swapNoPreview},
        {"Aw", a, {}, {}, swapNoChannel},
        {"anw", a, noPreview, {}, ""},
        {"NAw", noMain, a, {}, ""},
        {"Fw", {}, file, {}, ""},
        {"p", {}, {}, {}, ""},
        {"ap", a, {}, {}, ""},
        {"aap", a, {}, {}, ""},
        {"amp", a, {}, mine, ""},
        {"ampp", mine, {}, a, ""},
        {"afmp", a, {}, mine, ""}, // a file in between does not count
        {"amfp", mine, {}, a, ""}, // from a file: the last channel
        {"amxp", mine, {}, a, ""}, // from nothing too
        {"fp", file, {}, {}, ""},
    };
    const QHash<char, std::function<void(PlayerControl&)>> act{
        {'a', [&](PlayerControl& c) { c.playMain(a); }},
        {'m', [&](PlayerControl& c) { c.playMain(mine); }},
        {'f',
         [&](PlayerControl& c) {
             c.stopMain();
             c.setMainChannel(file);
         }},
        {'x', [&](PlayerControl& c) { c.stopMain(); }},
        {'N', [&](PlayerControl& c) { c.setMainChannel(noMain); }},
        {'A', [&](PlayerControl& c) { c.playPreview(a); }},
        {'B', [&](PlayerControl& c) { c.playPreview(b); }},
        {'F', [&](PlayerControl& c) { c.setPreviewChannel(file); }},
        {'n', [&](PlayerControl& c) { c.setPreviewChannel(noPreview); }},
        {'p', [&](PlayerControl& c) { c.playPrevious(); }},
    };
    for (const auto& [steps, inMain, inPreview, previous, message] : cases) {
        SCOPED_TRACE(steps);
        Rig r(*t.app);
        bool available = false;
        QObject::connect(&r.control, &PlayerControl::previousChannelAvailable,
                         [&](bool on) { available = on; });
        t.messages.clear();
        for (const char step : std::string_view(steps)) {
            const QString main = r.control.mainTag(), preview = r.control.previewTag();
            const int plays = r.main.playCalls + r.preview.playCalls;
            if (step != 'w') {
                act[step](r.control);
                continue;
            }
            r.control.swap(); // it plays what moved, and nothing else
            EXPECT_EQ(r.main.playCalls + r.preview.playCalls - plays,
                      int(r.control.mainTag() != main && shown.contains(r.control.mainTag())) +
                          int(r.control.previewTag() != preview &&
                              shown.contains(r.control.previewTag())));
        }
        EXPECT_EQ(r.control.mainTag(), inMain.toText());
        EXPECT_EQ(r.control.previewTag(), inPreview.toText());
        EXPECT_EQ(r.control.previousChannel().toText(), previous.toText());
        EXPECT_EQ(available, !previous.isNull());
        EXPECT_EQ(t.messages.texts(), message.isEmpty() ? QStringList() : QStringList{message});
        // A channel plays in its player; a player left without one is emptied.
        for (const auto& [player, tag] :
             {std::pair{&r.main, r.control.mainTag()}, {&r.preview, r.control.previewTag()}}) {
            if (tag.isEmpty()) {
                EXPECT_EQ(player->current(), nullptr);
            } else if (shown.contains(tag)) {
                EXPECT_EQ(player->current()->mrl, shown[tag][0]);
            }
        }
        if (shown.contains(r.control.mainTag())) {
            EXPECT_EQ(r.main.itemCount(), 1);
            EXPECT_EQ(r.view.infoLine, shown[r.control.mainTag()][1]);
        }
    }
}

TEST(PlaybackAddress, OnlyUrlsReachThePlayerAsLocations) {
    for (const char* url : {"http://127.0.0.1:9/alpha.ts", "  rtsp://host/x  ", "file:///tmp/x.ts"})
        EXPECT_EQ(classifyAddress(url), AddressKind::Location) << url;
    for (const char* bad :
         {"", "   ", "alpha.ts", "www.example.com/live", "C:\\TV\\alpha.ts", "http://"})
        EXPECT_EQ(classifyAddress(bad), AddressKind::Unusable) << bad;
    QString path;
    EXPECT_EQ(classifyAddress("/srv/tv/alpha.ts", &path), AddressKind::LocalPath);
    EXPECT_EQ(path, "/srv/tv/alpha.ts");
    QTemporaryFile file("relative_XXXXXX.ts");
    ASSERT_TRUE(file.open());
    EXPECT_EQ(classifyAddress(file.fileName(), &path), AddressKind::LocalPath);
    EXPECT_TRUE(path.startsWith('/'));
}
