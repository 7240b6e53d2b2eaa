#pragma once

#include <QString>
#include <utility>
#include <vector>

namespace zentuvo {

class Connection;

// Creates the catalogue tables (channels, countries, genres, languages, terms, options)
// in an empty database.
void createCatalogueSchema(Connection& db);

// Adds the columns (name, SQL type) a table lacks; those it has are left as they are.
void addMissingColumns(Connection& db, const QString& table,
                       const std::vector<std::pair<QString, QString>>& columns);

// Brings a My List database to the current layout in one transaction: the per-channel
// headers, group, guide id and logo columns are added where missing, and so is the table of
// stream check results (tab_mylistHealth); every row and every other column stays as it is.
// (No index: a 250,000-row import pays for each, and the lists read every row anyway.)
// Throws DbError.
void upgradeMyListSchema(Connection& db);
// The same on a file; "" when done, else what went wrong.
QString upgradeMyListFile(const QString& path);

// Creates an empty My List database file at path when no file is there. Returns false
// with a description when the file cannot be created.
bool createMyListDatabase(const QString& path, QString* error);

// Checks at start-up that a catalogue file (checkCatalogueFile) or a My List file
// (checkMyListFile) can be used: it is a database, undamaged, not held by another
// program, and has every table and column the program reads. "" when it can be used,
// else a description of what is wrong ("the file is empty", "file is not a database",
// "the table tab_channels is missing", "database is locked", ...).
QString checkCatalogueFile(const QString& path);
QString checkMyListFile(const QString& path);

} // namespace zentuvo
