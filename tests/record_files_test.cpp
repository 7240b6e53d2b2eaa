// File naming, sizes, the size line, the player's arguments and error text, stall watch.
#include "data/ChannelInfo.h"
#include "record/RecordFiles.h"
#include "record/Recorder.h"
#include "record_print.h"

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

TEST(RecordFileName, FirstOfTheDayIsOne) {
    QTemporaryDir dir;
    EXPECT_EQ(GetFileName(dir.path(), kChristmasEve), dir.path() + "/20091224_1.ts");
    // A one-digit month and day get their leading zero.
    EXPECT_EQ(GetFileName(dir.path(), QDate(2026, 1, 5)), dir.path() + "/20260105_1.ts");
}

TEST(RecordFileName, ExistingFilesOfAnyExtensionBlockTheirNumber) {
    QTemporaryDir dir;
    touch(dir.filePath("20091224_1.ts"));
    EXPECT_EQ(GetFileName(dir.path(), kChristmasEve), dir.path() + "/20091224_2.ts");
    touch(dir.filePath("20091224_2.txt"));
    touch(dir.filePath("20091224_4.ts.part"));
    EXPECT_EQ(GetFileName(dir.path(), kChristmasEve), dir.path() + "/20091224_3.ts");
    touch(dir.filePath("20091224_3.TS"));
    EXPECT_EQ(GetFileName(dir.path(), kChristmasEve), dir.path() + "/20091224_5.ts");
}

TEST(RecordFileName, OnlyTheExactNumberWithAnExtensionBlocks) {
    QTemporaryDir dir;
    touch(dir.filePath("20091224_1"));     // no extension
    touch(dir.filePath("20091224_01.ts")); // another spelling of the number
    touch(dir.filePath("20091224_12.ts")); // a longer number
    touch(dir.filePath("20091223_1.ts"));  // another day
    touch(dir.filePath("x20091224_1.ts")); // another name
    EXPECT_EQ(GetFileName(dir.path(), kChristmasEve), dir.path() + "/20091224_1.ts");
}

TEST(RecordFileName, AFolderOfThatNameBlocksToo) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("20091224_1.ts"));
    EXPECT_EQ(GetFileName(dir.path(), kChristmasEve), dir.path() + "/20091224_2.ts");
}

TEST(RecordFileName, GapsAreFilledFirst) {
    QTemporaryDir dir;
    for (int n : {1, 2, 4, 5})
        touch(dir.filePath(QStringLiteral("20091224_%1.ts").arg(n)));
    EXPECT_EQ(GetFileName(dir.path(), kChristmasEve), dir.path() + "/20091224_3.ts");
}

TEST(RecordFileName, FolderWithBlanks) {
    QTemporaryDir dir;
    const QString folder = dir.filePath("My Recordings");
    ASSERT_TRUE(QDir().mkpath(folder));
    touch(folder + "/20091224_1.ts");
    EXPECT_EQ(GetFileName(folder, kChristmasEve), folder + "/20091224_2.ts");
}

TEST(RecordFileExists, WildcardsAndFilesOnly) {
    QTemporaryDir dir;
    touch(dir.filePath("20091224_1.ts"));
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.d"));
    EXPECT_TRUE(FileExists(dir.filePath("20091224_1.ts")));
    EXPECT_TRUE(FileExists(dir.filePath("20091224_1.*")));
    EXPECT_TRUE(FileExists(dir.filePath("2009122?_1.ts")));
    EXPECT_FALSE(FileExists(dir.filePath("20091224_2.*")));
    EXPECT_FALSE(FileExists(dir.filePath("folder.d")));
    EXPECT_FALSE(FileExists(dir.filePath("folder.*")));
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists(dir.filePath("missing/x.ts")));
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

TEST(RecordSizeText, TheTwoEdges) {
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(FileSizeText(1048575, us), "KB: 1,024");
    EXPECT_EQ(FileSizeText(1048576, us), "MB: 1.0");
    const QLocale de(QLocale::German, QLocale::Germany);
    EXPECT_EQ(FileSizeText(1048575, de), "KB: 1.024");
    EXPECT_EQ(FileSizeText(1048576, de), "MB: 1,0");
}

TEST(RecordSizeText, RoundingAndSmallSizes) {
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(FileSizeText(0, us), "KB: 0");
    EXPECT_EQ(FileSizeText(-1, us), "KB: 0"); // no file yet
    EXPECT_EQ(FileSizeText(511, us), "KB: 0");
    EXPECT_EQ(FileSizeText(512, us), "KB: 1");
    EXPECT_EQ(FileSizeText(1535, us), "KB: 1");
    EXPECT_EQ(FileSizeText(1536, us), "KB: 2");
    EXPECT_EQ(FileSizeText(1048576 + 52429, us), "MB: 1.1");
    EXPECT_EQ(FileSizeText(10 * 1048576 - 1, us), "MB: 10.0");
}

TEST(RecordFiles, RemoveIfEmptyKeepsData) {
    QTemporaryDir dir;
    touch(dir.filePath("empty.ts"));
    touch(dir.filePath("data.ts"), 188);
    EXPECT_TRUE(RemoveIfEmpty(dir.filePath("empty.ts")));
    EXPECT_FALSE(QFile::exists(dir.filePath("empty.ts")));
    EXPECT_FALSE(RemoveIfEmpty(dir.filePath("data.ts")));
    EXPECT_TRUE(QFile::exists(dir.filePath("data.ts")));
    EXPECT_FALSE(RemoveIfEmpty(dir.filePath("none.ts")));
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

TEST(RecorderCommand, PlainUserAgentOption) {
    EXPECT_EQ(RecorderCommand::plainUserAgentOption(":http-user-agent=A/1+(B;+C)"),
              ":http-user-agent=A/1 (B; C)");
    EXPECT_EQ(RecorderCommand::plainUserAgentOption(":other=a+b"), ":other=a+b");
    EXPECT_EQ(RecorderCommand::plainUserAgentOption(""), "");
}

TEST(RecorderCommand, ErrorTextOfARefusedAddress) {
    const QString output =
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
        "[0000559aa4f288e0] main playlist: end of playlist, exiting\n";
    EXPECT_EQ(RecorderCommand::errorText(output), "HTTP 404 error; HTTP/1.0 404 Not Found");
}

TEST(RecorderCommand, ErrorTextOfAFolderItCannotWrite) {
    const QString output =
        "[000055c45bf17000] dummy interface: using the dummy interface module...\n"
        "[00007f711c002660] file access out error: cannot create /tmp/ro/x.ts: Permission "
        "denied\n"
        "[00007f711c001270] stream_out_standard stream out error: no suitable sout access module "
        "for `file/ts:///tmp/ro/x.ts'\n"
        "[00007f711c000f20] main stream output error: stream chain failed for "
        "`standard{mux=\"ts\",access=\"file\",dst=\"/tmp/ro/x.ts\"}'\n"
        "[00007f7124000c90] main input error: cannot start stream output instance, aborting\n";
    EXPECT_EQ(RecorderCommand::errorText(output),
              "cannot create /tmp/ro/x.ts: Permission denied; no suitable sout access module for "
              "`file/ts:///tmp/ro/x.ts'");
}

TEST(RecorderCommand, ErrorTextOfTheRefusalToRunAsRoot) {
    const QString output = "VLC is not supposed to be run as root. Sorry.\n"
                           "If you need to use real-time priorities and/or privileged TCP ports\n"
                           "you can use vlc-wrapper (make sure it is Set-UID root and\n"
                           "cannot be run by non-trusted users first).\n";
    EXPECT_EQ(RecorderCommand::errorText(output), "VLC is not supposed to be run as root. Sorry.");
}

TEST(RecorderCommand, NoErrorTextFromNoiseAlone) {
    EXPECT_EQ(RecorderCommand::errorText(""), "");
    EXPECT_EQ(RecorderCommand::errorText(
                  "[01] main interface error: no suitable interface module\n"
                  "[02] dbus interface error: Failed to connect to the D-Bus session daemon\n"
                  "[03] ts mux warning: late buffer\n"
                  "Failed to create secure directory (/root/.config/pulse): Permission denied\n"
                  "[05] dummy interface: using the dummy interface module...\n"),
              "");
    const QString longLine = "[04] main input error: " + QString(500, u'x');
    const QString text = RecorderCommand::errorText(longLine);
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
