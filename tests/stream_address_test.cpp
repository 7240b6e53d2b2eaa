#include "app/StreamAddress.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zentuvo;
using namespace zentuvo::test;

TEST(StreamAddress, AKnownSchemeOrTheFullPathOfAnExistingFile) {
    QTemporaryDir dir;
    const QString existing = dir.filePath("existing.ts");
    writeFile(existing, "x");
    const QString missing = dir.filePath("missing.ts");
    struct Case {
        QString text;
        bool accepted;
    };
    const Case cases[] = {
        {"http://x", true},
        {"HTTP://x", true},
        {"https://example.org/live.m3u8", true},
        {"rtmp://x/app", true},
        {"RtSp://x", true},
        {"mms://x", true},
        {"mmsh://x", true},
        {"udp://@239.0.0.1:1234", true},
        {"rtp://x", true},
        {"srt://x:9000", true},
        {"file:///tmp/x", true},
        {" http://x ", true},
        {"\thttp://x\n", true},
        {existing, true},
        {"  " + existing + " ", true},
        {"http:/x", false},
        {"http://", false},
        {"http:// x", false},
        {"://x", false},
        {"ftp://x", false},
        {"httpx://x", false},
        {"not a url", false},
        {missing, false},
        {dir.path(), false}, // a folder is not a file
        {"relative/path", false},
        {"existing.ts", false},
        {"", false},
        {"   ", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(isStreamAddress(c.text), c.accepted);
    }
    EXPECT_EQ(streamAddressSchemes(), "http://, https://, rtmp://, rtsp://, mms://, mmsh://, "
                                      "udp://, rtp://, srt://, file://");
}
