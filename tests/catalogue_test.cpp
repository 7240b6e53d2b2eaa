#include "data/Catalogue.h"
#include "data/Csv.h"
#include "data/StoredValue.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

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
    QProcess p;
    p.start(QStringLiteral(ZENTUVO_BUILD_DIR) + "/zentuvo-catalogue", args);
    p.waitForFinished(60000);
    *exitCode = p.exitCode();
    return QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError()).trimmed();
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
