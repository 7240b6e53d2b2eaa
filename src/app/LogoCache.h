#pragma once

#include <QHash>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QString>
#include <chrono>
#include <deque>

class QNetworkAccessManager;
class QNetworkDiskCache;

namespace zentuvo {

// Channel logos by address (an http(s) address or a local file), for the lists and the guide
// to paint. logo() answers at once from memory; a logo not there yet is fetched in the
// background (downloads on the thread the cache lives on, at most kMaxFetches at once, each
// given up after kTimeout; decoding and scaling on a pool thread) and logoReady() says when it
// has come. Downloads are kept on disk in a folder of their own (files named by a hash of the
// address, the oldest dropped once the folder passes its size), so that the next session finds
// them there without asking the server again. An address that failed is not tried again while
// the cache lives. Nothing here waits.
class LogoCache : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxFetches = 4;
    static constexpr std::chrono::milliseconds kTimeout{10000};
    static constexpr qint64 kDefaultDiskSize = 50 * 1024 * 1024;
    // Logos are kept scaled to fit a square this many pixels wide, their aspect kept.
    static constexpr int kMaxSide = 64;

    // folder: where the downloads are kept (made when needed); userAgent: what requests send.
    LogoCache(const QString& folder, const QString& userAgent, QObject* parent = nullptr);
    ~LogoCache() override;

    void setMaximumDiskSize(qint64 bytes);

    // The logo at address, when in memory; else a null image, and it is fetched unless it is
    // on its way or failed before. "" gives a null image.
    QImage logo(const QString& address);
    bool hasFailed(const QString& address) const { return failed_.contains(address); }
    // Fetches under way and waiting.
    int pending() const { return running_ + int(queue_.size()); }

signals:
    void logoReady(const QString& address);
    void logoFailed(const QString& address);

private:
    void startNext();
    void fetch(const QString& address);
    void decode(const QString& address, QByteArray bytes, const QString& path);
    void finish(const QString& address, const QImage& image);

    QNetworkAccessManager* network_;
    QNetworkDiskCache* disk_;
    QString userAgent_;
    QHash<QString, QImage> images_;
    QSet<QString> failed_;
    QSet<QString> wanted_; // waiting or under way
    std::deque<QString> queue_;
    int running_ = 0;
};

} // namespace zentuvo
