#pragma once

// What the benchmarks share: services that never block (messages go to standard error, the
// desktop opens nothing) and the statistics they print.

#include "common/Messages.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

namespace zentuvo::bench {

class PrintedMessages : public MessageService {
public:
    MsgAnswer show(const MessageRequest& request) override {
        std::fprintf(stderr, "message: %s\n", qPrintable(request.text));
        return request.defaultAnswer;
    }
};

class NoDesktop : public DesktopService {
public:
    bool openUrl(const QString&) override { return true; }
    bool openFile(const QString&) override { return true; }
};

inline double median(std::vector<double> values) {
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The 90th percentile (nearest rank).
inline double percentile90(std::vector<double> values) {
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<std::size_t>(std::ceil(0.9 * double(values.size())));
    return values[std::max<std::size_t>(rank, 1) - 1];
}

// The longest pause of the event loop, seen by a 1 ms timer from start() on.
class StallWatch {
public:
    StallWatch() {
        ticker_.setInterval(1);
        QObject::connect(&ticker_, &QTimer::timeout, [this] { note(); });
    }
    void start() {
        longest_ = 0;
        beat_.start();
        ticker_.start();
    }
    // Counts the time since the last beat (call it after work done outside the loop).
    void note() { longest_ = std::max(longest_, beat_.restart()); }
    qint64 stop() {
        ticker_.stop();
        return longest_;
    }

private:
    QTimer ticker_;
    QElapsedTimer beat_;
    qint64 longest_ = 0;
};

// Runs the event loop until done() or the time is up; false when the time is up.
inline bool waitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return true;
}

} // namespace zentuvo::bench
