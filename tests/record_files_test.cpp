// File naming, sizes, the size line, the player's arguments and error text, stall watch.
#include "data/ChannelInfo.h"
#include "record/RecordFiles.h"
#include "record/Recorder.h"
#include "support/TestSupport.h"

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
    // What the folder holds, its files, the number taken.
    const std::tuple<const char*, QStringList, int> cases[] = {
        {"first of the day", {}, 1},
        {"a recording", {"20091224_1.ts"}, 2},
        {"any extension and letter case",
         {"20091224_1.ts", "20091224_2.txt", "20091224_3.TS", "20091224_4.ts.part"},
         5},
        {"only the exact number with an extension",
         {"20091224_1", "20091224_01.ts", "20091224_12.ts", "20091223_1.ts", "x20091224_1.ts"},
         1},
        {"gaps first", {"20091224_1.ts", "20091224_2.ts", "20091224_4.ts", "20091224_5.ts"}, 3},
    };
    for (const auto& [what, files, number] : cases) {
        SCOPED_TRACE(what);
        QTemporaryDir dir;
        const QString folder = dir.filePath("My Recordings"); // blanks stay as they are
        ASSERT_TRUE(QDir().mkpath(folder));
        for (const QString& file : files)
            touch(folder + "/" + file);
        EXPECT_EQ(nextFileName(folder, kChristmasEve),
                  folder + QStringLiteral("/20091224_%1.ts").arg(number));
    }
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("20091224_1.ts")); // a folder of that name blocks too
    EXPECT_EQ(nextFileName(dir.path(), kChristmasEve), dir.path() + "/20091224_2.ts");
    // A one-digit month and day get their leading zero.
    EXPECT_EQ(nextFileName(dir.path(), QDate(2026, 1, 5)), dir.path() + "/20260105_1.ts");
}

TEST(RecordFileSize, MissingEmptyBeyondTwoGigabytesAndItsTextAtTheEdges) {
    QTemporaryDir dir;
    EXPECT_EQ(fileSize(dir.filePath("none.ts")), -1);
    touch(dir.filePath("empty.ts"));
    EXPECT_EQ(fileSize(dir.filePath("empty.ts")), 0);
    // A sparse file: takes no room, but its length needs 64 bits.
    const qint64 big = 3LL * 1024 * 1024 * 1024 + 5;
    touch(dir.filePath("big.ts"), big);
    EXPECT_EQ(fileSize(dir.filePath("big.ts")), big);
    const QLocale us(QLocale::English, QLocale::UnitedStates),
        de(QLocale::German, QLocale::Germany);
    const std::tuple<qint64, QLocale, const char*> cases[] = {
        {-1, us, "KB: 0"}, // no file yet
        {511, us, "KB: 0"},         {512, us, "KB: 1"},         {1535, us, "KB: 1"},
        {1536, us, "KB: 2"},        {1048575, us, "KB: 1,024"}, {1048576, us, "MB: 1.0"},
        {1048575, de, "KB: 1.024"}, {1048576, de, "MB: 1,0"},   {10 * 1048576 - 1, us, "MB: 10.0"},
        {big, us, "MB: 3,072.0"},
    };
    for (const auto& [bytes, locale, text] : cases)
        EXPECT_EQ(fileSizeText(bytes, locale), text) << bytes << " " << locale.name().toStdString();
}

// The program, its arguments, the headers and the player's error lines are tried end to end
// with the real player in record_vlc_test.cpp; here what it cannot show.
TEST(RecorderCommand, AReferrerAloneKeepsTheProgramsAgent) {
    ChannelInfo channel;
    channel.referrer = "https://r.example/";
    EXPECT_EQ(RecorderCommand::itemOptions(channel, ":http-user-agent=A+(X11;+U)"),
              (QStringList{":http-user-agent=A (X11; U)", ":http-referrer=https://r.example/"}));
}

TEST(RecorderCommand, ErrorTextDropsTheNoiseAndCutsLongLines) {
    EXPECT_EQ(RecorderCommand::errorText(
                  "[01] main interface error: no suitable interface module\n"
                  "[02] dbus interface error: Failed to connect to the D-Bus session daemon\n"
                  "[03] ts mux warning: late buffer\n"
                  "Failed to create secure directory (/root/.config/pulse): Permission denied\n"
                  "[05] dummy interface: using the dummy interface module...\n"),
              "");
    const QString text = RecorderCommand::errorText("[04] main input error: " + QString(500, u'x'));
    EXPECT_EQ(text.size(), 300);
    EXPECT_TRUE(text.endsWith("..."));
}

TEST(RecordStallWatch, FifteenSecondsWithoutGrowth) {
    StallWatch w;
    w.reset(1000);
    EXPECT_FALSE(w.sample(-1, 6000));    // no file yet
    EXPECT_FALSE(w.sample(0, 11000));    // an empty file is no data
    EXPECT_TRUE(w.sample(0, 16000));     // 15 s since the start without data
    EXPECT_FALSE(w.sample(4096, 21000)); // data arrives
    EXPECT_FALSE(w.sample(4096, 35999));
    EXPECT_TRUE(w.sample(4096, 36000));
    EXPECT_TRUE(w.stalled());
    EXPECT_FALSE(w.sample(8192, 41000));
    EXPECT_FALSE(w.stalled());
}
