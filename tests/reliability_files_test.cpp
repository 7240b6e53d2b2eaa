// Damaged files at start-up and in use: each ends in a clear message, none in a crash, and
// no save is reported as done when it was not. Odd values in the settings file are in
// settings_test.cpp.
#include "app/IniFile.h"
#include "app/Settings.h"
#include "data/MyList.h"
#include "data/Schema.h"
#include "reliability_support.h"
#include "support/FakePlayer.h"
#include "ui/dialogs/ChannelEditor.h"
#include "ui/main/MyListPanel.h"
#include "ui_support.h"

#include <sys/stat.h>

using namespace zentuvo;
using namespace zentuvo::test;

namespace {

// Starts over a program folder as the program does.
struct StartRun {
    StartResult result;
    QStringList texts;
    int languageID;
};

StartRun startIn(const QString& folder) {
    BareApp s;
    const StartResult r = prepareStart(
        s.app, [] { return true; }, "/usr", folder);
    return {r, s.messages.texts(), s.app.preferences().language()};
}

TEST(DamagedFiles, EachEndsTheStartWithTheCataloguesMessageNamingTheFault) {
    using Damage = std::function<void(const QString&)>;
    const auto bytes = [](const QByteArray& b) -> Damage {
        return [b](const QString& f) { writeFile(f, b); };
    };
    const auto sql = [](const char* q) -> Damage {
        return [q](const QString& f) { execSql(f, q); };
    };
    // What is wrong, the file, the damage (none: another process holds a lock), the fault
    // named ("" where the library's words vary).
    const std::tuple<const char*, const char*, Damage, const char*> cases[] = {
        {"not a database", "ch.dat", bytes(QByteArray("channel;list;\n").repeated(400)),
         "file is not a database"},
        {"empty", "ch.dat", bytes({}), "the file is empty"},
        {"truncated", "ch.dat", [](const QString& f) { truncateFile(f, 40); }, ""},
        {"a table missing", "ch.dat", sql("DROP TABLE tab_country"),
         "the table tab_country is missing"},
        {"a column missing", "ch.dat", sql("ALTER TABLE tab_channels DROP COLUMN typeID"),
         "the column typeID of table tab_channels is missing"},
        {"locked by another process", "ch.dat", nullptr, "database is locked"},
        {"truncated", "mylist.dat", [](const QString& f) { truncateFile(f, 50); }, ""},
        {"a column missing", "mylist.dat", sql("ALTER TABLE tab_mylist DROP COLUMN notes"),
         "the column notes of table tab_mylist is missing"},
    };
    for (const auto& [what, name, damage, fault] : cases) {
        SCOPED_TRACE(std::string(name) + ": " + what);
        FixtureFolder f;
        const QString file = f.file(name);
        const QByteArray before = readFile(file);
        std::unique_ptr<ExternalLock> lock;
        if (damage) {
            damage(file);
        } else {
            lock = std::make_unique<ExternalLock>(file);
            ASSERT_TRUE(lock->held());
        }
        const QByteArray damaged = readFile(file);
        ASSERT_TRUE(!damage || damaged != before);
        const StartRun run = startIn(f.path());
        EXPECT_EQ(run.result, StartResult::SettingsFailed);
        ASSERT_EQ(run.texts.size(), 2) << run.texts.join(" | ").toStdString();
        const QString prefix =
            QString(name) == "ch.dat" ? "Channel archive file " : "MyList archive file ";
        EXPECT_TRUE(run.texts[0].startsWith(prefix + file + " cannot be used: "))
            << run.texts[0].toStdString();
        EXPECT_TRUE(run.texts[0].contains(fault)) << run.texts[0].toStdString();
        EXPECT_EQ(run.texts[1], "Error in Main reading settings!");
        EXPECT_EQ(readFile(file), damaged); // the check reads only
    }
}

TEST(DamagedFiles, TheShippedLayoutAndColumnNamesInOtherLetterCasePassTheCheck) {
    FixtureFolder f;
    execSql(f.file("ch.dat"), "ALTER TABLE tab_channels RENAME COLUMN streamUrl TO STREAMURL");
    const StartRun run = startIn(f.path());
    EXPECT_EQ(run.result, StartResult::Continue);
    EXPECT_TRUE(run.texts.isEmpty()) << run.texts.join(" | ").toStdString();
}

TEST(DamagedFiles, AnUnreadableSettingsFileIsNeitherReadNorOverwritten) {
    FixtureFolder f;
    writeFile(f.file(kIniName), "[preferences]\nlanguage=2\nDefaultCountry=5\n");
    ASSERT_EQ(::chmod(f.file(kIniName).toLocal8Bit().constData(), 0), 0);
    QFile probe(f.file(kIniName));
    if (probe.open(QIODevice::ReadOnly))
        GTEST_SKIP() << "this user reads files whatever their permissions (root)";
    BareApp s;
    EXPECT_TRUE(readSettings(s.app, f.path()));
    EXPECT_EQ(s.app.preferences().language(), 1);
    EXPECT_FALSE(IniFile(f.file(kIniName)).write(kPreferences, "DefaultCountry", "7"));
    ::chmod(f.file(kIniName).toLocal8Bit().constData(), 0600);
    EXPECT_EQ(readFile(f.file(kIniName)), "[preferences]\nlanguage=2\nDefaultCountry=5\n");
}

TEST(DamagedFiles, AFolderInPlaceOfTheSettingsFileCountsAsMissing) {
    FixtureFolder f;
    QFile::remove(f.file(kIniName));
    ASSERT_TRUE(QDir(f.path()).mkdir(kIniName));
    const StartRun run = startIn(f.path());
    EXPECT_EQ(run.result, StartResult::Continue);
    EXPECT_EQ(run.languageID, 1);
    EXPECT_EQ(run.texts.value(0), "I cannot read ini file.\r\nCheck presence of file .ini in "
                                  "program directory!\r\n" +
                                      f.file(kIniName));
    EXPECT_FALSE(IniFile(f.file(kIniName)).write(kPreferences, "DefaultCountry", "3"));
}

// ---- Damage and locks while the program runs ---------------------------------------------

MyListRecord sampleRow(const QString& name) {
    MyListRecord r;
    r.name = name;
    r.streamUrl = "http://127.0.0.1:9/" + name;
    r.countryID = 1;
    r.description = "kept";
    return r;
}

TEST(DamageInUse, MyListReplacedByGarbageReportsEveryOperation) {
    TestApp t;
    MyListRecord r = sampleRow("one");
    ASSERT_TRUE(r.save(t.app->data()));
    writeFile(t.folder.file("mylist.dat"), QByteArray("not a database at all\n").repeated(300));
    MyListRecord again = sampleRow("two");
    EXPECT_FALSE(again.save(t.app->data()));
    EXPECT_EQ(again.channelID, 0); // not listed as saved
    r.name = "changed";
    EXPECT_FALSE(r.update(t.app->data()));
    MyListRecord load;
    load.channelID = r.channelID;
    EXPECT_FALSE(load.load(t.app->data()));
    EXPECT_EQ(t.messages.texts(), QStringList({"Error in Save: file is not a database",
                                               "Error in Update: file is not a database",
                                               "Error in Load: file is not a database"}));
}

// The editor and the delete command over a My List another program holds.
struct EditorOverLock : WindowTest {};

TEST_F(EditorOverLock, TheEditorStaysOpenWithTheInputAndNothingIsListedAsSaved) {
    open();
    ChannelEditor editor(app(), *window, std::make_unique<FakePlayer>());
    QSignalSpy groups(&editor, &ChannelEditor::groupsLoaded);
    editor.show();
    ASSERT_TRUE(waitUntil([&] { return groups.count() > 0; })); // its own read is done
    editor.findChild<QLineEdit*>("txtChannelName")->setText("Held");
    editor.findChild<QComboBox*>("cboCountry")->setCurrentIndex(0);
    editor.findChild<QLineEdit*>("txtStreamURL")->setText("http://127.0.0.1:9/held");
    auto* ok = editor.findChild<QPushButton*>("cmdOK");
    {
        ExternalLock lock(t.folder.file("mylist.dat"));
        ASSERT_TRUE(lock.held());
        t.messages.clear();
        ok->click();
        EXPECT_EQ(t.messages.texts().value(0), "Error in Save: database is locked");
        EXPECT_TRUE(editor.isVisible());
        EXPECT_EQ(editor.myListNumber(), 0);
    }
    EXPECT_EQ(myList()->rowCount(), 0);
    // Once the other program lets go, the same input saves.
    t.messages.clear();
    ok->click();
    waitFilled();
    EXPECT_TRUE(t.messages.texts().isEmpty()) << t.messages.texts().join(" | ").toStdString();
    EXPECT_EQ(myList()->rowCount(), 1);
}

TEST_F(EditorOverLock, AFailedDeleteKeepsTheRowsAndSaysSo) {
    const QList<int> ids{addMyList(app(), "a", "http://127.0.0.1:9/a").number(),
                         addMyList(app(), "b", "http://127.0.0.1:9/b").number()};
    open();
    {
        ExternalLock lock(t.folder.file("mylist.dat"));
        ASSERT_TRUE(lock.held());
        t.messages.clear();
        window->myList().deleteChannels(ids);
        EXPECT_EQ(t.messages.texts(), QStringList{"Error in MyListDelete: database is locked"});
    }
    EXPECT_EQ(myListRows(app()), 2);
}

struct WindowOverDamage : WindowTest {};

TEST_F(WindowOverDamage, ACatalogueDamagedAfterTheStartShowsMessagesNotACrash) {
    const std::pair<const char*, const char*> damages[] = {
        {"DROP TABLE tab_channels", "tab_channels"},
        {nullptr, "file is not a database"},
    };
    for (const auto& [sql, named] : damages) {
        SCOPED_TRACE(named);
        if (sql)
            execSql(t.folder.file("ch.dat"), sql);
        else
            writeFile(t.folder.file("ch.dat"),
                      QByteArray("\x13\x37 broken catalogue\n").repeated(999));
        t.messages.clear();
        open();
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(channels()->rowCount(), 0);
        ASSERT_FALSE(t.messages.texts().isEmpty());
        for (const QString& text : t.messages.texts())
            EXPECT_TRUE(text.startsWith("Error ")) << text.toStdString();
        EXPECT_TRUE(t.messages.texts().join("\n").contains(named));
    }
}

} // namespace
