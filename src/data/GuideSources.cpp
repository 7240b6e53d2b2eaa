#include "data/GuideSources.h"

#include "data/Database.h"

#include <QFileInfo>
#include <QUrl>
#include <algorithm>

namespace zentuvo {

namespace {

constexpr qint64 kDay = 86400;

} // namespace

QString guideSourceAddress(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return {};
    const QString scheme = QUrl(trimmed).scheme().toLower();
    if (scheme == u"http" || scheme == u"https")
        return trimmed;
    return QFileInfo(trimmed).absoluteFilePath();
}

bool addGuideSource(const QString& guideDb, const QString& text) {
    const QString address = guideSourceAddress(text);
    if (address.isEmpty())
        return false;
    createGuideDatabase(guideDb);
    Connection db(guideDb);
    auto q = db.prepare(QStringLiteral("INSERT OR IGNORE INTO guide_source (address) VALUES (?)"));
    q.bind(1, address).run();
    return db.changes() > 0;
}

bool removeGuideSource(const QString& guideDb, const QString& address) {
    Connection db(guideDb);
    auto find = db.prepare(QStringLiteral("SELECT sourceID FROM guide_source WHERE address = ?"));
    find.bind(1, address);
    if (!find.next())
        return false;
    const qint64 source = find.integer(0);
    find.reset();
    Connection::Transaction transaction(db);
    for (const char* table : {"guide_programme", "guide_channel", "guide_source"}) {
        auto q = db.prepare(
            QStringLiteral("DELETE FROM %1 WHERE sourceID = ?").arg(QLatin1String(table)));
        q.bind(1, source).run();
    }
    transaction.commit();
    return true;
}

std::vector<GuideSource> guideSourcesDue(const std::vector<GuideSource>& sources, qint64 now,
                                         int intervalHours) {
    std::vector<GuideSource> out;
    for (const GuideSource& s : sources)
        if (s.lastRefresh <= 0 || now - s.lastRefresh >= qint64(intervalHours) * 3600)
            out.push_back(s);
    return out;
}

GuideSpan guideTimeSpan(const QString& guideDb, qint64 now) {
    qint64 first = 0, last = 0;
    if (QFileInfo(guideDb).isFile()) {
        Connection db(guideDb, Connection::Mode::ReadOnly);
        // Channel by channel, each an index look-up at either end of its timeline.
        auto channels =
            db.prepare(QStringLiteral("SELECT DISTINCT kind, number FROM guide_channel"));
        auto ends = db.prepare(QStringLiteral(
            "SELECT (SELECT MIN(start) FROM guide_programme WHERE kind = ?1 AND number = ?2), "
            "(SELECT stop FROM guide_programme WHERE kind = ?1 AND number = ?2 "
            "ORDER BY start DESC LIMIT 1)"));
        while (channels.next()) {
            ends.bind(1, channels.integer(0)).bind(2, channels.integer(1));
            if (ends.next() && !ends.isNull(0)) {
                first = first ? std::min(first, ends.integer(0)) : ends.integer(0);
                last = std::max(last, ends.integer(1));
            }
            ends.reset();
        }
    }
    if (!first)
        return {now - kDay, now + 8 * kDay};
    return {std::clamp(first, now - 14 * kDay, now), std::clamp(last, now + 3600, now + 21 * kDay)};
}

} // namespace zentuvo
