#pragma once

#include "data/ChannelHealth.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <chrono>

class QNetworkAccessManager;
class QNetworkReply;

namespace zentuvo {

// What one check asks: the stream's address and the headers playback sends with it.
struct StreamCheckRequest {
    QString address;
    QString userAgent; // "" for the program's own (programUserAgent())
    QString referrer;  // "" for none
};

// Checks whether one stream answers, asynchronously on the thread it lives on: start() returns
// at once, exactly one finished() follows (none after abort() or destruction).
//
// HTTP(S): a HEAD; when the server refuses it (405, 501, a 4xx other than 403, 404, 410,
// 451) or says nothing useful (no content type, or an HTML page), a GET of the first 4 KiB.
// A playlist (#EXTM3U, or an mpegurl content type) is read whole: a master playlist leads to
// its first variant, a media playlist to its newest segment, whose first 4 KiB are asked for.
// Redirects are followed, at most kMaxRedirects per request; a loop or one more is offline.
// The whole check, every request included, has one timeout. Other schemes (rtmp, rtsp, udp,
// …) cannot be checked.
//
// Offline needs an answer that says so (an HTTP error, a refused connection, a name the name
// server says does not exist, a playlist without media, a failing segment). A timeout or
// trouble on our side (no route, no name server, TLS, the network down, a connection closed
// without an answer) is CouldNotCheck.
class StreamCheck : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kDefaultTimeout{10000};
    static constexpr int kMaxRedirects = 5;
    static constexpr qint64 kProbeBytes = 4096;
    static constexpr qint64 kPlaylistLimit = 1024 * 1024;

    // network: shared with other checks (not owned); nullptr gives each check a network
    // access of its own, dropped when the check ends, so that its connections close (a
    // shared one keeps them for its owner); closed() says when they have.
    explicit StreamCheck(QNetworkAccessManager* network = nullptr, QObject* parent = nullptr);
    ~StreamCheck() override;

    void setTimeout(std::chrono::milliseconds timeout) { timeout_ = timeout; }
    std::chrono::milliseconds timeout() const { return timeout_; }

    bool isRunning() const { return running_; }

    // Checks the stream; a check still running is aborted first. The result of an address
    // that cannot be checked also comes from the event loop, never inside start().
    void start(const StreamCheckRequest& request);
    // Stops the running check at once, its requests aborted; no finished().
    void abort();
    // The last check's own network access is still being dropped: its connections may be open.
    bool isClosing() const { return closing_ > 0; }

signals:
    void finished(const zentuvo::ChannelHealth& result);
    // The connections of a check that had a network access of its own are closed (some time
    // after its end).
    void closed();

private:
    enum class Step { Head, Probe, Playlist, Segment };

    // redirected: the next address of the current request's chain, not a new request.
    void send(Step step, const QUrl& url, bool redirected = false);
    void onMetaData();
    void onReadyRead();
    void onReplyFinished();
    bool followRedirect();
    void onAnswer();
    void onHeadAnswer();
    void onBody(bool complete);
    void readPlaylist(bool complete);
    void onHttpError(int status);
    void onNetworkError();
    void confirmNoHost();
    void finish(HealthState state, const QString& reasonKey, const QString& argument = {});
    void dropReply();

    QNetworkAccessManager* network_; // null between checks when owned
    bool ownsNetwork_;
    int closing_ = 0; // own network accesses dropped and not yet destroyed
    std::chrono::milliseconds timeout_ = kDefaultTimeout;
    QTimer timer_;
    StreamCheckRequest request_;
    QPointer<QNetworkReply> reply_;
    Step step_ = Step::Head;
    QUrl url_;              // what the current request asked for (after redirects)
    QSet<QUrl> visited_;    // the addresses of the current request's redirect chain
    int playlistDepth_ = 0; // playlists read so far (a master leads to a media playlist)
    QByteArray body_;
    bool answered_ = false; // the current reply's headers have been looked at
    bool running_ = false;
    int lookupId_ = -1;      // the name lookup that tells a missing name from no name server
    quint64 generation_ = 0; // tells this check's queued answers from a later one's
};

} // namespace zentuvo
