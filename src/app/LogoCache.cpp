#include "app/LogoCache.h"

#include "app/HttpStatus.h"

#include <QFile>
#include <QFutureWatcher>
#include <QNetworkAccessManager>
#include <QNetworkDiskCache>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>
#include <QtConcurrent/QtConcurrentRun>

namespace zentuvo {

namespace {

// The logo in bytes (or, with bytes empty, in the file at path), scaled down to fit
// kMaxSide; a null image when it is no picture. A few milliseconds for a large PNG: run on
// a pool thread.
QImage readLogo(const QByteArray& bytes, const QString& path) {
    QImage image;
    if (!path.isEmpty())
        image.load(path);
    else
        image.loadFromData(bytes);
    if (image.isNull())
        return {};
    if (image.width() > LogoCache::kMaxSide || image.height() > LogoCache::kMaxSide)
        image = image.scaled(LogoCache::kMaxSide, LogoCache::kMaxSide, Qt::KeepAspectRatio,
                             Qt::SmoothTransformation);
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// The local file an address names; "" for an address of another kind.
QString localPath(const QString& address) {
    const QUrl url(address);
    if (url.isLocalFile())
        return url.toLocalFile();
    // No scheme, or a drive letter.
    return url.scheme().size() <= 1 ? address : QString();
}

} // namespace

LogoCache::LogoCache(const QString& folder, const QString& userAgent, QObject* parent)
    : QObject(parent), network_(new QNetworkAccessManager(this)),
      disk_(new QNetworkDiskCache(this)), userAgent_(userAgent) {
    disk_->setCacheDirectory(folder);
    disk_->setMaximumCacheSize(kDefaultDiskSize);
    network_->setCache(disk_);
    network_->setTransferTimeout(int(kTimeout.count()));
}

LogoCache::~LogoCache() = default;

void LogoCache::setMaximumDiskSize(qint64 bytes) {
    disk_->setMaximumCacheSize(bytes);
}

QImage LogoCache::logo(const QString& address) {
    if (address.isEmpty())
        return {};
    if (const auto it = images_.constFind(address); it != images_.cend())
        return *it;
    if (!failed_.contains(address) && !wanted_.contains(address)) {
        wanted_.insert(address);
        queue_.push_back(address);
        startNext();
    }
    return {};
}

void LogoCache::startNext() {
    while (running_ < kMaxFetches && !queue_.empty()) {
        const QString address = queue_.front();
        queue_.pop_front();
        ++running_;
        fetch(address);
    }
}

void LogoCache::fetch(const QString& address) {
    if (const QString path = localPath(address); !path.isEmpty()) {
        decode(address, {}, path);
        return;
    }
    const QUrl url(address);
    const QString scheme = url.scheme().toLower();
    if (scheme != u"http" && scheme != u"https") {
        finish(address, {});
        return;
    }
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, userAgent_);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    // A logo once downloaded is taken from the disk, however old (the server is asked only
    // should its copy have gone in the meantime).
    const bool onDisk = disk_->metaData(url).isValid();
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         onDisk ? QNetworkRequest::AlwaysCache : QNetworkRequest::PreferNetwork);
    QNetworkReply* reply = network_->get(request);
    connect(reply, &QNetworkReply::finished, this, [this, reply, address, onDisk] {
        reply->deleteLater();
        if (onDisk && reply->error() == QNetworkReply::ContentNotFoundError) {
            disk_->remove(reply->url());
            fetch(address);
            return;
        }
        const int status = httpStatus(reply);
        if (reply->error() != QNetworkReply::NoError || status < 200 || status >= 300) {
            finish(address, {});
            return;
        }
        decode(address, reply->readAll(), {});
    });
}

void LogoCache::decode(const QString& address, QByteArray bytes, const QString& path) {
    auto* watcher = new QFutureWatcher<QImage>(this);
    connect(watcher, &QFutureWatcher<QImage>::finished, this, [this, watcher, address] {
        watcher->deleteLater();
        finish(address, watcher->result());
    });
    watcher->setFuture(QtConcurrent::run(readLogo, std::move(bytes), path));
}

void LogoCache::finish(const QString& address, const QImage& image) {
    --running_;
    wanted_.remove(address);
    if (image.isNull()) {
        failed_.insert(address);
        emit logoFailed(address);
    } else {
        images_.insert(address, image);
        emit logoReady(address);
    }
    startNext();
}

} // namespace zentuvo
