// zap_bench: how fast a channel starts, and what two playing players cost in memory.
//
//   xvfb-run -a zap_bench [--zaps N] [--cachings 300,500,...] [--jitter-runs N]
//
// Serves a live-like MPEG-TS stream on 127.0.0.1 (made with ffmpeg) and zaps between two
// channels of it N times (10 by default), with our player options and with the player
// library's defaults. A zap is timed from playItem() to the Playing state and to the first
// picture handed to the screen (the library draws into memory for this). Prints medians:
//   zap_playing_ms <ms> ms                 zap_first_frame_ms <ms> ms
//   zap_playing_ms_default <ms> ms         zap_first_frame_ms_default <ms> ms
// then, per network caching value c, the same for our options with that caching, from
// this source and from one that sends at the stream's pace from the first byte, and the
// pictures shown and lost in the first 10 s from a source that stalls now and then for up to
// 1 s (mean of --jitter-runs runs; 250 pictures when nothing freezes):
//   zap_playing_ms_caching<c>, zap_first_frame_ms_caching<c>,
//   zap_playing_ms_paced_caching<c>, zap_first_frame_ms_paced_caching<c>,
//   jitter_displayed_pictures_caching<c>, jitter_lost_pictures_caching<c>
// and the resident memory with a main and a preview player playing (and before):
//   rss_mb <MB> MB                         rss_mb_before_players <MB> MB
#include "playback/VlcPlayer.h"
#include "playback_live_source.h"
#include "ui/main/VideoView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QHBoxLayout>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <optional>
#include <vector>

using namespace zentuvo;
using zentuvo::test::LiveSource;

namespace {

constexpr int kTimeoutMs = 20000;

const QString kAgent =
    QStringLiteral(":http-user-agent=Mozilla/5.0 (X11; U; Linux i686; en-US; rv:1.9.0.6) "
                   "Gecko/2009020911 Ubuntu/8.10 (intrepid) Firefox/3.0.6");

bool waitFor(const std::function<bool()>& done, int ms = kTimeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return true;
}

void settle(int ms) {
    waitFor([] { return false; }, ms);
}

double median(std::vector<double> values) {
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The 90th percentile (nearest rank).
double percentile90(std::vector<double> values) {
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<std::size_t>(std::ceil(0.9 * double(values.size())));
    return values[std::max<std::size_t>(rank, 1) - 1];
}

struct Zaps {
    std::vector<double> playing;
    std::vector<double> firstFrame;
};

// Zaps between two channels, timing each start.
Zaps zap(const LiveSource& source, bool libraryDefaults, const QStringList& options, int count) {
    VlcPlayerOptions config;
    config.pictureProbe = true;
    config.libraryDefaults = libraryDefaults;
    VlcPlayer player(config);
    Zaps out;
    for (int i = 0; i < count; ++i) {
        std::optional<qint64> playingAt, pictureAt;
        QElapsedTimer clock;
        const auto onState = QObject::connect(&player, &Player::stateChanged, [&](int s) {
            if (s == Player::Playing && !playingAt)
                playingAt = clock.elapsed();
        });
        const auto onPicture = QObject::connect(&player, &VlcPlayer::firstPicture, [&] {
            if (!pictureAt)
                pictureAt = clock.elapsed();
        });
        player.clear();
        const QString url = source.url(i % 2 ? QStringLiteral("/b.ts") : QStringLiteral("/a.ts"));
        clock.start();
        player.playItem(player.playlistAdd(url, QStringLiteral("TEST"), options));
        if (waitFor([&] { return playingAt && pictureAt; })) {
            out.playing.push_back(double(*playingAt));
            out.firstFrame.push_back(double(*pictureAt));
        } else {
            std::fprintf(stderr, "zap %d did not start (state %d)\n", i, player.inputState());
        }
        QObject::disconnect(onState);
        QObject::disconnect(onPicture);
        settle(500); // a moment of watching before the next zap
    }
    return out;
}

struct Smoothness {
    int displayed = -1;
    int lost = -1;
};

// Pictures shown and lost over some seconds of play from a source that stalls now and then.
Smoothness underJitter(const LiveSource& source, const QStringList& options, int seconds) {
    VlcPlayerOptions config;
    config.pictureProbe = true;
    VlcPlayer player(config);
    player.playItem(player.playlistAdd(source.url("/a.ts"), QStringLiteral("TEST"), options));
    if (!waitFor([&] { return player.inputState() == Player::Playing; }))
        return {};
    settle(seconds * 1000);
    return {player.displayedPictures(), player.lostPictures()};
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

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    auto option = [&](const char* name, const QString& fallback) {
        const qsizetype i = args.indexOf(QLatin1String(name));
        return i >= 0 && i + 1 < args.size() ? args[i + 1] : fallback;
    };
    const int count = std::max(1, option("--zaps", "10").toInt());
    const int jitterRuns = std::max(1, option("--jitter-runs", "1").toInt());
    std::vector<int> cachings;
    for (const QString& c : option("--cachings", "300,500,700,1000,1500").split(u','))
        cachings.push_back(c.toInt());
    const QStringList paths{"/a.ts", "/b.ts"};
    LiveSource source(QStringLiteral(ZENTUVO_LIVE_SERVER), paths);

    const QStringList ours{kAgent, QStringLiteral(":no-video-title-show")};
    const Zaps fast = zap(source, false, ours, count);
    print("zap_playing_ms", median(fast.playing), "ms");
    print("zap_first_frame_ms", median(fast.firstFrame), "ms");
    print("zap_playing_ms_p90", percentile90(fast.playing), "ms");
    print("zap_first_frame_ms_p90", percentile90(fast.firstFrame), "ms");
    const Zaps plain = zap(source, true, {}, count);
    print("zap_playing_ms_default", median(plain.playing), "ms");
    print("zap_first_frame_ms_default", median(plain.firstFrame), "ms");
    print("zap_playing_ms_default_p90", percentile90(plain.playing), "ms");
    print("zap_first_frame_ms_default_p90", percentile90(plain.firstFrame), "ms");

    // Network caching: the clean source as above, one that sends at the stream's own pace
    // from the first byte (no burst), and that one stalling now and then for up to 1 s.
    LiveSource paced(QStringLiteral(ZENTUVO_LIVE_SERVER), paths, 0.0, 0.0);
    LiveSource stalling(QStringLiteral(ZENTUVO_LIVE_SERVER), paths, 1.0, 0.0);
    for (const int caching : cachings) {
        const QStringList options = QStringList(ours)
                                    << QStringLiteral(":network-caching=%1").arg(caching);
        const QByteArray suffix = "_caching" + QByteArray::number(caching);
        const Zaps burst = zap(source, false, options, count);
        print(("zap_playing_ms" + suffix).constData(), median(burst.playing), "ms");
        print(("zap_first_frame_ms" + suffix).constData(), median(burst.firstFrame), "ms");
        const Zaps steady = zap(paced, false, options, count);
        print(("zap_playing_ms_paced" + suffix).constData(), median(steady.playing), "ms");
        print(("zap_first_frame_ms_paced" + suffix).constData(), median(steady.firstFrame), "ms");
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
    print("rss_mb_before_players", residentMegabytes(), "MB");
    {
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
            return main.inputState() == Player::Playing && preview.inputState() == Player::Playing;
        });
        settle(3000);
        print("rss_mb", residentMegabytes(), "MB");
    }
    return 0;
}
