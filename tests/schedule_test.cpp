// Scheduled recordings: their file and the command line over it, their names, and the scheduler
// over an injected clock with stand-in players (the real player: record_vlc_test.cpp).
#include "app/IniFile.h"
#include "app/RecordingScheduler.h"
#include "app/ScheduleSettings.h"
#include "app/Settings.h"
#include "data/ChannelInfo.h"
#include "data/ScheduleStore.h"
#include "schedule_fake_runner.h"
#include "support/TestSupport.h"

#include <QDateTime>

namespace zentuvo::test {
namespace {

TEST(ScheduleStore, KeepsWhatIsAddedAndChanged) {
    QTemporaryDir dir;
    const QString file = dir.filePath("schedule.dat");
    EXPECT_TRUE(scheduledRecordings(file).empty()); // no file yet
    EXPECT_FALSE(setScheduledState(file, 1, ScheduleState::Done, "x"));
    ScheduledRecording a{0, ChannelRef::myList(7), "Seven", "", 5000, 8600, 60, 120, {}, "", ""};
    ScheduledRecording b{
        0, ChannelRef::catalogue(3), "Three, \"quoted\"", "News", 1000, 2000, 0, 0, {}, "", ""};
    a.id = addScheduledRecording(file, a);
    b.id = addScheduledRecording(file, b);
    EXPECT_EQ(scheduledRecordings(file), (std::vector{b, a})); // by the time recording starts
    ASSERT_TRUE(setScheduledState(file, a.id, ScheduleState::Failed, "/r/a.ts", "why"));
    a.state = ScheduleState::Failed;
    a.file = "/r/a.ts";
    a.reason = "why";
    EXPECT_TRUE(removeScheduledRecording(file, b.id));
    EXPECT_FALSE(removeScheduledRecording(file, b.id));
    EXPECT_EQ(scheduledRecordings(file), std::vector{a});
}

TEST(ScheduleFiles, NamesAreSafeAndNeverTaken) {
    const QDateTime start(QDate(2026, 12, 7), QTime(20, 30));
    for (const auto& [channel, title, name] :
         {std::tuple{"Alpha", "News", "Alpha - News - 2026-12-07 20-30.ts"},
          {"Alpha", "", "Alpha - 2026-12-07 20-30.ts"},
          {"A/B: C*?", "Q\"<x>|\\y\tz.", "A_B_ C__ - Q__x___y_z - 2026-12-07 20-30.ts"},
          {" ..", "  ", "_ - 2026-12-07 20-30.ts"}})
        EXPECT_EQ(ScheduleFiles::fileName(channel, title, start), name) << channel;
    EXPECT_EQ(ScheduleFiles::safePart(QString(100, u'x')).size(), 80);
    QTemporaryDir dir;
    const QString name = "Alpha - 2026-12-07 20-30.ts";
    EXPECT_EQ(ScheduleFiles::freePath(dir.path(), name), dir.filePath(name));
    writeFile(dir.filePath(name), "x");
    QDir(dir.path()).mkdir("Alpha - 2026-12-07 20-30 (2).ts"); // a folder blocks too
    EXPECT_EQ(ScheduleFiles::freePath(dir.path(), name),
              dir.filePath("Alpha - 2026-12-07 20-30 (3).ts"));
}

class SchedulerTest : public ::testing::Test {
protected:
    void SetUp() override {
        t.app->preferences().setRecordFolder(t.folder.file("rec"));
        alpha = catalogueRef(*t.app, "Alpha.it");
        beta = catalogueRef(*t.app, "Beta.it");
    }
    std::unique_ptr<RecordingScheduler> makeScheduler() {
        auto s = std::make_unique<RecordingScheduler>(*t.app, runs.factory());
        s->setClock([this] { return nowMs; });
        return s;
    }
    ScheduleState stateOf(RecordingScheduler& s, qint64 id) {
        for (const auto& r : s.recordings())
            if (r.id == id)
                return r.state;
        return ScheduleState(-1);
    }

    TestApp t;
    Runs runs;
    qint64 nowMs = 0;
    ChannelRef alpha, beta;
    // 2026-12-07 20:30 local, one hour.
    const qint64 start = QDateTime(QDate(2026, 12, 7), QTime(20, 30)).toSecsSinceEpoch();
    const qint64 stop = start + 3600;
};

// One run of the clock over four recordings, the program quitting and coming back twice. The
// states, in the order scheduled: W waiting, R recording, D done, F failed, M missed, - gone.
TEST_F(SchedulerTest, StartsAndStopsAtItsTimesWithTheMargins) {
    auto s = makeScheduler();
    nowMs = (start - 7200) * 1000;
    const qint64 ids[] = {s->schedule(alpha, "Alpha", "News", start, stop),
                          s->schedule(beta, "Beta", "Film", start + 1800, stop + 1800),
                          s->schedule(beta, "Beta", "Early", start - 3600, start - 1800),
                          s->schedule(beta, "Beta", "", start + 600, start + 900)};
    enum Action { Check, Restart, RemoveLast };
    // What is done, at what time, the states after it, the players started and stopped.
    const std::tuple<Action, qint64, const char*, int, int> steps[] = {
        {Restart, (start - 60) * 1000, "RWMW", 1, 0}, // due at once, Early missed
        {Check, (start + 540) * 1000, "RWMR", 2, 0},  // two at once
        {RemoveLast, (start + 540) * 1000, "RWM-", 2, 1},
        {Check, (start + 1740) * 1000 - 1, "RWM-", 2, 1},
        {Check, (start + 1740) * 1000, "RRM-", 3, 1},
        {Check, (stop + 120) * 1000 - 1, "RRM-", 3, 1},
        {Check, (stop + 120) * 1000, "DRM-", 3, 2},
        {Restart, (stop + 1800) * 1000, "DFM-", 3, 3}, // ended by the quit, not missed
    };
    for (const auto& [action, ms, text, started, stopped] : steps) {
        nowMs = ms;
        if (action == Restart) {
            s.reset();
            s = makeScheduler();
            s->start();
        } else if (action == RemoveLast) {
            EXPECT_TRUE(s->remove(ids[3]));
        } else {
            s->check();
        }
        const QString states = text;
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(stateOf(*s, ids[i]), ScheduleState(QString("WRDFM").indexOf(states[i])))
                << ms << " " << i;
        EXPECT_EQ(runs.started.size(), started) << ms;
        EXPECT_EQ(runs.stopped.size(), stopped) << ms;
        EXPECT_EQ(s->isRecording(), states.contains('R')) << ms;
        EXPECT_EQ(t.messages.texts().filter("These scheduled recordings were missed").size(), 1);
    }
    EXPECT_TRUE(t.messages.texts().join("\n").contains("Beta, Early"));
    const QStringList files{"Alpha - News - 2026-12-07 20-30.ts", "Beta - 2026-12-07 20-40.ts",
                            "Beta - Film - 2026-12-07 21-00.ts"};
    EXPECT_EQ(runs.started, files);
    EXPECT_EQ(runs.stopped, (QStringList{files[1], files[0], files[2]}));
    EXPECT_EQ(scheduledRecordings(t.app->paths().scheduleFile())[1].file,
              t.folder.file("rec/" + files[0]));
}

// Runs the command line tool's schedule command; its exit status, and its output in *out.
int tool(const QStringList& args, QString* out = nullptr) {
    int status = -1;
    const QString text = runCatalogueTool(QStringList{"schedule"} + args, &status);
    if (out)
        *out = text;
    return status;
}

TEST_F(SchedulerTest, TheCommandLineListsAddsAndRemoves) {
    const QString file = t.app->paths().scheduleFile();
    const QStringList where{"--schedule",  file,
                            "--catalogue", t.app->paths().catalogue,
                            "--mylist",    t.app->paths().myList};
    ChannelRef mine = addMyList(*t.app, "Mine", "http://127.0.0.1:9/mine");
    QString out;
    const QString when = " --start 2030-01-01T08:00 --minutes ";
    const std::pair<QString, int> cases[] = {
        {"--add --channel Alpha.it --start 2030-01-02T20:30 --minutes 90 --title Film", 0},
        {"--add --channel " + QString::number(mine.number()) + when + "5", 0},
        {"--add --channel Nope.it" + when + "5", 1},
        {"--add --channel Alpha.it --start soon --minutes 5", 2},
        {"--add --channel Alpha.it" + when + "0", 2}};
    for (const auto& [args, status] : cases)
        EXPECT_EQ(tool(where + args.split(' ')), status) << args.toStdString();
    ASSERT_EQ(tool(where + QStringList{"--list"}, &out), 0);
    const QStringList lines = out.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].endsWith("\twaiting\t2030-01-01 08:00\t2030-01-01 08:05\tMine\t\t"));
    EXPECT_TRUE(lines[1].contains("\twaiting\t2030-01-02 20:30\t2030-01-02 22:00\tAlpha\tFilm"));
    const std::vector<ScheduledRecording> kept = scheduledRecordings(file); // as listed
    EXPECT_EQ(kept.at(0).channel, mine);
    EXPECT_EQ(kept.at(1).marginAfter, 120);
    const QString first = lines[0].section('\t', 0, 0);
    EXPECT_EQ(tool(where + QStringList{"--remove", first}), 0);
    EXPECT_EQ(tool(where + QStringList{"--remove", first}), 1);
    EXPECT_EQ(scheduledRecordings(file).size(), 1u);
}

TEST_F(SchedulerTest, MarginsComeFromTheSettingsFile) {
    const QString ini = t.app->paths().settingsFile;
    // The stored margins before and after, the ones read.
    for (const auto& [before, after, wantBefore, wantAfter] : {std::tuple{"5", "10", 5, 10},
                                                               {"0", "120", 0, 120},
                                                               {"-1", "121", 1, 2},
                                                               {"x", "", 1, 2}}) {
        ASSERT_TRUE(IniFile(ini).write(kPreferences, "ScheduleMarginBefore", before));
        ASSERT_TRUE(IniFile(ini).write(kPreferences, "ScheduleMarginAfter", after));
        const ScheduleMargins m = scheduleMarginsIn(ini);
        EXPECT_EQ(m.before, wantBefore) << before;
        EXPECT_EQ(m.after, wantAfter) << after;
    }
}

} // namespace
} // namespace zentuvo::test
