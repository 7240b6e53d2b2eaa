#include "record_loopback.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QStandardPaths>
#include <unistd.h>

namespace zentuvo::test {

namespace {

QString sourceDir() {
    return QStringLiteral(ZENTUVO_RECORD_TEST_DIR);
}

} // namespace

QString makeTestStream(int seconds) {
    static QTemporaryDir dir;
    static QHash<int, QString> made;
    if (made.contains(seconds))
        return made[seconds];
    const QString file = dir.filePath(QStringLiteral("source_%1s.ts").arg(seconds));
    QProcess ffmpeg;
    QStringList args = QStringLiteral("-hide_banner -loglevel error -y -f lavfi -i "
                                      "testsrc=size=320x240:rate=25 -f lavfi -i "
                                      "sine=frequency=440:sample_rate=48000 -c:v mpeg2video "
                                      "-b:v 400k -g 25 -c:a mp2 -b:a 64k -f mpegts")
                           .split(u' ');
    args << "-t" << QString::number(seconds) << file;
    ffmpeg.start(QStringLiteral("ffmpeg"), args);
    const bool ok =
        ffmpeg.waitForFinished(120000) && ffmpeg.exitCode() == 0 && QFileInfo(file).size() > 0;
    made[seconds] = ok ? file : QString();
    return made[seconds];
}

LoopbackStream::LoopbackStream(int seconds, double endAfter) {
    const QString source = makeTestStream(seconds);
    if (source.isEmpty()) {
        error_ = QStringLiteral("ffmpeg could not make the test stream");
        return;
    }
    // /live.ts plays on; /ends.ts goes off the air for good after endAfter seconds;
    // /drops.ts drops every connection after endAfter seconds and takes the next one.
    server_ = std::make_unique<LocalHttpServer>(
        sourceDir() + QStringLiteral("/playback_live_server.py"),
        QStringList{"--file", source, "--duration", QString::number(seconds), "--path", "/live.ts",
                    "--once-path", "/ends.ts", "--end-path", "/drops.ts", "--end-after",
                    QString::number(endAfter)});
    if (server_->port() == 0)
        error_ = QStringLiteral("the stream server did not start");
}

PlayerFolder::PlayerFolder() {
    const QString root = root_.path();
    installDir_ = root + QStringLiteral("/player dir");
    outputDir_ = root + QStringLiteral("/Recorded here");
    const QString home = root + QStringLiteral("/home");
    QDir().mkpath(installDir_);
    QDir().mkpath(outputDir_);
    QDir().mkpath(home);
    const auto open = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                      QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther |
                      QFile::ExeOther;
    for (const QString& dir : {root, outputDir_, home})
        QFile::setPermissions(dir, open);

    const QString player = QStandardPaths::findExecutable(QStringLiteral("vlc"));
    QFile script(installDir_ + QStringLiteral("/vlc"));
    if (!script.open(QIODevice::WriteOnly))
        return;
    // The player will not run as root: the test machine's CI does.
    script.write(QStringLiteral("#!/bin/sh\n"
                                "if [ \"$(id -u)\" = 0 ]; then\n"
                                "  export HOME='%1'\n"
                                "  unset XDG_RUNTIME_DIR\n"
                                "  exec setpriv --reuid=nobody --regid=nogroup --clear-groups "
                                "'%2' \"$@\"\n"
                                "fi\n"
                                "exec '%2' \"$@\"\n")
                     .arg(home, player)
                     .toUtf8());
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                          QFile::ReadOther | QFile::ExeOther);
}

QStringList probeStreams(const QString& file, QString* errors) {
    QProcess probe;
    probe.start(QStringLiteral("ffprobe"), {"-v", "error", "-show_streams", file});
    probe.waitForFinished(60000);
    if (errors)
        *errors = QString::fromUtf8(probe.readAllStandardError()).trimmed();
    if (probe.exitCode() != 0)
        return {};
    QStringList kinds;
    const QStringList lines = QString::fromUtf8(probe.readAllStandardOutput()).split(u'\n');
    for (const QString& line : lines) {
        if (line.startsWith(QLatin1String("codec_type=")))
            kinds << line.mid(11).trimmed();
    }
    return kinds;
}

} // namespace zentuvo::test
