#include "data/Catalogue.h"
#include "data/Csv.h"
#include "data/StoredValue.h"
#include "support/TestSupport.h"

using namespace zentuvo;
using namespace zentuvo::test;

TEST(Csv, ReadsQuotedFieldsAndLineEnds) {
    CsvReader r("a,\"b,1\",\"say \"\"hi\"\"\"\r\n\"multi\nline\",,x\nlast");
    EXPECT_EQ(r.next().value(), QStringList({"a", "b,1", "say \"hi\""}));
    EXPECT_EQ(r.next().value(), QStringList({"multi\nline", "", "x"}));
    EXPECT_EQ(r.next().value(), QStringList({"last"}));
    EXPECT_FALSE(r.next());
    CsvReader bad("\"open,1\n");
    EXPECT_FALSE(bad.next());
    EXPECT_FALSE(bad.error().isEmpty());
    EXPECT_EQ(csvLine({"a,b", "q\"", "plain"}), "\"a,b\",\"q\"\"\",plain\r\n");
}

TEST(Catalogue, BuildsEncipheredAddressesAndAnUpdateKeepsFavouritesNumbersAndOptions) {
    FixtureFolder folder;
    const QString db = folder.file("ch.dat");
    const auto text = [&](const char* column, const char* code) {
        return sqlText(db, QString("SELECT %1 FROM tab_channels WHERE code = ?").arg(column), code);
    };
    const QString stored = text("streamUrl", "Alpha.it");
    EXPECT_NE(stored, "http://127.0.0.1:9/alpha.ts");
    EXPECT_EQ(StoredValueCipher().decryptStreamAddress(stored), "http://127.0.0.1:9/alpha.ts");
    EXPECT_EQ(text("streamUrl", "Gamma.it"), "");
    EXPECT_EQ(sqlNumber(db, "SELECT COUNT(*) FROM tab_channels WHERE homePage IS NULL"), 4);

    execSql(db, "UPDATE tab_channels SET fav = 1 WHERE code IN ('Beta.it', 'Zeta.de');"
                "UPDATE tab_options SET options = '0' WHERE code = 'RememberCountry';");
    const QString zetaId = text("channelID", "Zeta.de");
    auto channels = defaultChannels();
    channels.removeAt(1); // Beta goes
    channels[0].name = "Alpha Renamed";
    channels << FixtureChannel{"New.es", "Nuevo", "Spain", "News", "", "", "http://x/", "", ""};
    FixtureFolder::writeData(folder.dataDir(), channels);
    const auto r = updateCatalogue(folder.dataDir(), db);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(sqlNumber(db, "SELECT COUNT(*) FROM tab_channels"), 7);
    EXPECT_EQ(text("name", "Beta.it"), "");
    EXPECT_EQ(text("fav", "Zeta.de"), "1");
    EXPECT_EQ(text("channelID", "Zeta.de"), zetaId);
    EXPECT_EQ(text("name", "Alpha.it"), "Alpha Renamed");
    EXPECT_GT(text("channelID", "New.es").toInt(), 7);
    EXPECT_EQ(sqlText(db, "SELECT options FROM tab_options WHERE code = 'RememberCountry'"), "0");
    EXPECT_EQ(sqlNumber(db, "SELECT COUNT(*) FROM tab_country WHERE countryName = 'Spain'"), 1);
}

TEST(Catalogue, ExportGivesBackTheSourceData) {
    FixtureFolder folder;
    QTemporaryDir out;
    const auto r = exportCatalogue(folder.file("ch.dat"), out.path());
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    const auto source = readCsvFile(folder.dataDir() + "/catalogue/channels.csv", nullptr);
    const auto exported = readCsvFile(out.path() + "/catalogue/channels.csv", nullptr);
    ASSERT_TRUE(source && exported);
    EXPECT_EQ(source->rows, exported->rows);
}

TEST(Catalogue, RejectsInconsistentSources) {
    FixtureFolder folder;
    QFile f(folder.dataDir() + "/catalogue/channels.csv");
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write("Odd.xx,Odd,Atlantis,News,,,http://x/,,\r\n");
    f.close();
    const auto r = buildCatalogue(folder.dataDir(), folder.file("bad.dat"));
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.error.contains("Atlantis"));
    EXPECT_FALSE(QFile::exists(folder.file("bad.dat")));
}

TEST(Catalogue, RealCatalogueBuildsCompletely) {
    QTemporaryDir dir;
    const auto r = buildCatalogue(projectDataDir(), dir.filePath("ch.dat"));
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    // Every row of the source table is a channel of the catalogue.
    const auto source = readCsvFile(projectDataDir() + "/catalogue/channels.csv", nullptr);
    ASSERT_TRUE(source && !source->rows.isEmpty());
    EXPECT_EQ(r.channels, source->rows.size());
    const QString db = dir.filePath("ch.dat");
    // English holds every key; every other language translates every key.
    const qint64 keys =
        sqlNumber(db, "SELECT COUNT(*) FROM tab_languageTerms WHERE languageID = 1");
    EXPECT_GT(keys, 90);
    EXPECT_EQ(sqlNumber(db, "SELECT COUNT(*) FROM tab_languageTerms"), keys * 5);
}

namespace {

QString runTool(const QStringList& args, int* exitCode) {
    return runCatalogueTool(args, exitCode).trimmed();
}

} // namespace

TEST(CatalogueTool, EncryptDecryptAndFailures) {
    int rc = 0;
    const QString stored = runTool({"encrypt", "Ü & ' ; %"}, &rc);
    EXPECT_EQ(runTool({"decrypt", stored}, &rc), "Ü & ' ; %");
    EXPECT_EQ(rc, 0);
    const QString out = runTool({"decrypt", "zz yy"}, &rc);
    EXPECT_NE(rc, 0);
    EXPECT_TRUE(out.contains("does not decipher"));
    runTool({"frobnicate"}, &rc);
    EXPECT_EQ(rc, 2);
}

TEST(CatalogueTool, PlaylistRoundTripThroughMyList) {
    TestApp t;
    int rc = 0;
    const QString in = t.folder.file("in.m3u"), out = t.folder.file("out.m3u");
    // Headers, ids, logos and groups of every kind; a 50 MB list is read by the same code.
    writeFile(in, "#EXTM3U\n"
                  "#EXTINF:-1 tvg-id=\"A.it\" tvg-logo=\"http://127.0.0.1:9/a.png\" "
                  "tvg-country=\"IT\" group-title=\"News\",A, with comma\n"
                  "#EXTVLCOPT:http-user-agent=Agent/1\n#EXTVLCOPT:http-referrer=http://r/\n"
                  "http://127.0.0.1:9/a\n"
                  "#EXTINF:-1,B\n#EXTGRP:Kids\nhttp://127.0.0.1:9/b|User-Agent=Other%20UA\n"
                  "#EXTINF:-1,C\nhttp://127.0.0.1:9/c");
    const QString myList = t.app->paths().myList;
    EXPECT_EQ(runTool({"import-playlist", "--mylist", myList, in}, &rc),
              "imported 3, skipped 0, unreadable 0");
    EXPECT_EQ(runTool({"import-playlist", "--mylist", myList, "--group", "G", in}, &rc),
              "imported 0, skipped 3, unreadable 0");
    EXPECT_EQ(runTool({"export-playlist", "--mylist", myList, "--out", out}, &rc), "exported 3");
    const QString fresh = t.folder.file("fresh.dat");
    EXPECT_EQ(runTool({"import-playlist", "--mylist", fresh, "--catalogue",
                       t.app->paths().catalogue, out},
                      &rc),
              "imported 3, skipped 0, unreadable 0");
    const QString columns = "SELECT group_concat(name || '|' || streamUrl || '|' || "
                            "COALESCE(countryID, '') || '|' || COALESCE(userAgent, '') || '|' || "
                            "COALESCE(referrer, '') || '|' || COALESCE(groupName, '') || '|' || "
                            "COALESCE(tvgId, '') || '|' || COALESCE(logo, ''), ';') "
                            "FROM (SELECT * FROM tab_mylist ORDER BY name)";
    EXPECT_EQ(sqlText(fresh, columns), sqlText(myList, columns));
    EXPECT_EQ(sqlText(fresh, "SELECT groupName FROM tab_mylist WHERE name = 'C'"), "in");
    EXPECT_EQ(sqlText(fresh, "SELECT userAgent FROM tab_mylist WHERE name = 'B'"), "Other UA");
    runTool({"import-playlist", "--mylist", myList}, &rc);
    EXPECT_EQ(rc, 2);
}
