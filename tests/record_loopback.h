#pragma once

#include "local_http_server.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

namespace zentuvo::test {

// A transport stream made with ffmpeg (320x240 MPEG-2 video, MP2 sound) for the given number
// of seconds; made once per process and duration. "" when ffmpeg failed.
QString makeTestStream(int seconds);

// The live-like loopback source of playback_live_server.py over makeTestStream: "/live.ts"
// plays on, "/ends.ts" ends after `endAfter` seconds, anything else answers 404.
class LoopbackStream {
public:
    explicit LoopbackStream(int seconds = 40, double endAfter = 2.0);
    bool ok() const { return server_ && server_->port() > 0; }
    QString error() const { return error_; }
    // "http://127.0.0.1:PORT" + path.
    QString url(const QString& path) const { return server_->url(path).toString(); }
    // One line per request: "path<TAB>user-agent<TAB>referer".
    QStringList requests() const { return server_ ? server_->requests() : QStringList(); }

private:
    std::unique_ptr<LocalHttpServer> server_;
    QString error_;
};

// A player install folder whose "vlc" runs the real player; as root (which the player
// refuses) it runs it as the user nobody. Its output folder is writable by that user.
// Both folder names hold blanks.
class PlayerFolder {
public:
    PlayerFolder();
    QString installDir() const { return installDir_; }
    QString outputDir() const { return outputDir_; }

private:
    QTemporaryDir root_;
    QString installDir_;
    QString outputDir_;
};

// The streams ffprobe finds in a file ("video", "audio", ...); empty for an invalid file.
// *errors receives what ffprobe printed as errors.
QStringList probeStreams(const QString& file, QString* errors = nullptr);

} // namespace zentuvo::test
