// The lists' "Now" column, the now/next lines of their tooltips and of the information line,
// over a guide written around a fixed clock.
#include "guide_fixture.h"
#include "ui/main/NowNextRefresh.h"
#include "ui/main/PlayerControl.h"
#include "ui_support.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QSignalSpy>

using namespace zentuvo;
using namespace zentuvo::test;

namespace {

const qint64 kT0 = QDateTime::fromString("2026-12-07T20:00:00Z", Qt::ISODate).toSecsSinceEpoch();

class NowNextTest : public WiredWindowTest {
protected:
    void SetUp() override {
        WiredWindowTest::SetUp();
        fill("-1");
        refresh().setClock([this] { return now; });
    }
    NowNextRefresh& refresh() { return controller->nowNext(); }
    // A new snapshot for the clock's time, shown.
    void reload() {
        QSignalSpy shown(&refresh(), &NowNextRefresh::refreshed);
        refresh().reloadGuide();
        ASSERT_TRUE(shown.wait(20000));
    }
    QModelIndex cell(const QString& name, int column) {
        return channels()->index(rowOf(channels(), name), column);
    }
    QStringList titledRows() {
        QStringList out;
        for (int r = 0; r < channels()->rowCount(); ++r)
            if (!channels()->index(r, 3).data().toString().isEmpty())
                out << channels()->row(r).cells[1];
        return out;
    }
    QString span(qint64 start, qint64 stop, const QString& title) {
        return clockAt(start) + QChar(0x2013) + clockAt(stop) + ' ' + title;
    }
    bool writeDefaultGuide() {
        return writeGuide(app(), {{"Alpha.it", kT0 - 600, kT0 + 1200, "Morning News"},
                                  {"Alpha.it", kT0 + 1200, kT0 + 3000, "Zebra Talk"},
                                  {"Alpha.it", kT0 + 3000, kT0 + 4800, "Late Film"},
                                  {"Delta.fr", kT0 - 1800, kT0 + 1800, "Alpine Ski"}});
    }

    qint64 now = kT0;
};

} // namespace

TEST_F(NowNextTest, TheNowColumnShowsTitleAndProgressAndSortsByTitle) {
    EXPECT_EQ(channels()->headerData(3, Qt::Horizontal).toString(),
              app().translate("_frmMain_lvwChHeader_4"));
    EXPECT_EQ(myList()->columnCount(), 3);
    reload(); // no guide file at all
    EXPECT_TRUE(titledRows().isEmpty());
    EXPECT_EQ(cell("Alpha", 3).data(ChannelListModel::ProgressRole).toInt(), -1);
    EXPECT_TRUE(cell("Alpha", 1).data(Qt::ToolTipRole).isNull());

    ASSERT_TRUE(writeDefaultGuide());
    reload();
    const std::tuple<QString, QString, int> rows[] = {
        {"Alpha", "Morning News", 333}, {"Delta", "Alpine Ski", 500}, {"Zeta", "", -1}};
    for (const auto& [name, title, progress] : rows) {
        EXPECT_EQ(cell(name, 3).data().toString(), title);
        EXPECT_EQ(cell(name, 3).data(ChannelListModel::ProgressRole).toInt(), progress);
    }
    // By title: Alpine Ski before Morning News, and the other way round on a second click.
    const QStringList byTitle{"Delta", "Alpha"}, reversed{"Alpha", "Delta"};
    ui().lvwChannels->header()->sectionClicked(3);
    const Qt::SortOrder first = channels()->sortOrder();
    EXPECT_EQ(titledRows(), first == Qt::AscendingOrder ? byTitle : reversed);
    ui().lvwChannels->header()->sectionClicked(3);
    EXPECT_NE(channels()->sortOrder(), first);
    const QStringList second = first == Qt::AscendingOrder ? reversed : byTitle;
    EXPECT_EQ(titledRows(), second);
    fill("-1"); // a refill keeps the order by title
    EXPECT_EQ(titledRows(), second);
}

TEST_F(NowNextTest, TooltipAndInformationLineTellNowAndNextUpToAProgrammesExactEnd) {
    ASSERT_TRUE(writeDefaultGuide());
    const QString morning = span(kT0 - 600, kT0 + 1200, "Morning News");
    const QString zebra = span(kT0 + 1200, kT0 + 3000, "Zebra Talk");
    const QString late = span(kT0 + 3000, kT0 + 4800, "Late Film");
    const QString nowTerm = app().translate("_frmMain_tipNow");
    const QString nextTerm = app().translate("_frmMain_tipNext");
    // The time, whether a new snapshot is made for it (else the one of kT0), now and next.
    const std::tuple<qint64, bool, QString, QString> cases[] = {
        {kT0, true, morning, zebra},
        {kT0 + 1199, false, morning, zebra},
        {kT0 + 1200, false, zebra, ""}, // the older snapshot knows nothing after Zebra Talk
        {kT0 + 1200, true, zebra, late},
    };
    for (const auto& [time, rebuilt, nowLine, next] : cases) {
        now = time;
        if (rebuilt)
            reload();
        QStringList expected{nowTerm.arg(nowLine)};
        if (!next.isEmpty())
            expected << nextTerm.arg(next);
        EXPECT_EQ(cell("Alpha", 1).data(Qt::ToolTipRole).toString(), expected.join('\n')) << time;
        EXPECT_EQ(cell("Alpha", 3).data().toString(), nowLine.section(' ', 1, -1)) << time;
    }
    // The information line of the playing channel, and a channel the guide does not know.
    controller->control().playMain(catalogueRef(app(), "Alpha.it"));
    EXPECT_EQ(ui().txtMessages->text(),
              "Alpha (Italy) | " + nowTerm.arg(zebra) + " | " + nextTerm.arg(late));
    controller->control().playMain(catalogueRef(app(), "Zeta.de"));
    EXPECT_EQ(ui().txtMessages->text(), "Zeta (Germany)");
}

TEST_F(NowNextTest, AGuideChangeIsShownAfterReloadGuide) {
    ASSERT_TRUE(writeDefaultGuide());
    reload();
    controller->control().playMain(catalogueRef(app(), "Delta.fr"));
    ASSERT_TRUE(writeGuide(app(), {{"Delta.fr", kT0 - 60, kT0 + 60, "Curling Final"}}));
    EXPECT_EQ(cell("Delta", 3).data().toString(), "Alpine Ski"); // until told
    refresh().reloadGuide();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return cell("Delta", 3).data().toString() == "Curling Final"; }, 20000));
    EXPECT_EQ(cell("Alpha", 3).data().toString(), "");
    EXPECT_TRUE(ui().txtMessages->text().endsWith(
        app().translate("_frmMain_tipNow").arg(span(kT0 - 60, kT0 + 60, "Curling Final"))));
}
