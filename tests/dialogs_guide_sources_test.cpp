// The guide's sources in the options window: the list with each source's state and error,
// adding, removing, "Refresh now" and the refresh interval.
#include "data/GuideSources.h"
#include "guide_fixture.h"
#include "support/FakeMainWindow.h"
#include "support/TestWidgets.h"
#include "ui/dialogs/GuideSourcesFrame.h"
#include "ui/dialogs/OptionsWindow.h"

#include <QSignalSpy>
#include <QSpinBox>
#include <QTreeWidget>

namespace zentuvo::test {
namespace {

QStringList rowsOf(const QTreeWidget* list) {
    QStringList out;
    for (int r = 0; r < list->topLevelItemCount(); ++r) {
        const QTreeWidgetItem* item = list->topLevelItem(r);
        out << QStringList{item->text(0), item->text(2), item->text(3)}.join(u'|');
    }
    return out;
}

TEST(GuideSourcesFrame, ListsAddsRemovesAndRefreshesSources) {
    TestApp t;
    FakeMain main;
    const QString guide = t.app->paths().guideFile();
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    ASSERT_TRUE(
        writeGuide(*t.app, {{"Alpha.it", now, now + 3600, "News"}}, "http://127.0.0.1/a.xml"));
    noteGuideFailure(guide, "http://127.0.0.1/b.xml", "404 Not Found");
    t.app->preferences().setGuideRefreshHours(30);

    OptionsWindow window(*t.app, main);
    window.show();
    GuideSourcesFrame* frame = window.guideSources();
    QTreeWidget* list = frame->list();
    ASSERT_TRUE(waitUntil([&] { return frame->isIdle(); }));
    EXPECT_EQ(rowsOf(list), (QStringList{"http://127.0.0.1/a.xml|1 / 1|",
                                         "http://127.0.0.1/b.xml|0 / 0|404 Not Found"}));
    EXPECT_EQ(list->topLevelItem(1)->text(1), "never");
    EXPECT_NE(list->topLevelItem(0)->text(1), "never");
    EXPECT_EQ(list->topLevelItem(1)->foreground(3).color(), QColor(0xb0, 0x30, 0x00));
    EXPECT_EQ(window.findChild<QSpinBox*>("spnGuideHours")->value(), 30);

    // Add asks for a source (a blank answer adds nothing); Remove drops the selected one.
    QStringList answers{"", "http://127.0.0.1/c.xml"};
    frame->setSourceAsker([&](QWidget*) { return answers.takeFirst(); });
    auto* add = window.findChild<QPushButton*>("cmdGuideAdd");
    add->click();
    add->click();
    ASSERT_TRUE(waitUntil([&] { return frame->isIdle() && list->topLevelItemCount() == 3; }));
    EXPECT_EQ(list->topLevelItem(2)->text(0), "http://127.0.0.1/c.xml");
    list->setCurrentItem(list->topLevelItem(0));
    window.findChild<QPushButton*>("cmdGuideRemove")->click();
    ASSERT_TRUE(waitUntil([&] { return frame->isIdle() && list->topLevelItemCount() == 2; }));
    EXPECT_EQ(list->topLevelItem(0)->text(0), "http://127.0.0.1/b.xml");
    EXPECT_TRUE(guideChannelsWithId(guide, "Alpha.it").isEmpty());

    QSignalSpy refresh(frame, &GuideSourcesFrame::refreshRequested);
    window.findChild<QPushButton*>("cmdGuideRefresh")->click();
    EXPECT_EQ(refresh.count(), 1);
    // The interval is stored by OK.
    window.findChild<QSpinBox*>("spnGuideHours")->setValue(6);
    window.findChild<QPushButton*>("cmdOK")->click();
    EXPECT_EQ(t.app->preferences().guideRefreshHours(), 6);
    EXPECT_EQ(iniValue(*t.app, "GuideRefreshHours"), "6");
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

} // namespace
} // namespace zentuvo::test
