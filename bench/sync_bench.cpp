// sync_bench: a long session of live MPEG-TS from a sender whose clock drifts, with sound and
// picture checked against each other and against the sender.
//
//   sync_bench [--minutes 60] [--ppm 100,-100] [--options ":option|:option"] [--csv FILE]
//              [--stream FILE]
//
// Makes (once; --stream keeps it for the next run) a stream of constant bit rate that is dark
// with a bright picture at each whole second (four brightnesses in turn), silent with a 1 kHz
// tone starting at the same moment. Serves it with tests/playback_live_server.py once per --ppm
// value, each sender's clock that many parts per million fast, and plays each in a player of ours
// (our options, plus --options) for --minutes, all at once. The player takes picture and sound into
// memory and notes when each bright picture was handed to the screen and when each tone was due to
// play (playback/PlayerProbe.h). Per minute and sender it writes to --csv
//   minute,ppm,lipsync_ms,drift_ms,lost,rebuffers,lead_ms,rate
// lipsync_ms: the picture less the tone (mean of the minute); drift_ms: when the picture came
// against when the sender sent it, less the same in the first minute (grows when the player's
// buffer grows, falls when it drains); lost: pictures lost so far; rebuffers: times so far the
// player went back to buffering (its buffer ran dry); lead_ms: the stream our reading holds
// for the player at the minute's end, in ms; rate: the rate the player plays at to keep that
// lead near where it settled (playback/DriftSteer.h). At the end prints, per
// sender (_fast for ppm > 0, _slow for ppm < 0, _ppm0 otherwise):
//   sync_lipsync_max_ms_<s>   the largest lip-sync error of a minute, either way
//   sync_drift_end_ms_<s>     drift_ms of the last minute
//   sync_drift_span_ms_<s>    the largest less the smallest drift_ms of all minutes
//   sync_lost_pictures_<s>    sync_rebuffers_<s> (times the player went back to buffering)
#include "bench_support.h"
#include "local_http_server.h"
#include "playback/PlayerProbe.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

using namespace zentuvo;
using namespace zentuvo::bench;

namespace {

constexpr int kMuxBitsPerSecond = 300000;
// The mark of second k is a picture of brightness 150 + 28 * (k mod 4) (of 16-235); drawn
// into the probe's memory with its padding rows, it measures about this much.
constexpr double kFirstLevel = 146;
constexpr double kLevelStep = 30.5;

const QString kAgent =
    QStringLiteral(":http-user-agent=Mozilla/5.0 (X11; U; Linux i686; en-US; rv:1.9.0.6) "
                   "Gecko/2009020911 Ubuntu/8.10 (intrepid) Firefox/3.0.6");

bool makeStream(const QString& file, int seconds) {
    if (QFileInfo(file).size() >= qint64(seconds) * kMuxBitsPerSecond / 8)
        return true;
    QProcess ffmpeg;
    ffmpeg.setProcessChannelMode(QProcess::ForwardedChannels);
    ffmpeg.start(
        QStringLiteral("ffmpeg"),
        {"-hide_banner",
         "-loglevel",
         "error",
         "-y",
         "-f",
         "lavfi",
         "-i",
         "color=c=black:s=160x90:r=25,geq=lum='if(lt(mod(N\\,25)\\,1)\\,150+28*mod(floor(N/"
         "25)\\,4)\\,16)':"
         "cb=128:cr=128",
         "-f",
         "lavfi",
         "-i",
         "aevalsrc='if(lt(mod(n\\,48000)\\,1920)\\,0.8*sin(2*PI*1000*t)\\,0)':s=48000:c=mono",
         "-t",
         QString::number(seconds),
         "-c:v",
         "libx264",
         "-preset",
         "ultrafast",
         "-g",
         "25",
         "-pix_fmt",
         "yuv420p",
         "-c:a",
         "mp2",
         "-b:a",
         "64k",
         "-muxrate",
         QString::number(kMuxBitsPerSecond),
         "-f",
         "mpegts",
         file});
    return ffmpeg.waitForFinished(-1) && ffmpeg.exitCode() == 0;
}

// One drifting sender and the player watching it.
struct Session {
    double ppm = 0;
    std::unique_ptr<test::LocalHttpServer> server;
    ProbedPlayer player;
    int rebuffers = 0;
    PlayerState last = PlayerState::Idle;
    qint64 firstPicture = -1; // µs
    qint64 lastPicture = -1;
    qint64 startedAt = -1;
    double second = 0;      // of the sender
    double firstSecond = 0; // of the first picture counted
    double firstMinuteDrift = NAN;
    std::vector<double> lipsync, drift; // of the minute running
    double worstLipsync = 0, driftMin = INFINITY, driftMax = -INFINITY, lastDrift = 0;
    std::vector<qint64> tones; // not yet paired

    QString suffix() const { return ppm > 0 ? "_fast" : ppm < 0 ? "_slow" : "_ppm0"; }

    // Pairs each bright picture with the tone nearest to it, and places it against the
    // sender's clock: the sender sends second k at k / (1 + ppm) of real time.
    void take() {
        SyncMarks marks = player.probe->takeSyncMarks();
        tones.insert(tones.end(), marks.tones.begin(), marks.tones.end());
        const double senderSecond = 1e6 / (1.0 + ppm / 1e6);
        for (std::size_t i = 0; i < marks.pictures.size(); ++i) {
            const qint64 picture = marks.pictures[i];
            // The first picture is shown at once and then stands until the clock reaches
            // it: the count starts with the pictures of the running stream.
            if (startedAt < 0)
                startedAt = picture;
            if (picture - startedAt < 5000000)
                continue;
            // Which second of the sender this is: its brightness gives it modulo 4, the time
            // since the last one says which of those (a pause of the player or a drift of
            // up to two seconds stays unambiguous).
            const int level = marks.levels[i];
            const int mod4 = std::clamp(int(std::lround((level - kFirstLevel) / kLevelStep)), 0, 3);
            if (firstPicture < 0) {
                firstPicture = picture;
                firstSecond = second = mod4;
            } else {
                const double guess = second + double(picture - lastPicture) / senderSecond;
                const double base = std::floor((guess - mod4) / 4.0 + 0.5) * 4.0;
                second = base + mod4;
            }
            lastPicture = picture;
            drift.push_back(
                (double(picture - firstPicture) - (second - firstSecond) * senderSecond) / 1000.0);
            qint64 nearest = -1;
            for (const qint64 tone : tones) {
                if (nearest < 0 || std::llabs(tone - picture) < std::llabs(nearest - picture))
                    nearest = tone;
            }
            if (nearest >= 0 && std::llabs(nearest - picture) < 500000)
                lipsync.push_back(double(picture - nearest) / 1000.0);
            std::erase_if(tones, [picture](qint64 t) { return t < picture - 2000000; });
        }
    }

    static double mean(const std::vector<double>& v) {
        double sum = 0;
        for (const double x : v)
            sum += x;
        return v.empty() ? NAN : sum / double(v.size());
    }

    void endMinute(int minute, QFile& csv) {
        const double sync = mean(lipsync);
        double minuteDrift = mean(drift);
        if (std::isnan(firstMinuteDrift))
            firstMinuteDrift = minuteDrift;
        minuteDrift -= firstMinuteDrift;
        if (!std::isnan(sync))
            worstLipsync = std::max(worstLipsync, std::abs(sync));
        if (!std::isnan(minuteDrift)) {
            driftMin = std::min(driftMin, minuteDrift);
            driftMax = std::max(driftMax, minuteDrift);
            lastDrift = minuteDrift;
        }
        const LiveLead lead = player.probe->liveLead();
        csv.write(QStringLiteral("%1,%2,%3,%4,%5,%6,%7,%8\n")
                      .arg(minute)
                      .arg(ppm)
                      .arg(sync, 0, 'f', 1)
                      .arg(minuteDrift, 0, 'f', 1)
                      .arg(player.probe->lostPictures())
                      .arg(rebuffers)
                      .arg(lead.leadMs, 0, 'f', 0)
                      .arg(lead.rate, 0, 'f', 4)
                      .toUtf8());
        csv.flush();
        lipsync.clear();
        drift.clear();
    }
};

void print(const QString& name, double value, const char* unit) {
    std::printf("%s %.1f %s\n", qPrintable(name), value, unit);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    auto option = [&](const char* name, const QString& fallback) {
        const qsizetype i = args.indexOf(QLatin1String(name));
        return i >= 0 && i + 1 < args.size() ? args[i + 1] : fallback;
    };
    const int minutes = std::max(2, option("--minutes", "60").toInt());
    QTemporaryDir dir;
    const QString stream = option("--stream", dir.filePath(QStringLiteral("sync.ts")));
    // A little more stream than the session, so the sender never starts the file over.
    if (!makeStream(stream, minutes * 60 + 120)) {
        std::fprintf(stderr, "ffmpeg does not make the stream\n");
        return 1;
    }
    const qint64 size = QFileInfo(stream).size() / 188 * 188;
    const double seconds = double(size) * 8 / kMuxBitsPerSecond;
    QStringList options{kAgent, QStringLiteral(":no-video-title-show")};
    options << option("--options", "").split(u'|', Qt::SkipEmptyParts);
    QFile csv(option("--csv", dir.filePath(QStringLiteral("sync.csv"))));
    if (!csv.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 1;
    csv.write("minute,ppm,lipsync_ms,drift_ms,lost,rebuffers,lead_ms,rate\n");

    std::vector<std::unique_ptr<Session>> sessions;
    for (const QString& ppm : option("--ppm", "100,-100").split(u',', Qt::SkipEmptyParts)) {
        auto s = std::make_unique<Session>();
        s->ppm = ppm.toDouble();
        s->server = std::make_unique<test::LocalHttpServer>(
            QStringLiteral(ZENTUVO_LIVE_SERVER),
            QStringList{"--file", stream, "--duration", QString::number(seconds, 'f', 6), "--path",
                        "/live.ts", "--drift-ppm", ppm});
        if (s->server->port() == 0) {
            std::fprintf(stderr, "the stream server does not start\n");
            return 1;
        }
        PlayerProbeOptions probe;
        probe.pictureProbe = true;
        probe.syncProbe = true;
        s->player = createProbedVlcPlayer(probe);
        Session* raw = s.get();
        QObject::connect(s->player.player.get(), &Player::stateChanged, [raw](PlayerState state) {
            if (state == PlayerState::Buffering && raw->last == PlayerState::Playing)
                ++raw->rebuffers;
            raw->last = state;
        });
        Player& player = *s->player.player;
        player.playItem(player.playlistAdd(s->server->url(QStringLiteral("/live.ts")).toString(),
                                           QStringLiteral("SYNC"), options));
        sessions.push_back(std::move(s));
    }

    for (int minute = 1; minute <= minutes; ++minute) {
        for (int step = 0; step < 60; ++step) {
            waitFor([] { return false; }, 1000);
            for (auto& s : sessions)
                s->take();
        }
        for (auto& s : sessions)
            s->endMinute(minute, csv);
    }
    for (auto& s : sessions) {
        print("sync_lipsync_max_ms" + s->suffix(), s->worstLipsync, "ms");
        print("sync_drift_end_ms" + s->suffix(), s->lastDrift, "ms");
        print("sync_drift_span_ms" + s->suffix(), s->driftMax - s->driftMin, "ms");
        print("sync_lost_pictures" + s->suffix(), s->player.probe->lostPictures(), "pictures");
        print("sync_rebuffers" + s->suffix(), s->rebuffers, "times");
        s->player.player->stop();
        s->server.reset();
    }
    return 0;
}
