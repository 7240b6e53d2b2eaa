// playlist_bench: a provider-sized playlist through the import, then My List's list and search.
//   playlist_bench FOLDER [ENTRIES] [RUNS]
// FOLDER holds ch.dat, mylist.dat and Zentuvo.ini (a build folder). A playlist of ENTRIES
// (default 250,000) entries is written the way providers write them (tvg attributes, group
// titles, one address each, two in a hundred with an #EXTVLCOPT header). Prints "name value
// unit" lines:
//   playlist_mb MB MB                 (its size)
//   playlist_parse_ms MEDIAN ms       (reading alone)
//   playlist_import_ms MEDIAN ms      (file to rows committed in an empty My List)
//   playlist_import_window_ms MS ms   (the import window: Import to the closing message)
//   playlist_import_stall_ms MS ms    (longest pause of the window's event loop meanwhile)
//   mylist_fill_ms MEDIAN ms          (the My List tab with every entry: query to rows)
//   mylist_fill_stall_ms MS ms        (longest pause of the event loop meanwhile)
//   mylist_search_ms MEDIAN ms        (the search window's worker: catalogue + My List)
#include "app/AppContext.h"
#include "app/PlaylistImport.h"
#include "app/Settings.h"
#include "bench_support.h"
#include "data/CatalogueSearch.h"
#include "data/Database.h"
#include "data/Playlist.h"
#include "data/Schema.h"
#include "ui/MainWindowApi.h"
#include "ui/dialogs/ImportPlaylistWindow.h"
#include "ui/main/ChannelListModel.h"
#include "ui/main/ChannelListPanel.h"
#include "ui/main/MainWindow.h"
#include "ui/main/MyListPanel.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace zentuvo;
using namespace zentuvo::bench;

namespace {

QByteArray makePlaylist(int entries) {
    QByteArray out("#EXTM3U url-tvg=\"http://127.0.0.1:9/guide.xml\"\n");
    out.reserve(qsizetype(entries) * 200);
    for (int i = 0; i < entries; ++i) {
        out += QStringLiteral("#EXTINF:-1 tvg-id=\"Channel%1.xx\" tvg-name=\"Channel %1 HD\" "
                              "tvg-logo=\"http://127.0.0.1:9/logos/%1.png\" tvg-country=\"IT\" "
                              "group-title=\"Group %2\",Channel %1 HD, news and more\n")
                   .arg(i)
                   .arg(i % 300)
                   .toUtf8();
        if (i % 50 == 0)
            out += "#EXTVLCOPT:http-user-agent=Mozilla/5.0 (X11; Linux x86_64)\n";
        out += QStringLiteral("http://127.0.0.1:9/live/user/pass/%1.ts\n").arg(i).toUtf8();
    }
    return out;
}

void print(const char* name, double value, const char* unit = "ms") {
    std::printf("%s %.1f %s\n", name, value, unit);
}

class NoMainWindow : public MainWindowApi {
public:
    QWidget* mainWidget() override { return nullptr; }
    bool isFullVideo() const override { return false; }
    void fillMyList() override {}
    void applyLanguage() override {}
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fputs("usage: playlist_bench FOLDER [ENTRIES] [RUNS]\n", stderr);
        return 2;
    }
    const QDir source(QString::fromLocal8Bit(argv[1]));
    const int entries = argc > 2 ? std::max(1, std::atoi(argv[2])) : 250000;
    const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
    QTemporaryDir work;
    const QDir dir(work.path());
    for (const char* name : {"ch.dat", "mylist.dat", "Zentuvo.ini"})
        QFile::copy(source.filePath(QString::fromLatin1(name)),
                    dir.filePath(QString::fromLatin1(name)));
    const QString emptyList = dir.filePath(QStringLiteral("empty.dat"));
    QFile::copy(dir.filePath(QStringLiteral("mylist.dat")), emptyList);
    if (const QString error = upgradeMyListFile(emptyList); !error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }

    const QByteArray playlist = makePlaylist(entries);
    const QString playlistFile = dir.filePath(QStringLiteral("provider.m3u"));
    {
        QFile f(playlistFile);
        if (!f.open(QIODevice::WriteOnly) || f.write(playlist) != playlist.size())
            return 1;
    }
    print("playlist_mb", double(playlist.size()) / (1024 * 1024), "MB");

    std::vector<double> parse, import;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer clock;
        clock.start();
        const PlaylistRead read = readPlaylist(playlist, QUrl::fromLocalFile(playlistFile));
        parse.push_back(double(clock.nsecsElapsed()) / 1e6);
        if (int(read.entries.size()) != entries)
            std::fprintf(stderr, "read %d of %d entries\n", int(read.entries.size()), entries);

        const QString myList = dir.filePath(QStringLiteral("run.dat"));
        QFile::remove(myList);
        QFile::copy(emptyList, myList);
        clock.restart();
        QFile f(playlistFile);
        if (!f.open(QIODevice::ReadOnly))
            return 1;
        const auto report =
            importPlaylistData(dir.filePath(QStringLiteral("ch.dat")), myList, f.readAll(),
                               QUrl::fromLocalFile(playlistFile), QStringLiteral("provider"));
        import.push_back(double(clock.nsecsElapsed()) / 1e6);
        if (report.imported != entries)
            std::fprintf(stderr, "imported %d of %d\n", report.imported, entries);
    }
    print("playlist_parse_ms", median(parse));
    print("playlist_import_ms", median(import));

    // The program over the folder, My List filled by the import window.
    PrintedMessages messages;
    NoDesktop desktop;
    AppContext app(messages, desktop);
    if (!readSettings(app, dir.path()))
        return 1;
    {
        NoMainWindow main;
        ImportPlaylistWindow window(app, main);
        window.setSource(playlistFile);
        window.show();
        StallWatch stalls;
        QElapsedTimer clock;
        clock.start();
        stalls.start();
        window.onImportClicked();
        waitFor([&] { return !window.isRunning(); }, 600000);
        print("playlist_import_window_ms", double(clock.elapsed()));
        print("playlist_import_stall_ms", double(stalls.stop()));
    }

    // The My List tab with every entry, in the main window.
    {
        MainWindow window(app);
        window.show();
        const auto filled = [&] {
            return !window.myList().filling() && !window.channels().filling();
        };
        waitFor(filled, 60000);
        std::vector<double> fill;
        for (int run = 0; run < runs; ++run) {
            QElapsedTimer clock;
            clock.start();
            window.myList().fillMyList();
            waitFor([&] { return !window.myList().filling(); }, 60000);
            QCoreApplication::processEvents(); // the repaint that shows the rows
            fill.push_back(double(clock.nsecsElapsed()) / 1e6);
        }
        print("mylist_fill_ms", median(fill));
        std::printf("mylist_rows %d rows\n", window.myList().model()->rowCount());
        StallWatch stalls;
        stalls.start();
        window.myList().fillMyList();
        QElapsedTimer until;
        until.start();
        while (until.elapsed() < 2000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        print("mylist_fill_stall_ms", double(stalls.stop()));
    }

    std::vector<double> search;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer clock;
        clock.start();
        const SearchOutcome catalogue =
            searchCatalogue(app.paths().catalogue, QStringLiteral("news"));
        const SearchOutcome mine =
            searchMyList(app.paths().myList, app.paths().catalogue, QStringLiteral("news"));
        search.push_back(double(clock.nsecsElapsed()) / 1e6);
        if (int(mine.hits.size()) < entries)
            std::fprintf(stderr, "found %d\n", int(mine.hits.size()));
    }
    print("mylist_search_ms", median(search));
    return 0;
}
