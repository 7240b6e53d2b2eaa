#pragma once

#include "data/GuideStore.h"

#include <QHash>

namespace zentuvo {

// What runs on a channel at the snapshot's time and what comes next. A programme whose start
// is 0 is absent (a gap in the guide, or its end).
struct NowNext {
    GuideProgramme now;
    GuideProgramme next;
    bool hasNow() const { return now.start != 0; }
    bool hasNext() const { return next.start != 0; }
};

// Every channel's running and next programme at one time, read with one query over the
// programmes overlapping [time, time + hours): built off the GUI thread (it opens its own
// connection), then asked for as many rows as a list shows, each in constant time. Copies
// share their data.
class GuideNowNext {
public:
    GuideNowNext() = default;
    // Throws DbError.
    static GuideNowNext build(const QString& guideDb, qint64 time, int hours = 6);

    qint64 time() const { return time_; }
    qsizetype size() const { return channels_.size(); }
    // nullptr when the guide has neither a running nor a next programme for channel.
    const NowNext* find(ChannelRef channel) const {
        const auto it = channels_.constFind(keyOf(channel));
        return it == channels_.cend() ? nullptr : &it.value();
    }

private:
    static quint64 keyOf(ChannelRef channel) {
        return (quint64(guideKindCode(channel.kind())) << 32) | quint32(channel.number());
    }
    qint64 time_ = 0;
    QHash<quint64, NowNext> channels_;
};

} // namespace zentuvo
