// Where the data lives: the portable and the installed program, the user's copies of the
// installed catalogue and settings file, and the recording folder.
#include "app/DataLocation.h"
#include "app/Settings.h"
#include "data/Catalogue.h"
#include "data/CatalogueCopy.h"
#include "data/Favourites.h"
#include "support/TestSupport.h"

#include <QDateTime>
#include <QDirIterator>

using namespace zentuvo;
using namespace zentuvo::test;

namespace {

// Every entry under a folder with its size and modification time.
QStringList snapshot(const QString& folder) {
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        entries << QStringLiteral("%1 %2 %3")
                       .arg(info.filePath())
                       .arg(info.size())
                       .arg(info.lastModified().toMSecsSinceEpoch());
    }
    entries.sort();
    return entries;
}

void setReadOnly(const QString& folder, bool readOnly) {
    const auto rx = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    const auto x = QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
    for (const QString& name : QDir(folder).entryList(QDir::Files))
        QFile::setPermissions(folder + '/' + name, readOnly ? rx : rx | QFile::WriteOwner);
    QFile::setPermissions(folder, readOnly ? rx | x : rx | x | QFile::WriteOwner);
}

// An installed program under root (bin/, share/zentuvo/ built from channels) and user
// folders beside it.
struct Installation {
    explicit Installation(const QList<FixtureChannel>& channels = defaultChannels()) {
        QDir(root.path()).mkpath("bin");
        QDir(root.path()).mkpath("share/zentuvo");
        writeDefaultSettingsFile(share() + "/Zentuvo.ini");
        writeFile(share() + "/Zentuvo.ini", readFile(share() + "/Zentuvo.ini") + "; installed\n");
        writeFile(share() + "/Zentuvo.html", "<html></html>");
        build(channels);
    }
    ~Installation() { setReadOnly(share(), false); }
    QString bin() const { return root.filePath("bin"); }
    QString share() const { return root.filePath("share/zentuvo"); }
    UserFolders user() const {
        return {root.filePath("home/data"), root.filePath("home/config"),
                root.filePath("home/cache"), root.filePath("home/Videos")};
    }
    AppPaths paths() const { return chooseAppPaths(bin(), {}, installedDataFolder(bin()), user()); }
    // A new package: the catalogue built again from these channels.
    void build(const QList<FixtureChannel>& channels) {
        setReadOnly(share(), false);
        FixtureFolder::writeData(root.filePath("data"), channels);
        const auto r = buildCatalogue(root.filePath("data"), share() + "/ch.dat");
        if (!r.ok)
            throw std::runtime_error(r.error.toStdString());
        setReadOnly(share(), true);
    }
    // prepareUserData, checking that the installed folder stays as it was.
    QString prepare() const {
        const QStringList before = snapshot(share());
        const QString fault = prepareUserData(paths());
        EXPECT_EQ(snapshot(share()), before);
        return fault;
    }
    QTemporaryDir root;
};

} // namespace

TEST(DataLocation, PortableHomeOrTheUsersFoldersAndTheirRecordFolders) {
    Installation installed;
    FixtureFolder portable; // a program folder holding ch.dat, and a Recorded folder
    QDir(portable.path()).mkdir("Recorded");
    const UserFolders user = installed.user();
    const QString share = installed.share();
    // What is found, the program's folder, ZENTUVO_HOME, the installed data, the data folder
    // chosen, its record folder ("": the user's videos).
    const std::tuple<const char*, QString, QString, QString, QString, QString> cases[] = {
        {"ZENTUVO_HOME wins", portable.path(), "/srv/tv/", share, "/srv/tv", "/srv/tv"},
        {"ch.dat beside the program", portable.path(), "", share, portable.path(),
         portable.path() + "/Recorded"},
        {"installed", installed.bin(), "", share, user.data + "/zentuvo", ""},
        {"nothing installed", installed.bin(), "", "/nonexistent", installed.bin(),
         installed.bin()},
    };
    for (const auto& [what, program, home, installedData, folder, recordFolder] : cases) {
        SCOPED_TRACE(what);
        const AppPaths paths = chooseAppPaths(program, home, installedData, user);
        EXPECT_EQ(paths.catalogue, folder + "/ch.dat");
        EXPECT_EQ(paths.portable(), !recordFolder.isEmpty());
        if (paths.portable()) {
            EXPECT_EQ(paths.settingsFile, folder + "/Zentuvo.ini");
            EXPECT_EQ(chooseRecordFolder(paths, std::nullopt), recordFolder);
        } else {
            EXPECT_EQ(paths.settingsFile, user.config + "/zentuvo/Zentuvo.ini");
            EXPECT_EQ(paths.cacheFolder, user.cache + "/zentuvo");
            EXPECT_EQ(paths.manual, share + "/Zentuvo.html");
            EXPECT_EQ(chooseRecordFolder(paths, std::nullopt), user.videos + "/Zentuvo");
        }
        EXPECT_EQ(chooseRecordFolder(paths, QString(" /media/tv ")), "/media/tv");
        EXPECT_EQ(chooseRecordFolder(paths, QString("../tv")), QDir::cleanPath(folder + "/../tv"));
    }
    EXPECT_EQ(installedDataFolder("/opt/tv/bin"), "/opt/tv/share/zentuvo");

    // The user's folders follow the XDG variables.
    const std::pair<const char*, QString UserFolders::*> variables[] = {
        {"XDG_DATA_HOME", &UserFolders::data},
        {"XDG_CONFIG_HOME", &UserFolders::config},
        {"XDG_CACHE_HOME", &UserFolders::cache}};
    for (const auto& [name, field] : variables)
        qputenv(name, installed.root.filePath(name).toUtf8());
    const UserFolders standard = standardUserFolders();
    for (const auto& [name, field] : variables) {
        EXPECT_EQ(standard.*field, installed.root.filePath(name));
        qunsetenv(name);
    }
}

TEST(DataLocation, FirstStartCopiesAndANewerCatalogueKeepsTheUsersFavourites) {
    Installation installed;
    const AppPaths paths = installed.paths();
    // The first start: the user's files come from the installed ones, the program reads them.
    BareApp first;
    const QStringList installedBefore = snapshot(installed.share());
    ASSERT_EQ(prepareStart(
                  first.app, [] { return true; }, "/usr", paths),
              StartResult::Continue);
    EXPECT_EQ(snapshot(installed.share()), installedBefore);
    EXPECT_TRUE(first.messages.shown.isEmpty()) << first.messages.texts().join('\n').toStdString();
    EXPECT_EQ(first.app.paths().settingsFile, installed.user().config + "/zentuvo/Zentuvo.ini");
    EXPECT_EQ(first.app.preferences().recordFolder(), installed.user().videos + "/Zentuvo");
    EXPECT_EQ(readFile(paths.settingsFile), readFile(installed.share() + "/Zentuvo.ini"));
    EXPECT_TRUE(QFileInfo(paths.myList).isFile());
    EXPECT_TRUE(QFileInfo(paths.catalogue).permissions() & QFile::WriteOwner);
    EXPECT_EQ(catalogueVersion(paths.catalogue), catalogueVersion(installed.share() + "/ch.dat"));

    // The user marks a favourite and turns an option off; an unchanged installation changes
    // nothing at the next start.
    ASSERT_TRUE(toggleFavourite(paths.catalogue,
                                int(sqlNumber(paths.catalogue, "SELECT channelID FROM tab_channels "
                                                               "WHERE code = 'Zeta.de'"))));
    execSql(paths.catalogue, "UPDATE tab_options SET options = '0' WHERE code = 'RememberCountry'");
    const QByteArray kept = readFile(paths.catalogue);
    EXPECT_EQ(installed.prepare(), "");
    EXPECT_TRUE(readFile(paths.catalogue) == kept);

    // A newer catalogue is installed: Beta goes, a Spanish channel comes.
    auto channels = defaultChannels();
    channels.removeAt(1);
    channels << FixtureChannel{"New.es", "Nuevo", "Spain", "News", "", "", "http://x/", "", ""};
    installed.build(channels);
    EXPECT_EQ(installed.prepare(), "");
    const auto fav = [&](const char* code) {
        return sqlNumber(paths.catalogue, "SELECT fav FROM tab_channels WHERE code = ?", code);
    };
    EXPECT_EQ(fav("Zeta.de"), 1);
    EXPECT_EQ(fav("New.es"), 0);
    EXPECT_EQ(fav("Beta.it"), -1); // gone
    EXPECT_EQ(
        sqlText(paths.catalogue, "SELECT options FROM tab_options WHERE code = 'RememberCountry'"),
        "0");
    EXPECT_EQ(catalogueVersion(paths.catalogue), catalogueVersion(installed.share() + "/ch.dat"));
    EXPECT_FALSE(QFileInfo::exists(paths.catalogue + ".new"));

    // An installed catalogue that fails its check after the copy, and a copy that cannot be
    // made: the user's catalogue stays as it was.
    const QByteArray before = readFile(paths.catalogue);
    setReadOnly(installed.share(), false);
    execSql(installed.share() + "/ch.dat",
            "DROP TABLE tab_type; UPDATE tab_options SET options = 'broken' "
            "WHERE code = 'catalogueVersion'");
    setReadOnly(installed.share(), true);
    EXPECT_NE(installed.prepare(), "");
    EXPECT_TRUE(readFile(paths.catalogue) == before); // byte for byte
    EXPECT_FALSE(QFileInfo::exists(paths.catalogue + ".new"));
    installed.build(defaultChannels());
    QDir().mkpath(paths.catalogue + ".new/in-the-way");
    EXPECT_NE(installed.prepare(), "");
    EXPECT_TRUE(readFile(paths.catalogue) == before); // byte for byte
}

TEST(DataLocation, CatalogueVersionFollowsTheSourceData) {
    FixtureFolder folder;
    const QString db = folder.file("ch.dat");
    const QString built = catalogueVersion(db);
    EXPECT_EQ(built, sourceVersion(folder.dataDir()));
    ASSERT_TRUE(updateCatalogue(folder.dataDir(), db).ok);
    EXPECT_EQ(catalogueVersion(db), built); // the same data, the same version
    auto channels = defaultChannels();
    channels[0].name = "Alpha Renamed";
    FixtureFolder::writeData(folder.dataDir(), channels);
    ASSERT_TRUE(updateCatalogue(folder.dataDir(), db).ok);
    EXPECT_NE(catalogueVersion(db), built);
    // A catalogue without the row: its size and time.
    execSql(db, "DELETE FROM tab_options WHERE code = 'catalogueVersion'");
    EXPECT_TRUE(catalogueVersion(db).startsWith("file:"));
}
