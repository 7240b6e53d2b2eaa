// Damaged files at start-up and in use: each ends in a clear message, none in a crash, and
// no save is reported as done when it was not.
#include "app/IniFile.h"
#include "app/Registry.h"
#include "app/Settings.h"
#include "data/MyList.h"
#include "data/Schema.h"
#include "playback/FakePlayer.h"
#include "reliability_support.h"
#include "ui/dialogs/ChannelEditor.h"
#include "ui/main/MyListPanel.h"
#include "ui_support.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <sys/stat.h>

using namespace zentuvo;
using namespace zentuvo::test;

namespace {

struct Start {
    FakeMessages messages;
    FakeDesktop desktop;
    AppState app{messages, desktop};
};

// Starts over a program folder as the program does; returns the messages shown.
struct StartRun {
    StartResult result;
    QStringList texts;
    int languageID;
};

StartRun startIn(const QString& folder) {
    MemoryRegistryStore store;
    store.set(RegRoot::LocalMachine, kPlayerKeyPath, "InstallDir", {RegValue::String, "/usr", 0});
    Start s;
    const StartResult r = prepareStart(s.app, store, folder);
    return {r, s.messages.texts(), s.app.LanguageID};
}

// The start ends with the catalogue's message naming the fault, then the start's own.
void expectStartFails(const QString& folder, const QString& file, const QString& fault) {
    const StartRun run = startIn(folder);
    EXPECT_EQ(run.result, StartResult::SettingsFailed);
    ASSERT_EQ(run.texts.size(), 2) << run.texts.join(" | ").toStdString();
    const QString first = run.texts[0];
    const QString prefix = file == "ch.dat" ? "Channel archive file " : "MyList archive file ";
    EXPECT_TRUE(first.startsWith(prefix + QDir(folder).filePath(file) + " cannot be used: "))
        << first.toStdString();
    EXPECT_TRUE(first.contains(fault)) << first.toStdString();
    EXPECT_EQ(run.texts[1], "Error in Main reading settings!");
}

// ---- Catalogue (ch.dat) at start-up -------------------------------------------------

TEST(DamagedCatalogue, NotADatabaseEndsTheStart) {
    FixtureFolder f;
    writeBytes(f.file("ch.dat"), QByteArray("channel;list;\n").repeated(400));
    expectStartFails(f.path(), "ch.dat", "file is not a database");
}

TEST(DamagedCatalogue, EmptyFileEndsTheStartInsteadOfAnEmptyWindow) {
    FixtureFolder f;
    writeBytes(f.file("ch.dat"), QByteArray());
    expectStartFails(f.path(), "ch.dat", "the file is empty");
    // The check reads only: the file stays as it was.
    EXPECT_EQ(QFileInfo(f.file("ch.dat")).size(), 0);
}

TEST(DamagedCatalogue, TruncatedFileEndsTheStart) {
    FixtureFolder f;
    ASSERT_GT(QFileInfo(f.file("ch.dat")).size(), 4 * 4096);
    truncateFile(f.file("ch.dat"), 40);
    const StartRun run = startIn(f.path());
    EXPECT_EQ(run.result, StartResult::SettingsFailed);
    ASSERT_FALSE(run.texts.isEmpty());
    EXPECT_TRUE(run.texts[0].startsWith("Channel archive file ")) << run.texts[0].toStdString();
    EXPECT_TRUE(run.texts[0].contains("cannot be used")) << run.texts[0].toStdString();
}

TEST(DamagedCatalogue, HeaderOverwrittenEndsTheStart) {
    FixtureFolder f;
    QByteArray bytes = readBytes(f.file("ch.dat"));
    bytes.replace(0, 100, QByteArray(100, '\xff'));
    writeBytes(f.file("ch.dat"), bytes);
    expectStartFails(f.path(), "ch.dat", "not a database");
}

TEST(DamagedCatalogue, MissingTableEndsTheStart) {
    FixtureFolder f;
    execSql(f.file("ch.dat"), "DROP TABLE tab_country");
    expectStartFails(f.path(), "ch.dat", "the table tab_country is missing");
}

TEST(DamagedCatalogue, MissingColumnEndsTheStart) {
    FixtureFolder f;
    execSql(f.file("ch.dat"), "ALTER TABLE tab_channels DROP COLUMN typeID");
    expectStartFails(f.path(), "ch.dat", "the column typeID of table tab_channels is missing");
}

TEST(DamagedCatalogue, ColumnNamesInOtherLetterCaseAreAccepted) {
    FixtureFolder f;
    execSql(f.file("ch.dat"), "ALTER TABLE tab_channels RENAME COLUMN streamUrl TO STREAMURL");
    EXPECT_EQ(checkCatalogueFile(f.file("ch.dat")), "");
    EXPECT_EQ(startIn(f.path()).result, StartResult::Continue);
}

TEST(DamagedCatalogue, LockedByAnotherProcessEndsTheStartWithTheReason) {
    FixtureFolder f;
    ExternalLock lock(f.file("ch.dat"));
    ASSERT_TRUE(lock.held());
    expectStartFails(f.path(), "ch.dat", "database is locked");
}

TEST(DamagedCatalogue, TheShippedLayoutPassesTheCheck) {
    FixtureFolder f;
    EXPECT_EQ(checkCatalogueFile(f.file("ch.dat")), "");
    EXPECT_EQ(checkMyListFile(f.file("mylist.dat")), "");
    const StartRun run = startIn(f.path());
    EXPECT_EQ(run.result, StartResult::Continue);
    EXPECT_TRUE(run.texts.isEmpty()) << run.texts.join(" | ").toStdString();
}

// ---- My List (mylist.dat) at start-up --------------------------------------------------

TEST(DamagedMyList, NotADatabaseEndsTheStart) {
    FixtureFolder f;
    writeBytes(f.file("mylist.dat"), QByteArray("\x00\x01\x02garbage", 10).repeated(1000));
    expectStartFails(f.path(), "mylist.dat", "file is not a database");
}

TEST(DamagedMyList, EmptyFileEndsTheStart) {
    FixtureFolder f;
    writeBytes(f.file("mylist.dat"), QByteArray());
    expectStartFails(f.path(), "mylist.dat", "the file is empty");
}

TEST(DamagedMyList, MissingTableOrColumnEndsTheStart) {
    FixtureFolder f;
    execSql(f.file("mylist.dat"), "ALTER TABLE tab_mylist DROP COLUMN notes");
    expectStartFails(f.path(), "mylist.dat", "the column notes of table tab_mylist is missing");
    execSql(f.file("mylist.dat"), "DROP TABLE tab_mylist");
    expectStartFails(f.path(), "mylist.dat", "the table tab_mylist is missing");
}

TEST(DamagedMyList, TruncatedFileEndsTheStart) {
    FixtureFolder f;
    {
        Connection db(f.file("mylist.dat"));
        Connection::Transaction tr(db);
        auto q = db.prepare("INSERT INTO tab_mylist (name, streamUrl, description) "
                            "VALUES (?, 'http://127.0.0.1:9/', ?)");
        for (int i = 0; i < 300; ++i) {
            q.reset();
            q.bind(1, QString("row %1").arg(i)).bind(2, QString(400, QChar('a' + i % 26))).run();
        }
        tr.commit();
    }
    truncateFile(f.file("mylist.dat"), 50);
    const StartRun run = startIn(f.path());
    EXPECT_EQ(run.result, StartResult::SettingsFailed);
    ASSERT_FALSE(run.texts.isEmpty());
    EXPECT_TRUE(run.texts[0].startsWith("MyList archive file ")) << run.texts[0].toStdString();
}

// ---- Settings file (Zentuvo.ini) ----------------------------------------------------------

TEST(DamagedSettings, BinaryFileStartsInLanguageOneWithoutCrash) {
    FixtureFolder f;
    QByteArray bytes;
    for (int i = 0; i < 64 * 1024; ++i)
        bytes += char((i * 131 + 7) % 256);
    writeBytes(f.file(kIniName), bytes);
    const StartRun run = startIn(f.path());
    EXPECT_EQ(run.result, StartResult::Continue);
    EXPECT_EQ(run.languageID, 1);
}

TEST(DamagedSettings, NonNumericLanguageEndsTheStartWithItsMessage) {
    FixtureFolder f;
    writeBytes(f.file(kIniName), "[preferences]\nlanguage=two; rm -rf /\n");
    const StartRun run = startIn(f.path());
    EXPECT_EQ(run.result, StartResult::SettingsFailed);
    EXPECT_EQ(run.texts, QStringList({"Error n° 13 Type mismatch\r in ReadSettings",
                                      "Error in Main reading settings!"}));
}

TEST(DamagedSettings, HugeLanguageEndsTheStartWithOverflow) {
    FixtureFolder f;
    writeBytes(f.file(kIniName), "[preferences]\nlanguage=99999999999999999999999999\n");
    const StartRun run = startIn(f.path());
    EXPECT_EQ(run.result, StartResult::SettingsFailed);
    ASSERT_EQ(run.texts.size(), 2);
    EXPECT_TRUE(run.texts[0].contains("Overflow")) << run.texts[0].toStdString();
}

TEST(DamagedSettings, HugeOrOddOtherValuesAreReportedAndReadAsZero) {
    FixtureFolder f;
    writeBytes(f.file(kIniName), "[preferences]\nlanguage=1\nDefaultCountry=1e300\n"
                                 "DefaultVideoSize=" +
                                     QByteArray(1'000'000, '9') + "\n");
    Start s;
    ASSERT_TRUE(ReadSettings(s.app, f.path()));
    EXPECT_EQ(s.app.DefaultCountryID, 0);
    EXPECT_EQ(s.app.VideoSizeMode, 0);
    EXPECT_EQ(s.messages.texts(), QStringList({"Error in ReadDefaultCountry: Overflow",
                                               "Error in ReadDefaultVideoSize: Overflow"}));
}

TEST(DamagedSettings, UnreadableFileIsNeitherReadNorOverwritten) {
    FixtureFolder f;
    writeBytes(f.file(kIniName), "[preferences]\nlanguage=2\nDefaultCountry=5\n");
    ASSERT_EQ(::chmod(f.file(kIniName).toLocal8Bit().constData(), 0), 0);
    QFile probe(f.file(kIniName));
    if (probe.open(QIODevice::ReadOnly))
        GTEST_SKIP() << "this user reads files whatever their permissions (root)";
    Start s;
    EXPECT_TRUE(ReadSettings(s.app, f.path()));
    EXPECT_EQ(s.app.LanguageID, 1);
    EXPECT_FALSE(IniFile(f.file(kIniName)).write(kPreferences, "DefaultCountry", "7"));
    ::chmod(f.file(kIniName).toLocal8Bit().constData(), 0600);
    EXPECT_EQ(readBytes(f.file(kIniName)), "[preferences]\nlanguage=2\nDefaultCountry=5\n");
}

TEST(DamagedSettings, AFolderInPlaceOfTheFileCountsAsMissing) {
    FixtureFolder f;
    QFile::remove(f.file(kIniName));
    ASSERT_TRUE(QDir(f.path()).mkdir(kIniName));
    const StartRun run = startIn(f.path());
    EXPECT_EQ(run.result, StartResult::Continue);
    EXPECT_EQ(run.languageID, 1);
    ASSERT_FALSE(run.texts.isEmpty());
    EXPECT_TRUE(run.texts[0].startsWith("I cannot read ini file."));
    EXPECT_FALSE(IniFile(f.file(kIniName)).write(kPreferences, "DefaultCountry", "3"));
}

// ---- Damage and locks while the program runs ---------------------------------------------

cMyList sampleRow(const QString& name) {
    cMyList r;
    r.Name = name;
    r.streamUrl = "http://127.0.0.1:9/" + name;
    r.countryID = 1;
    r.Description = "kept";
    return r;
}

int rowsIn(const QString& db) {
    Connection c(db);
    auto q = c.prepare("SELECT count(*) FROM tab_mylist");
    return q.next() ? int(q.integer(0)) : -1;
}

TEST(DamageInUse, MyListLockedByAnotherProcessReportsTheSaveAsFailed) {
    TestApp t;
    cMyList r = sampleRow("locked");
    ExternalLock lock(t.folder.file("mylist.dat"));
    ASSERT_TRUE(lock.held());
    EXPECT_FALSE(r.Save(t.app->data()));
    EXPECT_EQ(r.channelID, 0);
    ASSERT_EQ(t.messages.texts().size(), 1);
    EXPECT_EQ(t.messages.texts()[0], "Error in Save: database is locked");
}

TEST(DamageInUse, MyListReplacedByGarbageReportsEveryOperation) {
    TestApp t;
    cMyList r = sampleRow("one");
    ASSERT_TRUE(r.Save(t.app->data()));
    writeBytes(t.folder.file("mylist.dat"), QByteArray("not a database at all\n").repeated(300));
    cMyList again = sampleRow("two");
    EXPECT_FALSE(again.Save(t.app->data()));
    r.Name = "changed";
    EXPECT_FALSE(r.Update(t.app->data()));
    cMyList load;
    load.channelID = r.channelID;
    EXPECT_FALSE(load.Load(t.app->data()));
    EXPECT_EQ(t.messages.texts(), QStringList({"Error in Save: file is not a database",
                                               "Error in Update: file is not a database",
                                               "Error in Load: file is not a database"}));
}

TEST(DamageInUse, ReadOnlyMyListNeverReportsASaveAsDone) {
    TestApp t;
    cMyList r = sampleRow("first");
    ASSERT_TRUE(r.Save(t.app->data()));
    const QString file = t.folder.file("mylist.dat");
    ASSERT_EQ(::chmod(file.toLocal8Bit().constData(), 0444), 0);
    QFile probe(file);
    if (probe.open(QIODevice::ReadWrite)) {
        ::chmod(file.toLocal8Bit().constData(), 0644);
        GTEST_SKIP() << "this user writes files whatever their permissions (root); the "
                        "locked-file tests cover the failing write";
    }
    // The start-up check reads a write-protected file; only the writes fail.
    EXPECT_EQ(checkMyListFile(file), "");
    cMyList other = sampleRow("second");
    EXPECT_FALSE(other.Save(t.app->data()));
    EXPECT_EQ(other.channelID, 0);
    r.Name = "renamed";
    EXPECT_FALSE(r.Update(t.app->data()));
    ::chmod(file.toLocal8Bit().constData(), 0644);
    EXPECT_EQ(rowsIn(file), 1);
}

// The editor and the delete command over a My List another program holds.
struct EditorOverLock : WindowTest {};

TEST_F(EditorOverLock, TheEditorStaysOpenAndNothingIsListedAsSaved) {
    open();
    ChannelEditor editor(app(), *window, std::make_unique<FakePlayer>());
    app().ViewFilter.EditingModeMyListID = 0;
    editor.show();
    editor.findChild<QLineEdit*>("txtChannelName")->setText("Held");
    auto* countries = editor.findChild<QComboBox*>("cboCountry");
    ASSERT_GT(countries->count(), 0);
    countries->setCurrentIndex(0);
    editor.findChild<QLineEdit*>("txtStreamURL")->setText("http://127.0.0.1:9/held");
    {
        ExternalLock lock(t.folder.file("mylist.dat"));
        ASSERT_TRUE(lock.held());
        t.messages.clear();
        editor.findChild<QPushButton*>("cmdOK")->click();
        ASSERT_FALSE(t.messages.texts().isEmpty());
        EXPECT_EQ(t.messages.texts()[0], "Error in Save: database is locked");
        EXPECT_TRUE(editor.isVisible());
        EXPECT_EQ(app().ViewFilter.EditingModeMyListID, 0);
    }
    EXPECT_EQ(rowsIn(t.folder.file("mylist.dat")), 0);
    EXPECT_EQ(myList()->rowCount(), 0);
    // Once the other program lets go, the same input saves.
    t.messages.clear();
    editor.findChild<QPushButton*>("cmdOK")->click();
    EXPECT_TRUE(t.messages.texts().isEmpty()) << t.messages.texts().join(" | ").toStdString();
    EXPECT_EQ(rowsIn(t.folder.file("mylist.dat")), 1);
    EXPECT_EQ(myList()->rowCount(), 1);
}

TEST_F(EditorOverLock, AFailedDeleteKeepsTheRowsAndSaysSo) {
    for (const char* name : {"a", "b"}) {
        cMyList r = sampleRow(name);
        ASSERT_TRUE(r.Save(app().data()));
    }
    open();
    ASSERT_EQ(myList()->rowCount(), 2);
    QList<int> ids;
    for (int row = 0; row < myList()->rowCount(); ++row)
        ids << ChannelKey::number(myList()->keyAt(row));
    {
        ExternalLock lock(t.folder.file("mylist.dat"));
        ASSERT_TRUE(lock.held());
        t.messages.clear();
        window->myList().MyListDelete(ids);
        ASSERT_EQ(t.messages.texts().size(), 1);
        EXPECT_EQ(t.messages.texts()[0], "Error in MyListDelete: database is locked");
    }
    EXPECT_EQ(rowsIn(t.folder.file("mylist.dat")), 2);
}

struct WindowOverDamage : WindowTest {};

TEST_F(WindowOverDamage, CatalogueLosingItsChannelTableAfterStartShowsMessagesNotACrash) {
    execSql(t.folder.file("ch.dat"), "DROP TABLE tab_channels");
    open();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(channels()->rowCount(), 0);
    ASSERT_FALSE(t.messages.texts().isEmpty());
    for (const QString& text : t.messages.texts())
        EXPECT_TRUE(text.startsWith("Error in ")) << text.toStdString();
    EXPECT_TRUE(t.messages.texts().join("\n").contains("tab_channels"));
}

TEST_F(WindowOverDamage, CatalogueReplacedByGarbageAfterStartShowsMessagesNotACrash) {
    writeBytes(t.folder.file("ch.dat"), QByteArray("\x13\x37 broken catalogue\n").repeated(999));
    open();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(channels()->rowCount(), 0);
    ASSERT_FALSE(t.messages.texts().isEmpty());
    EXPECT_TRUE(t.messages.texts().join("\n").contains("file is not a database"));
}

} // namespace
