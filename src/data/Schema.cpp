#include "data/Schema.h"

#include "data/ChannelHealth.h"
#include "data/Database.h"

#include <QFileInfo>
#include <QStringList>

#include <utility>
#include <vector>

namespace zentuvo {

void createCatalogueSchema(Connection& db) {
    db.exec(QStringLiteral(R"sql(
CREATE TABLE IF NOT EXISTS tab_country (
    countryID   INTEGER PRIMARY KEY,
    countryName TEXT,
    code        TEXT
);
CREATE TABLE IF NOT EXISTS tab_type (
    typeID      INTEGER PRIMARY KEY,
    description TEXT
);
CREATE TABLE IF NOT EXISTS tab_channels (
    channelID   INTEGER PRIMARY KEY,
    name        TEXT,
    streamUrl   TEXT,
    homePage    TEXT,
    description TEXT,
    countryID   INTEGER,
    typeID      INTEGER,
    fav         INTEGER NOT NULL DEFAULT 0,
    code        TEXT UNIQUE,
    userAgent   TEXT,
    referrer    TEXT
);
CREATE INDEX IF NOT EXISTS ix_channels_country ON tab_channels (countryID);
CREATE INDEX IF NOT EXISTS ix_channels_fav ON tab_channels (fav);
CREATE TABLE IF NOT EXISTS tab_language (
    languageID INTEGER PRIMARY KEY,
    name       TEXT
);
CREATE TABLE IF NOT EXISTS tab_languageTerms (
    code       TEXT NOT NULL,
    languageID INTEGER NOT NULL,
    term       TEXT,
    PRIMARY KEY (code, languageID)
);
CREATE TABLE IF NOT EXISTS tab_options (
    code    TEXT PRIMARY KEY,
    options TEXT
);
)sql"));
}

bool createMyListDatabase(const QString& path, QString* error) {
    if (QFileInfo::exists(path))
        return true;
    try {
        Connection db(path, Connection::Mode::Create);
        db.exec(QStringLiteral(R"sql(
CREATE TABLE IF NOT EXISTS tab_mylist (
    channelID   INTEGER PRIMARY KEY AUTOINCREMENT,
    countryID   INTEGER,
    typeID      INTEGER,
    name        TEXT,
    codec       TEXT,
    homePage    TEXT,
    streamUrl   TEXT,
    kbps        INTEGER,
    description TEXT,
    notes       TEXT,
    rank        INTEGER
);
)sql"));
        upgradeMyListSchema(db);
        return true;
    } catch (const DbError& e) {
        if (error)
            *error = e.description();
        return false;
    }
}

void addMissingColumns(Connection& db, const QString& table,
                       const std::vector<std::pair<QString, QString>>& columns) {
    auto q = db.prepare(QStringLiteral("SELECT name FROM pragma_table_info(?)"));
    q.bind(1, table);
    QStringList present;
    while (q.next())
        present << q.text(0).toLower();
    for (const auto& [name, type] : columns) {
        if (!present.contains(name.toLower()))
            db.exec(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3").arg(table, name, type));
    }
}

void upgradeMyListSchema(Connection& db) {
    Connection::Transaction transaction(db);
    addMissingColumns(db, QStringLiteral("tab_mylist"),
                      {{QStringLiteral("userAgent"), QStringLiteral("TEXT")},
                       {QStringLiteral("referrer"), QStringLiteral("TEXT")},
                       {QStringLiteral("groupName"), QStringLiteral("TEXT")},
                       {QStringLiteral("tvgId"), QStringLiteral("TEXT")},
                       {QStringLiteral("logo"), QStringLiteral("TEXT")}});
    createMyListHealthTable(db);
    transaction.commit();
}

QString upgradeMyListFile(const QString& path) {
    try {
        Connection db(path);
        upgradeMyListSchema(db);
        return QString();
    } catch (const DbError& e) {
        return e.description();
    }
}

namespace {

using TableColumns = std::vector<std::pair<QString, QStringList>>;

QString checkDatabaseFile(const QString& path, const TableColumns& required) {
    const QFileInfo info(path);
    if (!info.isFile())
        return QStringLiteral("the file does not exist");
    if (info.size() == 0)
        return QStringLiteral("the file is empty");
    try {
        // Opened for writing where the file allows it: a program that ended in the middle of
        // a write leaves a journal that must be rolled back before anything can be read, and
        // a read-only connection cannot do that. A write-protected file still opens, read-only.
        Connection db(path, Connection::Mode::ReadWrite);
        // Reads every page of the tables and indexes: a cut or overwritten file shows here,
        // not later in the middle of a list.
        auto check = db.prepare(QStringLiteral("PRAGMA quick_check(1)"));
        if (check.next() && check.text(0) != QLatin1String("ok"))
            return QStringLiteral("the file is damaged (%1)").arg(check.text(0));
        for (const auto& [table, columns] : required) {
            auto q = db.prepare(QStringLiteral("SELECT name FROM pragma_table_info(?)"));
            q.bind(1, table);
            QStringList present;
            while (q.next())
                present << q.text(0).toLower();
            if (present.isEmpty())
                return QStringLiteral("the table %1 is missing").arg(table);
            for (const QString& column : columns)
                if (!present.contains(column.toLower()))
                    return QStringLiteral("the column %1 of table %2 is missing")
                        .arg(column, table);
        }
        return QString();
    } catch (const DbError& e) {
        return e.description();
    }
}

} // namespace

QString checkCatalogueFile(const QString& path) {
    static const TableColumns required{
        {QStringLiteral("tab_channels"),
         {QStringLiteral("channelID"), QStringLiteral("name"), QStringLiteral("streamUrl"),
          QStringLiteral("homePage"), QStringLiteral("description"), QStringLiteral("countryID"),
          QStringLiteral("typeID"), QStringLiteral("fav")}},
        {QStringLiteral("tab_country"),
         {QStringLiteral("countryID"), QStringLiteral("countryName")}},
        {QStringLiteral("tab_type"), {QStringLiteral("typeID"), QStringLiteral("description")}},
        {QStringLiteral("tab_language"), {QStringLiteral("languageID"), QStringLiteral("name")}},
        {QStringLiteral("tab_languageTerms"),
         {QStringLiteral("code"), QStringLiteral("languageID"), QStringLiteral("term")}},
        {QStringLiteral("tab_options"), {QStringLiteral("code"), QStringLiteral("options")}},
    };
    return checkDatabaseFile(path, required);
}

QString checkMyListFile(const QString& path) {
    static const TableColumns required{
        {QStringLiteral("tab_mylist"),
         {QStringLiteral("channelID"), QStringLiteral("countryID"), QStringLiteral("typeID"),
          QStringLiteral("name"), QStringLiteral("codec"), QStringLiteral("homePage"),
          QStringLiteral("streamUrl"), QStringLiteral("kbps"), QStringLiteral("description"),
          QStringLiteral("notes"), QStringLiteral("rank")}},
    };
    return checkDatabaseFile(path, required);
}

} // namespace zentuvo
