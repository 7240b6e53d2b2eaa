// The programme guide window: opening it, where times and programmes lie, the keys, the
// details, playing a running programme and the window without a guide.
#include "guide_fixture.h"
#include "support/FakeMainWindow.h"
#include "ui/guide/GuideWindow.h"
#include "ui_support.h"

#include <QDateTime>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <ctime>

namespace zentuvo::test {
namespace {

qint64 at(const char* isoUtc) {
    return QDateTime::fromString(QString::fromLatin1(isoUtc), Qt::ISODate).toSecsSinceEpoch();
}

// Sets the time zone for a test's life.
struct TimeZone {
    QByteArray before = qgetenv("TZ");
    explicit TimeZone(const char* zone) { set(zone); }
    ~TimeZone() { set(before.isNull() ? nullptr : before.constData()); }
    static void set(const char* zone) {
        zone ? qputenv("TZ", zone) : qunsetenv("TZ");
        tzset();
    }
};

TEST(GuideTimeline, TimesAndPlacesAcrossClockChanges) {
    const TimeZone rome("Europe/Rome");
    const qint64 origin = at("2026-03-29T00:00:00Z");
    const GuideTimeline line(origin, 180);
    // x grows with UTC time, also over the night the clocks go forward (01:00 UTC).
    for (const auto& [t, x] : {std::pair<qint64, qint64>{origin, 0},
                               {origin + 1800, 180},
                               {origin + 3600, 360},
                               {origin + 5400 + 900, 630},
                               {origin - 900, -90}}) {
        EXPECT_EQ(line.xOf(t), x) << t;
        EXPECT_EQ(line.timeAt(x), t) << x;
    }
    EXPECT_EQ(line.timeAt(179), origin + 1790); // rounded down, also before the origin
    EXPECT_EQ(line.timeAt(-1), origin - 10);
    for (const auto& [utc, local] : {std::pair{"2026-03-29T00:30:00Z", "01:30"},
                                     {"2026-03-29T01:00:00Z", "03:00"}, // clocks forward
                                     {"2026-10-25T00:30:00Z", "02:30"},
                                     {"2026-10-25T01:00:00Z", "02:00"}, // clocks back
                                     {"2026-12-07T23:30:00Z", "00:30"}})
        EXPECT_EQ(GuideTimeline::columnCaption(at(utc)), local) << utc;
    EXPECT_EQ(GuideTimeline::columnStarts(origin + 100, origin + 3600),
              (std::vector<qint64>{origin, origin + 1800}));
    EXPECT_EQ(GuideTimeline::columnStarts(origin, origin + 1800), std::vector<qint64>{origin});
    EXPECT_EQ(GuideTimeline::localDayStart(at("2026-03-29T12:00:00Z")), at("2026-03-28T23:00:00Z"));
    EXPECT_EQ(GuideTimeline::localDayStart(at("2026-10-25T12:00:00Z")), at("2026-10-24T22:00:00Z"));
}

// The fixture's catalogue with a guide of half-hour programmes around now on Alpha, Beta and
// Delta (Delta's second one a whole hour, with an episode, category and description).
class GuideWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        now = QDateTime::currentSecsSinceEpoch() / 1800 * 1800 + 600;
        base = now - 600;
        QList<GuideRow> rows;
        for (const QString code : {"Alpha.it", "Beta.it", "Delta.fr"}) {
            for (int i = -2; i < 6; ++i) {
                const qint64 start = base + i * 1800;
                const bool hour = code == "Delta.fr" && i == 1;
                rows.append({code, start, start + (hour ? 3600 : 1800),
                             code + ' ' + QString::number(i),
                             hour ? "<desc>Late match.</desc><category>Sports</category>"
                                    "<episode-num system=\"onscreen\">Round 3</episode-num>"
                                  : ""});
                i += hour;
            }
        }
        ASSERT_TRUE(writeGuide(*t.app, rows));
        for (const char* code : {"Alpha.it", "Beta.it", "Gamma.it", "Delta.fr"})
            channels.append({catalogueRef(*t.app, code), QString::fromLatin1(code)});
    }

    std::unique_ptr<GuideWindow> open() {
        auto window = std::make_unique<GuideWindow>(*t.app, main);
        window->setNow(now);
        window->setChannels(channels);
        window->resize(1000, 640);
        window->show();
        EXPECT_TRUE(waitUntil([&] {
            return window->isIdle() && window->grid()->pendingLoads() == 0 &&
                   !window->grid()->rowProgrammes(3).empty();
        }));
        window->grid()->scrollToTime(base);
        return window;
    }

    TestApp t;
    FakeMain main;
    QList<GuideChannel> channels;
    qint64 now = 0;
    qint64 base = 0;
};

TEST_F(GuideWindowTest, BoxesLieAtTheirRowsAndTimes) {
    auto window = open();
    GuideGrid* grid = window->grid();
    EXPECT_FALSE(window->showsNoGuide());
    EXPECT_TRUE(grid->rowProgrammes(2).empty()); // Gamma has no programmes
    const auto& delta = grid->rowProgrammes(3);
    ASSERT_EQ(delta.size(), 7u);
    const GuideProgramme& hour = delta[3]; // "Delta.fr 1", one hour from base + 1800
    EXPECT_EQ(hour.title, "Delta.fr 1");
    const int w = grid->timeline().halfHourWidth();
    EXPECT_EQ(grid->programmeRect(3, hour),
              QRect(GuideGrid::kNameWidth + w, GuideGrid::kHeaderHeight + 3 * GuideGrid::kRowHeight,
                    2 * w, GuideGrid::kRowHeight));
    int row = -1;
    const GuideProgramme* hit = grid->programmeAt(grid->programmeRect(3, hour).center(), &row);
    ASSERT_NE(hit, nullptr);
    EXPECT_EQ(row, 3);
    EXPECT_EQ(hit->title, "Delta.fr 1");
    EXPECT_EQ(grid->programmeAt(QPoint(GuideGrid::kNameWidth / 2, 100)), nullptr); // a name
}

TEST_F(GuideWindowTest, KeysMoveTheSelectionAndTheDetailsFollow) {
    auto window = open();
    GuideGrid* grid = window->grid();
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Home); // the programme running now on the first row
    ASSERT_NE(grid->selected(), nullptr);
    EXPECT_EQ(grid->selected()->title, "Alpha.it 0");
    // Each key, then the selected row and its programme.
    for (const auto& [key, row, title] : {std::tuple{Qt::Key_Right, 0, "Alpha.it 1"},
                                          {Qt::Key_Down, 1, "Beta.it 1"},
                                          {Qt::Key_Down, 2, ""},
                                          {Qt::Key_Down, 3, "Delta.fr 1"},
                                          {Qt::Key_Down, 3, "Delta.fr 1"},
                                          {Qt::Key_Left, 3, "Delta.fr 0"},
                                          {Qt::Key_PageUp, 0, "Alpha.it 0"}}) {
        QTest::keyClick(grid, key);
        EXPECT_EQ(grid->selectedRow(), row) << title;
        EXPECT_EQ(grid->selected() ? grid->selected()->title : QString(), title);
    }
    QTest::keyClick(grid, Qt::Key_Down);
    QTest::keyClick(grid, Qt::Key_Down);
    QTest::keyClick(grid, Qt::Key_Down);
    QTest::keyClick(grid, Qt::Key_Right);
    ASSERT_EQ(grid->selected()->title, "Delta.fr 1");
    // The description is read from the file.
    EXPECT_TRUE(waitUntil([&] { return window->detailsText().contains("Late match."); }));
    const QString details = window->detailsText();
    for (const QString& part :
         {QString("Delta.fr 1"), GuideTimeline::columnCaption(base + 1800),
          GuideTimeline::columnCaption(base + 5400), QString("Round 3"), QString("Sports")})
        EXPECT_TRUE(details.contains(part)) << details.toStdString();
}

TEST_F(GuideWindowTest, DoubleClickPlaysARunningProgrammeOnly) {
    auto window = open();
    GuideGrid* grid = window->grid();
    QSignalSpy play(window.get(), &GuideWindow::playRequested);
    const auto& beta = grid->rowProgrammes(1);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {},
                       grid->programmeRect(1, beta[2]).center()); // running now
    ASSERT_EQ(play.count(), 1);
    EXPECT_EQ(play[0][0].value<ChannelRef>(), catalogueRef(*t.app, "Beta.it"));
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {},
                       grid->programmeRect(1, beta[3]).center()); // later
    EXPECT_EQ(play.count(), 1);
    EXPECT_TRUE(window->detailsText().contains(GuideTimeline::columnCaption(base + 1800)));
    EXPECT_TRUE(window->findChild<QLabel*>("lblMessage")->text().contains("not started"));
}

TEST_F(GuideWindowTest, SpansTheGuidesDaysFollowsARefreshAndTheLanguage) {
    auto window = open();
    GuideGrid* grid = window->grid();
    EXPECT_EQ(grid->timeline().origin(), GuideTimeline::localDayStart(base - 3600));
    // The source refreshed with other titles: the open window shows them.
    ASSERT_TRUE(writeGuide(*t.app, {{"Alpha.it", base, base + 1800, "Changed"}}));
    window->reload();
    ASSERT_TRUE(waitUntil([&] {
        const auto& alpha = grid->rowProgrammes(0);
        return window->isIdle() && grid->pendingLoads() == 0 && alpha.size() == 1 &&
               alpha[0].title == "Changed";
    }));
    EXPECT_TRUE(grid->rowProgrammes(1).empty()) << "Beta's programmes went with the refresh";
    t.app->preferences().setLanguage(2);
    EXPECT_EQ(window->windowTitle(), "Guida ai programmi");
    EXPECT_EQ(window->findChild<QPushButton*>("cmdNow")->text(), "Adesso");
}

TEST(GuideWindow, WithoutAGuideSaysHowToAddOne) {
    TestApp t;
    FakeMain main;
    GuideWindow window(*t.app, main);
    window.show();
    EXPECT_TRUE(window.showsNoGuide());
    EXPECT_TRUE(window.findChild<QLabel*>("lblNoGuide")->text().contains("guide-import"));
    // A guide file without programmes says the same.
    createGuideDatabase(t.app->paths().guideFile());
    GuideWindow empty(*t.app, main);
    ASSERT_TRUE(waitUntil([&] { return empty.isIdle(); }));
    EXPECT_TRUE(empty.showsNoGuide());
}

class GuideOpenTest : public WiredWindowTest {};

TEST_F(GuideOpenTest, OpensWithGAndFromTheMenuOnce) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QAction* item = window->menus().miGuide;
    EXPECT_EQ(item->shortcut(), QKeySequence(Qt::Key_G));
    ui().lvwChannels->setFocus();
    QTest::keyClick(ui().lvwChannels, Qt::Key_G);
    auto guides = [&] { return window->findChildren<GuideWindow*>(); };
    ASSERT_EQ(guides().size(), 1);
    GuideWindow* guide = guides().front();
    EXPECT_TRUE(guide->isVisible());
    // The rows are the list's channels, in its order.
    const QList<GuideChannel>& rows = guide->grid()->channels();
    ASSERT_EQ(rows.size(), channels()->rowCount());
    for (int r = 0; r < rows.size(); ++r) {
        EXPECT_EQ(rows[r].channel, channels()->channelAt(r));
        EXPECT_EQ(rows[r].name, channels()->row(r).cells[1]);
    }
    item->trigger();
    EXPECT_EQ(guides().size(), 1);
    guide->close();
    EXPECT_TRUE(waitUntil([&] { return guides().isEmpty(); }));
}

} // namespace
} // namespace zentuvo::test
