#pragma once

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <chrono>

class QNetworkAccessManager;
class QNetworkReply;

namespace zentuvo {

// Downloads one playlist file over HTTP(S), asynchronously on the thread it lives on (the GUI
// thread): start() returns at once, the answer comes as exactly one finished() or failed()
// per start(). The whole body is kept in memory, up to the size limit. Destroyed while a
// download runs, it stops that download without a signal.
//
// Limits (each with its setter, for use before start()):
// - connect timeout: no response headers within it after a request is sent (every redirect
//   sends a new one);
// - idle timeout: once the headers are in, no body bytes for that long;
// - size limit: the Content-Length says more, or more bytes than that have come;
// - redirects: at most that many followed; none from https to http.
// Every request carries the user agent given.
class PlaylistDownload : public QObject {
    Q_OBJECT
public:
    enum class Failure {
        ConnectTimeout, // no response headers within the connect timeout
        IdleTimeout,    // the body stopped coming for the idle timeout
        TooLarge,       // larger than the size limit (announced or received)
        HttpStatus,     // the final answer is no success (detail: "404 Not Found")
        Network,        // no answer: unknown host, refused, TLS, too many or unsafe
                        // redirects, not an http(s) address (detail: Qt's error text)
        Cancelled,      // cancel(), or a new start() while one was running
    };
    Q_ENUM(Failure)

    static constexpr std::chrono::milliseconds kDefaultConnectTimeout{15000};
    static constexpr std::chrono::milliseconds kDefaultIdleTimeout{20000};
    static constexpr qint64 kDefaultSizeLimit = 200LL * 1024 * 1024;
    static constexpr int kDefaultMaxRedirects = 10;

    explicit PlaylistDownload(const QString& userAgent, QObject* parent = nullptr);
    ~PlaylistDownload() override;

    void setConnectTimeout(std::chrono::milliseconds timeout) { connectTimeout_ = timeout; }
    void setIdleTimeout(std::chrono::milliseconds timeout) { idleTimeout_ = timeout; }
    void setSizeLimit(qint64 bytes) { sizeLimit_ = bytes; }
    void setMaxRedirects(int count) { maxRedirects_ = count; }

    std::chrono::milliseconds connectTimeout() const { return connectTimeout_; }
    std::chrono::milliseconds idleTimeout() const { return idleTimeout_; }
    qint64 sizeLimit() const { return sizeLimit_; }
    int maxRedirects() const { return maxRedirects_; }
    QString userAgent() const { return userAgent_; }

    // From start() until its finished() or failed() has been emitted.
    bool isRunning() const { return running_; }

public slots:
    // Downloads the address. A download still running is cancelled first (its failed() with
    // Cancelled comes before this one starts). An address that is not http or https fails with
    // Network, from the event loop: never inside start().
    void start(const QUrl& address);
    // Stops the running download: failed() with Cancelled, at once. Nothing when none runs.
    void cancel();

signals:
    // Bytes of the body so far, and its announced size (-1 when unknown).
    void progress(qint64 received, qint64 total);
    // The body, and the address it came from after redirects (relative entries of the playlist
    // resolve against it).
    void finished(const QByteArray& body, const QUrl& finalAddress);
    // detail: technical English text for the log ("404 Not Found", Qt's error text, the limit
    // that was passed); empty for Cancelled.
    void failed(zentuvo::PlaylistDownload::Failure reason, const QString& detail);

private:
    void onMetaData();
    void onReadyRead();
    bool takeBytes();
    void onRedirected();
    void onReplyFinished();
    void waitForHeaders();
    void fail(Failure reason, const QString& detail);
    QNetworkReply* takeReply();

    QString userAgent_;
    std::chrono::milliseconds connectTimeout_ = kDefaultConnectTimeout;
    std::chrono::milliseconds idleTimeout_ = kDefaultIdleTimeout;
    qint64 sizeLimit_ = kDefaultSizeLimit;
    int maxRedirects_ = kDefaultMaxRedirects;

    QNetworkAccessManager* network_;
    QPointer<QNetworkReply> reply_;
    QTimer connectTimer_;
    QTimer idleTimer_;
    QByteArray body_;
    qint64 total_ = -1;
    bool running_ = false;
    quint64 generation_ = 0; // tells a refused address's queued failure from a later start
};

} // namespace zentuvo
