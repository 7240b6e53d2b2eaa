// The player library's error lines reduced to a reason: the term key of what it recognises,
// else the first line as it is.
#include "app/PlaybackErrors.h"
#include "playback/LiveInput.h"
#include "playback/LiveStream.h"

#include <gtest/gtest.h>

using namespace zentuvo;

TEST(PlaybackErrors, LibraryTextsBecomeReasons) {
    struct Case {
        QStringList lines;
        QString termKey;
        QString text;
    };
    const Case cases[] = {
        {{"HTTP 404 error", "error: HTTP/1.0 404 File not found", "Your input can't be opened"},
         "_player_errNotFound",
         ""},
        {{"404 Not Found"}, "_player_errNotFound", ""},
        {{"HTTP connection failure", "connection failed: Connection refused",
          "cannot connect to 127.0.0.1:9"},
         "_player_errRefused",
         ""},
        {{"no suitable demux module for `http/ts://127.0.0.1/x'"}, "_player_errUnreadable", ""},
        {{"unidentified format"}, "_player_errUnreadable", ""},
        {{"connection failed: Connection timed out"}, "_player_errTimedOut", ""},
        {{"read timed out"}, "_player_errTimedOut", ""},
        {{"cannot resolve nohost.invalid port 80 : Name or service not known"},
         "_player_errNoHost",
         ""},
        {{"Temporary failure in name resolution"}, "_player_errNoHost", ""},
        {{"  Your input can't be opened ", "something else"}, "", "Your input can't be opened"},
        {{}, "", ""},
        {{"", " "}, "", ""},
        // A port or a size of 404 is no HTTP status.
        {{"cannot connect to 127.0.0.1:4040"}, "", "cannot connect to 127.0.0.1:4040"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines.join(" | ").toStdString());
        const PlaybackErrorReason reason = playbackErrorReason(c.lines);
        EXPECT_EQ(reason.termKey, c.termKey);
        EXPECT_EQ(reason.text, c.text);
    }
}

// Only a continuous live stream over the network gets the start-up options; a playlist of
// segments, a file or another protocol plays as the library would.
TEST(PlaybackErrors, LiveStreamOptionsOnlyForContinuousNetworkStreams) {
    const QStringList live =
        QString("http://1.2.3.4:8080/live/u/p/1234.ts|HTTPS://host/u/p/1234| http://h/ch.ts |"
                "udp://@239.0.0.1:1234|rtp://239.1.1.1:5000")
            .split('|');
    const QStringList other =
        QString("http://h/live/index.m3u8|https://h/x.M3U8?token=1|http://h/get.php?type=m3u8|"
                "http://h/hls/ch1|http://h/list.m3u|https://h/manifest.mpd|/tmp/rec.ts|"
                "file:///tmp/rec.ts|rtmp://h/app/ch|rtsp://h/ch|mmsh://h/ch|not a url")
            .split('|');
    for (const QString& mrl : live) {
        EXPECT_EQ(liveStreamOptions(mrl), QStringList{":no-ts-trust-pcr"}) << mrl.toStdString();
        // We read it ourselves over HTTP(S) only.
        EXPECT_EQ(readsAsLiveTransportStream(mrl),
                  mrl.trimmed().startsWith("http", Qt::CaseInsensitive) || mrl.startsWith("HTTPS"))
            << mrl.toStdString();
    }
    for (const QString& mrl : other + QStringList{"http://h/movie.MP4", "http://h/a.mp3?x=1"})
        EXPECT_FALSE(readsAsLiveTransportStream(mrl)) << mrl.toStdString();
    for (const QString& mrl : other)
        EXPECT_TRUE(liveStreamOptions(mrl).isEmpty()) << mrl.toStdString();
    // The item's own headers reach the request: the last of each wins, "+" is a blank.
    const LiveInputRequest request =
        liveInputRequest(" http://h/1.ts ", {":http-user-agent=A", ":http-user-agent=Our+Agent/1",
                                             ":http-referrer=http://r/?a+b"});
    EXPECT_EQ(request.url, QUrl("http://h/1.ts"));
    EXPECT_EQ(request.userAgent, "Our Agent/1");
    EXPECT_EQ(request.referrer, "http://r/?a+b");
}
