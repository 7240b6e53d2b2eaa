// The catalogue search without a window: what it finds, its order, odd rows, and the same
// hits whether the work is shared among threads or not. Wildcards, quotes and hostile texts
// in the search are in reliability_input_test.cpp.
#include "data/CatalogueSearch.h"
#include "support/TestSupport.h"

#include <atomic>

namespace zentuvo::test {
namespace {

QStringList names(const SearchOutcome& o) {
    QStringList out;
    for (const auto& h : o.hits)
        out << h.name;
    return out;
}

TEST(CatalogueSearch, FindsNamesAndDescriptionsWithoutRegardToCase) {
    TestApp t;
    const QString db = t.app->paths().catalogue;
    const std::pair<const char*, QStringList> cases[] = {
        {"ALPHA", {"Alpha"}},
        {"BETA T", {"beta tv"}},
        {" tv", {"beta tv"}},
        {"betatv", {}},
        {"tv ", {}},
        {"Al*", {}},
        {"CONCERTS", {"beta tv"}}, // in the deciphered description
        {"A3 ", {}},               // never in the enciphered text
        {"Gamma", {}},             // channels without a stream never appear
        {"Kein Strom", {}},
    };
    for (const auto& [text, found] : cases)
        EXPECT_EQ(names(searchCatalogue(db, text)), found) << text;
    EXPECT_EQ(searchCatalogue(db, "").scanned, 5);
    std::atomic<bool> cancel{true};
    const SearchOutcome cancelled = searchCatalogue(db, "", &cancel);
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_TRUE(cancelled.hits.empty());
}

TEST(CatalogueSearch, OrdersByCountryThenNameAndCopesWithOddRows) {
    TestApp t;
    const QString file = t.folder.file("ch.dat");
    execSql(file, "UPDATE tab_channels SET name = 'alpha 2' WHERE code = 'Zeta.de';"
                  "UPDATE tab_country SET countryName = 'germany' WHERE countryName = 'Germany'");
    EXPECT_EQ(names(searchCatalogue(file, "")),
              (QStringList{"Delta", "Epsilon", "alpha 2", "Alpha", "beta tv"}));
    // An unknown country leaves the channel out, a genre without text shows "?", a damaged
    // description counts as empty and is reported in the outcome, not shown.
    execSql(file, "UPDATE tab_channels SET countryID = 999 WHERE code = 'Alpha.it';"
                  "UPDATE tab_type SET description = NULL WHERE description = 'Sports';"
                  "UPDATE tab_channels SET description = 'ZZ ZZ' WHERE code = 'Delta.fr'");
    const SearchOutcome o = searchCatalogue(file, "");
    EXPECT_FALSE(names(o).contains("Alpha"));
    ASSERT_FALSE(o.hits.empty());
    EXPECT_EQ(o.hits[0].name, "Delta");
    EXPECT_EQ(o.hits[0].genre, "?");
    EXPECT_EQ(o.hits[0].description, "");
    EXPECT_EQ(o.decipherFailures, 1);
    EXPECT_FALSE(o.decipherError.isEmpty());
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

// Enough channels for the work to be shared among threads: every thread count gives the
// same hits in the same order, and each description deciphers to what was stored.
TEST(CatalogueSearch, SharedOutSearchMatchesTheOneThreadSearch) {
    QList<FixtureChannel> channels;
    const QStringList countries{"Italy", "France", "Germany", "Spain", "Norway"};
    int expected = 0;
    for (int i = 0; i < 9000; ++i) {
        const bool inName = i % 11 == 0, inDescription = i % 7 == 0;
        expected += inName || inDescription;
        const QString name = inName ? QStringLiteral("needle %1").arg(i)
                                    : QStringLiteral("Channel %1").arg(9000 - i);
        const QString description = QStringLiteral("Description %1 Übertragung%2")
                                        .arg(i)
                                        .arg(inDescription ? "\nNeEdLe" : "");
        channels << FixtureChannel{QStringLiteral("c%1.x").arg(i),
                                   name,
                                   countries[i % 5],
                                   "News",
                                   "",
                                   description,
                                   "http://127.0.0.1:9/",
                                   "",
                                   ""};
    }
    TestApp t(channels);
    const QString db = t.app->paths().catalogue;
    const SearchOutcome one = searchCatalogue(db, "NEEDLE", nullptr, 1);
    const SearchOutcome three = searchCatalogue(db, "NEEDLE", nullptr, 3);
    EXPECT_EQ(three.scanned, 9000);
    ASSERT_EQ(int(one.hits.size()), expected);
    ASSERT_EQ(three.hits.size(), one.hits.size());
    for (size_t i = 0; i < three.hits.size(); ++i) {
        const SearchHit& h = three.hits[i];
        ASSERT_EQ(h.channelID, one.hits[i].channelID);
        const int n = h.description.section(u' ', 1, 1).section(u' ', 0, 0).toInt();
        ASSERT_EQ(h.description, channels[n].description);
    }
}

} // namespace
} // namespace zentuvo::test
