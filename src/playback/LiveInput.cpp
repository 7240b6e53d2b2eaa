#include "playback/LiveInput.h"

#include "playback/TsClockShift.h"
#include "playback/TsClockSpan.h"
#include "playback/TsStartGate.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <mutex>

namespace zentuvo {

struct LiveInput::Shared {
    std::mutex mutex;
    std::condition_variable changed;
    QByteArray queue;
    qsizetype head = 0;      // the first byte of queue the player has not taken
    std::uint64_t taken = 0; // bytes taken so far
    qint64 receivedMs = 0;   // the stream's own time handed on so far
    bool ended = false;      // nothing more will come
    bool aborted = false;
    bool notTransportStream = false;
    bool held = false; // the reader stopped at the high water mark
    QStringList errors;
    QObject* reader = nullptr; // the network side, on the input's thread

    qsizetype available() const { return queue.size() - head; }
};

namespace {

constexpr qsizetype kPiece = 256 * 1024;

// The network side: one GET, its bytes through the gate into the shared queue.
class Reader : public QObject {
public:
    Reader(std::shared_ptr<LiveInput::Shared> shared, LiveInputRequest request)
        : shared_(std::move(shared)), request_(std::move(request)) {
        gate_.setLookout([this](const unsigned char* packet) { shift_.watch(packet); });
    }

    void start() {
        auto* network = new QNetworkAccessManager(this);
        QNetworkRequest request(request_.url);
        if (!request_.userAgent.isEmpty())
            request.setHeader(QNetworkRequest::UserAgentHeader, request_.userAgent);
        if (!request_.referrer.isEmpty())
            request.setRawHeader("Referer", request_.referrer);
        reply_ = network->get(request);
        // What the player has not taken waits in the socket, so the sender is held back.
        reply_->setReadBufferSize(kPiece);
        connect(reply_, &QNetworkReply::readyRead, this, &Reader::pull);
        connect(reply_, &QNetworkReply::finished, this, &Reader::finish);
    }

    void pull() {
        if (!reply_ || done_)
            return;
        const int status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (status >= 400) {
            fail(
                QStringLiteral("HTTP %1 %2")
                    .arg(status)
                    .arg(reply_->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString()));
            return;
        }
        std::unique_lock lock(shared_->mutex);
        while (reply_->bytesAvailable() > 0 && shared_->available() < LiveInput::kHighWater) {
            const QByteArray piece = reply_->read(kPiece);
            const QByteArray opened = gate_.feed(piece);
            if (gate_.state() == TsStartGate::State::NotTransportStream) {
                shared_->notTransportStream = true;
                lock.unlock();
                fail(QStringLiteral("not a transport stream"));
                return;
            }
            const QByteArray out = shift_.feed(opened);
            if (shared_->head > 0 && shared_->head >= shared_->queue.size() / 2) {
                shared_->queue.remove(0, shared_->head);
                shared_->head = 0;
            }
            shared_->queue.append(out);
            clock_.feed(out);
            shared_->receivedMs = clock_.spanMs();
        }
        shared_->held = reply_->bytesAvailable() > 0;
        if (finished_ && !shared_->held) {
            const QByteArray opened = gate_.finish();
            if (gate_.state() == TsStartGate::State::NotTransportStream) {
                shared_->notTransportStream = true;
                lock.unlock();
                fail(QStringLiteral("not a transport stream"));
                return;
            }
            shared_->queue.append(shift_.feed(opened) + shift_.finish());
            shared_->ended = true;
            done_ = true;
        }
        shared_->changed.notify_all();
    }

    void finish() {
        if (done_)
            return;
        finished_ = true;
        const int status = reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (status >= 400 || reply_->error() != QNetworkReply::NoError) {
            fail(describe(*reply_, status));
            return;
        }
        pull();
    }

private:
    static QString describe(const QNetworkReply& reply, int status) {
        if (status >= 400)
            return QStringLiteral("HTTP %1 %2")
                .arg(status)
                .arg(reply.attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString());
        switch (reply.error()) {
        case QNetworkReply::ConnectionRefusedError:
            return QStringLiteral("connection refused");
        case QNetworkReply::HostNotFoundError:
            return QStringLiteral("cannot resolve host name");
        case QNetworkReply::TimeoutError:
            return QStringLiteral("connection timed out");
        default:
            return reply.errorString();
        }
    }

    void fail(const QString& why) {
        done_ = true;
        if (reply_)
            reply_->abort();
        const std::lock_guard lock(shared_->mutex);
        shared_->errors << why;
        shared_->ended = true;
        shared_->changed.notify_all();
    }

    std::shared_ptr<LiveInput::Shared> shared_;
    LiveInputRequest request_;
    QNetworkReply* reply_ = nullptr;
    TsStartGate gate_;
    TsClockShift shift_;
    TsClockSpan clock_;
    bool finished_ = false;
    bool done_ = false;
};

// Waits for bytes, the end or the abort; true when bytes are there.
bool waitForBytes(LiveInput::Shared& s, std::unique_lock<std::mutex>& lock) {
    s.changed.wait(lock, [&] { return s.available() > 0 || s.ended || s.aborted; });
    return !s.aborted && s.available() > 0;
}

} // namespace

LiveInputRequest liveInputRequest(const QString& mrl, const QStringList& itemOptions) {
    LiveInputRequest request{QUrl(mrl.trimmed()), {}, {}};
    for (QString option : itemOptions) {
        option = option.trimmed();
        if (option.startsWith(u':'))
            option.remove(0, 1);
        if (option.startsWith(QLatin1String("http-user-agent=")))
            request.userAgent = option.mid(16).replace(u'+', u' ').toUtf8();
        else if (option.startsWith(QLatin1String("http-referrer=")))
            request.referrer = option.mid(14).toUtf8();
    }
    return request;
}

LiveInput::LiveInput(const LiveInputRequest& request) : shared_(std::make_shared<Shared>()) {
    auto* reader = new Reader(shared_, request);
    reader->moveToThread(&thread_);
    shared_->reader = reader;
    QObject::connect(&thread_, &QThread::finished, reader, &QObject::deleteLater);
    thread_.setObjectName(QStringLiteral("live input"));
    thread_.start();
    QMetaObject::invokeMethod(
        reader, [reader] { reader->start(); }, Qt::QueuedConnection);
}

LiveInput::~LiveInput() {
    abort();
    thread_.wait();
}

void LiveInput::abort() {
    {
        const std::lock_guard lock(shared_->mutex);
        shared_->aborted = true;
        shared_->reader = nullptr;
        shared_->changed.notify_all();
    }
    thread_.quit(); // the reader and its connection go with the thread
}

bool LiveInput::notTransportStream() const {
    const std::lock_guard lock(shared_->mutex);
    return shared_->notTransportStream;
}

QStringList LiveInput::errorLines() const {
    const std::lock_guard lock(shared_->mutex);
    return shared_->errors;
}

qint64 LiveInput::receivedMs() const {
    const std::lock_guard lock(shared_->mutex);
    return shared_->receivedMs;
}

int LiveInput::open(void* opaque, void** data, std::uint64_t* size) {
    auto* s = static_cast<Shared*>(opaque);
    *data = s;
    *size = UINT64_MAX; // a live stream has no size
    std::unique_lock lock(s->mutex);
    return waitForBytes(*s, lock) ? 0 : -1;
}

std::ptrdiff_t LiveInput::read(void* opaque, unsigned char* buffer, std::size_t length) {
    auto* s = static_cast<Shared*>(opaque);
    std::unique_lock lock(s->mutex);
    if (!waitForBytes(*s, lock))
        return s->aborted || !s->errors.isEmpty() ? -1 : 0;
    const qsizetype n = std::min<qsizetype>(qsizetype(length), s->available());
    std::memcpy(buffer, s->queue.constData() + s->head, size_t(n));
    s->head += n;
    s->taken += std::uint64_t(n);
    if (s->held && s->available() < kHighWater / 2 && s->reader) {
        s->held = false;
        auto* reader = static_cast<Reader*>(s->reader);
        QMetaObject::invokeMethod(
            reader, [reader] { reader->pull(); }, Qt::QueuedConnection);
    }
    return n;
}

int LiveInput::seek(void* opaque, std::uint64_t offset) {
    // Only to where it stands: a live stream cannot go back or ahead. Given at all, so that
    // the library may pause it (the connection then holds the sender back).
    auto* s = static_cast<Shared*>(opaque);
    const std::lock_guard lock(s->mutex);
    return offset == s->taken ? 0 : -1;
}

void LiveInput::close(void*) {}

} // namespace zentuvo
