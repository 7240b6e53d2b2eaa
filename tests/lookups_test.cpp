#include "data/ChannelInfo.h"
#include "data/ChannelKey.h"
#include "data/MyList.h"
#include "data/VbConvert.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace zentuvo;
using namespace zentuvo::test;

TEST(ChannelKey, NumberAndKind) {
    EXPECT_EQ(ChannelKey::catalogue(12), "12 CH_ID");
    EXPECT_EQ(ChannelKey::number("12 CH_ID"), 12);
    EXPECT_EQ(ChannelKey::kind("12 CH_ID"), "CH_ID");
    EXPECT_EQ(ChannelKey::number("-1 FL"), -1);
    EXPECT_EQ(ChannelKey::kind("-1 FL"), "FL");
    EXPECT_EQ(ChannelKey::number(""), 0);
    EXPECT_EQ(ChannelKey::kind(""), "");
    EXPECT_EQ(ChannelKey::number("abc"), 0);
    EXPECT_EQ(ChannelKey::number("99999999999 CH_ID"), 0); // does not fit 32 bits
    EXPECT_EQ(ChannelKey::kind("7 ch_id x"), "ch_id x");
}

TEST(VbConvert, LeadingNumberAndStrictConversion) {
    EXPECT_EQ(leadingNumber(" 1"), 1);
    EXPECT_EQ(leadingNumber("1abc"), 1);
    EXPECT_EQ(leadingNumber(""), 0);
    EXPECT_EQ(leadingNumber("-2.5e1x"), -25);
    EXPECT_EQ(roundToInt32(2.5), 2); // half to even
    EXPECT_EQ(roundToInt32(3.5), 4);
    EXPECT_THROW(roundToInt32(1e12), ConversionError);
    EXPECT_EQ(toInt16Strict(" 7 "), 7);
    EXPECT_EQ(toInt16Strict("-1"), -1);
    try {
        toInt16Strict("12abc");
        FAIL();
    } catch (const ConversionError& e) {
        EXPECT_EQ(e.number(), 13);
    }
    try {
        toInt16Strict("40000");
        FAIL();
    } catch (const ConversionError& e) {
        EXPECT_EQ(e.number(), 6);
    }
}

// Every field coming back as stored is in reliability_input_test.cpp.
TEST(Lookups, NullColumnsMissingRowsAndOrphanCountriesGiveEmptyTextsWithoutMessages) {
    TestApp t;
    execSql(t.app->ChannelConnectionString,
            "UPDATE tab_channels SET homePage = NULL, streamUrl = NULL WHERE code = 'Zeta.de'");
    const auto zeta = GetChannelInfo(t.app->data(), catalogueId(*t.app, "Zeta.de"));
    ASSERT_TRUE(zeta);
    EXPECT_EQ(zeta->Name, "Zeta");
    EXPECT_EQ(zeta->HomePage, "");
    EXPECT_EQ(zeta->url, "");
    EXPECT_EQ(GetChannelInfo(t.app->data(), 4242)->Name, "");
    // A channel whose country row is gone gives no row through the join.
    execSql(t.app->ChannelConnectionString, "UPDATE tab_channels SET countryID = 999 "
                                            "WHERE code = 'Alpha.it'");
    EXPECT_EQ(GetChannelInfo(t.app->data(), catalogueId(*t.app, "Alpha.it"))->Name, "");
    EXPECT_EQ(GetCountryCHname(t.app->data(), 999), "");
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST(Lookups, MyListChannelAndItsCountry) {
    TestApp t;
    cMyList rec;
    rec.Name = "Mine";
    rec.streamUrl = "http://127.0.0.1:9/mine.ts";
    rec.HomePage = "https://mine.example/";
    rec.countryID = 1;
    ASSERT_TRUE(rec.Save(t.app->data()));
    const auto ch = GetMyListChannelInfo(t.app->data(), rec.channelID);
    ASSERT_TRUE(ch);
    EXPECT_EQ(ch->Name, "Mine");
    EXPECT_EQ(ch->HomePage, "https://mine.example/");
    EXPECT_EQ(ch->Country, GetCountryCHname(t.app->data(), 1));
    EXPECT_FALSE(ch->Country.isEmpty());
    // The catalogue is not asked for a My List number, nor the other way round.
    rec.countryID = 777;
    ASSERT_TRUE(rec.Update(t.app->data()));
    EXPECT_EQ(GetMyListChannelInfo(t.app->data(), rec.channelID)->Country, "");
    EXPECT_EQ(GetMyListChannelInfo(t.app->data(), 9999)->Name, "");
}

TEST(Lookups, DatabaseErrorsAreReportedAndGiveNothing) {
    TestApp t;
    DataContext broken = t.app->data();
    broken.channelDb = t.folder.file("missing.dat");
    broken.myListDb = t.folder.file("missing.dat");
    EXPECT_FALSE(GetChannelInfo(broken, 1));
    EXPECT_FALSE(GetMyListChannelInfo(broken, 1));
    EXPECT_EQ(GetCountryCHname(broken, 1), "");
    const QStringList texts = t.messages.texts();
    ASSERT_EQ(texts.size(), 3);
    EXPECT_TRUE(texts[0].startsWith("Error in GetChannelInfo: "));
    EXPECT_TRUE(texts[1].startsWith("Error in GetMyListChannelInfo: "));
    EXPECT_TRUE(texts[2].startsWith("Error in GetCountryCHname: "));
}

TEST(MyListRecord, LoadOfMissingRowKeepsFieldsAndNullsReadEmpty) {
    TestApp t;
    cMyList rec;
    rec.channelID = 55;
    rec.Name = "kept";
    EXPECT_TRUE(rec.Load(t.app->data()));
    EXPECT_EQ(rec.Name, "kept");
    cMyList ghost;
    ghost.channelID = 77;
    EXPECT_TRUE(ghost.Update(t.app->data())); // no row: nothing changes, nothing reported
    execSql(t.app->MyListConnectionString, "INSERT INTO tab_mylist (channelID) VALUES (5)");
    cMyList nulls;
    nulls.channelID = 5;
    nulls.Name = "x";
    ASSERT_TRUE(nulls.Load(t.app->data()));
    EXPECT_EQ(nulls.Name, "");
    EXPECT_EQ(nulls.Kbps, 0);
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST(Translate, FallbacksAcrossLanguages) {
    TestApp t;
    AppState& app = *t.app;
    execSql(app.ChannelConnectionString,
            "INSERT INTO tab_languageTerms (code, languageID, term) VALUES "
            "('_test_onlyBase', 1, 'Base'), ('_test_nullTerm', 1, NULL), "
            "('_test_nullTerm', 3, NULL)");
    app.LanguageID = 1;
    EXPECT_EQ(app.Translate("_frmMain_mnuFile"), "File");
    EXPECT_EQ(app.Translate("_test_missing"), "_");
    EXPECT_EQ(app.Translate("_test_nullTerm"), "_");
    app.LanguageID = 3;
    EXPECT_EQ(app.Translate("_frmMain_mnuFile"), "Datei");
    EXPECT_EQ(app.Translate("_test_onlyBase"), "-Base");
    EXPECT_EQ(app.Translate("_test_missing"), "-_");
    EXPECT_EQ(app.Translate("_test_nullTerm"), "-_");
    // A language change takes effect at the next lookup.
    app.LanguageID = 2;
    EXPECT_EQ(app.Translate("_frmMain_mnuFile"), "File"); // Italian keeps the word
    app.LanguageID = 4;
    EXPECT_EQ(app.Translate("_frmMain_mnuFile"), "Fichier");
    app.LanguageID = 42;
    EXPECT_EQ(app.Translate("_frmMain_mnuFile"), "-File");
    EXPECT_EQ(app.GetLangNameByID(42), "");
    EXPECT_EQ(app.GetLangNameByID(1), "English");
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST(Translate, DatabaseFailureGivesEmptyTextAndMessage) {
    TestApp t;
    t.app->ChannelConnectionString = t.folder.file("nothing.dat");
    EXPECT_EQ(t.app->Translate("_frmMain_mnuFile"), "");
    ASSERT_FALSE(t.messages.shown.isEmpty());
    EXPECT_TRUE(t.messages.shown[0].text.startsWith("Error translating: "));
    EXPECT_EQ(t.app->GetLangNameByID(1), "");
    EXPECT_TRUE(t.messages.shown.last().text.startsWith("Error in GetLangNameByID: "));
}
