#include "app/StreamCheck.h"

#include "app/HttpStatus.h"
#include "app/Settings.h"

#include <QHostInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStringList>
#include <utility>

namespace zentuvo {

namespace {

// The media type without its parameters, in lower case ("" when none was sent).
QString contentType(const QNetworkReply* reply) {
    return reply->header(QNetworkRequest::ContentTypeHeader)
        .toString()
        .section(u';', 0, 0)
        .trimmed()
        .toLower();
}

bool isPlaylistType(const QString& type) {
    return type.contains(QLatin1String("mpegurl"));
}

bool isPlaylistPath(const QUrl& url) {
    const QString path = url.path().toLower();
    return path.endsWith(QLatin1String(".m3u8")) || path.endsWith(QLatin1String(".m3u"));
}

bool isHttp(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return scheme == u"http" || scheme == u"https";
}

QByteArray withoutLeadingBlanks(const QByteArray& body) {
    QByteArray text = body.left(64);
    if (text.startsWith("\xEF\xBB\xBF"))
        text.remove(0, 3);
    return text.trimmed();
}

bool looksLikePlaylist(const QByteArray& body) {
    return withoutLeadingBlanks(body).startsWith("#EXTM3U");
}

bool looksLikeWebPage(const QString& type, const QByteArray& body) {
    const QByteArray start = withoutLeadingBlanks(body).toLower();
    return type == u"text/html" || type == u"application/xhtml+xml" ||
           start.startsWith("<!doctype html") || start.startsWith("<html");
}

// A HEAD the server does not take: ask with a GET instead. 403, 404, 410 and 451 say
// something of the stream itself.
bool refusesHead(int status) {
    return status == 405 || status == 501 ||
           (status >= 400 && status < 500 && status != 403 && status != 404 && status != 410 &&
            status != 451);
}

// What a playlist leads to: the first variant of a master playlist, else its newest entry.
struct PlaylistNext {
    QString entry; // "" when the playlist has no media
    bool isVariant = false;
};

PlaylistNext nextOf(const QByteArray& body, bool complete) {
    QList<QByteArray> lines = body.split('\n');
    if (!complete && !lines.isEmpty())
        lines.removeLast(); // cut off in the middle
    PlaylistNext next;
    bool variantFollows = false;
    for (const QByteArray& raw : lines) {
        const QByteArray line = raw.trimmed();
        if (line.startsWith("#EXT-X-STREAM-INF")) {
            variantFollows = true;
        } else if (!line.isEmpty() && !line.startsWith('#')) {
            if (variantFollows)
                return {QString::fromUtf8(line), true};
            next.entry = QString::fromUtf8(line);
        }
    }
    return next;
}

constexpr int kMaxPlaylists = 3; // a master playlist, its variant, and one more level

} // namespace

StreamCheck::StreamCheck(QNetworkAccessManager* network, QObject* parent)
    : QObject(parent), network_(network), ownsNetwork_(!network) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this,
            [this] { finish(HealthState::CouldNotCheck, QStringLiteral("_health_timedOut")); });
}

StreamCheck::~StreamCheck() {
    dropReply();
}

void StreamCheck::start(const StreamCheckRequest& request) {
    abort();
    running_ = true;
    request_ = request;
    playlistDepth_ = 0;
    const quint64 generation = ++generation_;
    const QUrl url(request.address.trimmed());
    const auto later = [this, generation](const QString& key, const QString& argument) {
        QTimer::singleShot(0, this, [this, generation, key, argument] {
            if (generation == generation_)
                finish(HealthState::CouldNotCheck, key, argument);
        });
    };
    if (!url.isValid() || url.scheme().isEmpty()) {
        later(QStringLiteral("_health_badAddress"), {});
        return;
    }
    if (!isHttp(url)) {
        later(QStringLiteral("_health_otherScheme"), url.scheme().toLower());
        return;
    }
    if (url.host().isEmpty()) {
        later(QStringLiteral("_health_badAddress"), {});
        return;
    }
    timer_.start(timeout_);
    send(Step::Head, url);
}

void StreamCheck::abort() {
    ++generation_; // a queued answer or a name lookup of this check says nothing any more
    if (lookupId_ >= 0)
        QHostInfo::abortHostLookup(std::exchange(lookupId_, -1));
    dropReply();
    timer_.stop();
    running_ = false;
    // A check's connections are not kept for later checks: over a list of thousands of
    // hosts they would pile up, each an open file. Its network access goes with them (it
    // closes them as it is destroyed, its replies included); not at once, as this may run
    // inside one of its replies' signals.
    if (ownsNetwork_ && network_) {
        QNetworkAccessManager* old = std::exchange(network_, nullptr);
        ++closing_;
        // destroyed() comes before it has finished (its connections close at the very
        // end): the slot is told from the event loop, once it has.
        connect(
            old, &QObject::destroyed, this,
            [this] {
                --closing_;
                emit closed();
            },
            Qt::QueuedConnection);
        old->deleteLater();
    }
}

void StreamCheck::send(Step step, const QUrl& url, bool redirected) {
    dropReply();
    if (!redirected)
        visited_ = {url};
    answered_ = false;
    step_ = step;
    url_ = url;
    body_.clear();
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader,
                      request_.userAgent.isEmpty() ? programUserAgent() : request_.userAgent);
    if (!request_.referrer.isEmpty())
        request.setRawHeader("Referer", request_.referrer.toUtf8());
    // The server closes the connection once it has answered: a check leaves none open.
    request.setRawHeader("Connection", "close");
    if (step == Step::Probe || step == Step::Segment)
        request.setRawHeader("Range", "bytes=0-" + QByteArray::number(kProbeBytes - 1));
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    if (!network_)
        network_ = new QNetworkAccessManager(this);
    reply_ = step == Step::Head ? network_->head(request) : network_->get(request);
    connect(reply_, &QNetworkReply::metaDataChanged, this, &StreamCheck::onMetaData);
    connect(reply_, &QNetworkReply::readyRead, this, &StreamCheck::onReadyRead);
    connect(reply_, &QNetworkReply::finished, this, &StreamCheck::onReplyFinished);
}

void StreamCheck::onMetaData() {
    // A HEAD is over with its headers: it is looked at once finished, so that its connection
    // stays open for the next request. A GET is looked at at once: its body may never end.
    if (!reply_ || step_ == Step::Head || httpStatus(reply_) == 0 || answered_)
        return;
    answered_ = true;
    onAnswer();
}

void StreamCheck::onAnswer() {
    const int status = httpStatus(reply_);
    if (status >= 300 && status < 400 && followRedirect())
        return;
    if (status >= 300 || status < 200) {
        onHttpError(status);
        return;
    }
    switch (step_) {
    case Step::Head:
        onHeadAnswer();
        break;
    case Step::Segment:
        finish(HealthState::Online, {});
        break;
    case Step::Probe:
    case Step::Playlist:
        break; // the body decides
    }
}

bool StreamCheck::followRedirect() {
    const QUrl location = reply_->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl();
    if (location.isEmpty())
        return false;
    const QUrl target = url_.resolved(location);
    if (visited_.contains(target)) {
        finish(HealthState::Offline, QStringLiteral("_health_redirectLoop"));
        return true;
    }
    if (visited_.size() > kMaxRedirects) {
        finish(HealthState::Offline, QStringLiteral("_health_redirects"),
               QString::number(kMaxRedirects));
        return true;
    }
    if (!isHttp(target)) {
        finish(HealthState::CouldNotCheck, QStringLiteral("_health_otherScheme"),
               target.scheme().toLower());
        return true;
    }
    visited_.insert(target);
    send(step_, target, true);
    return true;
}

void StreamCheck::onHeadAnswer() {
    const QString type = contentType(reply_);
    if (isPlaylistType(type) || (isPlaylistPath(url_) && type != u"text/html"))
        send(Step::Playlist, url_);
    else if (type.isEmpty() || looksLikeWebPage(type, {}) || type == u"text/plain")
        send(Step::Probe, url_);
    else
        finish(HealthState::Online, {});
}

void StreamCheck::onReadyRead() {
    if (!reply_ || !answered_)
        return;
    if (step_ == Step::Probe) {
        body_ += reply_->read(kProbeBytes - body_.size());
        if (body_.size() >= kProbeBytes)
            onBody(false);
    } else if (step_ == Step::Playlist) {
        body_ += reply_->readAll();
        if (body_.size() >= kPlaylistLimit)
            onBody(false);
    } else {
        reply_->readAll();
    }
}

void StreamCheck::onReplyFinished() {
    QNetworkReply* reply = reply_;
    if (!reply)
        return;
    if (!answered_) {
        if (httpStatus(reply) == 0) {
            onNetworkError();
            return;
        }
        answered_ = true;
        onAnswer();
        if (reply_ != reply)
            return; // the answer was enough, or led to another request
    }
    if (step_ == Step::Head) {
        finish(HealthState::Online, {}); // a HEAD that said nothing more
        return;
    }
    if (reply->error() != QNetworkReply::NoError) {
        onNetworkError(); // the body broke off
        return;
    }
    onReadyRead();
    if (reply_ == reply)
        onBody(true);
}

void StreamCheck::onBody(bool complete) {
    const QString type = contentType(reply_);
    if (step_ == Step::Playlist) {
        readPlaylist(complete);
        return;
    }
    if (isPlaylistType(type) || looksLikePlaylist(body_)) {
        if (complete && body_.size() < kProbeBytes)
            readPlaylist(true);
        else
            send(Step::Playlist, url_); // the probe saw its start only
    } else if (looksLikeWebPage(type, body_)) {
        finish(HealthState::Offline, QStringLiteral("_health_webPage"));
    } else if (body_.isEmpty()) {
        finish(HealthState::Offline, QStringLiteral("_health_empty"));
    } else {
        finish(HealthState::Online, {});
    }
}

void StreamCheck::readPlaylist(bool complete) {
    const PlaylistNext next = nextOf(body_, complete);
    if (next.entry.isEmpty()) {
        finish(HealthState::Offline, looksLikeWebPage(contentType(reply_), body_)
                                         ? QStringLiteral("_health_webPage")
                                         : QStringLiteral("_health_noMedia"));
        return;
    }
    const QUrl entry = url_.resolved(QUrl(next.entry));
    if (!isHttp(entry)) {
        finish(HealthState::CouldNotCheck, QStringLiteral("_health_otherScheme"),
               entry.scheme().toLower());
        return;
    }
    if (next.isVariant || isPlaylistPath(entry)) {
        if (++playlistDepth_ >= kMaxPlaylists)
            finish(HealthState::Offline, QStringLiteral("_health_noMedia"));
        else
            send(Step::Playlist, entry);
        return;
    }
    send(Step::Segment, entry);
}

void StreamCheck::onHttpError(int status) {
    if (step_ == Step::Head && refusesHead(status)) {
        send(Step::Probe, url_);
        return;
    }
    const QString code = QString::number(status);
    if (step_ == Step::Segment)
        finish(HealthState::Offline, QStringLiteral("_health_segmentHttp"), code);
    else if (status == 403 || status == 451)
        finish(HealthState::Offline, QStringLiteral("_health_region"), code);
    else
        finish(HealthState::Offline, QStringLiteral("_health_http"), code);
}

void StreamCheck::onNetworkError() {
    switch (reply_->error()) {
    case QNetworkReply::ConnectionRefusedError:
        finish(HealthState::Offline, QStringLiteral("_health_refused"));
        break;
    case QNetworkReply::HostNotFoundError:
        confirmNoHost();
        break;
    case QNetworkReply::TimeoutError:
        finish(HealthState::CouldNotCheck, QStringLiteral("_health_timedOut"));
        break;
    case QNetworkReply::SslHandshakeFailedError:
        finish(HealthState::CouldNotCheck, QStringLiteral("_health_tls"));
        break;
    case QNetworkReply::RemoteHostClosedError:
        finish(HealthState::CouldNotCheck, QStringLiteral("_health_closed"));
        break;
    default:
        finish(HealthState::CouldNotCheck, QStringLiteral("_health_network"));
    }
}

void StreamCheck::confirmNoHost() {
    // The connection gives the same error whether the name does not exist or the name server
    // could not be asked: the name's own lookup tells them apart.
    dropReply();
    const quint64 generation = generation_;
    lookupId_ = QHostInfo::lookupHost(url_.host(), this, [this, generation](const QHostInfo& info) {
        if (generation != generation_)
            return;
        lookupId_ = -1;
        if (info.error() == QHostInfo::HostNotFound)
            finish(HealthState::Offline, QStringLiteral("_health_noHost"));
        else
            finish(HealthState::CouldNotCheck, QStringLiteral("_health_dns"));
    });
}

void StreamCheck::finish(HealthState state, const QString& reasonKey, const QString& argument) {
    if (!running_)
        return;
    abort();
    ChannelHealth result;
    result.state = state;
    result.reasonKey = reasonKey;
    result.reasonArgument = argument;
    result.checkedAt = QDateTime::currentDateTimeUtc();
    emit finished(result);
}

void StreamCheck::dropReply() {
    QNetworkReply* reply = reply_;
    reply_ = nullptr;
    if (!reply)
        return;
    reply->disconnect(this);
    if (!reply->isFinished())
        reply->abort();
    reply->deleteLater();
}

} // namespace zentuvo
