#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>
#include <atomic>

namespace zentuvo {

// What an import of a playlist did, for the closing message and the command line.
struct PlaylistImportReport {
    int imported = 0;
    int skipped = 0;            // already in My List, or met earlier in the playlist
    int unreadable = 0;         // entries that could not be read
    QList<int> unreadableLines; // the first few of them
    bool cancelled = false;     // called off: My List is unchanged
    QString error;              // a database failure: My List is unchanged
};

// How far an import has come; written by the import, read by whoever shows it.
struct PlaylistImportProgress {
    std::atomic<qint64> bytesRead{0};
    std::atomic<qint64> bytesTotal{0};
    std::atomic<qint64> entriesWritten{0};
    std::atomic<qint64> entriesTotal{0};

    // 0 to 100: reading counts for the first half, writing the rows for the second.
    int percent() const;
};

// Reads a playlist's bytes and adds its entries to My List in one transaction (see
// readPlaylist and importPlaylist). base is the playlist's own address (a file URL or the
// address it was downloaded from, after redirects), against which relative entries resolve.
// progress (may be null) is updated as the work proceeds. May run on any thread; never throws.
PlaylistImportReport importPlaylistData(const QString& channelDb, const QString& myListDb,
                                        const QByteArray& bytes, const QUrl& base,
                                        const QString& defaultGroup,
                                        const std::atomic_bool* cancel = nullptr,
                                        PlaylistImportProgress* progress = nullptr);

// The group name an import suggests for entries that name none: the playlist's file name
// without its extension ("" when the address names no file).
QString defaultGroupName(const QUrl& source);

// A source as the user typed it: an http(s) address, else a local path (made absolute).
QUrl playlistSource(const QString& typed);

} // namespace zentuvo
