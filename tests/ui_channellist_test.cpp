// The catalogue list: the filter selector, the fill per filter with its counter, columns,
// sorting by column header, and the favourite marks with the favourites button.
#include "ui_support.h"

#include <QThreadPool>

using namespace zentuvo;
using namespace zentuvo::test;

namespace {

class ChannelList : public WindowTest {
protected:
    void SetUp() override { open(); }
    void mark(const char* codes) {
        execSql(app().paths().catalogue,
                QString("UPDATE tab_channels SET fav = 1 WHERE code IN (%1)").arg(codes));
    }
    qint64 iconOf(int row) {
        return channels()->index(row, 1).data(Qt::DecorationRole).value<QIcon>().cacheKey();
    }
    qint64 star() { return channels()->favouriteIcon().cacheKey(); }
};

TEST_F(ChannelList, EachFilterListsItsChannelsWithAStreamAddressAndCountsThem) {
    QStringList filters;
    for (int i = 0; i < ui().cboCountry->count(); ++i)
        filters << ui().cboCountry->itemText(i);
    // Austria has a channel, though without stream address: it is still offered.
    EXPECT_EQ(filters,
              (QStringList{"ALL", "MY FAVOURITES", "Austria", "France", "Germany", "Italy"}));
    EXPECT_EQ(count(), "5");
    ListView* list = ui().lvwChannels;
    selectFilter("Italy");
    EXPECT_TRUE(list->isColumnHidden(0));
    selectFilter("Austria");
    EXPECT_EQ(count(), "0");
    selectFilter("ALL");
    EXPECT_FALSE(list->isColumnHidden(0));
    // The columns follow the list's width and always fit: no horizontal scroll bar.
    window->resize(1500, 800);
    QCoreApplication::processEvents();
    EXPECT_LE(list->header()->length(), list->viewport()->width());
    EXPECT_GT(list->header()->length(), list->viewport()->width() * 9 / 10);
}

TEST_F(ChannelList, TheFilterTextIsReadByItsNumberAndAnyOtherIsReported) {
    mark("'Zeta.de', 'Gamma.it'");
    for (const auto& [filter, rows] : {std::pair{"0", 1}, {"", 1}, {"-1", 5}}) {
        fill(filter);
        EXPECT_EQ(channels()->rowCount(), rows) << filter;
    }
    fill("0"); // the counter the failed fill below must leave
    fill("3 OR 1=1");
    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_TRUE(t.messages.shown[0].text.startsWith("Error in MakeLvwChannelsContents: "));
    EXPECT_EQ(channels()->rowCount(), 0);
    EXPECT_EQ(count(), "1");                            // the counter stays
    EXPECT_EQ(QApplication::overrideCursor(), nullptr); // busy pointer gone
    EXPECT_TRUE(ui().lvwChannels->updatesEnabled());
}

TEST_F(ChannelList, NullNameShowsEmptyWithItsMarkAndNullGenreShowsQuestionMark) {
    execSql(app().paths().catalogue,
            "UPDATE tab_channels SET name = NULL, fav = 1 WHERE code = 'Zeta.de';"
            "UPDATE tab_type SET description = NULL WHERE description = 'Sports'");
    fill("-1");
    const int zeta = int(column(channels(), 1).indexOf(QString()));
    ASSERT_GE(zeta, 0);
    EXPECT_EQ(iconOf(zeta), star());
    EXPECT_EQ(channels()->row(rowOf(channels(), "Delta")).cells[2], "?");
}

TEST_F(ChannelList, HeaderClicksSortKeepingTheSelectionAndTheSortStaysForLaterRefills) {
    selectRows(ui().lvwChannels, {rowOf(channels(), "Zeta")});
    QHeaderView* header = ui().lvwChannels->header();
    const auto clickOn = [header](int c) {
        const QPoint at(header->sectionViewportPosition(c) + 10, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    };
    // The first click on the first column sorts it descending, on another column ascending.
    clickOn(0);
    EXPECT_EQ(column(channels(), 0),
              (QStringList{"Italy", "Italy", "Germany", "France", "France"}));
    clickOn(0);
    clickOn(1);
    EXPECT_EQ(column(channels(), 1), (QStringList{"Alpha", "beta tv", "Delta", "Epsilon", "Zeta"}));
    EXPECT_EQ(window->selectedChannel(), catalogueRef(app(), "Zeta.de"));
    clickOn(1);
    selectFilter("Italy");
    EXPECT_EQ(column(channels(), 1), (QStringList{"beta tv", "Alpha"}));
}

TEST_F(ChannelList, TheToggleFlipsTheSelectedRowsMarkInTheDatabaseAndItsStarInPlace) {
    ui().lvwChannels->selectionModel()->clearSelection();
    window->menus().miLvwChannelsToggleFav->trigger(); // nothing selected: nothing happens
    EXPECT_EQ(sqlNumber(app().paths().catalogue, "SELECT sum(fav) FROM tab_channels"), 0);
    const int row = rowOf(channels(), "Delta");
    selectRows(ui().lvwChannels, {row});
    int resets = 0;
    QObject::connect(channels(), &QAbstractItemModel::modelReset, [&] { ++resets; });
    window->menus().miLvwChannelsToggleFav->trigger();
    EXPECT_EQ(favOf(app(), "Delta.fr"), 1);
    EXPECT_EQ(iconOf(row), star());
    ui().imgButtonToggleFav->click();
    EXPECT_EQ(favOf(app(), "Delta.fr"), 0);
    EXPECT_NE(iconOf(row), star());
    EXPECT_EQ(resets, 0); // updated in place, not refilled
    // In MY FAVOURITES an unmarked row stays until the list is filled again.
    mark("'Zeta.de', 'Alpha.it'");
    selectFilter("MY FAVOURITES");
    selectRows(ui().lvwChannels, {rowOf(channels(), "Zeta")});
    window->menus().miLvwChannelsToggleFav->trigger();
    EXPECT_EQ(channels()->rowCount(), 2);
    fill("0");
    EXPECT_EQ(column(channels(), 1), QStringList{"Alpha"});
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST_F(ChannelList, TheFavouritesButtonGoesToFavouritesAndFromThereToAll) {
    mark("'Zeta.de'");
    for (const int from : {0, filterIndex("France"), -1}) {
        SCOPED_TRACE(from);
        ui().cboCountry->setCurrentIndex(from);
        ui().imgButtonFavourites->click();
        waitFilled();
        EXPECT_EQ(ui().cboCountry->currentIndex(), 1);
        EXPECT_EQ(count(), "1");
        EXPECT_FALSE(ui().lvwChannels->isColumnHidden(0)); // columns rebuilt for the filter
        ui().imgButtonFavourites->click();
        waitFilled();
        EXPECT_EQ(ui().cboCountry->currentIndex(), 0);
    }
}

// A refill empties the list at once; its rows, the counter and the columns come with
// filled(), and only the newest of refills started one after another fills the list.
TEST_F(ChannelList, RowsArriveAfterTheRefillAndANewerRefillMakesAnOlderOneStale) {
    QSignalSpy filled(&window->channels(), &ChannelListPanel::filled);
    selectFilter("ALL");
    filled.clear();
    window->fillChannels("-1");
    EXPECT_EQ(channels()->rowCount(), 0);
    EXPECT_TRUE(window->channels().filling());
    EXPECT_FALSE(ui().lvwChannels->updatesEnabled());
    selectFilter("Italy"); // while the refill of ALL still waits
    EXPECT_EQ(filled.count(), 1);
    EXPECT_EQ(column(channels(), 1), (QStringList{"Alpha", "beta tv"}));
    EXPECT_EQ(count(), "2");
    EXPECT_TRUE(ui().lvwChannels->isColumnHidden(0));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(ui().lvwChannels->updatesEnabled());
    // The stale refill of ALL never comes in over the newer rows, even once it has ended.
    ASSERT_TRUE(QThreadPool::globalInstance()->waitForDone(20000));
    QCoreApplication::processEvents();
    EXPECT_EQ(filled.count(), 1);
    EXPECT_EQ(column(channels(), 1), (QStringList{"Alpha", "beta tv"}));
    EXPECT_EQ(count(), "2");
}

} // namespace
