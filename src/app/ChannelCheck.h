#pragma once

#include "app/StreamCheck.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <chrono>
#include <deque>
#include <vector>

namespace zentuvo {

// Checks a list of streams in the background on the thread it lives on, a few at once: at
// most maxRunning() checks in all and maxPerHost() to one host (the name in the address),
// a check counting until its connections are closed. The
// host with the most checks waiting goes first (the busiest host sets how long the list takes);
// each host's checks go in the list's order. Each check is a StreamCheck with timeout().
//
// Results come as checked(index into the list, result) and progress(done, total), then one
// finished(). cancel() (and a new start()) stops at once: the requests in flight are aborted,
// no checked(), progress() or finished() of that list follows.
class ChannelCheckScheduler : public QObject {
    Q_OBJECT
public:
    static constexpr int kDefaultMaxRunning = 8;
    static constexpr int kDefaultMaxPerHost = 2;

    explicit ChannelCheckScheduler(QObject* parent = nullptr);
    ~ChannelCheckScheduler() override;

    // For use before start().
    void setMaxRunning(int count) { maxRunning_ = qMax(1, count); }
    void setMaxPerHost(int count) { maxPerHost_ = qMax(1, count); }
    void setTimeout(std::chrono::milliseconds timeout) { timeout_ = timeout; }
    int maxRunning() const { return maxRunning_; }
    int maxPerHost() const { return maxPerHost_; }
    std::chrono::milliseconds timeout() const { return timeout_; }

    bool isRunning() const { return running_; }
    int done() const { return done_; }
    int total() const { return total_; }

    // Checks the streams (a list still running is cancelled first). An empty list finishes
    // from the event loop.
    void start(const QList<StreamCheckRequest>& requests);
    void cancel();

signals:
    void checked(int index, const zentuvo::ChannelHealth& result);
    void progress(int done, int total);
    void finished();

private:
    struct Slot {
        StreamCheck* check = nullptr;
        int index = -1; // -1 while no check of the list runs in it
        QString host;   // of the last check started in it
    };

    // Running a check, or its last check's connections still closing.
    static bool isBusy(const Slot& slot);
    int busyOn(const QString& host) const;

    void dispatch();
    // The next check of the host with room and the most checks waiting, taken from its
    // queue; -1 when none.
    int takeNext();
    void onChecked(size_t slot, const ChannelHealth& result);

    int maxRunning_ = kDefaultMaxRunning;
    int maxPerHost_ = kDefaultMaxPerHost;
    std::chrono::milliseconds timeout_ = StreamCheck::kDefaultTimeout;

    std::vector<Slot> slots_;
    QList<StreamCheckRequest> requests_;
    std::vector<QString> hosts_; // of each request; "" for addresses checked without the network
    QHash<QString, std::deque<int>> waiting_; // by host, in the list's order
    QList<QString> hostOrder_;                // hosts with waiting checks
    int done_ = 0;
    int total_ = 0;
    bool running_ = false;
    quint64 generation_ = 0;
};

} // namespace zentuvo
