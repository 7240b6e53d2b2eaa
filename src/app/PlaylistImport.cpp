#include "app/PlaylistImport.h"

#include "data/Playlist.h"
#include "data/PlaylistStore.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace zentuvo {

int PlaylistImportProgress::percent() const {
    const auto half = [](qint64 done, qint64 total) {
        return total > 0 ? int(std::min<qint64>(done, total) * 50 / total) : 0;
    };
    return half(bytesRead, bytesTotal) + half(entriesWritten, entriesTotal);
}

PlaylistImportReport importPlaylistData(const QString& channelDb, const QString& myListDb,
                                        const QByteArray& bytes, const QUrl& base,
                                        const QString& defaultGroup, const std::atomic_bool* cancel,
                                        PlaylistImportProgress* progress) {
    PlaylistImportProgress ignored;
    PlaylistImportProgress& p = progress ? *progress : ignored;
    p.bytesTotal = bytes.size();
    PlaylistRead read = readPlaylist(bytes, base, cancel, &p.bytesRead);
    p.bytesRead = bytes.size();
    p.entriesTotal = qint64(read.entries.size());
    PlaylistImportReport report;
    report.unreadable = read.unreadable;
    report.unreadableLines = read.unreadableLines;
    if (read.cancelled) {
        report.cancelled = true;
        return report;
    }
    const PlaylistImportOutcome outcome =
        importPlaylist(channelDb, myListDb, read.entries, defaultGroup, cancel, &p.entriesWritten);
    report.imported = outcome.imported;
    report.skipped = outcome.skipped;
    report.cancelled = outcome.cancelled;
    report.error = outcome.error;
    return report;
}

QString defaultGroupName(const QUrl& source) {
    return QFileInfo(source.path()).completeBaseName();
}

QUrl playlistSource(const QString& typed) {
    const QString text = typed.trimmed();
    const QUrl url(text);
    const QString scheme = url.scheme().toLower();
    if (scheme == u"http" || scheme == u"https")
        return url;
    if (scheme == u"file")
        return url;
    return QUrl::fromLocalFile(QFileInfo(text).absoluteFilePath());
}

} // namespace zentuvo
