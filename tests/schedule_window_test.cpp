// Scheduled recordings as the user meets them: the window, the guide's offer, quitting while
// one records.
#include "app/RecordingScheduler.h"
#include "data/ScheduleStore.h"
#include "guide_fixture.h"
#include "schedule_fake_runner.h"
#include "support/FakeMainWindow.h"
#include "support/TestSupport.h"
#include "ui/guide/GuideWindow.h"
#include "ui/record/RecordLauncher.h"
#include "ui/record/RecordWindow.h"
#include "ui/record/ScheduleWindow.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>

namespace zentuvo::test {
namespace {

class ScheduleUiTest : public ::testing::Test {
protected:
    void SetUp() override {
        t.app->preferences().setRecordFolder(t.folder.file("rec"));
        alpha = catalogueRef(*t.app, "Alpha.it");
    }
    TestApp t;
    FakeMain main;
    Runs runs;
    RecordingScheduler scheduler{*t.app, runs.factory()};
    ChannelRef alpha;
};

TEST_F(ScheduleUiTest, TheWindowAddsRemovesAndKeepsTheMargins) {
    ScheduleWindow w(*t.app, main, scheduler);
    w.show();
    EXPECT_FALSE(w.addFromFields()); // no channel to choose
    EXPECT_TRUE(t.messages.saw("Choose the channel to record."));
    w.setChannels(alpha, {{catalogueRef(*t.app, "Beta.it"), "Beta"}, {alpha, "Alpha"}});
    ASSERT_EQ(w.cboChannel->count(), 2); // the playing one first, once
    EXPECT_EQ(w.cboChannel->currentData().value<ChannelRef>(), alpha);
    const QDateTime start = QDateTime::currentDateTime().addDays(1);
    w.dtpStart->setDateTime(start);
    w.spnMinutes->setValue(30);
    w.txtTitle->setText("Late news");
    w.spnMarginBefore->setValue(4);
    EXPECT_EQ(iniValue(*t.app, "ScheduleMarginBefore"), "4");
    w.cmdAdd->click();
    ASSERT_EQ(w.lvwSchedule->topLevelItemCount(), 1);
    const QTreeWidgetItem* row = w.lvwSchedule->topLevelItem(0);
    EXPECT_EQ((QStringList{row->text(0), row->text(1), row->text(4)}),
              (QStringList{"Alpha", "Late news", "Waiting"}));
    const ScheduledRecording r = scheduler.recordings().front();
    EXPECT_EQ(r.channel, alpha);
    EXPECT_EQ(r.stop - r.start, 1800);
    EXPECT_EQ(r.marginBefore, 240);
    EXPECT_EQ(r.marginAfter, 120);
    w.dtpStart->setDateTime(QDateTime::currentDateTime().addSecs(-7200));
    EXPECT_FALSE(w.addFromFields());
    EXPECT_TRUE(t.messages.saw("This recording would end in the past."));
    w.lvwSchedule->setCurrentItem(w.lvwSchedule->topLevelItem(0));
    w.cmdRemove->click();
    EXPECT_EQ(w.lvwSchedule->topLevelItemCount(), 0);
    EXPECT_TRUE(scheduledRecordings(t.app->paths().scheduleFile()).empty());
}

TEST_F(ScheduleUiTest, QuittingAsksOnceAndEndsTheScheduledRecordings) {
    RecordLauncher launcher(*t.app, main);
    EXPECT_TRUE(launcher.confirmQuit()); // nothing records: no question
    launcher.setScheduler(&scheduler);
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    scheduler.schedule(alpha, "Alpha", "", now, now + 600);
    ASSERT_TRUE(scheduler.isRecording());
    t.messages.answerNext(MsgAnswer::No);
    EXPECT_FALSE(launcher.confirmQuit());
    EXPECT_TRUE(scheduler.isRecording());
    t.messages.answerNext(MsgAnswer::Yes);
    EXPECT_TRUE(launcher.confirmQuit());
    EXPECT_EQ(t.messages.shown.size(), 2);
    bool done = false;
    launcher.endRecordingThen([&] { done = true; });
    EXPECT_TRUE(done);
    EXPECT_FALSE(scheduler.isRecording());
    EXPECT_EQ(runs.stopped.size(), 1);
}

TEST_F(ScheduleUiTest, TheGuideOffersToRecordALaterProgramme) {
    const qint64 start = QDateTime::currentSecsSinceEpoch() / 1800 * 1800 + 3600;
    ASSERT_TRUE(writeGuide(*t.app, {{"Alpha.it", start, start + 1800, "Film"}}));
    GuideWindow window(*t.app, main);
    window.setScheduler(&scheduler);
    window.setNow(QDateTime::currentSecsSinceEpoch());
    window.setChannels({{alpha, "Alpha"}});
    window.resize(1000, 640);
    window.show();
    GuideGrid* grid = window.grid();
    ASSERT_TRUE(waitUntil([&] { return window.isIdle() && !grid->rowProgrammes(0).empty(); }));
    grid->scrollToTime(start - 1800);
    const QPoint film = grid->programmeRect(0, grid->rowProgrammes(0).front()).center();
    for (const MsgAnswer answer : {MsgAnswer::No, MsgAnswer::Yes}) {
        t.messages.answerNext(answer);
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, film);
    }
    // Once scheduled, it is not offered again.
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, film);
    ASSERT_EQ(t.messages.shown.size(), 2);
    EXPECT_TRUE(t.messages.shown[0].text.contains("Film"));
    ASSERT_EQ(scheduler.recordings().size(), 1u);
    const ScheduledRecording r = scheduler.recordings().front();
    EXPECT_EQ(r, (ScheduledRecording{r.id, alpha, "Alpha", "Film", start, start + 1800, 60, 120,
                                     ScheduleState::Waiting, "", ""}));
}

} // namespace
} // namespace zentuvo::test
