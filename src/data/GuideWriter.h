#pragma once

#include "data/ChannelRef.h"

#include <QHash>
#include <QList>
#include <QString>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace zentuvo {

class Connection;

// A kept programme's rows (one per channel of ours that its guide channel feeds, written one
// after the other) and times, to clean its channel's timeline once the guide is read.
struct GuideSlot {
    qint64 start;
    qint64 stop;
    qint64 row; // the first row
    qint64 copies;
};

// One programme to write, for each of channels.
struct GuideRow {
    QString guideId;
    qint64 start = 0;
    qint64 stop = 0;
    QString title, subTitle, episode, category, description;
    QList<ChannelRef> channels;
};

// Writes a guide source's programmes into guide_programme on a thread of its own, so that
// reading the guide and writing its rows share the processor's cores. The connection (inside
// the import's transaction) belongs to the writer from construction until finish().
class GuideRowWriter {
public:
    GuideRowWriter(Connection& db, qint64 source);
    ~GuideRowWriter();
    GuideRowWriter(const GuideRowWriter&) = delete;
    GuideRowWriter& operator=(const GuideRowWriter&) = delete;

    // Queues a row; waits while many are queued. Not thread-safe: one thread adds.
    void add(GuideRow row);
    // Waits until every row is written: "" or the first database error (the rows after it
    // are not written).
    QString finish();
    // After finish(): per guide channel, where its programmes went.
    QHash<QString, std::vector<GuideSlot>>& timelines() { return timelines_; }

private:
    void run();
    void hand(); // passes the pending rows to the writer

    std::vector<GuideRow> pending_;
    Connection& db_;
    qint64 source_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::vector<GuideRow>> queue_;
    bool closing_ = false;
    QString error_;
    QHash<QString, std::vector<GuideSlot>> timelines_;
    std::thread thread_;
};

} // namespace zentuvo
