#include "data/GuideStore.h"

#include "data/Database.h"

#include <QFileInfo>
#include <QSet>
#include <algorithm>

namespace zentuvo {

namespace {

// The programme's columns that the lists show, in the order programmeFrom reads them.
const QString kColumns =
    QStringLiteral("kind, number, start, stop, title, subTitle, episode, category");

// The first source that matched the channel (?1 kind, ?2 number).
const QString kFirstSource = QStringLiteral(
    "sourceID = (SELECT MIN(sourceID) FROM guide_channel WHERE kind = ?1 AND number = ?2)");

GuideProgramme programmeFrom(const Statement& q) {
    GuideProgramme p;
    p.channel = guideChannel(q.integer(0), q.integer(1));
    p.start = q.integer(2);
    p.stop = q.integer(3);
    p.title = q.text(4);
    p.subTitle = q.text(5);
    p.episode = q.text(6);
    p.category = q.text(7);
    return p;
}

// The longest programme of any source: a programme overlapping a time starts at most this
// long before it.
qint64 longestProgramme(Connection& db) {
    auto q = db.prepare(QStringLiteral("SELECT MAX(longest) FROM guide_source"));
    return q.next() ? q.integer(0) : 0;
}

} // namespace

int guideKindCode(ChannelRef::Kind kind) {
    return kind == ChannelRef::Kind::Catalogue ? 1 : kind == ChannelRef::Kind::MyList ? 2 : 0;
}

ChannelRef guideChannel(qint64 kindCode, qint64 number) {
    if (kindCode == 1)
        return ChannelRef::catalogue(qint32(number));
    if (kindCode == 2)
        return ChannelRef::myList(qint32(number));
    return {};
}

void createGuideSchema(Connection& db) {
    db.exec(QStringLiteral(R"sql(
CREATE TABLE IF NOT EXISTS guide_source (
    sourceID        INTEGER PRIMARY KEY,
    address         TEXT NOT NULL UNIQUE,
    lastRefresh     INTEGER,
    lastError       TEXT,
    channelsMatched INTEGER NOT NULL DEFAULT 0,
    programmesKept  INTEGER NOT NULL DEFAULT 0,
    longest         INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE IF NOT EXISTS guide_channel (
    kind     INTEGER NOT NULL,
    number   INTEGER NOT NULL,
    sourceID INTEGER NOT NULL,
    ourId    TEXT,
    guideId  TEXT NOT NULL,
    icon     TEXT,
    PRIMARY KEY (kind, number, sourceID)
) WITHOUT ROWID;
CREATE INDEX IF NOT EXISTS ix_guide_channel_id ON guide_channel (ourId COLLATE NOCASE);
CREATE TABLE IF NOT EXISTS guide_programme (
    programmeID INTEGER PRIMARY KEY,
    sourceID    INTEGER NOT NULL,
    kind        INTEGER NOT NULL,
    number      INTEGER NOT NULL,
    guideId     TEXT NOT NULL,
    start       INTEGER NOT NULL,
    stop        INTEGER NOT NULL,
    title       TEXT,
    subTitle    TEXT,
    episode     TEXT,
    category    TEXT,
    description TEXT
);
)sql"));
    createGuideIndexes(db);
}

void dropGuideIndexes(Connection& db) {
    db.exec(QStringLiteral("DROP INDEX IF EXISTS ix_guide_programme_channel;"
                           "DROP INDEX IF EXISTS ix_guide_programme_source;"));
}

// Every query reads by channel (then start): rows of one channel lie together in the file.
void createGuideIndexes(Connection& db) {
    db.exec(QStringLiteral(
        "CREATE INDEX IF NOT EXISTS ix_guide_programme_channel "
        "ON guide_programme (kind, number, start);"
        "CREATE INDEX IF NOT EXISTS ix_guide_programme_source ON guide_programme (sourceID);"));
}

void createGuideDatabase(const QString& path) {
    Connection db(path,
                  QFileInfo::exists(path) ? Connection::Mode::ReadWrite : Connection::Mode::Create);
    // Readers (the lists' now/next, the guide window) go on reading while a refresh writes.
    db.exec(QStringLiteral("PRAGMA journal_mode = WAL"));
    createGuideSchema(db);
}

std::vector<GuideSource> guideSources(const QString& guideDb) {
    Connection db(guideDb, Connection::Mode::ReadOnly);
    auto q = db.prepare(QStringLiteral("SELECT sourceID, address, lastRefresh, lastError, "
                                       "channelsMatched, programmesKept FROM guide_source "
                                       "ORDER BY sourceID"));
    std::vector<GuideSource> out;
    while (q.next())
        out.push_back(
            {q.integer(0), q.text(1), q.integer(2), q.text(3), int(q.integer(4)), q.integer(5)});
    return out;
}

std::vector<GuideProgramme>
guideProgrammes(const QString& guideDb, const QList<ChannelRef>& channels, qint64 from, qint64 to) {
    Connection db(guideDb, Connection::Mode::ReadOnly);
    const qint64 longest = longestProgramme(db);
    auto q = db.prepare(QStringLiteral("SELECT %1 FROM guide_programme WHERE kind = ?1 AND "
                                       "number = ?2 AND start >= ?3 AND start < ?4 AND stop > ?5 "
                                       "AND %2 ORDER BY start")
                            .arg(kColumns, kFirstSource));
    std::vector<GuideProgramme> out;
    for (const ChannelRef channel : channels) {
        q.bind(1, guideKindCode(channel.kind())).bind(2, qint64(channel.number()));
        q.bind(3, from - longest).bind(4, to).bind(5, from);
        while (q.next())
            out.push_back(programmeFrom(q));
        q.reset();
    }
    return out;
}

QList<ChannelRef> channelsWithTitle(const QString& guideDb, const QString& text, qint64 from,
                                    int hours) {
    Connection db(guideDb, Connection::Mode::ReadOnly);
    // By channel rather than by time: a channel's rows lie together in the file (a guide lists
    // a channel's programmes together), so the rows are read from a few pages, not one each.
    auto q = db.prepare(QStringLiteral("SELECT kind, number, title FROM guide_programme "
                                       "INDEXED BY ix_guide_programme_channel "
                                       "WHERE start >= ? AND start < ? AND stop > ?"));
    q.bind(1, from - longestProgramme(db)).bind(2, from + qint64(hours) * 3600).bind(3, from);
    QList<ChannelRef> out;
    QSet<qint64> seen;
    while (q.next()) {
        const qint64 key = (q.integer(0) << 32) + q.integer(1);
        if (!seen.contains(key) && q.text(2).contains(text, Qt::CaseInsensitive)) {
            seen.insert(key);
            out.append(guideChannel(q.integer(0), q.integer(1)));
        }
    }
    std::sort(out.begin(), out.end(), [](ChannelRef a, ChannelRef b) {
        return std::pair(guideKindCode(a.kind()), a.number()) <
               std::pair(guideKindCode(b.kind()), b.number());
    });
    return out;
}

std::optional<GuideProgramme> programmeAt(const QString& guideDb, ChannelRef channel, qint64 t) {
    Connection db(guideDb, Connection::Mode::ReadOnly);
    // Each source's timeline is clean: the last programme to start by t is the only candidate.
    auto q = db.prepare(QStringLiteral("SELECT %1, description FROM guide_programme "
                                       "WHERE kind = ?1 AND number = ?2 AND start <= ?3 AND %2 "
                                       "ORDER BY start DESC LIMIT 1")
                            .arg(kColumns, kFirstSource));
    q.bind(1, guideKindCode(channel.kind())).bind(2, qint64(channel.number())).bind(3, t);
    if (!q.next() || q.integer(3) <= t)
        return std::nullopt;
    GuideProgramme p = programmeFrom(q);
    p.description = q.text(8);
    return p;
}

QList<ChannelRef> guideChannelsWithId(const QString& guideDb, const QString& id) {
    Connection db(guideDb, Connection::Mode::ReadOnly);
    auto q = db.prepare(QStringLiteral("SELECT DISTINCT kind, number FROM guide_channel "
                                       "WHERE ourId = ? COLLATE NOCASE ORDER BY kind, number"));
    q.bind(1, id);
    QList<ChannelRef> out;
    while (q.next())
        out.append(guideChannel(q.integer(0), q.integer(1)));
    return out;
}

} // namespace zentuvo
