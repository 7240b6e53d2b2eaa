#include "app/ChannelCheck.h"

#include <QTimer>
#include <QUrl>

namespace zentuvo {

ChannelCheckScheduler::ChannelCheckScheduler(QObject* parent) : QObject(parent) {}

ChannelCheckScheduler::~ChannelCheckScheduler() {
    cancel();
}

void ChannelCheckScheduler::start(const QList<StreamCheckRequest>& requests) {
    cancel();
    const quint64 generation = generation_;
    running_ = true;
    requests_ = requests;
    total_ = int(requests.size());
    done_ = 0;
    hosts_.clear();
    hosts_.reserve(requests.size());
    for (int i = 0; i < total_; ++i) {
        // Addresses that are not http(s) are answered without the network: no host to spare.
        const QUrl url(requests[i].address.trimmed());
        const QString scheme = url.scheme().toLower();
        const QString& host = hosts_.emplace_back(
            scheme == u"http" || scheme == u"https" ? url.host().toLower() : QString());
        auto& queue = waiting_[host];
        if (queue.empty())
            hostOrder_ << host;
        queue.push_back(i);
    }
    if (slots_.size() != size_t(maxRunning_)) {
        for (Slot& slot : slots_) {
            slot.check->disconnect(this);
            slot.check->deleteLater(); // start() may run inside one of its signals
        }
        slots_.assign(size_t(maxRunning_), Slot{});
        for (size_t i = 0; i < slots_.size(); ++i) {
            // Each with its own network access, whose connections close with each check.
            slots_[i].check = new StreamCheck(nullptr, this);
            connect(slots_[i].check, &StreamCheck::finished, this,
                    [this, i](const ChannelHealth& result) { onChecked(i, result); });
        }
    }
    for (Slot& slot : slots_)
        slot.check->setTimeout(timeout_);
    if (total_ == 0) {
        QTimer::singleShot(0, this, [this, generation] {
            if (generation == generation_ && running_) {
                running_ = false;
                emit finished();
            }
        });
        return;
    }
    dispatch();
}

void ChannelCheckScheduler::cancel() {
    ++generation_;
    for (Slot& slot : slots_) {
        slot.check->abort();
        slot.index = -1;
        slot.host.clear();
    }
    requests_.clear();
    hosts_.clear();
    waiting_.clear();
    hostOrder_.clear();
    runningPerHost_.clear();
    runningCount_ = 0;
    running_ = false;
}

int ChannelCheckScheduler::takeNext() {
    // The host with the most checks waiting goes first: the busiest host sets how long the
    // list takes, so it is kept busy from the start, and the others fill the room it leaves.
    qsizetype best = -1;
    size_t bestWaiting = 0;
    for (qsizetype h = 0; h < hostOrder_.size();) {
        const QString& host = hostOrder_[h];
        const auto queue = waiting_.constFind(host);
        const size_t waiting = queue == waiting_.cend() ? 0 : queue->size();
        if (waiting == 0) {
            waiting_.remove(host);
            hostOrder_.removeAt(h);
            continue;
        }
        if ((host.isEmpty() || runningPerHost_.value(host) < maxPerHost_) &&
            waiting > bestWaiting) {
            best = h;
            bestWaiting = waiting;
        }
        ++h;
    }
    if (best < 0)
        return -1;
    std::deque<int>& queue = waiting_[hostOrder_[best]];
    const int index = queue.front();
    queue.pop_front();
    return index;
}

void ChannelCheckScheduler::dispatch() {
    for (size_t i = 0; i < slots_.size() && runningCount_ < maxRunning_; ++i) {
        Slot& slot = slots_[i];
        if (slot.index >= 0)
            continue;
        const int index = takeNext();
        if (index < 0)
            return;
        slot.index = index;
        slot.host = hosts_[size_t(index)];
        ++runningPerHost_[slot.host];
        ++runningCount_;
        slot.check->start(requests_[index]);
    }
}

void ChannelCheckScheduler::onChecked(size_t which, const ChannelHealth& result) {
    Slot& slot = slots_[which];
    if (!running_ || slot.index < 0)
        return;
    const int index = slot.index;
    if (--runningPerHost_[slot.host] <= 0)
        runningPerHost_.remove(slot.host);
    slot.index = -1;
    slot.host.clear();
    --runningCount_;
    ++done_;
    const quint64 generation = generation_;
    emit checked(index, result);
    if (generation != generation_)
        return; // cancelled or started again from a slot
    emit progress(done_, total_);
    if (generation != generation_)
        return;
    if (done_ == total_) {
        running_ = false;
        emit finished();
        return;
    }
    dispatch();
}

} // namespace zentuvo
