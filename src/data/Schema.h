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

} // namespace zentuvo
