// The programme guide: a generated guide of 30,000 channels over 7 days (gzip, 1 GB inflated,
// and a 100 MB one), 10,000 of its channels in a generated catalogue; the import's time and
// memory, the now/next snapshot and its lookup for 10,000 rows, a title search over the next
// 24 hours and a guide grid's page. Prints "name value unit".
//
//   guide_bench DIR [--mb 1024] [--small-mb 100] [--runs 5] [--keep]
#include "data/Database.h"
#include "data/GuideImport.h"
#include "data/GuideNowNext.h"
#include "data/GuideStore.h"
#include "data/Schema.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sys/resource.h>
#include <zlib.h>

using namespace zentuvo;

namespace {

constexpr int kChannels = 30000;
constexpr int kInCatalogue = 10000;   // every third guide channel
constexpr qint64 kStart = 1796515200; // 2026-12-06 00:00 UTC
constexpr qint64 kDays = 7;

// A fixed sequence of numbers (xorshift), the same on every machine.
struct Random {
    quint64 state = 0x9E3779B97F4A7C15ull;
    quint32 next() {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return quint32(state >> 32);
    }
    int below(int n) { return int(next() % quint32(n)); }
};

const char* const kWords[] = {
    "news",  "world",  "evening", "story",   "family",  "journey", "city",    "night",
    "live",  "match",  "season",  "secret",  "kitchen", "garden",  "history", "ocean",
    "music", "report", "weather", "market",  "science", "island",  "mystery", "house",
    "road",  "winter", "summer",  "friends", "animals", "planet",  "doctor",  "police",
    "the",   "and",    "with",    "from",    "under",   "between", "after",   "their"};
const char* const kCategories[] = {"News",   "Movie", "Sports", "Documentary",
                                   "Series", "Kids",  "Music",  "Entertainment"};

void words(QByteArray& out, Random& r, int count) {
    for (int i = 0; i < count; ++i) {
        if (i)
            out += ' ';
        out += kWords[r.below(int(std::size(kWords)))];
    }
}

QByteArray xmltvTime(qint64 t) {
    const qint64 days = t / 86400;
    const int s = int(t % 86400);
    // Civil date from days since 1970 (H. Hinnant's civil_from_days).
    const qint64 z = days + 719468, era = z / 146097, doe = z - era * 146097;
    const qint64 yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const qint64 doy = doe - (365 * yoe + yoe / 4 - yoe / 100), mp = (5 * doy + 2) / 153;
    const int d = int(doy - (153 * mp + 2) / 5 + 1), m = int(mp < 10 ? mp + 3 : mp - 9);
    const qint64 y = yoe + era * 400 + (m <= 2);
    char text[32];
    std::snprintf(text, sizeof text, "%04lld%02d%02d%02d%02d00 +0000", static_cast<long long>(y), m,
                  d, s / 3600, s % 3600 / 60);
    return text;
}

// Writes the guide: the channels, then each channel's programmes in order, the programme
// length chosen so that the whole comes near megabytes inflated.
qint64 writeGuide(const QString& path, qint64 megabytes) {
    gzFile out = gzopen(path.toLocal8Bit().constData(), "wb1");
    Random r;
    QByteArray chunk =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tv generator-info-name=\"bench\">\n";
    qint64 written = 0;
    const auto flush = [&](bool always) {
        if (always || chunk.size() > (1 << 20)) {
            gzwrite(out, chunk.constData(), unsigned(chunk.size()));
            written += chunk.size();
            chunk.clear();
        }
    };
    for (int c = 0; c < kChannels; ++c) {
        chunk += "  <channel id=\"ch" + QByteArray::number(c) + ".tv\"><display-name>Channel " +
                 QByteArray::number(c) + "</display-name><icon src=\"http://127.0.0.1/logo/" +
                 QByteArray::number(c) + ".png\"/></channel>\n";
        flush(false);
    }
    // About 560 bytes a programme.
    const double perChannel = double(megabytes) * 1024 * 1024 / kChannels;
    const qint64 meanLength = qint64(double(kDays * 86400) / (perChannel / 560));
    for (int c = 0; c < kChannels; ++c) {
        const QByteArray channel = "ch" + QByteArray::number(c) + ".tv";
        for (qint64 t = kStart; t < kStart + kDays * 86400;) {
            const qint64 length =
                std::max<qint64>(300, (meanLength / 2 + r.below(int(meanLength))) / 300 * 300);
            chunk += "  <programme start=\"" + xmltvTime(t) + "\" stop=\"" + xmltvTime(t + length) +
                     "\" channel=\"" + channel + "\">\n    <title lang=\"en\">";
            words(chunk, r, 2 + r.below(4));
            chunk += "</title>\n";
            if (r.below(3) == 0) {
                chunk += "    <sub-title lang=\"en\">";
                words(chunk, r, 3 + r.below(4));
                chunk += "</sub-title>\n";
            }
            chunk += "    <desc lang=\"en\">";
            words(chunk, r, 30 + r.below(30)); // 200-400 characters
            chunk += ".</desc>\n";
            if (r.below(2) == 0)
                chunk += QByteArray("    <category lang=\"en\">") +
                         kCategories[r.below(int(std::size(kCategories)))] + "</category>\n";
            if (r.below(3) == 0)
                chunk += "    <episode-num system=\"xmltv_ns\">" + QByteArray::number(r.below(9)) +
                         '.' + QByteArray::number(r.below(20)) + ".</episode-num>\n";
            chunk += "  </programme>\n";
            flush(false);
            t += length;
        }
    }
    chunk += "</tv>\n";
    flush(true);
    gzclose(out);
    return written;
}

void writeCatalogue(const QString& path) {
    QFile::remove(path);
    Connection db(path, Connection::Mode::Create);
    createCatalogueSchema(db);
    Connection::Transaction transaction(db);
    auto q = db.prepare(QStringLiteral("INSERT INTO tab_channels (channelID, code, name) "
                                       "VALUES (?, ?, ?)"));
    for (int i = 0; i < kInCatalogue; ++i) {
        const int c = i * 3;
        // One in ten matched by name only.
        q.bind(1, i + 1);
        if (i % 10)
            q.bind(2, QStringLiteral("ch%1.tv").arg(c));
        else
            q.bindNull(2);
        q.bind(3, QStringLiteral("Channel %1").arg(c)).run();
        q.reset();
    }
    transaction.commit();
}

// A line of /proc/self/status in megabytes ("VmRSS", "VmHWM").
double statusMb(const char* name) {
    QFile file(QStringLiteral("/proc/self/status"));
    file.open(QIODevice::ReadOnly);
    for (const QByteArray& line : file.readAll().split('\n'))
        if (line.startsWith(name))
            return line.mid(qsizetype(std::strlen(name)) + 1)
                       .trimmed()
                       .split(' ')
                       .value(0)
                       .toDouble() /
                   1024;
    return -1;
}

// Processor time of the whole process (every thread) so far, in seconds.
double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void resetPeak() {
    QFile file(QStringLiteral("/proc/self/clear_refs"));
    if (file.open(QIODevice::WriteOnly))
        file.write("5");
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[v.size() / 2];
}

void importOne(const QString& dir, const QString& name, qint64 megabytes, int runs, bool keep) {
    const QString guidePath = dir + "/" + name + ".xml.gz", db = dir + "/" + name + ".dat";
    QElapsedTimer timer;
    timer.start();
    const qint64 bytes = keep && QFile::exists(guidePath) ? 0 : writeGuide(guidePath, megabytes);
    std::printf("guide_generate_s_%s %.1f s\n", qPrintable(name), double(timer.elapsed()) / 1000);
    std::printf("guide_inflated_mb_%s %.0f MB\n", qPrintable(name), double(bytes) / 1048576);
    std::printf("guide_gzip_mb_%s %.0f MB\n", qPrintable(name),
                double(QFile(guidePath).size()) / 1048576);
    const auto targets = loadGuideTargets(dir + "/ch.dat", QString());
    std::vector<double> seconds, cpu;
    double growth = 0, rssGrowth = 0;
    GuideImportOutcome r;
    for (int run = 0; run < runs; ++run) {
        QFile::remove(db);
        QFile file(guidePath);
        file.open(QIODevice::ReadOnly);
        resetPeak();
        const double before = statusMb("VmRSS");
        timer.restart();
        const double cpuBefore = cpuSeconds();
        r = importGuide(db, guidePath, file, targets);
        seconds.push_back(double(timer.elapsed()) / 1000);
        cpu.push_back(cpuSeconds() - cpuBefore);
        growth = std::max(growth, statusMb("VmHWM") - before);
        rssGrowth = std::max(rssGrowth, statusMb("VmRSS") - before);
        if (!r.error.isEmpty())
            std::fprintf(stderr, "import failed: %s\n", qPrintable(r.error));
    }
    std::printf("guide_import_s_%s %.2f s\n", qPrintable(name), median(seconds));
    // What the machine's load does not change: the processor time of all threads.
    std::printf("guide_import_cpu_s_%s %.2f s\n", qPrintable(name), median(cpu));
    std::printf("guide_import_peak_growth_mb_%s %.0f MB\n", qPrintable(name), growth);
    std::printf("guide_import_rss_growth_mb_%s %.0f MB\n", qPrintable(name), rssGrowth);
    std::printf("guide_channels_matched_%s %d channels\n", qPrintable(name), r.channelsMatched);
    std::printf("guide_programmes_kept_%s %lld programmes\n", qPrintable(name),
                static_cast<long long>(r.programmesKept));
    std::printf("guide_file_mb_%s %.0f MB\n", qPrintable(name), double(QFile(db).size()) / 1048576);
    if (!keep)
        QFile::remove(guidePath);
}

void nowNext(const QString& db, int runs) {
    std::vector<double> build, lookup;
    const qint64 t = kStart + 3 * 86400 + 20 * 3600; // day 4, 20:00
    int found = 0;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        const GuideNowNext snapshot = GuideNowNext::build(db, t);
        build.push_back(double(timer.nsecsElapsed()) / 1e6);
        timer.restart();
        qsizetype characters = 0;
        found = 0;
        for (int i = 1; i <= kInCatalogue; ++i) {
            if (const NowNext* n = snapshot.find(ChannelRef::catalogue(i))) {
                characters += n->now.title.size() + n->next.title.size();
                ++found;
            }
        }
        lookup.push_back(double(timer.nsecsElapsed()) / 1e6);
        if (characters == 0)
            std::fprintf(stderr, "no titles\n");
    }
    std::vector<double> search, grid;
    qsizetype hits = 0, cells = 0;
    QList<ChannelRef> visible; // a guide grid's page: 100 channels over 4 hours
    for (int i = 1; i <= 100; ++i)
        visible.append(ChannelRef::catalogue(i));
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        hits = channelsWithTitle(db, QStringLiteral("Secret Garden"), t).size();
        search.push_back(double(timer.nsecsElapsed()) / 1e6);
        timer.restart();
        cells = qsizetype(guideProgrammes(db, visible, t, t + 4 * 3600).size());
        grid.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::printf("guide_title_search_ms %.1f ms\n", median(search));
    std::printf("guide_title_search_channels %lld channels\n", static_cast<long long>(hits));
    std::printf("guide_grid_ms %.1f ms\n", median(grid));
    std::printf("guide_grid_programmes %lld programmes\n", static_cast<long long>(cells));
    std::printf("guide_nownext_build_ms %.1f ms\n", median(build));
    std::printf("guide_nownext_lookup_10k_ms %.2f ms\n", median(lookup));
    std::printf("guide_nownext_channels %d channels\n", found);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        std::fputs("usage: guide_bench DIR [--mb 1024] [--small-mb 100] [--runs 5]\n", stderr);
        return 2;
    }
    const auto value = [&](const char* name, int fallback) {
        const qsizetype at = args.indexOf(QLatin1String(name));
        return at > 0 && at + 1 < args.size() ? args[at + 1].toInt() : fallback;
    };
    const QString dir = args[1];
    const int runs = value("--runs", 5);
    writeCatalogue(dir + "/ch.dat");
    // --keep: the guides stay in DIR and are used again (for profiling the import).
    const bool keep = args.contains(QLatin1String("--keep"));
    importOne(dir, QStringLiteral("small"), value("--small-mb", 100), runs, keep);
    if (value("--mb", 1024) > 0)
        importOne(dir, QStringLiteral("large"), value("--mb", 1024), 1, keep);
    else
        return 0;
    nowNext(dir + "/large.dat", runs);
    return 0;
}
