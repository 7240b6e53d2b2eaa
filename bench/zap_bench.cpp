// zap_bench: how fast a channel starts, and what two playing players cost in memory.
//
//   xvfb-run -a zap_bench [--zaps N] [--sweep-zaps N] [--cachings 300,500,...]
//                         [--hls-delays 6000,...] [--jitter-runs N] [--parts ts,hls,sweep,rss]
//                         [--try ":option|:option"]
//
// Serves a live-like MPEG-TS stream on 127.0.0.1 (made with ffmpeg: one-second picture
// groups) and the same pictures as a live HLS channel (4 s segments), and zaps between two
// channels of each N times (20 by default), with our player options and with the player
// library's defaults. A zap is timed from playItem() to the Playing state, to the first
// picture handed to the screen (the library draws into memory for this) and to the third
// different one (the picture runs; the output also shows a picture again while it waits). Prints
// the median and the 90th percentile (_p90) of each:
//   zap_playing_ms, zap_first_frame_ms, zap_moving_ms            our options, MPEG-TS
//   ..._default                                                  library defaults, MPEG-TS
//   ..._hls, ..._hls_default                                     the same on HLS
//   ..._hls_livedelay<d>                                         ours, HLS, another live delay
//   ..._try                                        ours with more player options, MPEG-TS
// For MPEG-TS also the part of the first-picture time that the source decides: from the byte
// at which the server let the client join, the time until a whole key frame has arrived
// (zap_keyframe_wait_ms), and the rest, per zap, to the first picture
// (zap_after_keyframe_ms) and to the running picture (zap_moving_after_keyframe_ms).
// Then, per network caching value c, --sweep-zaps zaps (10) with our options and that caching,
// from this source and from one that sends at the stream's pace from the first byte, and the
// pictures shown and lost in the first 10 s from a source that stalls now and then for up to
// 1 s (mean of --jitter-runs runs; 250 pictures when nothing freezes):
//   zap_playing_ms_caching<c>, zap_first_frame_ms_caching<c>, ..._paced_caching<c>,
//   jitter_displayed_pictures_caching<c>, jitter_lost_pictures_caching<c>
// and the resident memory with a main and a preview player playing (and before):
//   rss_mb <MB> MB                         rss_mb_before_players <MB> MB
#include "bench_support.h"
#include "local_http_server.h"
#include "playback/PlayerProbe.h"
#include "playback/VlcPlayer.h"
#include "playback_live_source.h"
#include "ui/widgets/VideoView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <random>
#include <vector>

using namespace zentuvo;
using namespace zentuvo::bench;
using zentuvo::test::LiveSource;

namespace {

constexpr int kTimeoutMs = 20000;

const QString kAgent =
    QStringLiteral(":http-user-agent=Mozilla/5.0 (X11; U; Linux i686; en-US; rv:1.9.0.6) "
                   "Gecko/2009020911 Ubuntu/8.10 (intrepid) Firefox/3.0.6");

void settle(int ms) {
    waitFor([] { return false; }, ms);
}

bool waitFor(const std::function<bool()>& done) {
    return bench::waitFor(done, kTimeoutMs);
}

struct Zaps {
    std::vector<double> playing;
    std::vector<double> firstFrame;
    std::vector<double> moving;  // to the third different picture shown: the picture runs
    std::vector<double> keyWait; // the source's part of firstFrame (MPEG-TS sources only)
};

// Where the video key frames of the served file are, to tell how long a client that joins
// the broadcast at some byte must wait for one whatever it does.
class KeyFrames {
public:
    KeyFrames(const QString& file, double seconds, double burstSeconds) {
        size_ = QFileInfo(file).size();
        size_ -= size_ % 188;
        rate_ = double(size_) / seconds;
        burst_ = burstSeconds * rate_;
        QProcess probe;
        probe.start(QStringLiteral("ffprobe"),
                    {"-v", "error", "-select_streams", "v", "-show_entries", "packet=pos,flags",
                     "-of", "csv=p=0", file});
        probe.waitForFinished(60000);
        // Each line "pos,flags"; a key frame's data ends where the next picture's begins.
        qint64 keyStart = -1;
        for (const QByteArray& line : probe.readAllStandardOutput().split('\n')) {
            const QList<QByteArray> f = line.trimmed().split(',');
            if (f.size() < 2)
                continue;
            const qint64 pos = f[0].toLongLong();
            if (keyStart >= 0) {
                keys_.push_back({keyStart, pos});
                keyStart = -1;
            }
            if (f[1].startsWith('K'))
                keyStart = pos;
        }
    }

    bool valid() const { return !keys_.empty(); }

    // Milliseconds from the request until the first whole key frame after the byte `joined`
    // has arrived, with the server's burst and then the stream's pace.
    double waitMs(qint64 joined) const {
        qint64 end = -1;
        for (const auto& [start, stop] : keys_) {
            if (start >= joined) {
                end = stop;
                break;
            }
        }
        if (end < 0) // the file starts over
            end = keys_.front().second + size_;
        return std::max(0.0, double(end - joined) - burst_) / rate_ * 1000.0;
    }

private:
    std::vector<std::pair<qint64, qint64>> keys_;
    qint64 size_ = 0;
    double rate_ = 1;
    double burst_ = 0;
};

// The bytes at which clients joined, as the server logged them ("path<TAB>byte").
QList<qint64> joinedAt(const LiveSource& source) {
    QFile f(source.joins());
    QList<qint64> out;
    if (f.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : f.readAll().split('\n')) {
            if (const qsizetype tab = line.indexOf('\t'); tab > 0)
                out.append(line.mid(tab + 1).toLongLong());
        }
    }
    return out;
}

// Zaps between two channels, timing each start; between zaps the viewer watches for a
// random while (0.5 to 1.5 s), so the zaps meet the picture groups at every phase.
Zaps zap(const std::function<QString(int)>& url, bool libraryDefaults, const QStringList& options,
         int count, const LiveSource* joins = nullptr, const KeyFrames* keys = nullptr) {
    PlayerProbeOptions config;
    config.pictureProbe = true;
    config.libraryDefaults = libraryDefaults;
    const ProbedPlayer probed = createProbedVlcPlayer(config);
    Player& player = *probed.player;
    PlayerProbe& probe = *probed.probe;
    std::mt19937 watch(count);
    Zaps out;
    for (int i = 0; i < count; ++i) {
        std::optional<qint64> playingAt, pictureAt, movingAt;
        QElapsedTimer clock;
        const auto onState = QObject::connect(&player, &Player::stateChanged, [&](PlayerState s) {
            if (s == PlayerState::Playing && !playingAt)
                playingAt = clock.elapsed();
        });
        probe.setFirstPictureHandler([&] {
            if (!pictureAt)
                pictureAt = clock.elapsed();
        });
        player.clear();
        const qsizetype joinsBefore = joins ? joinedAt(*joins).size() : 0;
        clock.start();
        player.playItem(player.playlistAdd(url(i), QStringLiteral("TEST"), options));
        const bool started = waitFor([&] {
            if (!movingAt && probe.probedPictures() >= 3)
                movingAt = clock.elapsed();
            return playingAt && pictureAt && movingAt;
        });
        if (started) {
            out.playing.push_back(double(*playingAt));
            out.firstFrame.push_back(double(*pictureAt));
            out.moving.push_back(double(*movingAt));
            const QList<qint64> joined = joins ? joinedAt(*joins) : QList<qint64>();
            if (keys && keys->valid() && joined.size() > joinsBefore)
                out.keyWait.push_back(keys->waitMs(joined[joinsBefore]));
        } else {
            std::fprintf(stderr, "zap %d did not start (state %d)\n", i, int(player.state()));
        }
        QObject::disconnect(onState);
        probe.setFirstPictureHandler({});
        settle(500 + int(watch() % 1000));
    }
    return out;
}

struct Smoothness {
    int displayed = -1;
    int lost = -1;
};

// Pictures shown and lost over some seconds of play from a source that stalls now and then.
Smoothness underJitter(const LiveSource& source, const QStringList& options, int seconds) {
    PlayerProbeOptions config;
    config.pictureProbe = true;
    const ProbedPlayer probed = createProbedVlcPlayer(config);
    Player& player = *probed.player;
    player.playItem(player.playlistAdd(source.url("/a.ts"), QStringLiteral("TEST"), options));
    if (!waitFor([&] { return player.state() == PlayerState::Playing; }))
        return {};
    settle(seconds * 1000);
    return {probed.probe->displayedPictures(), probed.probe->lostPictures()};
}

double residentMegabytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return -1;
}

void print(const char* name, double value, const char* unit) {
    std::printf("%s %.1f %s\n", name, value, unit);
    std::fflush(stdout);
}

// A live HLS channel made from the same file, served by hls_live_server.py under two paths
// (with its options for the line).
class HlsSource {
public:
    HlsSource(const QString& file, const QStringList& serverOptions)
        : server_(QStringLiteral(ZENTUVO_HLS_SERVER),
                  QStringList{"--file", file, "--path", "/a.m3u8", "--path", "/b.m3u8"}
                      << serverOptions,
                  test::LocalHttpServer::Log::None) {}
    bool ok() const { return server_.port() != 0; }
    QString url(int zap) const {
        return server_.url(zap % 2 ? QStringLiteral("/b.m3u8") : QStringLiteral("/a.m3u8"))
            .toString();
    }

private:
    test::LocalHttpServer server_;
};

// Medians and 90th percentiles of a run of zaps; for an MPEG-TS source also how long the
// source kept the first key frame back, and the rest of the first-picture time (per zap).
void report(const QByteArray& suffix, const Zaps& z) {
    auto line = [&](const char* name, const std::vector<double>& v) {
        print((name + suffix).constData(), median(v), "ms");
        print((name + suffix + "_p90").constData(), percentile90(v), "ms");
    };
    line("zap_playing_ms", z.playing);
    line("zap_first_frame_ms", z.firstFrame);
    line("zap_moving_ms", z.moving);
    if (z.keyWait.size() == z.firstFrame.size() && !z.keyWait.empty()) {
        std::vector<double> rest, running;
        for (std::size_t i = 0; i < z.keyWait.size(); ++i) {
            rest.push_back(z.firstFrame[i] - z.keyWait[i]);
            running.push_back(z.moving[i] - z.keyWait[i]);
        }
        line("zap_keyframe_wait_ms", z.keyWait);
        line("zap_after_keyframe_ms", rest);
        line("zap_moving_after_keyframe_ms", running);
    }
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    auto option = [&](const char* name, const QString& fallback) {
        const qsizetype i = args.indexOf(QLatin1String(name));
        return i >= 0 && i + 1 < args.size() ? args[i + 1] : fallback;
    };
    const int count = std::max(1, option("--zaps", "20").toInt());
    const int sweepCount = std::max(1, option("--sweep-zaps", "10").toInt());
    const int jitterRuns = std::max(1, option("--jitter-runs", "1").toInt());
    std::vector<int> cachings;
    for (const QString& c :
         option("--cachings", "300,500,700,1000,1500").split(u',', Qt::SkipEmptyParts))
        cachings.push_back(c.toInt());
    const QStringList paths{"/a.ts", "/b.ts"};
    LiveSource source(QStringLiteral(ZENTUVO_LIVE_SERVER), paths);
    const KeyFrames keys(source.stream(), LiveSource::kSeconds, 0.5);
    auto ts = [](const LiveSource& s) {
        return [&s](int i) {
            return s.url(i % 2 ? QStringLiteral("/b.ts") : QStringLiteral("/a.ts"));
        };
    };

    const QStringList ours{kAgent, QStringLiteral(":no-video-title-show")};
    // --parts picks what runs (a comma list of ts, hls, sweep, rss; all by default).
    const QStringList parts = option("--parts", "ts,hls,sweep,rss").split(u',');
    if (parts.contains("ts")) {
        report("", zap(ts(source), false, ours, count, &source, &keys));
        report("_default", zap(ts(source), true, {}, count, &source, &keys));
    }
    if (const QString extra = option("--try", ""); !extra.isEmpty()) {
        // Ours with more options, and both under a stalling source, 10 s each.
        const QStringList tried = QStringList(ours) << extra.split(u'|');
        report("_try", zap(ts(source), false, tried, count, &source, &keys));
        LiveSource stalling(QStringLiteral(ZENTUVO_LIVE_SERVER), paths, 1.0, 0.0);
        for (const auto& [suffix, options] :
             {std::pair<QByteArray, QStringList>{"_ours", ours}, {"_try", tried}}) {
            const Smoothness jitter = underJitter(stalling, options, 10);
            print(("jitter_displayed_pictures" + suffix).constData(), jitter.displayed, "pictures");
            print(("jitter_lost_pictures" + suffix).constData(), jitter.lost, "pictures");
        }
    }
    // HLS on the loopback, and over a line five times the stream's bit rate with 50 ms
    // before each answer, as from a server some way off.
    if (parts.contains("hls")) {
        for (const auto& [suffix, line] : {std::pair<QByteArray, QStringList>{"_hls", {}},
                                           {"_hls_line", {"--link", "5", "--latency", "0.05"}}}) {
            HlsSource hls(source.stream(), line);
            if (!hls.ok()) {
                std::fprintf(stderr, "the HLS server does not start\n");
                break;
            }
            auto url = [&hls](int i) { return hls.url(i); };
            report(suffix, zap(url, false, ours, count));
            report(suffix + "_default", zap(url, true, {}, count));
            for (const QString& delay : option("--hls-delays", "").split(u',', Qt::SkipEmptyParts))
                report(suffix + "_livedelay" + delay.toUtf8(),
                       zap(url, false, QStringList(ours) << ":adaptive-livedelay=" + delay, count));
        }
    }

    // Network caching: the clean source as above, one that sends at the stream's own pace
    // from the first byte (no burst), and that one stalling now and then for up to 1 s.
    LiveSource paced(QStringLiteral(ZENTUVO_LIVE_SERVER), paths, 0.0, 0.0);
    LiveSource stalling(QStringLiteral(ZENTUVO_LIVE_SERVER), paths, 1.0, 0.0);
    for (const int caching : parts.contains("sweep") ? cachings : std::vector<int>()) {
        const QStringList options = QStringList(ours)
                                    << QStringLiteral(":network-caching=%1").arg(caching);
        const QByteArray suffix = "_caching" + QByteArray::number(caching);
        const Zaps burst = zap(ts(source), false, options, sweepCount);
        print(("zap_playing_ms" + suffix).constData(), median(burst.playing), "ms");
        print(("zap_first_frame_ms" + suffix).constData(), median(burst.firstFrame), "ms");
        print(("zap_moving_ms" + suffix).constData(), median(burst.moving), "ms");
        const Zaps steady = zap(ts(paced), false, options, sweepCount);
        print(("zap_playing_ms_paced" + suffix).constData(), median(steady.playing), "ms");
        print(("zap_first_frame_ms_paced" + suffix).constData(), median(steady.firstFrame), "ms");
        print(("zap_moving_ms_paced" + suffix).constData(), median(steady.moving), "ms");
        double displayed = 0, lost = 0;
        int runs = 0;
        for (int run = 0; run < jitterRuns; ++run) {
            const Smoothness jitter = underJitter(stalling, options, 10);
            if (jitter.displayed < 0 || jitter.lost < 0) {
                std::fprintf(stderr, "jitter run %d did not start\n", run);
                continue;
            }
            displayed += jitter.displayed;
            lost += jitter.lost;
            ++runs;
        }
        print(("jitter_displayed_pictures" + suffix).constData(), runs ? displayed / runs : -1,
              "pictures");
        print(("jitter_lost_pictures" + suffix).constData(), runs ? lost / runs : -1, "pictures");
    }

    // Memory: a main player and a preview playing into a window, as in the main window.
    if (parts.contains("rss")) {
        print("rss_mb_before_players", residentMegabytes(), "MB");
        VlcPlayer main;
        VlcPlayer preview;
        QWidget window;
        auto* layout = new QHBoxLayout(&window);
        auto* mainView = new VideoView;
        auto* previewView = new VideoView;
        layout->addWidget(mainView, 3);
        layout->addWidget(previewView, 1);
        mainView->setPlayer(&main);
        previewView->setPlayer(&preview);
        window.resize(960, 400);
        window.show();
        QApplication::processEvents();
        preview.setVolume(0);
        main.playItem(main.playlistAdd(source.url("/a.ts"), QStringLiteral("TEST"), ours));
        preview.playItem(preview.playlistAdd(source.url("/b.ts"), QStringLiteral(" "), {kAgent}));
        waitFor([&] {
            return main.state() == PlayerState::Playing && preview.state() == PlayerState::Playing;
        });
        settle(3000);
        print("rss_mb", residentMegabytes(), "MB");
    }
    return 0;
}
