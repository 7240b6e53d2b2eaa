// Stream check results: kept by code beside the catalogue across a new catalogue, in My List's
// own file, fresh for six hours, many at once.
#include "data/Catalogue.h"
#include "data/ChannelHealth.h"
#include "data/Database.h"
#include "data/Schema.h"
#include "data/StoredValue.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace zentuvo;
using namespace zentuvo::test;

namespace {

const QDateTime kNow = QDateTime(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC);

ChannelHealth result(HealthState state, const QDateTime& at, const QString& key = {},
                     const QString& argument = {}) {
    return {state, key, argument, at};
}

} // namespace

TEST(ChannelHealthStore, CatalogueResultsFollowTheCodeIntoANewCatalogue) {
    TestApp t;
    const QString healthFile = t.app->paths().healthFile();
    EXPECT_EQ(healthFile, t.folder.file("health.dat"));
    StoredValueCipher cipher;
    const auto channels = catalogueHealthChannels(t.app->paths().catalogue, cipher);
    ASSERT_EQ(channels.size(), 7u);
    const auto delta = std::find_if(channels.begin(), channels.end(),
                                    [](const HealthChannel& c) { return c.code == "Delta.fr"; });
    ASSERT_NE(delta, channels.end());
    EXPECT_EQ(delta->address, "http://127.0.0.1:9/delta.ts");
    EXPECT_EQ(delta->userAgent, "DeltaAgent/1.0");
    EXPECT_EQ(delta->referrer, "https://delta.example/");
    EXPECT_EQ(catalogueHealthChannels(t.app->paths().catalogue, cipher, {"Zeta.de"}).size(), 1u);

    EXPECT_TRUE(readCatalogueHealth(t.app->paths().catalogue, healthFile, kNow).isEmpty());
    const auto down = result(HealthState::Offline, kNow.addSecs(-60), "_health_http", "404");
    const auto up = result(HealthState::Online, kNow.addSecs(-30));
    saveCatalogueHealth(healthFile, {{"Alpha.it", down}, {"Zeta.de", down}, {"Beta.it", up}});
    saveCatalogueHealth(healthFile, {{"Alpha.it", up}}); // a newer result replaces the older

    // A new catalogue: Alpha and Zeta under other numbers, Beta gone.
    QList<FixtureChannel> changed = defaultChannels();
    changed.removeAt(1);
    std::reverse(changed.begin(), changed.end());
    FixtureFolder::writeData(t.folder.dataDir(), changed);
    ASSERT_TRUE(buildCatalogue(t.folder.dataDir(), t.app->paths().catalogue).ok);
    const int alpha = catalogueId(*t.app, "Alpha.it"), zeta = catalogueId(*t.app, "Zeta.de");
    const auto states = readCatalogueHealth(t.app->paths().catalogue, healthFile, kNow);
    EXPECT_EQ(states.size(), 2);
    EXPECT_EQ(states.value(alpha), up);
    EXPECT_EQ(states.value(zeta), down);
    EXPECT_EQ(readCatalogueHealth(t.app->paths().catalogue, healthFile, kNow, {zeta}).keys(),
              QList<int>{zeta});
    EXPECT_EQ(readCatalogueHealthByCode(healthFile, kNow, {"Beta.it"}).value("Beta.it"), up);
}

TEST(ChannelHealthStore, ResultsAreFreshForSixHours) {
    const qint64 six = 6 * 3600;
    // The result's age in seconds, whether it is fresh.
    const std::pair<qint64, bool> ages[] = {{0, true},           {six - 1, true}, {six, false},
                                            {six + 3600, false}, {-60, true},     {-six, true},
                                            {-six - 1, false}};
    TestApp t;
    const QString healthFile = t.app->paths().healthFile();
    std::vector<std::pair<QString, ChannelHealth>> saved;
    int freshCount = 0;
    for (const auto& [age, fresh] : ages) {
        const auto health = result(HealthState::Online, kNow.addSecs(-age));
        EXPECT_EQ(isHealthFresh(health, kNow), fresh) << age;
        saved.push_back({QString::number(age), health});
        freshCount += fresh;
    }
    EXPECT_FALSE(isHealthFresh(result(HealthState::Unknown, kNow), kNow));
    saveCatalogueHealth(healthFile, saved);
    EXPECT_EQ(readCatalogueHealthByCode(healthFile, kNow).size(), freshCount);
    EXPECT_EQ(forgetStaleCatalogueHealth(healthFile, kNow), int(saved.size()) - freshCount);
    EXPECT_EQ(sqlNumber(healthFile, "SELECT count(*) FROM tab_health"), freshCount);
    EXPECT_EQ(forgetStaleCatalogueHealth(t.folder.file("none.dat"), kNow), 0);
}

TEST(ChannelHealthStore, MyListKeepsItsResultsInItsOwnFile) {
    TestApp t;
    const QString myList = t.app->paths().myList;
    const ChannelRef a = addMyList(*t.app, "A", "http://127.0.0.1:9/a", 1);
    const ChannelRef b = addMyList(*t.app, "B", "rtmp://127.0.0.1/b", 1);
    const auto listed = myListHealthChannels(myList);
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[1].address, "rtmp://127.0.0.1/b");
    EXPECT_EQ(myListHealthChannels(myList, {b.number()}).size(), 1u);

    // 10,000 results in one save, read back at once; the stale one is forgotten.
    std::vector<std::pair<int, ChannelHealth>> many;
    for (int id = 1; id <= 10000; ++id)
        many.push_back(
            {id, result(HealthState::CouldNotCheck, kNow.addSecs(-id), "_health_timedOut")});
    many.push_back({a.number(), result(HealthState::Online, kNow.addSecs(-7 * 3600))});
    saveMyListHealth(myList, many);
    const auto states = readMyListHealth(myList, kNow);
    EXPECT_EQ(states.size(), 9999);
    EXPECT_FALSE(states.contains(a.number()));
    EXPECT_EQ(states.value(b.number()).reasonKey, "_health_timedOut");
    EXPECT_EQ(readMyListHealth(myList, kNow, {b.number(), 5000}).size(), 2);
    EXPECT_EQ(forgetStaleMyListHealth(myList, kNow), 1);

    // A list from before the checks reads as unchecked, and gains the table on its upgrade.
    const QString old = t.folder.file("old.dat");
    Connection(old, Connection::Mode::Create)
        .exec("CREATE TABLE tab_mylist (channelID INTEGER PRIMARY KEY, name TEXT, "
              "streamUrl TEXT)");
    EXPECT_TRUE(readMyListHealth(old, kNow).isEmpty());
    EXPECT_EQ(upgradeMyListFile(old), "");
    EXPECT_EQ(sqlNumber(old, "SELECT count(*) FROM sqlite_master WHERE name = 'tab_mylistHealth'"),
              1);
}
