#include "data/Schema.h"

#include "data/Database.h"

#include <QFileInfo>

namespace zentuvo {

void createCatalogueSchema(Connection& db) {
    db.exec(QStringLiteral(R"sql(
CREATE TABLE IF NOT EXISTS tab_country (
    countryID   INTEGER PRIMARY KEY,
    countryName TEXT
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
        return true;
    } catch (const DbError& e) {
        if (error)
            *error = e.description();
        return false;
    }
}

} // namespace zentuvo
