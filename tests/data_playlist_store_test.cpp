// My List's playlist columns, the import in one transaction, groups and the export.
#include "data/CatalogueSearch.h"
#include "data/ChannelInfo.h"
#include "data/Database.h"
#include "data/MyList.h"
#include "data/MyListRepository.h"
#include "data/PlaylistStore.h"
#include "data/Schema.h"
#include "support/TestSupport.h"

using namespace zentuvo;
using namespace zentuvo::test;

namespace {

PlaylistEntry entry(const QString& name, const QString& url, const QString& group = {},
                    const QString& country = {}) {
    PlaylistEntry e;
    e.name = name;
    e.url = url;
    e.group = group;
    e.country = country;
    return e;
}

PlaylistImportOutcome import(TestApp& t, const std::vector<PlaylistEntry>& entries,
                             const std::atomic_bool* cancel = nullptr) {
    return importPlaylist(t.app->paths().catalogue, t.app->paths().myList, entries,
                          QStringLiteral("Imported"), cancel);
}

} // namespace

TEST(PlaylistStore, OldListGainsTheColumnsKeepingEveryRow) {
    TestApp t;
    const QString path = t.folder.file("old.dat");
    Connection(path, Connection::Mode::Create)
        .exec("CREATE TABLE tab_mylist (channelID INTEGER PRIMARY KEY AUTOINCREMENT, "
              "countryID INTEGER, typeID INTEGER, name TEXT, codec TEXT, homePage TEXT, "
              "streamUrl TEXT, kbps INTEGER, description TEXT, notes TEXT, rank INTEGER);"
              "INSERT INTO tab_mylist (name, streamUrl, notes, rank) "
              "VALUES ('Kept', 'http://127.0.0.1:9/k', 'n', -32768)");
    EXPECT_EQ(upgradeMyListFile(path), "");
    EXPECT_EQ(upgradeMyListFile(path), ""); // a second start changes nothing
    EXPECT_EQ(checkMyListFile(path), "");
    DataContext ctx = t.app->data();
    ctx.myListDb = path;
    MyListRecord r;
    r.channelID = 1;
    ASSERT_TRUE(r.load(ctx));
    EXPECT_EQ(r.name, "Kept");
    EXPECT_EQ(r.rank, -32768);
    EXPECT_EQ(r.groupName, "");
    r.userAgent = "UA/1";
    r.referrer = "http://127.0.0.1/ref";
    r.groupName = "News";
    ASSERT_TRUE(r.update(ctx));
    const auto info = myListChannelInfo(ctx, 1);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->userAgent, "UA/1");
    EXPECT_EQ(info->referrer, "http://127.0.0.1/ref");
}

TEST(PlaylistStore, ImportSkipsKnownAddressesMatchesCountriesAndKeepsFields) {
    TestApp t;
    addMyList(*t.app, "Already", "http://127.0.0.1:9/known");
    PlaylistEntry full = entry("Full", "http://127.0.0.1:9/full", "Sport", "it");
    full.tvgId = "Full.it";
    full.logo = "http://127.0.0.1:9/logo.png";
    full.userAgent = "Agent/2";
    full.referrer = "http://127.0.0.1:9/";
    const std::vector<PlaylistEntry> entries{
        full,
        entry("Known", "http://127.0.0.1:9/known"),
        entry("Again", "http://127.0.0.1:9/full"),
        entry("By name", "http://127.0.0.1:9/fr", "", "FRANCE"),
        entry("Several", "http://127.0.0.1:9/de", "", "XX;DE"),
        entry("Unknown", "http://127.0.0.1:9/xx", "", "Atlantis"),
        entry("No address", ""),
    };
    const auto out = import(t, entries);
    EXPECT_EQ(out.error, "");
    EXPECT_EQ(out.imported, 4);
    EXPECT_EQ(out.skipped, 3);
    const QString db = t.app->paths().myList;
    const auto country = [&](const char* name) {
        return sqlNumber(db, "SELECT COALESCE(countryID, 0) FROM tab_mylist WHERE name = ?", name);
    };
    EXPECT_EQ(country("Full"), countryId(*t.app, "Italy"));
    EXPECT_EQ(country("By name"), countryId(*t.app, "France"));
    EXPECT_EQ(country("Several"), countryId(*t.app, "Germany"));
    EXPECT_EQ(country("Unknown"), 0);
    EXPECT_EQ(sqlText(db, "SELECT groupName FROM tab_mylist WHERE name = ?", "By name"),
              "Imported");

    const auto back =
        myListPlaylist(t.app->paths().catalogue, db, MyListGroupFilter::ofGroup("sport"));
    ASSERT_EQ(back.size(), 1u);
    PlaylistEntry expected = full;
    expected.country = "IT";
    EXPECT_EQ(back[0], expected);
}

TEST(PlaylistStore, CancelledOrFailedImportLeavesMyListAsItWas) {
    TestApp t;
    addMyList(*t.app, "Before", "http://127.0.0.1:9/before");
    std::vector<PlaylistEntry> entries;
    for (int i = 0; i < 5000; ++i)
        entries.push_back(entry(QString("E%1").arg(i), QString("http://127.0.0.1:9/%1").arg(i)));
    std::atomic_bool cancel{true};
    EXPECT_TRUE(import(t, entries, &cancel).cancelled);
    EXPECT_EQ(myListRows(*t.app), 1);

    // The database refuses the 4,001st row: the 4,000 before it go too.
    execSql(t.app->paths().myList,
            "CREATE TRIGGER refuse BEFORE INSERT ON tab_mylist WHEN NEW.name = 'E4000' "
            "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    const auto out = import(t, entries);
    EXPECT_NE(out.error.indexOf("refused"), -1);
    EXPECT_EQ(out.imported, 0);
    EXPECT_EQ(myListRows(*t.app), 1);
}

TEST(PlaylistStore, GroupsFilterAndDeleteAsOne) {
    TestApp t;
    import(t,
           {entry("a", "http://127.0.0.1:9/a", "news"), entry("b", "http://127.0.0.1:9/b", "News"),
            entry("c", "http://127.0.0.1:9/c", "Kids")});
    addMyList(*t.app, "loose", "http://127.0.0.1:9/loose");
    const QString db = t.app->paths().myList;
    const MyListGroups groups = readMyListGroups(db);
    EXPECT_EQ(groups.names, QStringList({"Kids", "news"}));
    EXPECT_TRUE(groups.hasUngrouped);
    EXPECT_EQ(readMyListEntries(t.app->data(), MyListGroupFilter::ofGroup("NEWS")).entries.size(),
              2u);
    EXPECT_EQ(readMyListEntries(t.app->data(), MyListGroupFilter::noGroup()).entries.size(), 1u);
    EXPECT_EQ(deleteMyListGroup(db, MyListGroupFilter::ofGroup("news")), 2);
    EXPECT_EQ(deleteMyListGroup(db, MyListGroupFilter::noGroup()), 1);
    EXPECT_EQ(myListRows(*t.app), 1);
}

TEST(PlaylistStore, FavouritesExportWithIdsGenresAndCodes) {
    TestApp t;
    const QString ch = t.app->paths().catalogue;
    EXPECT_TRUE(favouritesPlaylist(ch).empty());
    execSql(ch, "UPDATE tab_channels SET fav = 1");
    const auto favs = favouritesPlaylist(ch);
    ASSERT_FALSE(favs.empty());
    for (const auto& e : favs) {
        EXPECT_FALSE(e.url.isEmpty());
        EXPECT_FALSE(e.tvgId.isEmpty());
    }
    EXPECT_EQ(favs.front().country, "FR"); // France comes first
}

TEST(PlaylistStore, SearchFindsMyListChannelsByNameOrDescription) {
    TestApp t;
    import(t, {entry("Rai News", "http://127.0.0.1:9/n", "", "IT"),
               entry("Sport", "http://127.0.0.1:9/s", "Extra")});
    execSql(t.app->paths().myList, "UPDATE tab_mylist SET description = 'all the NEWS' "
                                   "WHERE name = 'Sport'");
    const SearchOutcome out = searchMyList(t.app->paths().myList, t.app->paths().catalogue, "news");
    ASSERT_EQ(out.hits.size(), 2u);
    EXPECT_EQ(out.hits[0].name, "Sport"); // no country sorts first
    EXPECT_EQ(out.hits[0].genre, "Extra");
    EXPECT_EQ(out.hits[1].countryName, "Italy");
    EXPECT_EQ(out.hits[1].channel().kind(), ChannelRef::Kind::MyList);
}
