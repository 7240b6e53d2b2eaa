// The player library's error lines reduced to a reason: the term key of what it recognises,
// else the first line as it is.
#include "app/PlaybackErrors.h"

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
