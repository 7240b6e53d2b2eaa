#include "data/GuideNowNext.h"

#include "data/Database.h"

namespace zentuvo {

GuideNowNext GuideNowNext::build(const QString& guideDb, qint64 time, int hours) {
    Connection db(guideDb, Connection::Mode::ReadOnly);
    qint64 longest = 0;
    {
        auto q = db.prepare(QStringLiteral("SELECT MAX(longest) FROM guide_source"));
        if (q.next())
            longest = q.integer(0);
    }
    // The first source that matched a channel feeds it (guide_channel's key order).
    QHash<quint64, qint64> feeding;
    {
        auto q = db.prepare(QStringLiteral(
            "SELECT kind, number, MIN(sourceID) FROM guide_channel GROUP BY kind, number"));
        while (q.next())
            feeding.insert((quint64(q.integer(0)) << 32) | quint32(q.integer(1)), q.integer(2));
    }
    // By channel (see channelsWithTitle): the rows are read from a few pages.
    auto q = db.prepare(QStringLiteral(
        "SELECT kind, number, sourceID, start, stop, title, subTitle, episode, category "
        "FROM guide_programme INDEXED BY ix_guide_programme_channel "
        "WHERE start >= ? AND start < ? AND stop > ?"));
    q.bind(1, time - longest).bind(2, time + qint64(hours) * 3600).bind(3, time);
    GuideNowNext out;
    out.time_ = time;
    out.channels_.reserve(feeding.size());
    while (q.next()) {
        const quint64 key = (quint64(q.integer(0)) << 32) | quint32(q.integer(1));
        if (feeding.value(key, -1) != q.integer(2))
            continue;
        const qint64 start = q.integer(3);
        NowNext& entry = out.channels_[key];
        GuideProgramme* slot = nullptr;
        if (start <= time)
            slot = &entry.now;
        else if (!entry.hasNext() || start < entry.next.start)
            slot = &entry.next;
        if (!slot)
            continue;
        slot->channel = guideChannel(q.integer(0), q.integer(1));
        slot->start = start;
        slot->stop = q.integer(4);
        slot->title = q.text(5);
        slot->subTitle = q.text(6);
        slot->episode = q.text(7);
        slot->category = q.text(8);
    }
    return out;
}

} // namespace zentuvo
