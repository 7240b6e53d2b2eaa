#include "app/IniFile.h"
#include "app/PlayerLocation.h"
#include "app/Settings.h"
#include "support/TestSupport.h"

using namespace zentuvo;
using namespace zentuvo::test;

TEST(IniFile, ReadsCaseInsensitivelyCutsLongValuesAndWritesInPlaceKeepingTheRest) {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.ini");
    writeFile(path,
              "; keep\r\n[Other]\r\nlanguage=9\r\n[PREFERENCES]\r\n  Language = 3 \r\nempty=\r\n"
              "long=" +
                  QByteArray(200, 'x') + "\r\n");
    const IniFile ini(path);
    EXPECT_EQ(ini.read("preferences", "LANGUAGE").value(), "3");
    EXPECT_EQ(ini.read("other", "language").value(), "9");
    EXPECT_FALSE(ini.read("preferences", "empty"));
    EXPECT_FALSE(ini.read("absent", "language"));
    EXPECT_EQ(ini.read("preferences", "long")->size(), 128);
    writeFile(path, "; keep me\n[preferences]\nlanguage=3\n\n[links]\nHomePage=x\n");
    ASSERT_TRUE(ini.write("Preferences", "LANGUAGE", "4"));
    ASSERT_TRUE(ini.write("preferences", "DefaultCountry", "-1"));
    ASSERT_TRUE(ini.write("new", "key", "v"));
    EXPECT_EQ(readFile(path), "; keep me\n[preferences]\nLANGUAGE=4\nDefaultCountry=-1\n\n"
                              "[links]\nHomePage=x\n[new]\nkey=v\n");
    // A last line without its line end is read, and kept when another key is written.
    writeFile(path, "[preferences]\nlanguage=3\nDefaultCountry=7");
    EXPECT_EQ(ini.read("preferences", "DefaultCountry").value(), "7");
    ASSERT_TRUE(ini.write("preferences", "language", "4"));
    EXPECT_EQ(readFile(path), "[preferences]\nlanguage=4\nDefaultCountry=7\n");
}

TEST(Startup, EndsWithoutAPlayerOrADatabaseAndElseFillsTheProgramState) {
    const QString usr = "/usr";
    const auto works = [] { return true; };
    // The player library cannot start: with or without the vlc program, nothing goes on.
    for (const QString& dir : {QString("   "), usr}) {
        BareApp noPlayer;
        EXPECT_EQ(prepareStart(
                      noPlayer.app, [] { return false; }, dir, "/nonexistent"),
                  StartResult::PlayerMissing);
        EXPECT_EQ(noPlayer.messages.texts(),
                  QStringList{"VLC is not installed! Please download and install VLC from "
                              "https://www.videolan.org/vlc/"});
        EXPECT_EQ(noPlayer.messages.shown[0].icon, MsgIcon::Critical);
        EXPECT_EQ(noPlayer.desktop.opened, QStringList{"https://www.videolan.org/vlc/"});
    }
    BareApp unchecked;
    EXPECT_EQ(prepareStart(unchecked.app, {}, usr, "/nonexistent"), StartResult::PlayerMissing);
    {
        // A player library that starts without the vlc program on the PATH: playback works,
        // the program starts; only the recorder will miss it.
        FixtureFolder folder;
        BareApp noProgram;
        ASSERT_EQ(prepareStart(noProgram.app, works, "   ", folder.path()), StartResult::Continue);
        EXPECT_EQ(noProgram.app.preferences().playerInstallDir(), "");
        EXPECT_TRUE(noProgram.messages.shown.isEmpty());
        EXPECT_TRUE(noProgram.desktop.opened.isEmpty());
    }

    FixtureFolder folder;
    QDir(folder.path()).mkdir("Recorded");
    BareApp s;
    ASSERT_EQ(prepareStart(s.app, works, usr, folder.path()), StartResult::Continue);
    EXPECT_EQ(s.app.preferences().playerInstallDir(), "/usr");
    EXPECT_EQ(s.app.preferences().recordFolder(), folder.path() + "/Recorded");
    EXPECT_TRUE(s.app.preferences().playerUserAgentOption().startsWith(
        ":http-user-agent=Mozilla/5.0+(X11;+U;"));
    EXPECT_FALSE(s.app.preferences().playerUserAgentOption().contains(' '));
    EXPECT_EQ(s.app.preferences().defaultCountry(), -1);
    EXPECT_EQ(s.app.preferences().videoSizeMode(), 2);
    EXPECT_TRUE(s.messages.shown.isEmpty());
    EXPECT_EQ(chooseRecordFolder(folder.file("nothing")), folder.file("nothing"));

    // The message names the file (%1) and what creates it (%2: the program folder).
    for (const auto& [file, first] :
         {std::pair{"mylist.dat", "MyList archive file does not exist.\n%1\nBuild the program "
                                  "(scripts/run) or create it with: zentuvo-layout --data data "
                                  "--app %2"},
          {"ch.dat", "Channel archive file does not exist.\n%1\nBuild the program (scripts/run) "
                     "or create it with: zentuvo-catalogue build --data data --out %1"}}) {
        SCOPED_TRACE(file);
        FixtureFolder without;
        QFile::remove(without.file(file));
        BareApp missing;
        EXPECT_EQ(prepareStart(missing.app, works, usr, without.path()),
                  StartResult::SettingsFailed);
        EXPECT_EQ(
            missing.messages.texts(),
            QStringList(
                {QString(first).replace("%1", without.file(file)).replace("%2", without.path()),
                 "Error in Main reading settings!"}));
    }
}

TEST(Startup, ThePlayerProgramIsTheFolderOfVlcOnThePath) {
    QTemporaryDir bin;
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.path().toUtf8());
    EXPECT_EQ(playerInstallDir(), "");
    writeFile(bin.filePath("vlc"), "#!/bin/sh\n");
    QFile(bin.filePath("vlc")).setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_EQ(playerInstallDir(), bin.path());
    qputenv("PATH", path);
}

TEST(Settings, NoIniFileMeansLanguageOneAndNoRestore) {
    FixtureFolder folder({defaultChannels()}, /*withIni=*/false);
    BareApp s;
    ASSERT_TRUE(readSettings(s.app, folder.path()));
    EXPECT_EQ(s.messages.texts(), QStringList({"I cannot read ini file.\r\nCheck presence of "
                                               "file .ini in program directory!\r\n" +
                                               folder.file("Zentuvo.ini")}));
    EXPECT_EQ(s.app.preferences().language(), 1);
    EXPECT_EQ(s.app.preferences().rememberCountry(), 0);
    EXPECT_EQ(s.app.preferences().defaultCountry(), 0);
    // The first store at shutdown creates the file.
    s.app.preferences().setDefaultCountry(3);
    saveDefaultCountry(s.app);
    EXPECT_EQ(readFile(folder.file("Zentuvo.ini")), "[preferences]\nDefaultCountry=3\n");
}

// What the settings file may hold instead of what the program wrote there: whatever is read,
// the country and the size mode come out 0.
TEST(Settings, OddValuesAreReportedAndReadAsTheirDefaults) {
    QByteArray binary;
    for (int i = 0; i < 64 * 1024; ++i)
        binary += char((i * 131 + 7) % 256);
    const QString mismatch = "Error n° 13 Type mismatch\r in ReadSettings";
    const QString overflow = "Error n° 6 Overflow\r in ReadSettings";
    const QString country = "Error in ReadDefaultCountry: Overflow";
    const QByteArray longValue = QByteArray(1'000'000, '9');
    // What the file holds, its preferences, the language read (0: the settings do not read),
    // the messages.
    const std::tuple<const char*, QByteArray, int, QStringList> cases[] = {
        {"missing keys, a size out of range", "language=3\nDefaultVideoSize=7", 3, {}},
        {"a language that is no number", "language=abc", 0, {mismatch}},
        {"the largest language", "language=32767", 32767, {}},
        {"the smallest language", "language=-32768", -32768, {}},
        {"a language one past the largest", "language=32768", 0, {overflow}},
        {"a language one past the smallest", "language=-32769", 0, {overflow}},
        {"a country one past the largest", "language=1\nDefaultCountry=32768", 1, {country}},
        {"a country one past the smallest", "language=1\nDefaultCountry=-32769", 1, {country}},
        {"a huge language", "language=99999999999999999999999999", 0, {overflow}},
        {"huge and odd values",
         "language=2\nDefaultCountry=99999\nDefaultVideoSize=x",
         2,
         {country, "Error in ReadDefaultVideoSize: Type mismatch"}},
        {"very long values",
         "language=1\nDefaultCountry=1e300\nDefaultVideoSize=" + longValue,
         1,
         {country, "Error in ReadDefaultVideoSize: Overflow"}},
    };
    for (const auto& [what, ini, language, messages] : cases) {
        SCOPED_TRACE(what);
        FixtureFolder folder;
        writeFile(folder.file(kIniName), "[preferences]\n" + ini + "\n");
        BareApp s;
        EXPECT_EQ(readSettings(s.app, folder.path()), language != 0);
        EXPECT_EQ(s.messages.texts(), messages);
        if (language != 0) {
            EXPECT_EQ(s.app.preferences().language(), language);
            EXPECT_EQ(s.app.preferences().defaultCountry(), 0);
            EXPECT_EQ(s.app.preferences().videoSizeMode(), 0);
        }
    }
    // A file of no text at all reads as language 1; a missing country is written at once.
    FixtureFolder folder;
    writeFile(folder.file(kIniName), binary);
    BareApp s;
    ASSERT_TRUE(readSettings(s.app, folder.path()));
    EXPECT_EQ(s.app.preferences().language(), 1);
    EXPECT_TRUE(s.messages.shown.isEmpty());
    writeFile(folder.file(kIniName), "[preferences]\nlanguage=3\n");
    ASSERT_TRUE(readSettings(s.app, folder.path()));
    EXPECT_TRUE(readFile(folder.file(kIniName)).contains("DefaultCountry=0"));
}

TEST(Settings, RememberCountryRowReadAndWritten) {
    TestApp t;
    AppContext& app = *t.app;
    const QString db = app.paths().catalogue;
    for (const auto& [stored, expected] :
         std::vector<std::pair<QString, int>>{{" 1", 1}, {"1abc", 1}, {"", 0}, {"x", 0}}) {
        execSql(db, QString("UPDATE tab_options SET options = '%1'").arg(stored));
        EXPECT_EQ(readRememberCountry(app), expected) << stored.toStdString();
    }
    execSql(db, "DELETE FROM tab_options");
    EXPECT_EQ(readRememberCountry(app), 0);
    app.preferences().setRememberCountry(1);
    saveRememberCountry(app); // the row comes back
    EXPECT_EQ(readRememberCountry(app), 1);
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST(Settings, GuideRefreshHoursReadWithinLimitsElseTwelve) {
    TestApp t;
    AppContext& app = *t.app;
    const std::pair<const char*, int> cases[] = {{"", 12},    {"1", 1},   {"720", 720}, {"0", 12},
                                                 {"721", 12}, {" 6 ", 6}, {"x", 12}};
    for (const auto& [stored, expected] : cases) {
        writeFile(app.paths().settingsFile,
                  QByteArray("[preferences]\nlanguage=1\nGuideRefreshHours=") + stored + "\n");
        app.preferences().setGuideRefreshHours(99);
        readGuideRefreshHours(app);
        EXPECT_EQ(app.preferences().guideRefreshHours(), expected) << stored;
    }
    app.preferences().setGuideRefreshHours(48);
    saveGuideRefreshHours(app);
    EXPECT_EQ(iniValue(app, "GuideRefreshHours"), "48");
    EXPECT_TRUE(t.messages.shown.isEmpty());
}
