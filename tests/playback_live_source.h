#pragma once

// A live-like MPEG-TS source on 127.0.0.1 for the playback tests and the zap benchmark: the
// stream is made with ffmpeg, then served by playback_live_server.py.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <stdexcept>

namespace zentuvo::test {

class LiveSource {
public:
    static constexpr int kSeconds = 60;

    // Makes the stream and starts serving it under the given paths ("/alpha.ts"). A new
    // client gets a burst of that many seconds of stream at once; with a jitter, delivery
    // stalls now and then for up to that many seconds. More options of the server script
    // (its failing sources) go in as they are.
    LiveSource(const QString& serverScript, const QStringList& paths, double jitter = 0.0,
               double burst = 0.5, const QStringList& serverOptions = {}) {
        if (!dir_.isValid())
            throw std::runtime_error("no temporary folder");
        makeStream();
        QStringList args{serverScript, "--file", stream(),  "--duration", QString::number(kSeconds),
                         "--log",      log(),    "--joins", joins()};
        for (const QString& p : paths)
            args << "--path" << p;
        if (jitter > 0)
            args << "--jitter" << QString::number(jitter);
        args << "--burst" << QString::number(burst) << serverOptions;
        server_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        server_.start(QStringLiteral("python3"), args);
        if (!server_.waitForStarted(10000))
            throw std::runtime_error("python3 does not start");
        while (port_ == 0 && server_.waitForReadyRead(10000)) {
            const QByteArray line = server_.readLine().trimmed();
            if (line.startsWith("PORT "))
                port_ = line.mid(5).toInt();
        }
        if (port_ == 0)
            throw std::runtime_error("the stream server does not listen");
    }

    ~LiveSource() {
        server_.closeWriteChannel(); // the server ends when its input closes
        if (!server_.waitForFinished(3000)) {
            server_.kill();
            server_.waitForFinished(3000);
        }
    }

    int port() const { return port_; }
    QString url(const QString& path) const {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(path);
    }
    QString stream() const { return dir_.filePath(QStringLiteral("live.ts")); }
    QString log() const { return dir_.filePath(QStringLiteral("requests.log")); }
    // Where each client joined the broadcast: "path<TAB>byte of the file".
    QString joins() const { return dir_.filePath(QStringLiteral("joins.log")); }

    // The requests seen so far: "path<TAB>user-agent<TAB>referer".
    QStringList requests() const {
        QFile f(log());
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }

private:
    static bool hasEncoder(const QString& name) {
        QProcess p;
        p.start(QStringLiteral("ffmpeg"), {"-hide_banner", "-encoders"});
        p.waitForFinished(30000);
        return QString::fromUtf8(p.readAllStandardOutput()).contains(u' ' + name + u' ');
    }

    void makeStream() {
        // A one-second picture group, as television streams have.
        QStringList video{"-c:v", "mpeg2video", "-g", "25", "-b:v", "800k"};
        if (hasEncoder(QStringLiteral("libx264")))
            video = QStringList{"-c:v", "libx264", "-preset",  "ultrafast",
                                "-g",   "25",      "-pix_fmt", "yuv420p"};
        const QStringList audio = hasEncoder(QStringLiteral("aac"))
                                      ? QStringList{"-c:a", "aac", "-b:a", "64k"}
                                      : QStringList{"-c:a", "mp2", "-b:a", "128k"};
        QStringList args{"-hide_banner", "-loglevel",
                         "error",        "-y",
                         "-f",           "lavfi",
                         "-i",           "testsrc=size=320x240:rate=25",
                         "-f",           "lavfi",
                         "-i",           "sine=frequency=440:sample_rate=48000",
                         "-t",           QString::number(kSeconds)};
        args << video << audio << "-f"
             << "mpegts" << stream();
        QProcess ffmpeg;
        ffmpeg.setProcessChannelMode(QProcess::ForwardedChannels);
        ffmpeg.start(QStringLiteral("ffmpeg"), args);
        if (!ffmpeg.waitForFinished(120000) || ffmpeg.exitCode() != 0 ||
            QFile(stream()).size() < 100000)
            throw std::runtime_error("ffmpeg does not make the test stream");
    }

    QTemporaryDir dir_;
    QProcess server_;
    int port_ = 0;
};

} // namespace zentuvo::test
