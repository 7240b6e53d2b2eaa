#pragma once

#include <QString>
#include <functional>

namespace zentuvo {

// The catalogue's pick lists: countries and languages by number and name. Each call opens
// its own read-only connection and hands over the rows one by one as they are read; a
// failing read throws DbError after the rows read before it.
using NamedRowSink = std::function<void(int id, const QString& name)>;

// The countries that have at least one channel (with or without a stream address), each
// once, by name in the catalogue's NOCASE order.
void readCountriesWithChannels(const QString& channelDb, const NamedRowSink& row);

// Every country, by name (binary order).
void readCountriesByName(const QString& channelDb, const NamedRowSink& row);

// Every language of the program's texts, by name (binary order).
void readLanguagesByName(const QString& channelDb, const NamedRowSink& row);

} // namespace zentuvo
