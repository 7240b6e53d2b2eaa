#include "app/ChannelCheck.h"

#include <QTimer>
#include <QUrl>
#include <algorithm>

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
            // Each check with a network access of its own, whose connections close when it
            // ends; the slot counts until they have.
            slots_[i].check = new StreamCheck(nullptr, this);
            connect(slots_[i].check, &StreamCheck::finished, this,
                    [this, i](const ChannelHealth& result) { onChecked(i, result); });
            connect(slots_[i].check, &StreamCheck::closed, this, [this] {
                if (running_)
                    dispatch();
            });
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
    }
    requests_.clear();
    hosts_.clear();
    waiting_.clear();
    hostOrder_.clear();
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
        if ((host.isEmpty() || busyOn(host) < maxPerHost_) && waiting > bestWaiting) {
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

bool ChannelCheckScheduler::isBusy(const Slot& slot) {
    return slot.index >= 0 || slot.check->isClosing();
}

int ChannelCheckScheduler::busyOn(const QString& host) const {
    return int(std::count_if(slots_.begin(), slots_.end(), [&host](const Slot& slot) {
        return isBusy(slot) && slot.host == host;
    }));
}

void ChannelCheckScheduler::dispatch() {
    // A slot whose last check's connections are still closing stays busy (and counts for its
    // host): never more connections than maxRunning() open.
    for (Slot& slot : slots_) {
        if (isBusy(slot))
            continue;
        const int index = takeNext();
        if (index < 0)
            return;
        slot.index = index;
        slot.host = hosts_[size_t(index)];
        slot.check->start(requests_[index]);
    }
}

void ChannelCheckScheduler::onChecked(size_t which, const ChannelHealth& result) {
    Slot& slot = slots_[which];
    if (!running_ || slot.index < 0)
        return;
    const int index = slot.index;
    slot.index = -1; // its host stays with it while its connections close
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
