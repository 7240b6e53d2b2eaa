// Favourite marks: the toggle commands change the catalogue and the row's icon in place,
// and the favourites button switches between MY FAVOURITES and ALL.
#include "ui_support.h"

using namespace zentuvo;
using namespace zentuvo::test;

namespace {

class Favourites : public WindowTest {
protected:
    void SetUp() override { open(); }

    qint64 iconOf(int row) {
        return channels()->index(row, 1).data(Qt::DecorationRole).value<QIcon>().cacheKey();
    }
    qint64 star() { return channels()->favouriteIcon().cacheKey(); }
    qint64 empty() { return channels()->emptyIcon().cacheKey(); }
};

TEST_F(Favourites, RowsShowTheStarOnlyForMarkedChannels) {
    execSql(app().ChannelConnectionString,
            "UPDATE tab_channels SET fav = 1 WHERE code = 'Zeta.de'");
    window->MakeLvwChannelsContents("-1");
    EXPECT_EQ(iconOf(rowOf(channels(), "Zeta")), star());
    EXPECT_EQ(iconOf(rowOf(channels(), "Alpha")), empty());
    EXPECT_FALSE(channels()->index(0, 0).data(Qt::DecorationRole).isValid()); // country cell
    EXPECT_FALSE(channels()->favouriteIcon().isNull());
}

TEST_F(Favourites, MenuCommandMarksTheSelectedRowInDatabaseAndIcon) {
    const int row = rowOf(channels(), "Delta");
    selectRows(ui().lvwChannels, {row});
    int resets = 0;
    QObject::connect(channels(), &QAbstractItemModel::modelReset, [&] { ++resets; });
    window->menus().miLvwChannelsToggleFav->trigger();
    EXPECT_EQ(favOf(app(), "Delta.fr"), 1);
    EXPECT_EQ(iconOf(row), star());
    EXPECT_EQ(resets, 0); // updated in place, not refilled
    EXPECT_EQ(channels()->rowCount(), 5);

    window->menus().miLvwChannelsToggleFav->trigger();
    EXPECT_EQ(favOf(app(), "Delta.fr"), 0);
    EXPECT_EQ(iconOf(row), empty());
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST_F(Favourites, ToolbarButtonTogglesLikeTheMenu) {
    const int row = rowOf(channels(), "Alpha");
    selectRows(ui().lvwChannels, {row});
    ui().imgButtonToggleFav->click();
    EXPECT_EQ(favOf(app(), "Alpha.it"), 1);
    EXPECT_EQ(iconOf(row), star());
}

TEST_F(Favourites, WithoutSelectionNothingHappens) {
    ui().lvwChannels->selectionModel()->clearSelection();
    window->menus().miLvwChannelsToggleFav->trigger();
    for (const char* code : {"Alpha.it", "Beta.it", "Delta.fr", "Epsilon.fr", "Zeta.de"})
        EXPECT_NE(favOf(app(), code), 1);
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST_F(Favourites, UnmarkedRowStaysInTheFavouritesListUntilRefill) {
    execSql(app().ChannelConnectionString,
            "UPDATE tab_channels SET fav = 1 WHERE code IN ('Zeta.de', 'Alpha.it')");
    selectFilter("MY FAVOURITES");
    ASSERT_EQ(channels()->rowCount(), 2);
    const int row = rowOf(channels(), "Zeta");
    selectRows(ui().lvwChannels, {row});
    window->menus().miLvwChannelsToggleFav->trigger();
    EXPECT_EQ(favOf(app(), "Zeta.de"), 0);
    EXPECT_EQ(channels()->rowCount(), 2);
    EXPECT_EQ(iconOf(row), empty());
    window->MakeLvwChannelsContents("0");
    EXPECT_EQ(column(channels(), 1), QStringList{"Alpha"});
}

TEST_F(Favourites, ToggleFavAtFlipsTheStoredMark) {
    const int id = channelIdOf(app(), "Epsilon.fr");
    window->ToggleFavAt(id);
    EXPECT_EQ(favOf(app(), "Epsilon.fr"), 1);
    window->ToggleFavAt(id);
    EXPECT_EQ(favOf(app(), "Epsilon.fr"), 0);
}

TEST_F(Favourites, FavouritesButtonSwitchesBetweenFavouritesAndAll) {
    execSql(app().ChannelConnectionString,
            "UPDATE tab_channels SET fav = 1 WHERE code = 'Zeta.de'");
    ui().imgButtonFavourites->click();
    EXPECT_EQ(ui().cboCountry->currentIndex(), 1);
    EXPECT_EQ(count(), "1");
    ui().imgButtonFavourites->click();
    EXPECT_EQ(ui().cboCountry->currentIndex(), 0);
    EXPECT_EQ(count(), "5");
}

TEST_F(Favourites, FavouritesButtonFromACountryGoesToFavouritesThenAll) {
    selectFilter("France");
    ui().imgButtonFavourites->click();
    EXPECT_EQ(ui().cboCountry->currentIndex(), 1);
    EXPECT_FALSE(ui().lvwChannels->isColumnHidden(0)); // columns rebuilt for the new filter
    ui().imgButtonFavourites->click();
    EXPECT_EQ(ui().cboCountry->currentIndex(), 0);
}

TEST_F(Favourites, FavouritesButtonWithoutSelectionShowsFavourites) {
    ui().cboCountry->setCurrentIndex(-1);
    ui().imgButtonFavourites->click();
    EXPECT_EQ(ui().cboCountry->currentIndex(), 1);
    EXPECT_EQ(count(), "0");
}

} // namespace
