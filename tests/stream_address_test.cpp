#include "app/StreamAddress.h"
#include "support/TestSupport.h"

using namespace zentuvo;
using namespace zentuvo::test;

TEST(StreamAddress, AKnownSchemeOrTheFullPathOfAnExistingFile) {
    QTemporaryDir dir;
    const QString existing = dir.filePath("existing.ts");
    writeFile(existing, "x");
    // A folder is not a file; a file name needs its full path.
    const QStringList accepted =
        QStringList{existing, "  " + existing + " "} +
        QString("http://x|HTTP://x|https://example.org/live.m3u8|rtmp://x/app|RtSp://x|mms://x|"
                "mmsh://x|udp://@239.0.0.1:1234|rtp://x|srt://x:9000|file:///tmp/x| http://x |"
                "\thttp://x\n")
            .split('|');
    const QStringList refused =
        QStringList{dir.filePath("missing.ts"), dir.path()} +
        QString("http:/x|http://|http:// x|://x|ftp://x|httpx://x|not a url|relative/path|"
                "existing.ts||   ")
            .split('|');
    for (const QString& text : accepted)
        EXPECT_TRUE(isStreamAddress(text)) << text.toStdString();
    for (const QString& text : refused)
        EXPECT_FALSE(isStreamAddress(text)) << text.toStdString();
}
