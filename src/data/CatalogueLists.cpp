#include "data/CatalogueLists.h"

#include "data/Database.h"

namespace zentuvo {

namespace {

void readPairs(const QString& channelDb, const QString& sql, const NamedRowSink& row) {
    Connection db(channelDb, Connection::Mode::ReadOnly);
    auto q = db.prepare(sql);
    while (q.next())
        row(int(q.integer(0)), q.text(1));
}

} // namespace

void readCountriesWithChannels(const QString& channelDb, const NamedRowSink& row) {
    readPairs(channelDb,
              QStringLiteral(" SELECT DISTINCT tab_country.countryID, tab_country.countryName "
                             " FROM tab_country INNER JOIN tab_channels ON tab_country.countryID = "
                             "tab_channels.countryID ORDER BY countryName COLLATE NOCASE "),
              row);
}

void readCountriesByName(const QString& channelDb, const NamedRowSink& row) {
    readPairs(channelDb,
              QStringLiteral("SELECT countryID, countryName FROM tab_country ORDER BY countryName"),
              row);
}

void readLanguagesByName(const QString& channelDb, const NamedRowSink& row) {
    readPairs(channelDb, QStringLiteral("SELECT languageID, name FROM tab_language ORDER BY name"),
              row);
}

} // namespace zentuvo
