// File naming, sizes, the size line, the player's arguments and error text, stall watch.
#include "data/ChannelInfo.h"
#include "record/RecordFiles.h"
#include "record/Recorder.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zentuvo;
using namespace zentuvo::RecordFiles;

namespace {

const QDate kChristmasEve(2009, 12, 24);

void touch(const QString& path, qint64 size = 0) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    ASSERT_TRUE(f.resize(size));
}

} // namespace

TEST(RecordFileName, TakesTheFirstNumberOfTheDayThatNoFileOrFolderHolds) {
    struct Case {
        const char* what;
        QStringList files;
        int number;
    };
    const Case cases[] = {
        {"first of the day", {}, 1},
        {"a recording", {"20091224_1.ts"}, 2},
        {"any extension", {"20091224_1.ts", "20091224_2.txt", "20091224_4.ts.part"}, 3},
        {"any letter case",
         {"20091224_1.ts", "20091224_2.txt", "20091224_3.TS", "20091224_4.ts.part"},
         5},
        {"only the exact number with an extension",
         {"20091224_1", "20091224_01.ts", "20091224_12.ts", "20091223_1.ts", "x20091224_1.ts"},
         1},
        {"gaps first", {"20091224_1.ts", "20091224_2.ts", "20091224_4.ts", "20091224_5.ts"}, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const QString folder = dir.filePath("My Recordings"); // blanks stay as they are
        ASSERT_TRUE(QDir().mkpath(folder));
        for (const QString& file : c.files)
            touch(folder + "/" + file);
        EXPECT_EQ(GetFileName(folder, kChristmasEve),
                  folder + QStringLiteral("/20091224_%1.ts").arg(c.number));
    }
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("20091224_1.ts")); // a folder of that name blocks too
    EXPECT_EQ(GetFileName(dir.path(), kChristmasEve), dir.path() + "/20091224_2.ts");
    // A one-digit month and day get their leading zero.
    EXPECT_EQ(GetFileName(dir.path(), QDate(2026, 1, 5)), dir.path() + "/20260105_1.ts");
}

TEST(RecordFileSize, MissingEmptyAndBeyondTwoGigabytes) {
    QTemporaryDir dir;
    EXPECT_EQ(FileSize(dir.filePath("none.ts")), -1);
    touch(dir.filePath("empty.ts"));
    EXPECT_EQ(FileSize(dir.filePath("empty.ts")), 0);
    // A sparse file: takes no room, but its length needs 64 bits.
    const qint64 big = 3LL * 1024 * 1024 * 1024 + 5;
    touch(dir.filePath("big.ts"), big);
    EXPECT_EQ(FileSize(dir.filePath("big.ts")), big);
    EXPECT_EQ(FileSizeText(big, QLocale(QLocale::English, QLocale::UnitedStates)), "MB: 3,072.0");
}

TEST(RecordSizeText, RoundingTheEdgeBetweenKilobytesAndMegabytesAndTheLocale) {
    const QLocale us(QLocale::English, QLocale::UnitedStates),
        de(QLocale::German, QLocale::Germany);
    const std::tuple<qint64, QLocale, const char*> cases[] = {
        {-1, us, "KB: 0"}, // no file yet
        {0, us, "KB: 0"},
        {511, us, "KB: 0"},
        {512, us, "KB: 1"},
        {1535, us, "KB: 1"},
        {1536, us, "KB: 2"},
        {1048575, us, "KB: 1,024"},
        {1048576, us, "MB: 1.0"},
        {1048575, de, "KB: 1.024"},
        {1048576, de, "MB: 1,0"},
        {1048576 + 52429, us, "MB: 1.1"},
        {10 * 1048576 - 1, us, "MB: 10.0"},
    };
    for (const auto& [bytes, locale, text] : cases)
        EXPECT_EQ(FileSizeText(bytes, locale), text) << bytes << " " << locale.name().toStdString();
}

TEST(RecorderCommand, ProgramAndArgumentsKeepBlanksInOnePiece) {
    EXPECT_EQ(RecorderCommand::program("/opt/my player"), "/opt/my player/vlc");
    EXPECT_EQ(RecorderCommand::program("/usr/bin/"), "/usr/bin/vlc");
    const QStringList args =
        RecorderCommand::arguments("http://127.0.0.1:8000/live.ts",
                                   "/home/a b/Recorded/20091224_1.ts", {":http-user-agent=X"});
    const QStringList expected{"-I",
                               "dummy",
                               "--no-dbus",
                               "--aout=adummy",
                               "http://127.0.0.1:8000/live.ts",
                               "--sout",
                               "file/ts:/home/a b/Recorded/20091224_1.ts",
                               ":http-user-agent=X",
                               "--play-and-exit"};
    EXPECT_EQ(args, expected);
}

TEST(RecorderCommand, ItemOptionsPreferTheChannelsOwnHeaders) {
    const QString program = ":http-user-agent=Mozilla/5.0+(X11;+U)+Firefox/3.0.6";
    const QString sent = ":http-user-agent=Mozilla/5.0 (X11; U) Firefox/3.0.6";
    EXPECT_EQ(RecorderCommand::plainUserAgentOption(program), sent);
    EXPECT_EQ(RecorderCommand::plainUserAgentOption(":other=a+b"), ":other=a+b");
    cChannel plain;
    EXPECT_EQ(RecorderCommand::itemOptions(plain, program), QStringList{sent});
    cChannel own;
    own.userAgent = "DeltaAgent/1.0 (TV)";
    own.referrer = "https://delta.example/";
    EXPECT_EQ(RecorderCommand::itemOptions(own, program),
              (QStringList{":http-user-agent=DeltaAgent/1.0 (TV)",
                           ":http-referrer=https://delta.example/"}));
    cChannel referrerOnly;
    referrerOnly.referrer = "https://r.example/";
    EXPECT_EQ(RecorderCommand::itemOptions(referrerOnly, program),
              (QStringList{sent, ":http-referrer=https://r.example/"}));
}

// What the player printed, as the real one prints it, and the lines the status shows of it.
TEST(RecorderCommand, ErrorTextKeepsTheErrorsThatMatterAndDropsTheNoise) {
    struct Case {
        const char *what, *output, *shown;
    };
    const Case cases[] = {
        {"a refused address",
         "[0000559aa4f37c50] main interface error: no suitable interface module\n"
         "[0000559aa4e99cd0] main libvlc error: interface \"globalhotkeys,none\" initialization "
         "failed\n"
         "[0000559aa4f37c50] dummy interface: using the dummy interface module...\n"
         "[0000563f6fe80df0] vlcpulse audio output error: PulseAudio server connection failure\n"
         "[00007f7f28006730] access stream error: HTTP 404 error\n"
         "[00007f7f28006730] http stream error: error: HTTP/1.0 404 Not Found\n"
         "[00007f7f30000c90] main input error: Your input can't be opened\n"
         "[00007f7f30000c90] main input error: VLC is unable to open the MRL "
         "'http://127.0.0.1:18231/nope.ts'. Check the log for details.\n"
         "[0000559aa4f288e0] main playlist: end of playlist, exiting\n",
         "HTTP 404 error; HTTP/1.0 404 Not Found"},
        {"a folder it cannot write",
         "[000055c45bf17000] dummy interface: using the dummy interface module...\n"
         "[00007f711c002660] file access out error: cannot create /tmp/ro/x.ts: Permission "
         "denied\n"
         "[00007f711c001270] stream_out_standard stream out error: no suitable sout access module "
         "for `file/ts:///tmp/ro/x.ts'\n"
         "[00007f711c000f20] main stream output error: stream chain failed for "
         "`standard{mux=\"ts\",access=\"file\",dst=\"/tmp/ro/x.ts\"}'\n"
         "[00007f7124000c90] main input error: cannot start stream output instance, aborting\n",
         "cannot create /tmp/ro/x.ts: Permission denied; no suitable sout access module for "
         "`file/ts:///tmp/ro/x.ts'"},
        {"the refusal to run as root",
         "VLC is not supposed to be run as root. Sorry.\n"
         "If you need to use real-time priorities and/or privileged TCP ports\n"
         "you can use vlc-wrapper (make sure it is Set-UID root and\n"
         "cannot be run by non-trusted users first).\n",
         "VLC is not supposed to be run as root. Sorry."},
        {"noise alone",
         "[01] main interface error: no suitable interface module\n"
         "[02] dbus interface error: Failed to connect to the D-Bus session daemon\n"
         "[03] ts mux warning: late buffer\n"
         "Failed to create secure directory (/root/.config/pulse): Permission denied\n"
         "[05] dummy interface: using the dummy interface module...\n",
         ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RecorderCommand::errorText(c.output), c.shown) << c.what;
    EXPECT_EQ(RecorderCommand::errorText(""), "");
    const QString text = RecorderCommand::errorText("[04] main input error: " + QString(500, u'x'));
    EXPECT_EQ(text.size(), 300);
    EXPECT_TRUE(text.endsWith("..."));
}

TEST(RecordStallWatch, FifteenSecondsWithoutGrowth) {
    StallWatch w;
    w.reset(1000);
    EXPECT_FALSE(w.sample(-1, 6000)); // no file yet
    EXPECT_FALSE(w.sample(0, 11000)); // an empty file is no data
    EXPECT_TRUE(w.sample(0, 16000));  // 15 s since the start without data
    EXPECT_EQ(w.quietFor(), 15000);
    EXPECT_FALSE(w.sample(4096, 21000)); // data arrives
    EXPECT_FALSE(w.sample(4096, 26000));
    EXPECT_FALSE(w.sample(4096, 35999));
    EXPECT_TRUE(w.sample(4096, 36000));
    EXPECT_TRUE(w.stalled());
    EXPECT_FALSE(w.sample(8192, 41000));
    EXPECT_FALSE(w.stalled());
}
