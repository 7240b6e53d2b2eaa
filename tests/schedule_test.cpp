// Scheduled recordings: their file, their names, and the scheduler over an injected clock with
// stand-in players (and once with the recorder's process over a stand-in program).
#include "app/IniFile.h"
#include "app/RecordingScheduler.h"
#include "app/ScheduleSettings.h"
#include "app/Settings.h"
#include "data/ChannelInfo.h"
#include "data/ScheduleStore.h"
#include "record/ScheduledRun.h"
#include "schedule_fake_runner.h"
#include "support/TestSupport.h"

#include <QDateTime>
#include <QFileInfo>

namespace zentuvo::test {
namespace {

TEST(ScheduleStore, KeepsWhatIsAddedAndChanged) {
    QTemporaryDir dir;
    const QString file = dir.filePath("schedule.dat");
    EXPECT_TRUE(scheduledRecordings(file).empty()); // no file yet
    EXPECT_FALSE(setScheduledState(file, 1, ScheduleState::Done, "x"));
    ScheduledRecording a{0,   ChannelRef::myList(7),  "Seven", "", 5000, 8600, 60,
                         120, ScheduleState::Waiting, "",      ""};
    ScheduledRecording b{0,
                         ChannelRef::catalogue(3),
                         "Three, \"quoted\"",
                         "News",
                         1000,
                         2000,
                         0,
                         0,
                         ScheduleState::Waiting,
                         "",
                         ""};
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
    struct Case {
        QString channel, title, name;
    };
    for (const Case& c :
         {Case{"Alpha", "News", "Alpha - News - 2026-12-07 20-30.ts"},
          Case{"Alpha", "", "Alpha - 2026-12-07 20-30.ts"},
          Case{"A/B: C*?", "Q\"<x>|\\y\tz.", "A_B_ C__ - Q__x___y_z - 2026-12-07 20-30.ts"},
          Case{" ..", "  ", "_ - 2026-12-07 20-30.ts"}})
        EXPECT_EQ(ScheduleFiles::fileName(c.channel, c.title, start), c.name)
            << c.channel.toStdString();
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
    void at(qint64 ms, RecordingScheduler& s) {
        nowMs = ms;
        s.check();
    }
    ScheduleState stateOf(RecordingScheduler& s, qint64 id) {
        for (const auto& r : s.recordings())
            if (r.id == id)
                return r.state;
        return ScheduleState(-1);
    }
    int missedMessages() const {
        int n = 0;
        for (const QString& text : t.messages.texts())
            n += text.startsWith("These scheduled recordings were missed");
        return n;
    }

    TestApp t;
    Runs runs;
    qint64 nowMs = 0;
    ChannelRef alpha, beta;
    // 2026-12-07 20:30 local, one hour.
    const qint64 start = QDateTime(QDate(2026, 12, 7), QTime(20, 30)).toSecsSinceEpoch();
    const qint64 stop = start + 3600;
};

TEST_F(SchedulerTest, StartsAndStopsAtItsTimesWithTheMargins) {
    auto s = makeScheduler();
    nowMs = (start - 3600) * 1000;
    const qint64 id = s->schedule(alpha, "Alpha", "News", start, stop);
    ASSERT_GT(id, 0);
    const QString file = "Alpha - News - 2026-12-07 20-30.ts";
    struct Step {
        qint64 ms;
        ScheduleState state;
        int started, stopped;
    };
    for (const Step& step : {Step{(start - 60) * 1000 - 1, ScheduleState::Waiting, 0, 0},
                             Step{(start - 60) * 1000, ScheduleState::Recording, 1, 0},
                             Step{(stop + 120) * 1000 - 1, ScheduleState::Recording, 1, 0},
                             Step{(stop + 120) * 1000, ScheduleState::Done, 1, 1}}) {
        at(step.ms, *s);
        EXPECT_EQ(stateOf(*s, id), step.state) << step.ms;
        EXPECT_EQ(runs.started.size(), step.started) << step.ms;
        EXPECT_EQ(runs.stopped.size(), step.stopped) << step.ms;
    }
    EXPECT_EQ(runs.started, QStringList{file});
    EXPECT_EQ(scheduledRecordings(t.app->paths().scheduleFile()).front().file,
              t.folder.file("rec/" + file));
    EXPECT_FALSE(s->isRecording());
}

TEST_F(SchedulerTest, OverlappingRecordingsRunAtOnceAndRemovingOneEndsIt) {
    t.app->preferences().setScheduleMarginBefore(0);
    auto s = makeScheduler();
    nowMs = (start - 600) * 1000;
    const qint64 a = s->schedule(alpha, "Alpha", "", start, stop);
    const qint64 b = s->schedule(beta, "Beta", "Film", start + 1800, stop + 1800);
    at((start + 1800) * 1000, *s);
    EXPECT_EQ(runs.started.size(), 2);
    EXPECT_EQ(stateOf(*s, a), ScheduleState::Recording);
    EXPECT_EQ(stateOf(*s, b), ScheduleState::Recording);
    EXPECT_TRUE(s->remove(a));
    EXPECT_EQ(runs.stopped, QStringList{"Alpha - 2026-12-07 20-30.ts"});
    EXPECT_EQ(s->recordings().size(), 1u);
    EXPECT_TRUE(s->isRecording());
}

TEST_F(SchedulerTest, ARestartStartsWhatIsDueAndReportsWhatWasMissedOnce) {
    qint64 later = 0, missed = 0;
    {
        auto s = makeScheduler();
        nowMs = (start - 7200) * 1000;
        later = s->schedule(alpha, "Alpha", "Late", start + 600, stop);
        missed = s->schedule(beta, "Beta", "Early", start - 3600, start - 1800);
    }
    // The program comes back while the first is due and after the second has ended.
    auto s = makeScheduler();
    nowMs = (start + 600) * 1000;
    s->start();
    EXPECT_EQ(stateOf(*s, later), ScheduleState::Recording);
    EXPECT_EQ(stateOf(*s, missed), ScheduleState::Missed);
    ASSERT_EQ(missedMessages(), 1);
    EXPECT_TRUE(t.messages.texts().join("\n").contains("Beta, Early"));
    s.reset(); // quit while recording: the running one is ended, not missed
    auto again = makeScheduler();
    again->start();
    EXPECT_EQ(missedMessages(), 1);
    EXPECT_EQ(stateOf(*again, missed), ScheduleState::Missed);
    EXPECT_EQ(stateOf(*again, later), ScheduleState::Failed);
}

TEST_F(SchedulerTest, MarginsComeFromTheSettingsFile) {
    const QString ini = t.app->paths().settingsFile;
    struct Case {
        const char *before, *after;
        int wantBefore, wantAfter;
    };
    for (const Case& c : {Case{"5", "10", 5, 10}, Case{"0", "120", 0, 120}, Case{"-1", "121", 1, 2},
                          Case{"x", "", 1, 2}}) {
        ASSERT_TRUE(IniFile(ini).write(kPreferences, "ScheduleMarginBefore", c.before));
        ASSERT_TRUE(IniFile(ini).write(kPreferences, "ScheduleMarginAfter", c.after));
        const ScheduleMargins m = scheduleMarginsIn(ini);
        EXPECT_EQ(m.before, c.wantBefore) << c.before;
        EXPECT_EQ(m.after, c.wantAfter) << c.after;
    }
}

// The recorder's process, over a stand-in program that grows the file until it is ended.
TEST_F(SchedulerTest, TheRecorderRunsItsOwnPlayerProcess) {
    QTemporaryDir player;
    writeFile(player.filePath("vlc"), "#!/bin/sh\nfor a in \"$@\"; do case \"$a\" in "
                                      "file/ts:*) out=\"${a#file/ts:}\";; esac; done\n"
                                      "while :; do head -c 4096 /dev/zero >> \"$out\"; "
                                      "sleep 0.05; done\n");
    QFile(player.filePath("vlc"))
        .setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    t.app->preferences().setPlayerInstallDir(player.path());
    auto s = std::make_unique<RecordingScheduler>(*t.app, ScheduledRun::factory(*t.app));
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    const qint64 id = s->schedule(alpha, "Alpha", "Now", now, now + 3600);
    ASSERT_TRUE(s->isRecording());
    const QString file = scheduledRecordings(t.app->paths().scheduleFile()).front().file;
    EXPECT_TRUE(waitUntil([&] { return QFileInfo(file).size() > 0; }));
    EXPECT_TRUE(s->remove(id));
    EXPECT_TRUE(waitUntil([&] { return !s->isRecording(); }));
    EXPECT_TRUE(QFileInfo(file).size() > 0);
}

} // namespace
} // namespace zentuvo::test
