#pragma once

#include "data/MyListRepository.h"
#include "data/Playlist.h"

#include <QString>
#include <atomic>
#include <vector>

namespace zentuvo {

struct PlaylistImportOutcome {
    int imported = 0;
    // Entries whose address is already in My List or came earlier in the same playlist.
    int skipped = 0;
    // Called off before the end: nothing was written.
    bool cancelled = false;
    // A database failure ("" when none): nothing was written.
    QString error;
};

// Adds playlist entries to My List, all in one transaction: a cancelled or failed import
// leaves My List exactly as it was. An entry without a group gets defaultGroup; its country
// comes from its tvg-country matched to the catalogue's countries by code or by name (letter
// case ignored), else it has none. An address already in My List, or met earlier in the list,
// is skipped. An empty channelDb matches no country. done (may be null) counts the entries handled
// so far. Opens its own connections, so it may run on any thread; never throws.
PlaylistImportOutcome importPlaylist(const QString& channelDb, const QString& myListDb,
                                     const std::vector<PlaylistEntry>& entries,
                                     const QString& defaultGroup,
                                     const std::atomic_bool* cancel = nullptr,
                                     std::atomic<qint64>* done = nullptr);

// The My List channels the filter selects (with a stream address), by name in NOCASE order, as
// playlist entries: the country as its catalogue code (its name when the catalogue has no code
// for it; none with an empty channelDb). Throws DbError.
std::vector<PlaylistEntry> myListPlaylist(const QString& channelDb, const QString& myListDb,
                                          const MyListGroupFilter& filter);

// The catalogue's favourite channels (with a stream address) in country, then name order, as
// playlist entries: the catalogue's id as tvg-id, its genre as group, its headers. Stored values
// that do not decipher are left out. Throws DbError.
std::vector<PlaylistEntry> favouritesPlaylist(const QString& channelDb);

} // namespace zentuvo
