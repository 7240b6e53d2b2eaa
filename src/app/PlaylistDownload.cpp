#include "app/PlaylistDownload.h"

#include "app/HttpStatus.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <utility>

namespace zentuvo {

namespace {

bool isRedirectStatus(int status) {
    return status >= 300 && status < 400;
}

constexpr qint64 kReadAhead = 256 * 1024;

} // namespace

PlaylistDownload::PlaylistDownload(const QString& userAgent, QObject* parent)
    : QObject(parent), userAgent_(userAgent), network_(new QNetworkAccessManager(this)) {
    connectTimer_.setSingleShot(true);
    idleTimer_.setSingleShot(true);
    connect(&connectTimer_, &QTimer::timeout, this, [this] {
        fail(Failure::ConnectTimeout,
             QStringLiteral("no response headers within %1 ms").arg(connectTimeout_.count()));
    });
    connect(&idleTimer_, &QTimer::timeout, this, [this] {
        fail(Failure::IdleTimeout, QStringLiteral("no data for %1 ms").arg(idleTimeout_.count()));
    });
}

PlaylistDownload::~PlaylistDownload() {
    QNetworkReply* reply = takeReply(); // no signal of ours from here on
    if (reply && !reply->isFinished())
        reply->abort();
}

void PlaylistDownload::start(const QUrl& address) {
    cancel();
    running_ = true;
    const quint64 generation = ++generation_;
    body_.clear();
    total_ = -1;

    const QString scheme = address.scheme().toLower();
    if (!address.isValid() || address.host().isEmpty() ||
        (scheme != u"http" && scheme != u"https")) {
        const QString detail =
            QStringLiteral("not an http or https address: ") + address.toDisplayString();
        QTimer::singleShot(0, this, [this, generation, detail] {
            if (generation == generation_)
                fail(Failure::Network, detail);
        });
        return;
    }

    QNetworkRequest request(address);
    request.setHeader(QNetworkRequest::UserAgentHeader, userAgent_);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(maxRedirects_);
    reply_ = network_->get(request);
    // Qt reads ahead of us no further than this, so the size limit is checked as bytes come.
    reply_->setReadBufferSize(kReadAhead);
    connect(reply_, &QNetworkReply::metaDataChanged, this, &PlaylistDownload::onMetaData);
    connect(reply_, &QNetworkReply::readyRead, this, &PlaylistDownload::onReadyRead);
    connect(reply_, &QNetworkReply::redirected, this, &PlaylistDownload::onRedirected);
    connect(reply_, &QNetworkReply::finished, this, &PlaylistDownload::onReplyFinished);
    waitForHeaders();
}

void PlaylistDownload::cancel() {
    if (running_)
        fail(Failure::Cancelled, QString());
}

void PlaylistDownload::waitForHeaders() {
    idleTimer_.stop();
    connectTimer_.start(connectTimeout_);
}

void PlaylistDownload::onMetaData() {
    const int status = httpStatus(reply_);
    if (isRedirectStatus(status))
        return; // followed (onRedirected) or refused (onReplyFinished)
    connectTimer_.stop();
    idleTimer_.start(idleTimeout_);
    if (status >= 400) {
        fail(Failure::HttpStatus, httpStatusText(reply_));
        return;
    }
    const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > sizeLimit_) {
        fail(Failure::TooLarge, QStringLiteral("announced %1 bytes, the limit is %2")
                                    .arg(length.toLongLong())
                                    .arg(sizeLimit_));
        return;
    }
    // A compressed body's length says nothing of the bytes it unpacks to.
    const QByteArray coding = reply_->rawHeader("Content-Encoding").trimmed().toLower();
    total_ =
        length.isValid() && (coding.isEmpty() || coding == "identity") ? length.toLongLong() : -1;
}

void PlaylistDownload::onReadyRead() {
    if (isRedirectStatus(httpStatus(reply_))) {
        reply_->readAll(); // the body of a redirect
        return;
    }
    idleTimer_.start(idleTimeout_);
    if (!takeBytes())
        return;
    emit progress(body_.size(), total_);
}

bool PlaylistDownload::takeBytes() {
    body_ += reply_->readAll();
    if (body_.size() <= sizeLimit_)
        return true;
    fail(Failure::TooLarge, QStringLiteral("more than %1 bytes").arg(sizeLimit_));
    return false;
}

void PlaylistDownload::onRedirected() {
    body_.clear();
    total_ = -1;
    waitForHeaders(); // a new request to the next address
}

void PlaylistDownload::onReplyFinished() {
    const int status = httpStatus(reply_);
    if (reply_->error() != QNetworkReply::NoError) {
        if (status >= 400)
            fail(Failure::HttpStatus, httpStatusText(reply_));
        else
            fail(Failure::Network, reply_->errorString());
        return;
    }
    if (status < 200 || status >= 300) {
        fail(Failure::HttpStatus, httpStatusText(reply_));
        return;
    }
    if (!takeBytes())
        return;
    const QUrl finalAddress = reply_->url();
    takeReply();
    running_ = false;
    emit finished(std::exchange(body_, {}), finalAddress);
}

void PlaylistDownload::fail(Failure reason, const QString& detail) {
    if (!running_)
        return;
    // Qt gives a reply with an HTTP error status its error itself: aborting it would report
    // a second one. Deleted (takeReply), it stops all the same.
    QNetworkReply* reply = takeReply();
    if (reply && !reply->isFinished() && httpStatus(reply) < 400)
        reply->abort();
    running_ = false;
    body_.clear();
    emit failed(reason, detail);
}

QNetworkReply* PlaylistDownload::takeReply() {
    connectTimer_.stop();
    idleTimer_.stop();
    QNetworkReply* reply = reply_;
    reply_ = nullptr;
    if (reply) {
        reply->disconnect(this);
        reply->deleteLater();
    }
    return reply;
}

} // namespace zentuvo
