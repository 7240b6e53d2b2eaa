// The catalogue search and the search window over fixture catalogues.
#include "data/CatalogueSearch.h"
#include "data/ChannelKey.h"
#include "data/StoredValue.h"
#include "dialogs_support.h"
#include "ui/dialogs/SearchResultModel.h"
#include "ui/dialogs/SearchWindow.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeView>

namespace zentuvo::test {
namespace {

QStringList names(const SearchOutcome& o) {
    QStringList out;
    for (const auto& h : o.hits)
        out << h.name;
    return out;
}

// --- the search itself ---------------------------------------------------------------

TEST(CatalogueSearch, FindsNamesWithoutRegardToCase) {
    TestApp t;
    EXPECT_EQ(names(searchCatalogue(t.app->ChannelConnectionString, "ALPHA")),
              QStringList{"Alpha"});
    EXPECT_EQ(names(searchCatalogue(t.app->ChannelConnectionString, "BETA T")),
              QStringList{"beta tv"});
}

TEST(CatalogueSearch, ComparesTheDecipheredDescription) {
    TestApp t;
    const SearchOutcome o = searchCatalogue(t.app->ChannelConnectionString, "CONCERTS");
    ASSERT_EQ(o.hits.size(), 1u);
    const SearchHit& hit = o.hits[0];
    EXPECT_EQ(hit.name, "beta tv");
    EXPECT_EQ(hit.description, "Music videos\nand concerts.");
    EXPECT_EQ(hit.countryName, "Italy");
    EXPECT_EQ(hit.genre, "Music");
    EXPECT_EQ(hit.key(), ChannelKey::catalogue(catalogueId(*t.app, "Beta.it")));
    // The enciphered text itself is never what matches.
    EXPECT_TRUE(searchCatalogue(t.app->ChannelConnectionString, "A3 ").hits.empty());
}

TEST(CatalogueSearch, ChannelsWithoutStreamNeverAppear) {
    TestApp t;
    EXPECT_TRUE(searchCatalogue(t.app->ChannelConnectionString, "Gamma").hits.empty());
    EXPECT_TRUE(searchCatalogue(t.app->ChannelConnectionString, "Kein Strom").hits.empty());
    EXPECT_EQ(searchCatalogue(t.app->ChannelConnectionString, "").scanned, 5);
}

TEST(CatalogueSearch, OrdersByCountryThenName) {
    TestApp t;
    execSql(t.folder.file("ch.dat"),
            "UPDATE tab_channels SET name = 'alpha 2' WHERE code = 'Zeta.de'");
    execSql(t.folder.file("ch.dat"), "UPDATE tab_country SET countryName = 'germany' "
                                     "WHERE countryName = 'Germany'");
    const SearchOutcome o = searchCatalogue(t.app->ChannelConnectionString, "");
    EXPECT_EQ(names(o), (QStringList{"Delta", "Epsilon", "alpha 2", "Alpha", "beta tv"}));
    QStringList countries;
    for (const auto& h : o.hits)
        countries << h.countryName;
    EXPECT_EQ(countries, (QStringList{"France", "France", "germany", "Italy", "Italy"}));
}

TEST(CatalogueSearch, BlanksArePartOfTheTextAndThereAreNoWildcards) {
    TestApp t;
    const QString db = t.app->ChannelConnectionString;
    EXPECT_EQ(names(searchCatalogue(db, " tv")), QStringList{"beta tv"});
    EXPECT_TRUE(searchCatalogue(db, "betatv").hits.empty());
    EXPECT_TRUE(searchCatalogue(db, "tv ").hits.empty());
    EXPECT_TRUE(searchCatalogue(db, "Al*").hits.empty());
    EXPECT_TRUE(searchCatalogue(db, "Al%").hits.empty());
    EXPECT_TRUE(searchCatalogue(db, "_lpha").hits.empty());
    EXPECT_TRUE(searchCatalogue(db, "' OR 1=1 --").hits.empty());
}

TEST(CatalogueSearch, UnknownCountryOrGenreIsLeftOutAndGenreWithoutTextShowsQuestionMark) {
    TestApp t;
    const QString file = t.folder.file("ch.dat");
    execSql(file, "UPDATE tab_channels SET countryID = 999 WHERE code = 'Alpha.it'");
    execSql(file, "UPDATE tab_type SET description = NULL WHERE description = 'Sports'");
    const SearchOutcome o = searchCatalogue(t.app->ChannelConnectionString, "");
    EXPECT_FALSE(names(o).contains("Alpha"));
    ASSERT_FALSE(o.hits.empty());
    EXPECT_EQ(o.hits[0].name, "Delta");
    EXPECT_EQ(o.hits[0].genre, "?");
}

TEST(CatalogueSearch, DamagedDescriptionCountsAsEmptyAndIsReported) {
    TestApp t;
    execSql(t.folder.file("ch.dat"),
            "UPDATE tab_channels SET description = 'ZZ ZZ' WHERE code = 'Delta.fr'");
    const SearchOutcome o = searchCatalogue(t.app->ChannelConnectionString, "Delta");
    ASSERT_EQ(o.hits.size(), 1u);
    EXPECT_EQ(o.hits[0].description, "");
    EXPECT_EQ(o.decipherFailures, 1);
    EXPECT_FALSE(o.decipherError.isEmpty());
    EXPECT_TRUE(t.messages.shown.isEmpty()); // the search itself shows nothing
}

TEST(CatalogueSearch, MissingDatabaseIsAnError) {
    const SearchOutcome o = searchCatalogue("/nonexistent/ch.dat", "x");
    EXPECT_FALSE(o.error.isEmpty());
    EXPECT_TRUE(o.hits.empty());
}

TEST(CatalogueSearch, CalledOffBeforeItStartsFindsNothing) {
    TestApp t;
    std::atomic<bool> cancel{true};
    const SearchOutcome o = searchCatalogue(t.app->ChannelConnectionString, "", &cancel);
    EXPECT_TRUE(o.cancelled);
    EXPECT_TRUE(o.hits.empty());
}

// Enough channels for the work to be shared among threads: every thread count gives the
// same hits in the same order, and each description deciphers to what was stored.
TEST(CatalogueSearch, SharedOutSearchMatchesTheRuleAndTheOrder) {
    QList<FixtureChannel> channels;
    const QStringList countries{"Italy", "France", "Germany", "Spain", "Norway"};
    const QStringList genres{"News", "Music", "Sports"};
    for (int i = 0; i < 9000; ++i) {
        QString description = QStringLiteral("Description %1 Übertragung").arg(i);
        if (i % 7 == 0)
            description += QStringLiteral("\nwith a NeEdLe");
        const QString name = i % 11 == 0 ? QStringLiteral("needle %1").arg(i)
                                         : QStringLiteral("Channel %1").arg(9000 - i);
        channels << FixtureChannel{QStringLiteral("c%1.x").arg(i),
                                   name,
                                   countries[i % 5],
                                   genres[i % 3],
                                   "",
                                   description,
                                   QStringLiteral("http://127.0.0.1:9/%1").arg(i),
                                   "",
                                   ""};
    }
    TestApp t(channels);
    const QString db = t.app->ChannelConnectionString;
    const SearchOutcome one = searchCatalogue(db, "NEEDLE", nullptr, 1);
    const SearchOutcome three = searchCatalogue(db, "NEEDLE", nullptr, 3);
    int expected = 0;
    for (int i = 0; i < 9000; ++i)
        expected += (i % 7 == 0 || i % 11 == 0) ? 1 : 0;
    ASSERT_EQ(int(one.hits.size()), expected);
    ASSERT_EQ(three.hits.size(), one.hits.size());
    for (size_t i = 0; i < one.hits.size(); ++i) {
        EXPECT_EQ(three.hits[i].channelID, one.hits[i].channelID);
        EXPECT_EQ(three.hits[i].description, one.hits[i].description);
    }
    EXPECT_EQ(one.scanned, 9000);
    EXPECT_EQ(three.scanned, 9000);
    for (size_t i = 1; i < three.hits.size(); ++i) {
        const SearchHit& a = three.hits[i - 1];
        const SearchHit& b = three.hits[i];
        const int byCountry = a.countryName.compare(b.countryName, Qt::CaseInsensitive);
        ASSERT_TRUE(byCountry < 0 ||
                    (byCountry == 0 && a.name.compare(b.name, Qt::CaseInsensitive) <= 0))
            << qPrintable(a.name) << " before " << qPrintable(b.name);
    }
    for (const SearchHit& h : three.hits) {
        const int i = h.name.startsWith("needle") ? h.name.mid(7).toInt()
                                                  : h.description.section(u' ', 1, 1).toInt();
        ASSERT_EQ(h.description, channels[i].description);
    }
}

// --- the search window ---------------------------------------------------------------

struct SearchWindowTest : ::testing::Test {
    TestApp t;
    FakeMain main;
    std::unique_ptr<SearchWindow> window;

    void SetUp() override {
        window = std::make_unique<SearchWindow>(*t.app, main);
        window->resize(800, 500);
        window->show();
        QApplication::processEvents();
    }
    QLineEdit* text() { return window->findChild<QLineEdit*>("txtSearch"); }
    QPushButton* button() { return window->findChild<QPushButton*>("cmdSearch"); }
    SearchResultModel* model() { return window->model(); }
    QTreeView* list() { return window->list(); }
    void search(const QString& s) {
        text()->setText(s);
        button()->click();
        ASSERT_TRUE(waitFor([&] { return !window->isSearching(); }));
    }
    QStringList column(int c) {
        QStringList out;
        for (int r = 0; r < model()->rowCount(); ++r)
            out << model()->cell(r, c);
        return out;
    }
    QPoint rowCentre(int row) { return list()->visualRect(model()->index(row, 1)).center(); }
};

TEST_F(SearchWindowTest, CaptionsComeFromTheTermTable) {
    EXPECT_EQ(window->windowTitle(), t.app->Translate("_frmSearch_caption"));
    EXPECT_EQ(window->statusText(), t.app->Translate("_frmSearch_caption"));
    EXPECT_EQ(button()->text(), t.app->Translate("_frmSearch_cmdSearch"));
    EXPECT_FALSE(window->isModal());
}

TEST_F(SearchWindowTest, BlanksOnlyShowTheMessageAndSearchNothing) {
    search("   ");
    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_EQ(t.messages.shown[0].text, t.app->Translate("_frmSearch_msgError_1"));
    EXPECT_EQ(t.messages.shown[0].icon, MsgIcon::Exclamation);
    EXPECT_EQ(window->statusText(), t.app->Translate("_frmSearch_caption"));
}

TEST_F(SearchWindowTest, HitsFillTheListAndTheStatusCountsThem) {
    search("e");
    EXPECT_EQ(column(1), (QStringList{"Delta", "Epsilon", "Zeta", "Alpha", "beta tv"}));
    EXPECT_EQ(column(0), (QStringList{"France", "France", "Germany", "Italy", "Italy"}));
    EXPECT_EQ(column(3), (QStringList{"Sports", "News", "Music", "News", "Music"}));
    EXPECT_EQ(model()->keyAt(3), ChannelKey::catalogue(catalogueId(*t.app, "Alpha.it")));
    EXPECT_EQ(window->statusText(), t.app->Translate("_frmSearch_msgChannelsFound") + " 5");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST_F(SearchWindowTest, EnterInTheFieldSearchesWithTheTextAsTyped) {
    QTest::keyClicks(text(), "CONCERTS");
    QTest::keyClick(text(), Qt::Key_Return);
    ASSERT_TRUE(waitFor([&] { return !window->isSearching(); }));
    EXPECT_EQ(column(1), QStringList{"beta tv"});
    // The description shows on one line; the tool tip holds it whole.
    EXPECT_EQ(model()->data(model()->index(0, 2)).toString(), "Music videos and concerts.");
    EXPECT_EQ(model()->data(model()->index(0, 2), Qt::ToolTipRole).toString(),
              "Music videos\nand concerts.");
}

TEST_F(SearchWindowTest, NoMatchEmptiesTheListAndCountsZero) {
    search("e");
    search("nothing like this");
    EXPECT_EQ(model()->rowCount(), 0);
    EXPECT_EQ(window->statusText(), t.app->Translate("_frmSearch_msgChannelsFound") + " 0");
}

TEST_F(SearchWindowTest, ColumnsTakeTheirShareOfTheWidthAgainAfterAResize) {
    search("e");
    const auto shares = [&] {
        QList<double> out;
        const int space = list()->maximumViewportSize().width();
        for (int c = 0; c < 4; ++c)
            out << double(list()->columnWidth(c)) / space;
        return out;
    };
    const QList<double> before = shares();
    EXPECT_NEAR(before[0], 0.20, 0.03);
    EXPECT_NEAR(before[1], 0.30, 0.03);
    EXPECT_NEAR(before[2], 0.30, 0.03);
    EXPECT_NEAR(before[3], 0.19, 0.03);
    const int wide = list()->columnWidth(1);
    window->resize(1100, 500);
    QApplication::processEvents();
    EXPECT_GT(list()->columnWidth(1), wide + 60);
    EXPECT_NEAR(shares()[1], 0.30, 0.03);
    EXPECT_EQ(model()->rowCount(), 5);
    // The columns always fit: no horizontal scrolling.
    int total = 0;
    for (int c = 0; c < 4; ++c)
        total += list()->columnWidth(c);
    EXPECT_LE(total, list()->viewport()->width());
}

TEST_F(SearchWindowTest, HeaderClicksSortAndTheSortHoldsForTheNextSearch) {
    search("e");
    QHeaderView* header = list()->header();
    // The first click on the first column sorts it descending.
    emit header->sectionClicked(0);
    EXPECT_EQ(column(0), (QStringList{"Italy", "Italy", "Germany", "France", "France"}));
    emit header->sectionClicked(0);
    EXPECT_EQ(column(0), (QStringList{"France", "France", "Germany", "Italy", "Italy"}));
    // Another column keeps the current order.
    emit header->sectionClicked(1);
    EXPECT_EQ(column(1), (QStringList{"Alpha", "beta tv", "Delta", "Epsilon", "Zeta"}));
    emit header->sectionClicked(1);
    EXPECT_EQ(column(1), (QStringList{"Zeta", "Epsilon", "Delta", "beta tv", "Alpha"}));
    search("t");
    EXPECT_EQ(column(1).first(), "Zeta");
    EXPECT_EQ(column(1).last(), "Alpha");
}

TEST_F(SearchWindowTest, SortingKeepsTheSelectedChannel) {
    search("e");
    list()->setCurrentIndex(model()->index(3, 1)); // Alpha
    emit list()->header()->sectionClicked(0);      // descending: Alpha moves up
    const QModelIndexList selected = list()->selectionModel()->selectedRows();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(model()->cell(selected[0].row(), 1), "Alpha");
}

TEST_F(SearchWindowTest, DoubleClickOnARowPlaysItInTheMainWindow) {
    search("e");
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, rowCentre(3));
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, rowCentre(3));
    EXPECT_EQ(main.played, QStringList{ChannelKey::catalogue(catalogueId(*t.app, "Alpha.it"))});
}

TEST_F(SearchWindowTest, DoubleClickBelowTheRowsPlaysNothing) {
    search("e");
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, rowCentre(0));
    const QPoint below(20, list()->viewport()->height() - 5);
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, below);
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, below);
    EXPECT_TRUE(main.played.isEmpty());
}

TEST_F(SearchWindowTest, MenuCommandsActOnTheSelectedRowUnderThePointer) {
    search("e");
    auto* menu = window->findChild<QMenu*>("mnuLvwChannels");
    ASSERT_NE(menu, nullptr);
    QAction* preview = window->findChild<QAction*>("miLvwChannelsPreview");
    QAction* play = window->findChild<QAction*>("miLvwChannelsPlay");
    EXPECT_EQ(preview->text(), t.app->Translate("_frmSearch_miLvwChannelsPreview"));
    QTest::mouseClick(list()->viewport(), Qt::RightButton, {}, rowCentre(1));
    EXPECT_TRUE(waitFor([&] { return menu->isVisible(); }, 2000));
    menu->hide();
    preview->trigger();
    play->trigger();
    const QString epsilon = ChannelKey::catalogue(catalogueId(*t.app, "Epsilon.fr"));
    EXPECT_EQ(main.previewed, QStringList{epsilon});
    EXPECT_EQ(main.played, QStringList{epsilon});
    // A right click on empty space opens no menu.
    QTest::mouseClick(list()->viewport(), Qt::RightButton, {},
                      QPoint(20, list()->viewport()->height() - 5));
    QApplication::processEvents();
    EXPECT_FALSE(menu->isVisible());
    preview->trigger();
    EXPECT_EQ(main.previewed.size(), 1);
}

TEST_F(SearchWindowTest, ANewerSearchReplacesOneStillRunning) {
    window->MakeLvwChannelsContents("Alpha");
    window->MakeLvwChannelsContents("Zeta");
    ASSERT_TRUE(waitFor([&] { return !window->isSearching(); }));
    QTest::qWait(50);
    EXPECT_EQ(column(1), QStringList{"Zeta"});
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(SearchWindowTest, ClosingDuringASearchIsSafe) {
    window->MakeLvwChannelsContents("e");
    window.reset();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(SearchWindowTest, EscapeClosesTheWindow) {
    QTest::keyClick(text(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(SearchWindowTest, DatabaseFailureIsReported) {
    QFile::remove(t.folder.file("ch.dat"));
    window->MakeLvwChannelsContents("e");
    ASSERT_TRUE(waitFor([&] { return !window->isSearching(); }));
    ASSERT_FALSE(t.messages.shown.isEmpty());
    EXPECT_TRUE(t.messages.shown.last().text.startsWith("Error in MakeLvwChannelsContents: "));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(SearchWindowTest, DamagedDescriptionsAreReportedOncePerSearch) {
    const QString file = t.folder.file("ch.dat");
    execSql(file, "UPDATE tab_channels SET description = 'ZZ' WHERE code = 'Delta.fr'");
    execSql(file, "UPDATE tab_channels SET description = 'Q1 Q2' WHERE code = 'Zeta.de'");
    search("e");
    EXPECT_EQ(model()->rowCount(), 5);
    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_TRUE(t.messages.shown[0].text.startsWith("Error in DecryptByte: "));
    EXPECT_EQ(t.messages.shown[0].icon, MsgIcon::None);
}

TEST(SearchWindowOpen, ASecondRequestBringsTheOpenWindowForward) {
    TestApp t;
    FakeMain main;
    main.fullVideo = true;
    SearchWindow* first = SearchWindow::open(*t.app, main);
    SearchWindow* second = SearchWindow::open(*t.app, main);
    EXPECT_EQ(first, second);
    EXPECT_TRUE(first->isVisible());
    EXPECT_TRUE(first->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QPointer<SearchWindow> gone = first;
    first->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(gone.isNull());
    main.fullVideo = false;
    SearchWindow* third = SearchWindow::open(*t.app, main);
    EXPECT_FALSE(third->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    delete third;
}

} // namespace
} // namespace zentuvo::test
