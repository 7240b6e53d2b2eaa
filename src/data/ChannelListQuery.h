#pragma once

#include <QString>
#include <exception>
#include <vector>

namespace zentuvo {

// Which catalogue channels the channel list shows.
struct ChannelListFilter {
    enum class Kind { All, Favourites, Country };
    Kind kind = Kind::All;
    int country = 0; // the countryID, for Kind::Country only

    static ChannelListFilter all() { return {}; }
    static ChannelListFilter favourites() { return {Kind::Favourites, 0}; }
    static ChannelListFilter ofCountry(int countryID) { return {Kind::Country, countryID}; }
};

// One channel of the list: the country and genre by name ("?" for a genre without one).
struct ChannelListEntry {
    qint64 channelID = 0;
    QString country;
    QString name;
    QString genre;
    bool fav = false;
};

struct ChannelListResult {
    std::vector<ChannelListEntry> entries;
    // What went wrong; the entries then hold what was read before it, in the catalogue's
    // order.
    std::exception_ptr error;
};

// Reads the channels that pass the filter and have a stream address, ordered by country
// name, then channel name, both in the catalogue's NOCASE order; channels that compare equal
// keep the catalogue's order. A channel whose country or genre is not listed is left out,
// as a join would leave it. Opens its own read-only connection, so it may run on any thread;
// never throws.
ChannelListResult readChannelList(const QString& channelDb, const ChannelListFilter& filter);

} // namespace zentuvo
