// health_bench: every channel of a catalogue-sized list checked against slow local servers.
//   health_bench [--channels N] [--hosts K] [--ports P] [--delay-min MS] [--delay-max MS]
//                [--cancel-after N]
// A catalogue of N channels (default 10,475, the real catalogue's size) is built whose
// addresses point at tests/health_http_server.py on 127.0.0.1 … 127.0.0.K (default 6), P
// ports each (default 2), answering every request after 200–500 ms. Every channel is a plain
// stream there, so each check is one HEAD. Loopback only.
// Prints "name value unit" lines:
//   health_channels N channels
//   health_load_ms MS ms                (the channels read from the catalogue, deciphered)
//   health_total_s S s                  (start to the last result)
//   health_checks_per_s R /s
//   health_online N channels            (all of them, unless something went wrong)
//   health_max_open_ours N conns        (our sockets open at once, counted by file descriptors
//                                        every millisecond)
//   health_max_connections N conns      (open at once as the server counts them: it sees a
//                                        close only when it next reads or writes)
//   health_max_inflight N requests      (being answered at once)
//   health_max_host_inflight N requests (the same for one host)
//   health_save_ms MS ms                (every result saved, batches of 500 in one file)
//   health_read_ms MS ms                (every channel's state read at once)
//   health_cancel_return_ms MS ms       (cancel() itself, with the checks in flight)
//   health_cancel_stop_ms MS ms         (cancel to the server's last request)
//   health_requests_after_cancel N requests
#include "app/ChannelCheck.h"
#include "data/Catalogue.h"
#include "data/ChannelHealth.h"
#include "data/StoredValue.h"
#include "local_http_server.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <atomic>
#include <cstdio>
#include <dirent.h>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <unistd.h>

using namespace zentuvo;

namespace {

int intOption(const QStringList& args, const QString& name, int fallback) {
    const qsizetype at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args[at + 1].toInt() : fallback;
}

void figure(const char* name, double value, const char* unit) {
    std::printf("%s %.6g %s\n", name, value, unit);
    std::fflush(stdout);
}

// The health server's listening sockets and its counters.
class Server : public test::LocalHttpServer {
public:
    Server(int hosts, int ports, int delayMin, int delayMax)
        : LocalHttpServer(QStringLiteral(ZENTUVO_HEALTH_SERVER),
                          {"--hosts", addresses(hosts), "--ports", QString::number(ports),
                           "--delay-min", QString::number(delayMin), "--delay-max",
                           QString::number(delayMax)},
                          Log::None) {
        for (const QByteArray& line : startLines()) {
            const QList<QByteArray> words = line.split(' ');
            if (words[0] == "LISTEN" && words.size() == 3)
                listeners << QStringLiteral("%1:%2").arg(QString::fromLatin1(words[1]),
                                                         QString::fromLatin1(words[2]));
        }
    }
    QHash<QByteArray, qint64> stats() {
        QHash<QByteArray, qint64> values;
        for (const QByteArray& word : ask("STATS").split(' ').mid(1)) {
            const qsizetype at = word.indexOf('=');
            values.insert(word.left(at), word.mid(at + 1).toLongLong());
        }
        return values;
    }
    void reset() { ask("RESET"); }
    QStringList listeners; // "127.0.0.1:port"

private:
    static QString addresses(int hosts) {
        QStringList all;
        for (int h = 1; h <= hosts; ++h)
            all << QStringLiteral("127.0.0.%1").arg(h);
        return all.join(u',');
    }
};

// A data folder whose channels point at the listeners, then the catalogue built from it.
QString buildCatalogue(const QString& folder, const QStringList& listeners, int channels) {
    const QString data = folder + QStringLiteral("/data");
    QDir().mkpath(data + QStringLiteral("/catalogue"));
    QDir().mkpath(data + QStringLiteral("/terms"));
    for (const char* name : {"languages.csv", "terms.csv"})
        QFile::copy(QStringLiteral(ZENTUVO_DATA_DIR "/terms/") + name,
                    data + QStringLiteral("/terms/") + name);
    const auto write = [](const QString& path, const QByteArray& text) {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write(text) == text.size();
    };
    QByteArray rows = "id,name,country,genre,homepage,description,stream_url,user_agent,referrer\n";
    for (int i = 0; i < channels; ++i)
        rows += QStringLiteral("Ch%1.lo,Channel %1,Loopland,News,,,http://%2/slow/%1,,\n")
                    .arg(i)
                    .arg(listeners[i % listeners.size()])
                    .toUtf8();
    write(data + QStringLiteral("/catalogue/channels.csv"), rows);
    write(data + QStringLiteral("/catalogue/countries.csv"), "name\nLoopland\n");
    write(data + QStringLiteral("/catalogue/genres.csv"), "name\nNews\n");
    const QString out = folder + QStringLiteral("/ch.dat");
    const CatalogueResult built = zentuvo::buildCatalogue(data, out);
    if (!built.ok)
        std::fprintf(stderr, "health_bench: %s\n", qPrintable(built.error));
    return built.ok ? out : QString();
}

// How many sockets this process has open now, counted by its file descriptors: a socket
// closed is gone at once (whether or not the other end has seen it close), and a new one
// mostly takes the number just freed, so a listing made while sockets come and go does not
// count one twice. Subtract the count from before to get the connections a piece of code has
// open.
inline int openSockets() {
    int sockets = 0;
    DIR* dir = ::opendir("/proc/self/fd");
    if (!dir)
        return 0;
    char target[64];
    while (const dirent* entry = ::readdir(dir)) {
        const std::string path = std::string("/proc/self/fd/") + entry->d_name;
        const ssize_t size = ::readlink(path.c_str(), target, sizeof target - 1);
        sockets += size > 7 && std::string_view(target, 7) == "socket:";
    }
    ::closedir(dir);
    return sockets;
}

// The most sockets this process had open at once while the sampler lived (sampled every
// millisecond, counted by file descriptors), beyond those open before.
class OpenSocketSampler {
public:
    OpenSocketSampler() : baseline_(openSockets()) {
        thread_ = std::thread([this] {
            while (!stop_) {
                max_ = std::max(max_.load(), openSockets() - baseline_);
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
    }
    ~OpenSocketSampler() {
        stop_ = true;
        thread_.join();
    }
    int max() const { return max_; }

private:
    const int baseline_; // sockets open before
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<int> max_{0};
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int channels = intOption(args, "--channels", 10475);
    const int cancelAfter = intOption(args, "--cancel-after", 200);
    Server server(intOption(args, "--hosts", 6), intOption(args, "--ports", 2),
                  intOption(args, "--delay-min", 200), intOption(args, "--delay-max", 500));
    QTemporaryDir dir;
    const QString catalogue = buildCatalogue(dir.path(), server.listeners, channels);
    if (catalogue.isEmpty() || server.listeners.isEmpty())
        return 1;

    QElapsedTimer clock;
    clock.start();
    StoredValueCipher cipher;
    const std::vector<HealthChannel> list = catalogueHealthChannels(catalogue, cipher);
    QList<StreamCheckRequest> requests;
    for (const HealthChannel& ch : list)
        requests << StreamCheckRequest{ch.address, ch.userAgent, ch.referrer};
    figure("health_channels", double(list.size()), "channels");
    figure("health_load_ms", double(clock.elapsed()), "ms");

    // The whole list, results saved in batches as they come.
    const QString healthFile = dir.filePath(QStringLiteral("health.dat"));
    std::vector<std::pair<QString, ChannelHealth>> batch;
    qint64 saveMs = 0;
    int online = 0;
    const auto save = [&] {
        QElapsedTimer saving;
        saving.start();
        saveCatalogueHealth(healthFile, batch);
        saveMs += saving.elapsed();
        batch.clear();
    };
    ChannelCheckScheduler scheduler;
    QObject::connect(&scheduler, &ChannelCheckScheduler::checked,
                     [&](int index, const ChannelHealth& health) {
                         online += health.state == HealthState::Online;
                         batch.push_back({list[size_t(index)].code, health});
                         if (batch.size() >= 500)
                             save();
                     });
    QObject::connect(&scheduler, &ChannelCheckScheduler::finished, [&] { app.exit(0); });
    server.reset();
    auto sampler = std::make_unique<OpenSocketSampler>();
    clock.restart();
    scheduler.start(requests);
    app.exec();
    const double seconds = double(clock.elapsed()) / 1000.0;
    const int maxOpenOurs = sampler->max();
    sampler.reset();
    save();
    auto stats = server.stats();
    figure("health_total_s", seconds, "s");
    figure("health_checks_per_s", double(list.size()) / seconds, "/s");
    figure("health_online", online, "channels");
    figure("health_max_open_ours", maxOpenOurs, "conns");
    figure("health_max_connections", double(stats["max_connections"]), "conns");
    figure("health_max_inflight", double(stats["max_inflight"]), "requests");
    figure("health_max_host_inflight", double(stats["max_host_inflight"]), "requests");
    figure("health_save_ms", double(saveMs), "ms");
    clock.restart();
    const auto states = readCatalogueHealth(catalogue, healthFile, QDateTime::currentDateTimeUtc());
    figure("health_read_ms", double(clock.elapsed()), "ms");
    if (states.size() != qsizetype(list.size()))
        std::fprintf(stderr, "health_bench: %lld states read back\n", qlonglong(states.size()));

    // Cancelled once cancelAfter results are in, the checks in flight aborted.
    server.reset();
    int seen = 0;
    qint64 cancelledAt = 0;
    QObject::disconnect(&scheduler, nullptr, nullptr, nullptr);
    QObject::connect(&scheduler, &ChannelCheckScheduler::checked, [&](int, const ChannelHealth&) {
        if (++seen < cancelAfter)
            return;
        cancelledAt = QDateTime::currentMSecsSinceEpoch();
        QElapsedTimer cancelling;
        cancelling.start();
        scheduler.cancel();
        figure("health_cancel_return_ms", double(cancelling.nsecsElapsed()) / 1e6, "ms");
        stats = server.stats();
        // Longer than the slowest answer: a request still to come would have come.
        QTimer::singleShot(intOption(args, "--delay-max", 500) * 3, &app, [&] { app.exit(0); });
    });
    scheduler.start(requests);
    app.exec();
    const auto after = server.stats();
    figure("health_cancel_stop_ms", double(qMax<qint64>(0, after["last_request_ms"] - cancelledAt)),
           "ms");
    figure("health_requests_after_cancel", double(after["requests"] - stats["requests"]),
           "requests");
    return 0;
}
