#pragma once

#include "data/DataContext.h"

#include <QList>
#include <QString>
#include <exception>
#include <vector>

namespace zentuvo {

// One channel of the My List tab.
struct MyListEntry {
    qint64 channelID = 0;
    QString country; // "" for a channel without a country
    QString name;
};

struct MyListEntries {
    std::vector<MyListEntry> entries;
    // What went wrong; the entries then hold what was read before it.
    std::exception_ptr error;
};

// The My List channels that have a stream address, by name in NOCASE order. Country names
// come from the catalogue, one lookup per country (a failing lookup is reported through the
// context as "Error in GetCountryCHname: ..." and gives ""). Never throws.
MyListEntries readMyListEntries(const DataContext& ctx);

// Deletes the My List rows with these numbers, all in one transaction: nothing is deleted
// when any part fails. Throws DbError.
void deleteMyListChannels(const QString& myListDb, const QList<int>& channelIDs);

} // namespace zentuvo
