#include "data/ChannelInfo.h"
#include "data/ChannelRef.h"
#include "data/MyList.h"
#include "data/VbConvert.h"
#include "support/TestSupport.h"

using namespace zentuvo;
using namespace zentuvo::test;

TEST(ChannelRef, TagTextRoundTripsAndOddTextsNameNoChannel) {
    using Kind = ChannelRef::Kind;
    const std::tuple<const char*, Kind, int> cases[] = {
        {"12 CH_ID", Kind::Catalogue, 12},
        {"3 MY_ID", Kind::MyList, 3},
        {"-1 FL", Kind::File, -1},
        {"", Kind::None, 0},
        {"abc", Kind::None, 0},
        {"99999999999 CH_ID", Kind::Catalogue, 0}, // does not fit 32 bits
        {"7 ch_id", Kind::None, 7},                // the kind's letter case counts
        {"-1", Kind::None, -1},
    };
    for (const auto& [text, kind, number] : cases) {
        const ChannelRef ref = ChannelRef::fromText(text);
        EXPECT_EQ(ref.kind(), kind) << text;
        EXPECT_EQ(ref.number(), number) << text;
    }
    for (const ChannelRef ref : {ChannelRef::catalogue(12), ChannelRef::myList(2147483647),
                                 ChannelRef::file(), ChannelRef()})
        EXPECT_EQ(ChannelRef::fromText(ref.toText()), ref) << ref.toText().toStdString();
    EXPECT_EQ(ChannelRef().toText(), "");
}

// The strict conversions behind the settings file are tried through it in settings_test.cpp.
TEST(VbConvert, RoundsHalfToEvenAndRefusesWhatDoesNotFit) {
    EXPECT_EQ(leadingNumber("-2.5e1x"), -25);
    EXPECT_EQ(roundToInt32(2.5), 2);
    EXPECT_EQ(roundToInt32(3.5), 4);
    EXPECT_THROW(roundToInt32(1e12), ConversionError);
}

// Every field coming back as stored is in reliability_input_test.cpp.
TEST(Lookups, NullColumnsMissingRowsAndOrphanCountriesGiveEmptyTextsWithoutMessages) {
    TestApp t;
    const auto data = t.app->data();
    execSql(t.app->paths().catalogue,
            "UPDATE tab_channels SET homePage = NULL, streamUrl = NULL WHERE code = 'Zeta.de';"
            "UPDATE tab_channels SET countryID = 999 WHERE code = 'Alpha.it'");
    const auto zeta = channelInfo(data, catalogueId(*t.app, "Zeta.de"));
    ASSERT_TRUE(zeta);
    EXPECT_EQ(zeta->name, "Zeta");
    EXPECT_EQ(zeta->homePage + zeta->url, "");
    EXPECT_EQ(channelInfo(data, 4242)->name, "");
    // A channel whose country row is gone gives no row through the join.
    EXPECT_EQ(channelInfo(data, catalogueId(*t.app, "Alpha.it"))->name, "");
    EXPECT_EQ(countryName(data, 999), "");
    const ChannelRef mine = addMyList(*t.app, "Mine", "http://127.0.0.1:9/mine.ts", 777);
    EXPECT_EQ(myListChannelInfo(data, mine.number())->country, "");
    EXPECT_EQ(myListChannelInfo(data, 9999)->name, "");
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST(Lookups, DatabaseErrorsAreReportedAndGiveNothing) {
    TestApp t;
    DataContext broken = t.app->data();
    broken.channelDb = broken.myListDb = t.folder.file("missing.dat");
    EXPECT_FALSE(channelInfo(broken, 1));
    EXPECT_FALSE(myListChannelInfo(broken, 1));
    EXPECT_EQ(countryName(broken, 1), "");
    const QStringList texts = t.messages.texts();
    ASSERT_EQ(texts.size(), 3);
    EXPECT_TRUE(texts[0].startsWith("Error in GetChannelInfo: "));
    EXPECT_TRUE(texts[1].startsWith("Error in GetMyListChannelInfo: "));
    EXPECT_TRUE(texts[2].startsWith("Error in GetCountryCHname: "));
}

TEST(MyListRecord, LoadOfMissingRowKeepsFieldsAndNullsReadEmpty) {
    TestApp t;
    MyListRecord rec;
    rec.channelID = 55;
    rec.name = "kept";
    EXPECT_TRUE(rec.load(t.app->data()));
    EXPECT_EQ(rec.name, "kept");
    EXPECT_TRUE(rec.update(t.app->data())); // no row: nothing changes, nothing reported
    execSql(t.app->paths().myList, "INSERT INTO tab_mylist (channelID) VALUES (5)");
    rec.channelID = 5;
    ASSERT_TRUE(rec.load(t.app->data()));
    EXPECT_EQ(rec.name, "");
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST(Translate, FallbacksAcrossLanguages) {
    TestApp t;
    AppContext& app = *t.app;
    execSql(app.paths().catalogue, "INSERT INTO tab_languageTerms (code, languageID, term) VALUES "
                                   "('_test_onlyBase', 1, 'Base'), ('_test_nullTerm', 1, NULL), "
                                   "('_test_nullTerm', 3, NULL)");
    // The language, the term's code, its text.
    const std::tuple<int, const char*, const char*> cases[] = {
        {1, "_frmMain_mnuFile", "File"},    {1, "_test_missing", "_"},
        {1, "_test_nullTerm", "_"},         {3, "_frmMain_mnuFile", "Datei"},
        {3, "_test_onlyBase", "-Base"},     {3, "_test_missing", "-_"},
        {3, "_test_nullTerm", "-_"},        {2, "_frmMain_mnuFile", "File"}, // Italian keeps it
        {4, "_frmMain_mnuFile", "Fichier"}, {42, "_frmMain_mnuFile", "-File"},
    };
    for (const auto& [language, code, text] : cases) {
        app.preferences().setLanguage(language); // takes effect at the next lookup
        EXPECT_EQ(app.translate(code), text) << language << " " << code;
    }
    EXPECT_EQ(app.languageName(42), "");
    EXPECT_EQ(app.languageName(1), "English");
    EXPECT_TRUE(t.messages.shown.isEmpty());
    AppPaths gone = app.paths();
    gone.catalogue = t.folder.file("nothing.dat");
    app.setPaths(gone);
    EXPECT_EQ(app.translate("_test_other"), "");
    ASSERT_FALSE(t.messages.shown.isEmpty());
    EXPECT_TRUE(t.messages.shown[0].text.startsWith("Error translating: "));
    EXPECT_EQ(app.languageName(2), "");
    EXPECT_TRUE(t.messages.shown.last().text.startsWith("Error in GetLangNameByID: "));
}
