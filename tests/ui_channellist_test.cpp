// The catalogue list: the filter selector, the fill per filter with its counter, columns,
// and sorting by column header.
#include "ui_support.h"

#include <QHeaderView>

using namespace zentuvo;
using namespace zentuvo::test;

namespace {

class ChannelList : public WindowTest {
protected:
    void SetUp() override { open(); }
};

TEST_F(ChannelList, FilterSelectorHasAllFavouritesAndEveryCountryWithChannels) {
    QComboBox* cbo = ui().cboCountry;
    QStringList texts;
    QList<int> numbers;
    for (int i = 0; i < cbo->count(); ++i) {
        texts << cbo->itemText(i);
        numbers << cbo->itemData(i).toInt();
    }
    // Austria has a channel, though without stream address: it is still offered.
    EXPECT_EQ(texts,
              (QStringList{"ALL", "MY FAVOURITES", "Austria", "France", "Germany", "Italy"}));
    EXPECT_EQ(numbers[0], -1);
    EXPECT_EQ(numbers[1], 0);
    for (int i = 2; i < numbers.size(); ++i)
        EXPECT_GT(numbers[i], 0);
}

TEST_F(ChannelList, AllListsChannelsWithStreamAddressInCountryAndNameOrder) {
    EXPECT_EQ(ui().cboCountry->currentIndex(), 0);
    EXPECT_EQ(column(channels(), 0),
              (QStringList{"France", "France", "Germany", "Italy", "Italy"}));
    // Name order ignores case: "beta tv" comes after "Alpha".
    EXPECT_EQ(column(channels(), 1), (QStringList{"Delta", "Epsilon", "Zeta", "Alpha", "beta tv"}));
    EXPECT_EQ(column(channels(), 2), (QStringList{"Sports", "News", "Music", "News", "Music"}));
    EXPECT_EQ(count(), "5");
    EXPECT_FALSE(column(channels(), 1).contains("Gamma")); // no stream address
    EXPECT_FALSE(column(channels(), 1).contains("Eta"));
}

TEST_F(ChannelList, RowKeyIsTheCatalogueChannelKey) {
    const int row = rowOf(channels(), "Zeta");
    ASSERT_GE(row, 0);
    EXPECT_EQ(channels()->keyAt(row), QString::number(channelIdOf(app(), "Zeta.de")) + " CH_ID");
    EXPECT_EQ(channels()->index(row, 2).data(ChannelListModel::KeyRole).toString(),
              channels()->keyAt(row));
}

TEST_F(ChannelList, OneCountryListsItsChannelsAndHidesTheCountryColumn) {
    selectFilter("Italy");
    EXPECT_EQ(column(channels(), 1), (QStringList{"Alpha", "beta tv"}));
    EXPECT_EQ(count(), "2");
    ListView* list = ui().lvwChannels;
    EXPECT_TRUE(list->isColumnHidden(0));
    EXPECT_EQ(list->columnWidth(1), int(float(list->columnSpace()) * 59.0f / 100.0f));
    EXPECT_EQ(list->columnWidth(2), int(float(list->columnSpace()) * 40.0f / 100.0f));

    selectFilter("ALL");
    EXPECT_FALSE(list->isColumnHidden(0));
    EXPECT_EQ(list->columnWidth(0), int(float(list->columnSpace()) * 30.0f / 100.0f));
    EXPECT_EQ(list->columnWidth(1), int(float(list->columnSpace()) * 40.0f / 100.0f));
    EXPECT_EQ(list->columnWidth(2), int(float(list->columnSpace()) * 29.0f / 100.0f));
}

TEST_F(ChannelList, CountryWhoseChannelsLackStreamsGivesAnEmptyList) {
    selectFilter("Austria");
    EXPECT_EQ(channels()->rowCount(), 0);
    EXPECT_EQ(count(), "0");
}

TEST_F(ChannelList, FavouritesFilterListsOnlyMarkedChannels) {
    selectFilter("MY FAVOURITES");
    EXPECT_EQ(channels()->rowCount(), 0);
    EXPECT_EQ(count(), "0");
    execSql(app().ChannelConnectionString,
            "UPDATE tab_channels SET fav = 1 WHERE code IN ('Zeta.de', 'Gamma.it')");
    window->MakeLvwChannelsContents("0");
    EXPECT_EQ(column(channels(), 1), QStringList{"Zeta"}); // Gamma has no stream address
    EXPECT_EQ(count(), "1");
    EXPECT_TRUE(channels()->row(0).fav);
}

TEST_F(ChannelList, FilterTextIsReadByItsNumericValue) {
    execSql(app().ChannelConnectionString,
            "UPDATE tab_channels SET fav = 1 WHERE code = 'Zeta.de'");
    window->MakeLvwChannelsContents("");
    EXPECT_EQ(column(channels(), 1), QStringList{"Zeta"});
    window->MakeLvwChannelsContents("-1");
    EXPECT_EQ(channels()->rowCount(), 5);
    const int italy = ui().cboCountry->itemData(filterIndex("Italy")).toInt();
    window->MakeLvwChannelsContents(QString::number(italy));
    EXPECT_EQ(channels()->rowCount(), 2);
}

TEST_F(ChannelList, BadFilterTextIsReportedAndKeepsTheCounter) {
    t.messages.clear();
    window->MakeLvwChannelsContents("3 OR 1=1");
    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_TRUE(t.messages.shown[0].text.startsWith("Error in MakeLvwChannelsContents: "));
    EXPECT_EQ(t.messages.shown[0].icon, MsgIcon::Critical);
    EXPECT_EQ(channels()->rowCount(), 0);
    EXPECT_EQ(count(), "5");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr); // busy pointer gone
    EXPECT_TRUE(ui().lvwChannels->updatesEnabled());
}

TEST_F(ChannelList, NullNameShowsEmptyWithItsMarkAndNullGenreShowsQuestionMark) {
    execSql(app().ChannelConnectionString,
            "UPDATE tab_channels SET name = NULL, fav = 1 WHERE code = 'Zeta.de';"
            "UPDATE tab_type SET description = NULL WHERE description = 'Sports'");
    window->MakeLvwChannelsContents("-1");
    const QStringList names = column(channels(), 1);
    const int zeta = int(names.indexOf(QString()));
    ASSERT_GE(zeta, 0);
    EXPECT_TRUE(channels()->row(zeta).fav);
    EXPECT_EQ(channels()->row(rowOf(channels(), "Delta")).cells[2], "?");
}

TEST_F(ChannelList, FirstClickOnFirstColumnSortsDescending) {
    window->channels().lvwChannelsColumnClick(0);
    EXPECT_EQ(column(channels(), 0),
              (QStringList{"Italy", "Italy", "Germany", "France", "France"}));
    window->channels().lvwChannelsColumnClick(0);
    EXPECT_EQ(column(channels(), 0),
              (QStringList{"France", "France", "Germany", "Italy", "Italy"}));
}

TEST_F(ChannelList, OtherColumnKeepsTheOrderAndSameColumnFlipsIt) {
    auto& panel = window->channels();
    panel.lvwChannelsColumnClick(1); // ascending: a new column keeps the order
    EXPECT_EQ(column(channels(), 1), (QStringList{"Alpha", "beta tv", "Delta", "Epsilon", "Zeta"}));
    panel.lvwChannelsColumnClick(1);
    EXPECT_EQ(column(channels(), 1), (QStringList{"Zeta", "Epsilon", "Delta", "beta tv", "Alpha"}));
    panel.lvwChannelsColumnClick(2); // still descending, by genre
    EXPECT_EQ(column(channels(), 2), (QStringList{"Sports", "News", "News", "Music", "Music"}));
    EXPECT_EQ(panel.currentSortColumn(), 2);
    EXPECT_EQ(panel.previousSortColumn(), 2);
    EXPECT_EQ(ui().lvwChannels->header()->sortIndicatorSection(), 2);
    EXPECT_EQ(ui().lvwChannels->header()->sortIndicatorOrder(), Qt::DescendingOrder);
}

TEST_F(ChannelList, SortStaysOnForLaterRefills) {
    auto& panel = window->channels();
    panel.lvwChannelsColumnClick(1);
    panel.lvwChannelsColumnClick(1); // by name, descending
    selectFilter("Italy");
    EXPECT_EQ(column(channels(), 1), (QStringList{"beta tv", "Alpha"}));
    selectFilter("ALL");
    EXPECT_EQ(column(channels(), 1).first(), "Zeta");
}

TEST_F(ChannelList, ClickOnTheHeaderSorts) {
    QHeaderView* header = ui().lvwChannels->header();
    const QPoint genre(header->sectionViewportPosition(2) + 10, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, genre);
    EXPECT_EQ(column(channels(), 2), (QStringList{"Music", "Music", "News", "News", "Sports"}));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, genre);
    EXPECT_EQ(column(channels(), 2), (QStringList{"Sports", "News", "News", "Music", "Music"}));
}

TEST_F(ChannelList, SortKeepsTheSelectedRow) {
    const int zeta = rowOf(channels(), "Zeta");
    selectRows(ui().lvwChannels, {zeta});
    window->channels().lvwChannelsColumnClick(1);
    EXPECT_EQ(window->SelectedChannelKey(),
              QString::number(channelIdOf(app(), "Zeta.de")) + " CH_ID");
}

TEST_F(ChannelList, ColumnsFollowTheListWidth) {
    window->resize(1500, 800);
    QCoreApplication::processEvents();
    ListView* list = ui().lvwChannels;
    EXPECT_EQ(list->columnWidth(1), int(float(list->columnSpace()) * 40.0f / 100.0f));
    ListView* mine = ui().lvwMyList;
    EXPECT_EQ(mine->columnWidth(0), int(float(list->columnSpace()) * 40.0f / 100.0f));
    EXPECT_EQ(mine->columnWidth(1), int(float(list->columnSpace()) * 59.0f / 100.0f));
    // The columns fit: no horizontal scroll bar.
    EXPECT_LE(list->header()->length(), list->viewport()->width());
}

TEST_F(ChannelList, HeaderTextsComeFromTheTerms) {
    const auto* model = channels();
    EXPECT_EQ(model->headerData(0, Qt::Horizontal).toString(), "Country");
    EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), "Channel");
    EXPECT_EQ(model->headerData(2, Qt::Horizontal).toString(), "Genre");
}

} // namespace
