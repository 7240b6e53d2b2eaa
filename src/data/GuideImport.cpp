#include "data/GuideImport.h"

#include "data/Database.h"
#include "data/GuideStore.h"
#include "data/GuideWriter.h"

#include <QDateTime>
#include <QHash>
#include <algorithm>

namespace zentuvo {

namespace {

// How far the source must have been read before progress is told again.
constexpr qint64 kProgressStep = 256 * 1024;

struct Timeline {
    qint64 kept = 0;
    qint64 longest = 0;
};

// Drops repeated starts and a last programme without a stop, ends each programme at the next
// one's start where it has no stop or runs over it.
Timeline cleanTimelines(Connection& db, QHash<QString, std::vector<GuideSlot>>& timelines) {
    auto drop =
        db.prepare(QStringLiteral("DELETE FROM guide_programme WHERE programmeID BETWEEN ? AND ?"));
    auto setStop = db.prepare(
        QStringLiteral("UPDATE guide_programme SET stop = ? WHERE programmeID BETWEEN ? AND ?"));
    Timeline out;
    for (std::vector<GuideSlot>& list : timelines) {
        std::sort(list.begin(), list.end(), [](const GuideSlot& a, const GuideSlot& b) {
            return a.start != b.start ? a.start < b.start : a.row < b.row;
        });
        for (size_t i = 0; i < list.size(); ++i) {
            const GuideSlot& s = list[i];
            size_t next = i + 1;
            while (next < list.size() && list[next].start == s.start)
                ++next;
            const bool repeated = i > 0 && list[i - 1].start == s.start;
            qint64 stop = s.stop > s.start ? s.stop : 0;
            if (next < list.size() && (stop == 0 || stop > list[next].start))
                stop = list[next].start;
            if (repeated || stop == 0) {
                drop.bind(1, s.row).bind(2, s.row + s.copies - 1).run();
                drop.reset();
                continue;
            }
            if (stop != s.stop) {
                setStop.bind(1, stop).bind(2, s.row).bind(3, s.row + s.copies - 1).run();
                setStop.reset();
            }
            ++out.kept;
            out.longest = std::max(out.longest, stop - s.start);
        }
    }
    return out;
}

qint64 sourceId(Connection& db, const QString& address) {
    auto insert =
        db.prepare(QStringLiteral("INSERT OR IGNORE INTO guide_source (address) VALUES (?)"));
    insert.bind(1, address).run();
    auto q = db.prepare(QStringLiteral("SELECT sourceID FROM guide_source WHERE address = ?"));
    q.bind(1, address);
    return q.next() ? q.integer(0) : 0;
}

// Passes a device's bytes on and counts them where another thread may read the count (the
// reader may read its source on a thread of its own).
class CountingDevice : public QIODevice {
public:
    explicit CountingDevice(QIODevice& source) : source_(source) {
        QIODevice::open(QIODevice::ReadOnly);
    }
    bool isSequential() const override { return true; }
    qint64 count() const { return count_.load(std::memory_order_relaxed); }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        const qint64 got = source_.read(data, maxSize);
        if (got > 0)
            count_.fetch_add(got, std::memory_order_relaxed);
        else if (got < 0)
            setErrorString(source_.errorString());
        return got;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QIODevice& source_;
    std::atomic<qint64> count_ = 0;
};

class Import {
public:
    Import(Connection& db, qint64 source, const std::vector<GuideTarget>& targets,
           const GuideImportOptions& options, QIODevice& data)
        : db_(db), source_(source), matcher_(targets), options_(options), data_(data) {}

    // Reads the guide into the open transaction; the outcome's error says what failed.
    GuideImportOutcome run();

private:
    bool want(const QString& guideId);
    void keep(XmltvProgramme& p);
    void tellProgress();
    void writeChannels();

    Connection& db_;
    qint64 source_;
    GuideMatcher matcher_;
    const GuideImportOptions& options_;
    QIODevice& data_;
    CountingDevice counted_{data_};
    GuideRowWriter* writer_ = nullptr;
    qint64 told_ = 0;
};

bool Import::want(const QString& guideId) {
    matcher_.finish();
    if (!matcher_.knows(guideId))
        matcher_.addChannel(XmltvChannel{guideId, {}, {}});
    tellProgress();
    return !matcher_.targetsOf(guideId).isEmpty();
}

void Import::tellProgress() {
    if (!options_.progress)
        return;
    const qint64 at = counted_.count();
    if (at - told_ >= kProgressStep) {
        told_ = at;
        options_.progress(at);
    }
}

void Import::keep(XmltvProgramme& p) {
    GuideRow row;
    for (const int target : matcher_.targetsOf(p.channel))
        row.channels.append(matcher_.targets()[size_t(target)].channel);
    row.episode =
        p.episodeOnscreen.isEmpty() ? readableEpisode(p.episodeXmltvNs) : p.episodeOnscreen;
    row.guideId = std::move(p.channel);
    row.start = p.start;
    row.stop = p.stop;
    row.title = std::move(p.title);
    row.subTitle = std::move(p.subTitle);
    row.category = p.categories.value(0);
    row.description = std::move(p.description);
    writer_->add(std::move(row));
    tellProgress();
}

void Import::writeChannels() {
    auto q = db_.prepare(QStringLiteral("INSERT OR REPLACE INTO guide_channel "
                                        "(kind, number, sourceID, ourId, guideId, icon) "
                                        "VALUES (?, ?, ?, ?, ?, ?)"));
    for (int i = 0; i < int(matcher_.targets().size()); ++i) {
        const QString guideId = matcher_.guideOf(i);
        if (guideId.isNull())
            continue;
        const GuideTarget& target = matcher_.targets()[size_t(i)];
        q.bind(1, guideKindCode(target.channel.kind())).bind(2, qint64(target.channel.number()));
        q.bind(3, source_);
        q.bindTextOrNull(4, target.id);
        q.bind(5, guideId);
        q.bindTextOrNull(6, matcher_.iconOf(guideId));
        q.run();
        q.reset();
    }
}

GuideImportOutcome Import::run() {
    GuideImportOutcome out;
    if (!data_.isReadable()) {
        out.error =
            data_.errorString().isEmpty() ? QStringLiteral("cannot be read") : data_.errorString();
        return out;
    }
    XmltvSink sink;
    sink.wantChannel = [this](const QString& id) { return want(id); };
    sink.channel = [this](XmltvChannel channel) {
        matcher_.addChannel(channel);
        tellProgress();
    };
    sink.programme = [this](XmltvProgramme p) { keep(p); };
    // The rows are written on another thread while the guide is read.
    GuideRowWriter writer(db_, source_);
    writer_ = &writer;
    const XmltvRead read = readXmltv(counted_, sink, options_.cancel, options_.languages);
    const QString writeError = writer.finish();
    if (read.cancelled) {
        out.cancelled = true;
        out.error = QStringLiteral("cancelled");
        return out;
    }
    if (!read.error.isEmpty() || !writeError.isEmpty()) {
        out.error = read.error.isEmpty() ? writeError : read.error;
        return out;
    }
    if (options_.progress)
        options_.progress(counted_.count()); // all of it
    matcher_.finish();
    writeChannels();
    const Timeline timeline = cleanTimelines(db_, writer.timelines());
    out.channelsMatched = matcher_.matchedCount();
    out.programmesKept = timeline.kept;
    createGuideIndexes(db_);
    const qint64 now =
        options_.refreshTime ? options_.refreshTime : QDateTime::currentSecsSinceEpoch();
    auto q = db_.prepare(QStringLiteral(
        "UPDATE guide_source SET lastRefresh = ?, lastError = NULL, channelsMatched = ?, "
        "programmesKept = ?, longest = ? WHERE sourceID = ?"));
    q.bind(1, now).bind(2, out.channelsMatched).bind(3, out.programmesKept);
    q.bind(4, timeline.longest).bind(5, source_).run();
    return out;
}

} // namespace

QString readableEpisode(const QString& xmltvNs) {
    const QStringList parts = xmltvNs.split(u'.');
    const auto number = [&](int i) {
        bool ok = false;
        const int n = parts.value(i).section(u'/', 0, 0).trimmed().toInt(&ok);
        return ok && n >= 0 ? n + 1 : 0;
    };
    QStringList out;
    if (const int season = number(0))
        out << QStringLiteral("S%1").arg(season);
    if (const int episode = number(1))
        out << QStringLiteral("E%1").arg(episode);
    return out.join(u' ');
}

GuideImportOutcome importGuide(const QString& guideDb, const QString& address, QIODevice& data,
                               const std::vector<GuideTarget>& targets,
                               const GuideImportOptions& options) {
    GuideImportOutcome out;
    try {
        createGuideDatabase(guideDb);
        Connection db(guideDb);
        // A large page cache while the rows and their indexes are written; in WAL mode a
        // commit need not wait for the disk to be safe from corruption.
        db.exec(QStringLiteral("PRAGMA cache_size = -65536; PRAGMA synchronous = NORMAL"));
        const qint64 source = sourceId(db, address);
        Connection::Transaction transaction(db);
        for (const char* table : {"guide_programme", "guide_channel"}) {
            auto q = db.prepare(
                QStringLiteral("DELETE FROM %1 WHERE sourceID = ?").arg(QLatin1String(table)));
            q.bind(1, source).run();
        }
        dropGuideIndexes(db);
        out = Import(db, source, targets, options, data).run();
        if (out.error.isEmpty())
            transaction.commit();
    } catch (const DbError& e) {
        out = {};
        out.error = e.description();
    }
    if (!out.error.isEmpty()) {
        out.channelsMatched = 0;
        out.programmesKept = 0;
        noteGuideFailure(guideDb, address, out.error);
    }
    return out;
}

void noteGuideFailure(const QString& guideDb, const QString& address, const QString& error) {
    try {
        createGuideDatabase(guideDb);
        Connection db(guideDb);
        auto q =
            db.prepare(QStringLiteral("UPDATE guide_source SET lastError = ? WHERE sourceID = ?"));
        q.bind(1, error).bind(2, sourceId(db, address)).run();
    } catch (const DbError&) {
    }
}

} // namespace zentuvo
