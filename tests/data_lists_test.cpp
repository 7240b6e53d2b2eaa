// The catalogue and My List reads and writes behind the windows: the channel list with its
// filters and order, the pick lists, favourites, channel properties, options and My List.
#include "data/CatalogueLists.h"
#include "data/ChannelListQuery.h"
#include "data/ChannelProperties.h"
#include "data/ChannelRef.h"
#include "data/Database.h"
#include "data/Favourites.h"
#include "data/MyListRepository.h"
#include "data/OptionsTable.h"
#include "support/TestSupport.h"

#include <algorithm>

using namespace zentuvo;
using namespace zentuvo::test;

namespace {

QStringList names(const ChannelListResult& r) {
    QStringList out;
    for (const ChannelListEntry& e : r.entries)
        out << e.name;
    return out;
}

QStringList pickList(void (*read)(const QString&, const NamedRowSink&), const QString& db) {
    QStringList out;
    read(db, [&](int, const QString& name) { out << name; });
    return out;
}

TEST(ChannelListQuery, FiltersByCountryNumberAndFavouritesAndLeavesOutChannelsWithoutAddress) {
    TestApp t;
    const QString db = t.app->paths().catalogue;
    execSql(db, "UPDATE tab_channels SET fav = 1 WHERE code IN ('Zeta.de', 'Gamma.it')");
    const ChannelListResult all = readChannelList(db, ChannelListFilter::all());
    ASSERT_FALSE(all.error);
    EXPECT_EQ(names(all), (QStringList{"Delta", "Epsilon", "Zeta", "Alpha", "beta tv"}));
    const ChannelListEntry& zeta = all.entries[2];
    EXPECT_EQ(zeta.channelID, catalogueId(*t.app, "Zeta.de"));
    EXPECT_EQ(zeta.country, "Germany");
    EXPECT_EQ(zeta.genre, "Music");
    EXPECT_TRUE(zeta.fav);
    EXPECT_FALSE(all.entries[0].fav);

    const int italy = countryId(*t.app, "Italy");
    const ChannelListResult italian = readChannelList(db, ChannelListFilter::ofCountry(italy));
    EXPECT_EQ(names(italian), (QStringList{"Alpha", "beta tv"})); // Gamma has no address
    EXPECT_TRUE(
        names(readChannelList(db, ChannelListFilter::ofCountry(countryId(*t.app, "Austria"))))
            .isEmpty());
    EXPECT_TRUE(names(readChannelList(db, ChannelListFilter::ofCountry(9999))).isEmpty());
    // Gamma is a favourite too, but without a stream address.
    EXPECT_EQ(names(readChannelList(db, ChannelListFilter::favourites())), QStringList{"Zeta"});

    const ChannelListResult missing =
        readChannelList(t.folder.file("missing.dat"), ChannelListFilter::all());
    EXPECT_TRUE(missing.error);
    EXPECT_TRUE(missing.entries.empty());
    EXPECT_THROW(std::rethrow_exception(missing.error), DbError);
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

// The list orders its rows in memory; the order must be the one the catalogue's own NOCASE
// comparison gives (A-Z folded, every other character by code point, so accented letters,
// full-width letters and emoji come after z), and a channel whose country or genre is not
// in the catalogue stays out, as the join left it out.
TEST(ChannelListOrder, MatchesTheCatalogueNocaseOrderAndLeavesOutUnknownCountries) {
    const QStringList countries{"austria", "Zimbabwe", QString::fromUtf8("Åland"), "AUSTRIA"};
    const QStringList names{"alpha",
                            "Bravo",
                            "zebra",
                            QString::fromUtf8("éclair"),
                            QString::fromUtf8("\U0001F600 smile"),
                            QString::fromUtf8("\uFF21 wide"),
                            QString::fromUtf8("\uE000 private"),
                            "_under",
                            "1 one",
                            "[bracket"};
    QList<FixtureChannel> channels;
    for (int c = 0; c < countries.size(); ++c) {
        for (int n = 0; n < names.size(); ++n) {
            const QString name = names[(n * 7 + c * 3) % names.size()] + QString(c, u'!');
            channels.append({QStringLiteral("c%1n%2").arg(c).arg(n), name, countries[c], "News", "",
                             "", "http://127.0.0.1:9/x.ts", "", ""});
        }
    }
    FixtureFolder folder(channels);
    const QString db = folder.file("ch.dat");
    execSql(db, "INSERT INTO tab_channels (name, streamUrl, countryID, typeID, fav, code) "
                "VALUES ('orphan', '41 41', 9999, 1, 0, 'orphan.xx')");

    QStringList expected;
    {
        Connection c(db, Connection::Mode::ReadOnly);
        auto q = c.prepare(
            "SELECT k.countryName, ch.name FROM tab_channels ch JOIN tab_country k ON "
            "ch.countryID = k.countryID JOIN tab_type t ON ch.typeID = t.typeID WHERE "
            "ch.streamUrl <> '' ORDER BY k.countryName COLLATE NOCASE, ch.name COLLATE NOCASE");
        while (q.next())
            expected << q.text(0) + " | " + q.text(1);
    }
    const ChannelListResult read = readChannelList(db, ChannelListFilter::all());
    ASSERT_FALSE(read.error);
    QStringList listed;
    for (const ChannelListEntry& row : read.entries)
        listed << row.country + " | " + row.name;
    EXPECT_EQ(listed.size(), countries.size() * names.size());
    EXPECT_EQ(listed, expected);
}

TEST(CatalogueLists, CountriesWithChannelsIgnoreCaseTheFullListDoesNot) {
    TestApp t;
    const QString db = t.app->paths().catalogue;
    execSql(db, "UPDATE tab_country SET countryName = 'germany' WHERE countryName = 'Germany';"
                "INSERT INTO tab_country (countryName) VALUES ('Belgium')");
    // Austria has a channel, though without a stream address; Belgium has none.
    EXPECT_EQ(pickList(readCountriesWithChannels, db),
              (QStringList{"Austria", "France", "germany", "Italy"}));
    EXPECT_EQ(pickList(readCountriesByName, db),
              (QStringList{"Austria", "Belgium", "France", "Italy", "germany"}));
    QList<int> ids;
    readCountriesWithChannels(db, [&](int id, const QString&) { ids << id; });
    EXPECT_EQ(ids[3], countryId(*t.app, "Italy"));
    const QStringList languages = pickList(readLanguagesByName, db);
    EXPECT_TRUE(languages.contains("Italiano"));
    EXPECT_TRUE(std::is_sorted(languages.cbegin(), languages.cend()));
    EXPECT_THROW(readLanguagesByName(t.folder.file("missing.dat"), [](int, const QString&) {}),
                 DbError);
}

TEST(Favourites, ToggleWritesTheMarkAndGivesItBack) {
    TestApp t;
    const QString db = t.app->paths().catalogue;
    const int delta = catalogueId(*t.app, "Delta.fr");
    EXPECT_TRUE(toggleFavourite(db, delta));
    EXPECT_EQ(sqlNumber(db, "SELECT fav FROM tab_channels WHERE code = 'Delta.fr'"), 1);
    EXPECT_EQ(sqlNumber(db, "SELECT sum(fav) FROM tab_channels"), 1);
    EXPECT_FALSE(toggleFavourite(db, delta));
    EXPECT_EQ(sqlNumber(db, "SELECT sum(fav) FROM tab_channels"), 0);
    EXPECT_THROW(toggleFavourite(t.folder.file("missing.dat"), delta), DbError);
}

TEST(ChannelProperties, AreReadDecipheredAndAMissingChannelGivesNothing) {
    TestApp t;
    const QString db = t.app->paths().catalogue;
    execSql(db, "UPDATE tab_channels SET description = NULL WHERE code = 'Zeta.de'");
    const auto alpha = readChannelProperties(db, t.app->cipher(), catalogueId(*t.app, "Alpha.it"));
    ASSERT_TRUE(alpha);
    EXPECT_EQ(alpha->name, "Alpha");
    EXPECT_EQ(alpha->homePage, "https://alpha.example/");
    EXPECT_EQ(alpha->description, "Italian news, all day.");
    const auto zeta = readChannelProperties(db, t.app->cipher(), catalogueId(*t.app, "Zeta.de"));
    ASSERT_TRUE(zeta);
    EXPECT_EQ(zeta->homePage, "https://zeta.example/");
    EXPECT_EQ(zeta->description, "");
    EXPECT_FALSE(readChannelProperties(db, t.app->cipher(), 4242));
    EXPECT_THROW(readChannelProperties(t.folder.file("missing.dat"), t.app->cipher(), 1), DbError);
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST(OptionsTable, WritesOverAnExistingRowOrAddsOne) {
    TestApp t;
    const QString db = t.app->paths().catalogue;
    EXPECT_FALSE(readOption(db, "NoSuchOption"));
    writeOption(db, "TestOption", "7");
    EXPECT_EQ(readOption(db, "TestOption"), QString("7"));
    writeOption(db, "TestOption", "0");
    EXPECT_EQ(readOption(db, "TestOption"), QString("0"));
    EXPECT_EQ(sqlNumber(db, "SELECT count(*) FROM tab_options WHERE code = 'TestOption'"), 1);
    execSql(db, "UPDATE tab_options SET options = NULL WHERE code = 'TestOption'");
    const auto null = readOption(db, "TestOption");
    ASSERT_TRUE(null);
    EXPECT_TRUE(null->isNull());
    EXPECT_THROW(writeOption(t.folder.file("missing.dat"), "TestOption", "1"), DbError);
}

TEST(MyListRepository, ListsChannelsWithAnAddressByNameAndDeletesInOneGo) {
    TestApp t;
    const int italy = countryId(*t.app, "Italy");
    const ChannelRef b = addMyList(*t.app, "beta", "http://127.0.0.1:9/b.ts", italy);
    const ChannelRef a = addMyList(*t.app, "Alpha", "http://127.0.0.1:9/a.ts", 777);
    addMyList(*t.app, "Aaa no address", "", italy);
    execSql(t.app->paths().myList,
            "INSERT INTO tab_mylist (name, streamUrl) VALUES ('Countryless', 'http://x/')");
    const MyListEntries read = readMyListEntries(t.app->data());
    ASSERT_FALSE(read.error);
    QStringList rows; // Alpha's country is not in the catalogue
    for (const MyListEntry& e : read.entries)
        rows << e.name + '|' + e.country;
    ASSERT_EQ(rows, (QStringList{"Alpha|", "beta|Italy", "Countryless|"}));
    EXPECT_EQ(read.entries[0].channelID, a.number());

    // More numbers than one statement takes: deleted in parts, in one transaction.
    QList<int> ids;
    for (int i = 0; i < 12000; ++i)
        ids << 100000 + i;
    ids << a.number() << b.number();
    deleteMyListChannels(t.app->paths().myList, ids);
    EXPECT_EQ(myListRows(*t.app), 2);
    EXPECT_THROW(deleteMyListChannels(t.folder.file("missing.dat"), {1}), DbError);

    DataContext broken = t.app->data();
    broken.myListDb = t.folder.file("missing.dat");
    EXPECT_TRUE(readMyListEntries(broken).error);
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

} // namespace
