#pragma once

#include "data/ChannelRef.h"

#include <QList>
#include <QString>
#include <atomic>
#include <vector>

namespace zentuvo {

// One catalogue channel found by a search, in plain text.
struct SearchHit {
    qint64 channelID = 0;
    QString countryName;
    QString name;        // "" when the channel has no name
    QString description; // deciphered; "" when the channel has none
    QString genre;       // "?" when the genre has no text; a My List channel's group
    bool myList = false; // a My List channel (searchMyList), not a catalogue one

    // The channel the row names.
    ChannelRef channel() const {
        return myList ? ChannelRef::myList(qint32(channelID))
                      : ChannelRef::catalogue(qint32(channelID));
    }
};

struct SearchOutcome {
    std::vector<SearchHit> hits;
    // A database failure ("" when none); hits then holds nothing.
    QString error;
    // Why the first stored description that would not decipher failed ("" when all did);
    // such a description counts as empty.
    QString decipherError;
    int decipherFailures = 0;
    // The search was called off before it finished; hits is incomplete.
    bool cancelled = false;
    // Channels searched: those with a stream address, a known country and a known genre.
    int scanned = 0;
};

// Finds the catalogue channels whose name or deciphered description contains a text,
// without regard to letter case. The text is sought as typed: blanks are part of it, and
// there are no wildcards. Only channels with a stream address, a known country and a known
// genre are searched. Hits come ordered by country name, then channel name (both letter
// case aside), then channel number.
//
// The whole catalogue is read and filtered in memory. The channels are shared out among
// `threads` threads (0: one per core), each reading its share on its own read-only
// connection and deciphering it with its own cipher. Nothing shared is touched, so the
// search may run on any thread; `cancel`, when given, is polled and ends the search early
// once set.
SearchOutcome searchCatalogue(const QString& channelDb, const QString& text,
                              const std::atomic<bool>* cancel = nullptr, int threads = 0);

// Finds the My List channels (with a stream address) whose name or description contains a
// text, letter case aside, as searchCatalogue does; the hits name their country from the
// catalogue ("" when it has none) and their group as genre, ordered by country name, then
// name. May run on any thread; never throws (a failure is in `error`).
SearchOutcome searchMyList(const QString& myListDb, const QString& channelDb, const QString& text,
                           const std::atomic<bool>* cancel = nullptr);

// The search rows of these channels, in the order given: catalogue channels as
// searchCatalogue finds them (with a stream address, a known country and a known genre),
// My List channels as searchMyList does. A channel not found so is left out. May run on any
// thread; never throws (a failure is in `error`, with the rows read before it).
SearchOutcome searchHitsOf(const QString& channelDb, const QString& myListDb,
                           const QList<ChannelRef>& channels);

} // namespace zentuvo
