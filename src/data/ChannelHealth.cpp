#include "data/ChannelHealth.h"

#include "data/ChannelRef.h"
#include "data/Database.h"
#include "data/StoredValue.h"

#include <QFileInfo>
#include <QStringList>

namespace zentuvo {

namespace {

constexpr qint64 kFreshMs = std::chrono::milliseconds(kHealthFreshFor).count();

const QString kCatalogueTable = QStringLiteral("tab_health");
const QString kMyListTable = QStringLiteral("tab_mylistHealth");

// The table of results, keyed by keyColumn (keyType: TEXT or INTEGER).
void createHealthTable(Connection& db, const QString& table, const QString& keyColumn,
                       const QString& keyType) {
    db.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (%2 %3 PRIMARY KEY, "
                           "state INTEGER NOT NULL, reason TEXT, argument TEXT, "
                           "checkedAt INTEGER NOT NULL)")
                .arg(table, keyColumn, keyType));
}

bool hasTable(Connection& db, const QString& table,
              const QString& schema = QStringLiteral("main")) {
    auto q = db.prepare(QStringLiteral("SELECT 1 FROM %1.sqlite_master WHERE type = 'table' AND "
                                       "name = ? COLLATE NOCASE")
                            .arg(schema));
    q.bind(1, table);
    return q.next();
}

// The values as a JSON array, for "IN (SELECT value FROM json_each(?))".
template <typename List> QString jsonArray(const List& values) {
    QStringList items;
    items.reserve(values.size());
    for (const auto& value : values) {
        if constexpr (std::is_same_v<std::decay_t<decltype(value)>, QString>)
            items << u'"' +
                         QString(value)
                             .replace(u'\\', QLatin1String("\\\\"))
                             .replace(u'"', QLatin1String("\\\"")) +
                         u'"';
        else
            items << QString::number(value);
    }
    return u'[' + items.join(u',') + u']';
}

// The result in columns first.. first + 3 (state, reason, argument, checkedAt).
ChannelHealth healthAt(const Statement& q, int first) {
    ChannelHealth h;
    const int state = int(q.integer(first));
    h.state = state >= 0 && state <= int(HealthState::CouldNotCheck) ? HealthState(state)
                                                                     : HealthState::Unknown;
    h.reasonKey = q.text(first + 1);
    h.reasonArgument = q.text(first + 2);
    h.checkedAt = QDateTime::fromMSecsSinceEpoch(q.integer(first + 3), Qt::UTC);
    return h;
}

void bindHealth(Statement& q, const ChannelHealth& h) {
    q.bind(2, int(h.state));
    q.bind(3, h.reasonKey);
    q.bind(4, h.reasonArgument);
    q.bind(5, h.checkedAt.toMSecsSinceEpoch());
}

template <typename Key>
void saveResults(Connection& db, const QString& table,
                 const std::vector<std::pair<Key, ChannelHealth>>& results) {
    Connection::Transaction transaction(db);
    auto q =
        db.prepare(QStringLiteral("INSERT OR REPLACE INTO %1 VALUES (?, ?, ?, ?, ?)").arg(table));
    for (const auto& [key, health] : results) {
        q.reset();
        q.bind(1, key);
        bindHealth(q, health);
        q.run();
    }
    transaction.commit();
}

int forgetStale(Connection& db, const QString& table, const QDateTime& now) {
    if (!hasTable(db, table))
        return 0;
    auto q = db.prepare(
        QStringLiteral("DELETE FROM %1 WHERE checkedAt <= ? OR checkedAt > ?").arg(table));
    q.bind(1, now.toMSecsSinceEpoch() - kFreshMs);
    q.bind(2, now.toMSecsSinceEpoch() + kFreshMs);
    q.run();
    return db.changes();
}

// "checkedAt" within the fresh window of now, as a condition with two parameters.
const QString kFreshCondition = QStringLiteral("checkedAt > ? AND checkedAt <= ?");

void bindFresh(Statement& q, int first, const QDateTime& now) {
    q.bind(first, now.toMSecsSinceEpoch() - kFreshMs);
    q.bind(first + 1, now.toMSecsSinceEpoch() + kFreshMs);
}

QString columnText(const Statement& q, const QString& column) {
    const int at = q.columnIndex(column);
    return at >= 0 ? q.text(at).trimmed() : QString();
}

} // namespace

bool isHealthFresh(const ChannelHealth& health, const QDateTime& now) {
    if (health.state == HealthState::Unknown || !health.checkedAt.isValid())
        return false;
    const qint64 age = health.checkedAt.msecsTo(now);
    return age < kFreshMs && age >= -kFreshMs;
}

namespace {

// The catalogue's channels whose column is one of values (all without values), addresses
// deciphered: only the rows asked for are deciphered.
template <typename Values>
std::vector<HealthChannel> catalogueChannelsWhere(const QString& catalogueFile,
                                                  StoredValueCipher& cipher, const char* column,
                                                  const Values& values) {
    Connection db(catalogueFile, Connection::Mode::ReadOnly);
    auto q = db.prepare(
        QStringLiteral("SELECT * FROM tab_channels %1 ORDER BY name, channelID")
            .arg(values.isEmpty() ? QString()
                                  : QStringLiteral("WHERE %1 IN (SELECT value FROM json_each(?))")
                                        .arg(QLatin1StringView(column))));
    if (!values.isEmpty())
        q.bind(1, jsonArray(values));
    std::vector<HealthChannel> channels;
    while (q.next()) {
        HealthChannel ch;
        ch.code = q.text("code");
        ch.number = int(q.integer("channelID"));
        ch.name = q.text("name");
        ch.address = cipher.tryDecrypt(q.text("streamUrl")).value_or(QString()).trimmed();
        ch.userAgent = columnText(q, QStringLiteral("userAgent"));
        ch.referrer = columnText(q, QStringLiteral("referrer"));
        channels.push_back(std::move(ch));
    }
    return channels;
}

} // namespace

std::vector<HealthChannel> catalogueHealthChannels(const QString& catalogueFile,
                                                   StoredValueCipher& cipher,
                                                   const QStringList& codes) {
    return catalogueChannelsWhere(catalogueFile, cipher, "code", codes);
}

std::vector<HealthChannel> catalogueHealthChannels(const QString& catalogueFile,
                                                   StoredValueCipher& cipher,
                                                   const QList<int>& channelIDs) {
    if (channelIDs.isEmpty())
        return {};
    return catalogueChannelsWhere(catalogueFile, cipher, "channelID", channelIDs);
}

std::vector<HealthChannel> myListHealthChannels(const QString& myListFile,
                                                const QList<int>& numbers) {
    Connection db(myListFile, Connection::Mode::ReadOnly);
    auto q = db.prepare(
        QStringLiteral("SELECT * FROM tab_mylist %1 ORDER BY name, channelID")
            .arg(numbers.isEmpty()
                     ? QString()
                     : QStringLiteral("WHERE channelID IN (SELECT value FROM json_each(?))")));
    if (!numbers.isEmpty())
        q.bind(1, jsonArray(numbers));
    std::vector<HealthChannel> channels;
    while (q.next()) {
        HealthChannel ch;
        ch.number = int(q.integer("channelID"));
        ch.name = q.text("name");
        ch.address = q.text("streamUrl").trimmed();
        ch.userAgent = columnText(q, QStringLiteral("userAgent"));
        ch.referrer = columnText(q, QStringLiteral("referrer"));
        channels.push_back(std::move(ch));
    }
    return channels;
}

void saveCatalogueHealth(const QString& healthFile,
                         const std::vector<std::pair<QString, ChannelHealth>>& results) {
    Connection db(healthFile, Connection::Mode::Create);
    createHealthTable(db, kCatalogueTable, QStringLiteral("code"), QStringLiteral("TEXT"));
    saveResults(db, kCatalogueTable, results);
}

QHash<int, ChannelHealth> readCatalogueHealth(const QString& catalogueFile,
                                              const QString& healthFile, const QDateTime& now,
                                              const QList<int>& channelIDs) {
    QHash<int, ChannelHealth> states;
    if (!QFileInfo(healthFile).isFile())
        return states;
    Connection db(catalogueFile, Connection::Mode::ReadOnly);
    auto attach = db.prepare(QStringLiteral("ATTACH DATABASE ? AS health"));
    attach.bind(1, healthFile);
    attach.run();
    if (!hasTable(db, kCatalogueTable, QStringLiteral("health")))
        return states;
    auto q = db.prepare(
        QStringLiteral("SELECT c.channelID, h.state, h.reason, h.argument, h.checkedAt "
                       "FROM tab_channels c JOIN health.%1 h ON h.code = c.code WHERE %2 %3")
            .arg(kCatalogueTable, kFreshCondition,
                 channelIDs.isEmpty()
                     ? QString()
                     : QStringLiteral("AND c.channelID IN (SELECT value FROM json_each(?))")));
    bindFresh(q, 1, now);
    if (!channelIDs.isEmpty())
        q.bind(3, jsonArray(channelIDs));
    states.reserve(channelIDs.isEmpty() ? 1024 : channelIDs.size());
    while (q.next())
        states.insert(int(q.integer(0)), healthAt(q, 1));
    return states;
}

QHash<QString, ChannelHealth> readCatalogueHealthByCode(const QString& healthFile,
                                                        const QDateTime& now,
                                                        const QStringList& codes) {
    QHash<QString, ChannelHealth> states;
    if (!QFileInfo(healthFile).isFile())
        return states;
    Connection db(healthFile, Connection::Mode::ReadOnly);
    if (!hasTable(db, kCatalogueTable))
        return states;
    auto q = db.prepare(
        QStringLiteral("SELECT code, state, reason, argument, checkedAt FROM %1 WHERE %2 %3")
            .arg(kCatalogueTable, kFreshCondition,
                 codes.isEmpty() ? QString()
                                 : QStringLiteral("AND code IN (SELECT value FROM json_each(?))")));
    bindFresh(q, 1, now);
    if (!codes.isEmpty())
        q.bind(3, jsonArray(codes));
    while (q.next())
        states.insert(q.text(0), healthAt(q, 1));
    return states;
}

int forgetStaleCatalogueHealth(const QString& healthFile, const QDateTime& now) {
    if (!QFileInfo(healthFile).isFile())
        return 0;
    Connection db(healthFile);
    return forgetStale(db, kCatalogueTable, now);
}

void createMyListHealthTable(Connection& db) {
    createHealthTable(db, kMyListTable, QStringLiteral("channelID"), QStringLiteral("INTEGER"));
}

void saveMyListHealth(const QString& myListFile,
                      const std::vector<std::pair<int, ChannelHealth>>& results) {
    Connection db(myListFile);
    createMyListHealthTable(db);
    saveResults(db, kMyListTable, results);
}

QHash<int, ChannelHealth> readMyListHealth(const QString& myListFile, const QDateTime& now,
                                           const QList<int>& channelIDs) {
    QHash<int, ChannelHealth> states;
    Connection db(myListFile, Connection::Mode::ReadOnly);
    if (!hasTable(db, kMyListTable))
        return states;
    auto q = db.prepare(
        QStringLiteral("SELECT channelID, state, reason, argument, checkedAt FROM %1 WHERE %2 %3")
            .arg(kMyListTable, kFreshCondition,
                 channelIDs.isEmpty()
                     ? QString()
                     : QStringLiteral("AND channelID IN (SELECT value FROM json_each(?))")));
    bindFresh(q, 1, now);
    if (!channelIDs.isEmpty())
        q.bind(3, jsonArray(channelIDs));
    while (q.next())
        states.insert(int(q.integer(0)), healthAt(q, 1));
    return states;
}

int forgetStaleMyListHealth(const QString& myListFile, const QDateTime& now) {
    Connection db(myListFile);
    return forgetStale(db, kMyListTable, now);
}

QHash<quint64, ChannelHealth> readHealthByChannel(const QString& catalogueFile,
                                                  const QString& healthFile,
                                                  const QString& myListFile, const QDateTime& now) {
    QHash<quint64, ChannelHealth> states;
    try {
        const auto catalogue = readCatalogueHealth(catalogueFile, healthFile, now);
        for (auto it = catalogue.begin(); it != catalogue.end(); ++it)
            states.insert(ChannelRef::catalogue(it.key()).key(), it.value());
    } catch (const DbError&) {
    }
    try {
        const auto mine = readMyListHealth(myListFile, now);
        for (auto it = mine.begin(); it != mine.end(); ++it)
            states.insert(ChannelRef::myList(it.key()).key(), it.value());
    } catch (const DbError&) {
    }
    return states;
}

} // namespace zentuvo
