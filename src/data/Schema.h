#pragma once

#include <QString>

namespace zentuvo {

class Connection;

// Creates the catalogue tables (channels, countries, genres, languages, terms, options)
// in an empty database.
void createCatalogueSchema(Connection& db);

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
