#include "app/GuideRefresh.h"

#include "app/HttpStatus.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTemporaryFile>
#include <QtConcurrent/QtConcurrentRun>

namespace zentuvo {

GuideRefresh::GuideRefresh(const QString& userAgent, QObject* parent)
    : QObject(parent), userAgent_(userAgent), network_(new QNetworkAccessManager(this)) {
    idleTimer_.setSingleShot(true);
    connect(&idleTimer_, &QTimer::timeout, this, [this] {
        fail(QStringLiteral("nothing received for %1 s").arg(idleTimeout_.count() / 1000));
    });
    connect(&watcher_, &QFutureWatcher<GuideImportOutcome>::finished, this, [this] {
        if (importing_)
            done(watcher_.result());
    });
}

GuideRefresh::~GuideRefresh() {
    if (cancel_)
        cancel_->store(true);
    dropReply();
    watcher_.disconnect(this);
    watcher_.waitForFinished();
}

void GuideRefresh::start(const QString& source, const GuideRefreshSetup& setup) {
    if (running_) {
        cancel();
        watcher_.waitForFinished();
        if (importing_)
            done(watcher_.result());
    }
    running_ = true;
    setup_ = setup;
    total_ = -1;
    cancel_ = std::make_shared<std::atomic_bool>(false);
    const QUrl url(source);
    const QString scheme = url.scheme().toLower();
    if (scheme != u"http" && scheme != u"https") {
        address_ = QFileInfo(source).absoluteFilePath();
        importFile(address_);
        return;
    }
    address_ = source;
    QDir().mkpath(setup.cacheFolder);
    download_ = std::make_unique<QTemporaryFile>(setup.cacheFolder +
                                                 QStringLiteral("/guide-XXXXXX.download"));
    if (!download_->open()) {
        fail(download_->errorString());
        return;
    }
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, userAgent_);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    reply_ = network_->get(request);
    connect(reply_, &QNetworkReply::readyRead, this, &GuideRefresh::onReadyRead);
    connect(reply_, &QNetworkReply::finished, this, &GuideRefresh::onReplyFinished);
    connect(reply_, &QNetworkReply::redirected, this, [this] {
        download_->resize(0); // what a redirect's answer carried
        download_->seek(0);
        total_ = -1;
    });
    idleTimer_.start(idleTimeout_);
}

void GuideRefresh::cancel() {
    if (!running_)
        return;
    cancel_->store(true);
    if (!importing_)
        fail(QStringLiteral("cancelled"), true);
}

void GuideRefresh::onReadyRead() {
    if (!reply_)
        return;
    idleTimer_.start(idleTimeout_);
    const int status = httpStatus(reply_);
    if (status >= 300 && status < 400) {
        reply_->readAll();
        return;
    }
    if (total_ < 0) {
        const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
        total_ = length.isValid() ? length.toLongLong() : -1;
    }
    const QByteArray bytes = reply_->readAll();
    if (download_->write(bytes) != bytes.size()) {
        fail(download_->errorString());
        return;
    }
    emit downloadProgress(download_->size(), total_);
}

void GuideRefresh::onReplyFinished() {
    if (!reply_)
        return;
    const int status = httpStatus(reply_);
    if (reply_->error() != QNetworkReply::NoError) {
        fail(status >= 400 ? httpStatusText(reply_) : reply_->errorString());
        return;
    }
    if (status < 200 || status >= 300) {
        fail(httpStatusText(reply_));
        return;
    }
    onReadyRead();
    if (!running_)
        return;
    dropReply();
    if (!download_->flush()) {
        fail(download_->errorString());
        return;
    }
    download_->close();
    importFile(download_->fileName());
}

void GuideRefresh::importFile(const QString& path) {
    importing_ = true;
    const qint64 total = QFileInfo(path).size();
    GuideImportOptions options;
    options.languages = setup_.languages;
    options.cancel = cancel_.get();
    options.progress = [this, total](qint64 read) {
        QMetaObject::invokeMethod(
            this, [this, read, total] { emit importProgress(read, total); }, Qt::QueuedConnection);
    };
    watcher_.setFuture(
        QtConcurrent::run([setup = setup_, address = address_, path, options, cancel = cancel_] {
            QFile file(path);
            file.open(QIODevice::ReadOnly); // a failure is the source's error
            return importGuide(setup.guideDb, address, file, setup.targets, options);
        }));
}

void GuideRefresh::fail(const QString& error, bool cancelled) {
    if (!running_ || importing_)
        return;
    dropReply();
    download_.reset();
    importing_ = true; // the failure is noted in the guide file off this thread
    watcher_.setFuture(
        QtConcurrent::run([guideDb = setup_.guideDb, address = address_, error, cancelled] {
            noteGuideFailure(guideDb, address, error);
            GuideImportOutcome outcome;
            outcome.error = error;
            outcome.cancelled = cancelled;
            return outcome;
        }));
}

void GuideRefresh::done(const GuideImportOutcome& outcome) {
    importing_ = false;
    running_ = false;
    download_.reset(); // removes the downloaded file
    emit finished(outcome);
}

void GuideRefresh::dropReply() {
    idleTimer_.stop();
    if (QNetworkReply* reply = reply_) {
        reply_ = nullptr;
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
}

} // namespace zentuvo
