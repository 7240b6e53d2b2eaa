#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>
#include <atomic>
#include <vector>

namespace zentuvo {

// One channel of an M3U playlist, as read from or written to the file.
struct PlaylistEntry {
    QString name;      // the #EXTINF title, else tvg-name; may be ""
    QString url;       // the stream address, made absolute against the playlist's address
    QString tvgId;     // tvg-id, as written
    QString tvgName;   // tvg-name, as written
    QString logo;      // tvg-logo, as written
    QString group;     // group-title or the #EXTGRP before the address; "" when none
    QString country;   // tvg-country, as written (a code or a name)
    QString userAgent; // from #EXTVLCOPT, an #EXTINF attribute or the "address|User-Agent=" form
    QString referrer;  // likewise (http-referrer / Referer)
    int line = 0;      // the 1-based line of the address

    bool operator==(const PlaylistEntry&) const = default;
};

struct PlaylistRead {
    std::vector<PlaylistEntry> entries;
    // Entries that could not be read: an #EXTINF without an address, an address line that is
    // not an address (binary garbage, blanks only after trimming are skipped silently).
    int unreadable = 0;
    // The 1-based line numbers of the first few unreadable entries (at most 10).
    QList<int> unreadableLines;
    // The read was called off; entries is incomplete.
    bool cancelled = false;
};

// Reads an M3U/M3U8 playlist. Bytes are UTF-8 (a byte-order mark is dropped); a playlist that
// is not valid UTF-8 is read as Latin-1. Lines end in LF, CRLF or CR; #EXTM3U may be missing.
// Relative addresses are resolved against base (the playlist's own address or file URL); with
// an empty base they count as unreadable. When cancel becomes true the read stops soon.
// progress (may be null) is set to the bytes read so far now and then. Never throws.
PlaylistRead readPlaylist(const QByteArray& bytes, const QUrl& base = {},
                          const std::atomic_bool* cancel = nullptr,
                          std::atomic<qint64>* progress = nullptr);

// Writes entries as an M3U playlist in UTF-8 with LF line ends: "#EXTM3U", then per entry an
// #EXTINF line (-1, tvg-id, tvg-name, tvg-logo, tvg-country, group-title, only those not
// empty, the name after the comma), #EXTVLCOPT lines for the user agent and referrer, and the
// address. A double quote in an attribute value becomes a single quote (the values are written
// in double quotes); line ends and other control characters in any field become blanks. An
// address holding a '|' gets its user agent and referrer after it, percent-encoded, in the
// "address|User-Agent=...&Referer=..." form instead, so that it reads back whole.
// readPlaylist gives back the same entries (line aside; fields trimmed).
QByteArray writePlaylist(const std::vector<PlaylistEntry>& entries);

} // namespace zentuvo
