// search_bench: how long the catalogue search takes, on its own and in the search window.
//
//   search_bench [--db FILE]... [--words w1,w2,...] [--runs N] [--no-window]
//
// Without --db it builds two catalogues from the project's data folder in a temporary
// folder: the real one and one with every channel written ten times. For each catalogue and
// word it prints
//   search_ms <catalogue> <rows> <word> <hits> <best ms> <median ms>
// for the search itself, and
//   window_ms <catalogue> <word> <ms from the click to the filled list>
//   window_stall_ms <catalogue> <word> <longest time the event loop did not run>
// for the search window driven offscreen.
#include "app/AppContext.h"
#include "app/Settings.h"
#include "bench_support.h"
#include "common/Messages.h"
#include "data/Catalogue.h"
#include "data/CatalogueSearch.h"
#include "data/Database.h"
#include "data/Schema.h"
#include "ui/MainWindowApi.h"
#include "ui/dialogs/SearchWindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

using namespace zentuvo;
using namespace zentuvo::bench;

namespace {

class BenchMain : public MainWindowApi {
public:
    QWidget* mainWidget() override { return nullptr; }
    bool isFullVideo() const override { return false; }
    void fillMyList() override {}
    void applyLanguage() override {}
};

QString option(const QStringList& args, const QString& name, const QString& fallback = {}) {
    const qsizetype at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args[at + 1] : fallback;
}

QStringList options(const QStringList& args, const QString& name) {
    QStringList out;
    for (qsizetype i = 0; i + 1 < args.size(); ++i)
        if (args[i] == name)
            out << args[i + 1];
    return out;
}

// Processor time used by the process so far, all threads together.
double cpuMs() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return (double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

void measureEngine(const QString& label, const QString& db, const QString& word, int runs) {
    std::vector<double> times, cpu;
    SearchOutcome last;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        const double c0 = cpuMs();
        t.start();
        last = searchCatalogue(db, word);
        times.push_back(double(t.nsecsElapsed()) / 1e6);
        cpu.push_back(cpuMs() - c0);
    }
    std::sort(times.begin(), times.end());
    std::sort(cpu.begin(), cpu.end());
    const QString name = QStringLiteral("%1_%2").arg(label, word);
    std::printf("search_ms_%s %.1f ms\n", qPrintable(name), times[times.size() / 2]);
    std::printf("search_best_ms_%s %.1f ms\n", qPrintable(name), times.front());
    std::printf("search_cpu_ms_%s %.1f ms\n", qPrintable(name), cpu[cpu.size() / 2]);
    std::printf("search_hits_%s %zu rows\n", qPrintable(name), last.hits.size());
    std::printf("search_scanned_%s %d rows\n", qPrintable(name), last.scanned);
    std::fflush(stdout);
}

// Drives the window: types the word, clicks Search and waits for the status text, while a
// 1 ms timer notes the longest pause of the event loop.
void measureWindow(const QString& folder, const QString& word) {
    PrintedMessages messages;
    NoDesktop desktop;
    AppContext app(messages, desktop);
    if (!readSettings(app, folder)) {
        std::fprintf(stderr, "cannot read the settings in %s\n", qPrintable(folder));
        return;
    }
    BenchMain main;
    SearchWindow window(app, main);
    window.resize(900, 600);
    window.show();
    QApplication::processEvents();

    StallWatch watch;

    QEventLoop loop;
    QObject::connect(&window, &SearchWindow::searchFinished, &loop, &QEventLoop::quit);
    window.findChild<QLineEdit*>(QStringLiteral("txtSearch"))->setText(word);
    QElapsedTimer t;
    watch.start();
    t.start();
    window.findChild<QPushButton*>(QStringLiteral("cmdSearch"))->click();
    watch.note(); // the click itself
    if (window.isSearching())
        loop.exec();
    const double ms = double(t.nsecsElapsed()) / 1e6;
    QApplication::processEvents(); // the first paint of the filled list
    watch.note();
    const qint64 longest = watch.stop();
    const QString name = QStringLiteral("%1_%2").arg(QDir(folder).dirName(), word);
    std::printf("window_search_ms_%s %.1f ms\n", qPrintable(name), ms);
    std::printf("window_stall_ms_%s %lld ms\n", qPrintable(name), static_cast<long long>(longest));
    std::fflush(stdout);
}

// A program folder around a catalogue: the catalogue, an empty My List and a settings file.
QString makeFolder(const QString& root, const QString& name, const QString& dataDir,
                   int replicate) {
    const QString folder = root + u'/' + name;
    QDir().mkpath(folder);
    QElapsedTimer t;
    t.start();
    const auto r = buildCatalogue(dataDir, folder + QStringLiteral("/ch.dat"), replicate);
    if (!r.ok) {
        std::fprintf(stderr, "building %s failed: %s\n", qPrintable(name), qPrintable(r.error));
        return {};
    }
    std::fprintf(stderr, "built %s: %d channels in %lld ms\n", qPrintable(name), r.channels,
                 static_cast<long long>(t.elapsed()));
    createMyListDatabase(folder + QStringLiteral("/mylist.dat"), nullptr);
    writeDefaultSettingsFile(folder + u'/' + kIniName);
    return folder;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QStringList args = application.arguments().mid(1);
    const QStringList words =
        option(args, QStringLiteral("--words"), QStringLiteral("news,channel,zqxjv"))
            .split(u',', Qt::SkipEmptyParts);
    const int runs =
        std::max(1, option(args, QStringLiteral("--runs"), QStringLiteral("5")).toInt());

    QTemporaryDir temp;
    QStringList folders;
    for (const QString& db : options(args, QStringLiteral("--db"))) {
        // A catalogue given by path: a program folder is made around a copy of it.
        const QString folder = temp.path() + u'/' + QFileInfo(db).completeBaseName();
        QDir().mkpath(folder);
        QFile::copy(db, folder + QStringLiteral("/ch.dat"));
        createMyListDatabase(folder + QStringLiteral("/mylist.dat"), nullptr);
        writeDefaultSettingsFile(folder + u'/' + kIniName);
        folders << folder;
    }
    if (folders.isEmpty()) {
        const QString dataDir =
            option(args, QStringLiteral("--data"), QStringLiteral(ZENTUVO_DATA_DIR));
        folders << makeFolder(temp.path(), QStringLiteral("real"), dataDir, 1)
                << makeFolder(temp.path(), QStringLiteral("x10"), dataDir, 10);
    }
    for (const QString& folder : folders) {
        if (folder.isEmpty())
            return 1;
        for (const QString& word : words)
            measureEngine(QDir(folder).dirName(), folder + QStringLiteral("/ch.dat"), word, runs);
        if (!args.contains(QStringLiteral("--no-window")))
            for (const QString& word : words)
                measureWindow(folder, word);
    }
    return 0;
}
