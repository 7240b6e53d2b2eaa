#pragma once

#include <QString>

namespace zentuvo {

// Builds, refreshes and exports the catalogue database from the data folder:
//   DIR/catalogue/channels.csv  id,name,country,genre,homepage,description,stream_url,
//                               user_agent,referrer
//   DIR/catalogue/countries.csv name (a code column may stand before it)
//   DIR/catalogue/genres.csv    name
//   DIR/terms/languages.csv     languageID,code,name
//   DIR/terms/terms.csv         code, then one column per language code
// Stream address, home page and description are stored enciphered. Build and update store
// the data's version (sourceVersion) in the option row catalogueVersion.
struct CatalogueResult {
    bool ok = false;
    QString error;
    int channels = 0;
    int terms = 0;
};

// A fresh catalogue at outFile (replacing any file there), written in one transaction.
// With replicate > 1 every channel is written that many times under new names and codes,
// for measuring the program with large catalogues.
CatalogueResult buildCatalogue(const QString& dataDir, const QString& outFile, int replicate = 1);

// Refreshes an existing catalogue: channels matched by code keep their number and their
// favourite mark, new channels get new numbers, channels no longer listed go; countries
// and genres keep their numbers by name; the term table is replaced; options stay (the
// version apart).
CatalogueResult updateCatalogue(const QString& dataDir, const QString& dbFile);

// Writes the catalogue back as CSV files with plain values, in the layout above.
CatalogueResult exportCatalogue(const QString& dbFile, const QString& outDir);

} // namespace zentuvo
