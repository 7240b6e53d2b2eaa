// zentuvo-catalogue import-playlist / export-playlist: My List from and to M3U playlists,
// without a window.
#include "playlist_commands.h"
#include "command_args.h"

#include "app/PlaylistDownload.h"
#include "app/PlaylistImport.h"
#include "app/Settings.h"
#include "data/Database.h"
#include "data/Playlist.h"
#include "data/PlaylistStore.h"
#include "data/Schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cstdio>

using namespace zentuvo;
using namespace zentuvo::commands;

namespace {

// The catalogue whose countries playlist countries are matched to: --catalogue, else the
// ch.dat beside the My List file when there is one.
QString catalogueFor(const QStringList& args, const QString& myList) {
    const QString given = option(args, QStringLiteral("--catalogue"));
    if (!given.isEmpty())
        return given;
    const QString beside = QFileInfo(myList).absoluteDir().filePath(QStringLiteral("ch.dat"));
    return QFileInfo::exists(beside) ? beside : QString();
}

// A My List file ready for the playlist columns: created when missing, upgraded when older.
QString prepareMyList(const QString& path) {
    QString error;
    if (!createMyListDatabase(path, &error))
        return error;
    return upgradeMyListFile(path);
}

// Fetches an http(s) playlist; false with a description when the download fails.
bool download(const QUrl& url, QByteArray* body, QUrl* finalAddress, QString* error) {
    PlaylistDownload fetch(programUserAgent());
    bool ok = false;
    QObject::connect(&fetch, &PlaylistDownload::finished,
                     [&](const QByteArray& bytes, const QUrl& address) {
                         *body = bytes;
                         *finalAddress = address;
                         ok = true;
                         QCoreApplication::exit(0);
                     });
    QObject::connect(
        &fetch, &PlaylistDownload::failed,
        [&](PlaylistDownload::Failure reason, const QString& detail) {
            switch (reason) {
            case PlaylistDownload::Failure::ConnectTimeout:
                *error = QStringLiteral("no answer within %1 s")
                             .arg(fetch.connectTimeout().count() / 1000);
                break;
            case PlaylistDownload::Failure::IdleTimeout:
                *error = QStringLiteral("nothing received for %1 s")
                             .arg(fetch.idleTimeout().count() / 1000);
                break;
            case PlaylistDownload::Failure::TooLarge:
                *error = QStringLiteral("larger than %1 MB").arg(fetch.sizeLimit() / (1024 * 1024));
                break;
            default:
                *error = detail;
            }
            QCoreApplication::exit(1);
        });
    fetch.start(url);
    QCoreApplication::exec();
    return ok;
}

int printReport(const PlaylistImportReport& r) {
    if (!r.error.isEmpty())
        return fail(QStringLiteral("import failed, My List unchanged: %1").arg(r.error));
    std::printf("imported %d, skipped %d, unreadable %d\n", r.imported, r.skipped, r.unreadable);
    if (!r.unreadableLines.isEmpty()) {
        QStringList lines;
        for (int line : r.unreadableLines)
            lines << QString::number(line);
        std::printf("unreadable lines: %s%s\n", qPrintable(lines.join(QStringLiteral(", "))),
                    r.unreadable > r.unreadableLines.size() ? ", ..." : "");
    }
    return 0;
}

int importCommand(const QStringList& args) {
    const QString myList = option(args, QStringLiteral("--mylist"));
    const QString source = args.size() > 1 ? args.last() : QString();
    if (myList.isEmpty() || source.isEmpty() || source.startsWith(QLatin1String("--")) ||
        args.at(args.size() - 2).startsWith(QLatin1String("--")))
        return 2;
    if (const QString error = prepareMyList(myList); !error.isEmpty())
        return fail(QStringLiteral("%1: %2").arg(myList, error));
    const QUrl url = playlistSource(source);
    QString group = option(args, QStringLiteral("--group"));
    if (group.isEmpty())
        group = defaultGroupName(url);
    QByteArray bytes;
    QUrl base = url;
    if (url.isLocalFile()) {
        QFile file(url.toLocalFile());
        if (!file.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("%1: %2").arg(source, file.errorString()));
        bytes = file.readAll();
    } else {
        QString error;
        if (!download(url, &bytes, &base, &error))
            return fail(QStringLiteral("%1: %2").arg(source, error));
    }
    return printReport(importPlaylistData(catalogueFor(args, myList), myList, bytes, base, group));
}

int exportCommand(const QStringList& args) {
    const QString out = option(args, QStringLiteral("--out"));
    const QString myList = option(args, QStringLiteral("--mylist"));
    const QString catalogue = option(args, QStringLiteral("--catalogue"));
    const bool favourites = args.contains(QStringLiteral("--favourites"));
    if (out.isEmpty() || (favourites ? catalogue.isEmpty() : myList.isEmpty()))
        return 2;
    std::vector<PlaylistEntry> entries;
    try {
        if (favourites) {
            entries = favouritesPlaylist(catalogue);
        } else {
            if (const QString error = upgradeMyListFile(myList); !error.isEmpty())
                return fail(QStringLiteral("%1: %2").arg(myList, error));
            const QString group = option(args, QStringLiteral("--group"));
            entries = myListPlaylist(catalogueFor(args, myList), myList,
                                     group.isEmpty() ? MyListGroupFilter::all()
                                                     : MyListGroupFilter::ofGroup(group));
        }
    } catch (const DbError& e) {
        return fail(e.description());
    }
    QSaveFile file(out);
    if (!file.open(QIODevice::WriteOnly) || file.write(writePlaylist(entries)) < 0 ||
        !file.commit())
        return fail(QStringLiteral("%1: %2").arg(out, file.errorString()));
    std::printf("exported %d\n", int(entries.size()));
    return 0;
}

} // namespace

int runPlaylistCommand(const QStringList& args) {
    if (args.first() == u"import-playlist")
        return importCommand(args);
    if (args.first() == u"export-playlist")
        return exportCommand(args);
    return -1;
}
