#include "data/PlaylistStore.h"

#include "data/Database.h"
#include "data/StoredValue.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

namespace zentuvo {

namespace {

// How often the import looks at its cancel flag and updates its count.
constexpr int kCheckEvery = 2000;

struct Countries {
    QHash<QString, qint64> byKey;  // lower-case name or code -> countryID
    QHash<qint64, QString> codeOf; // countryID -> code, or the name without one
};

Countries readCountries(const QString& channelDb) {
    if (channelDb.isEmpty())
        return {};
    Connection db(channelDb, Connection::Mode::ReadOnly);
    bool hasCode = false;
    {
        auto q = db.prepare(QStringLiteral("SELECT name FROM pragma_table_info('tab_country')"));
        while (q.next())
            hasCode = hasCode || q.text(0).compare(QLatin1String("code"), Qt::CaseInsensitive) == 0;
    }
    auto q =
        db.prepare(hasCode ? QStringLiteral("SELECT countryID, countryName, code FROM tab_country")
                           : QStringLiteral("SELECT countryID, countryName, '' FROM tab_country"));
    Countries out;
    while (q.next()) {
        const qint64 id = q.integer(0);
        const QString name = q.text(1), code = q.text(2);
        if (!name.isEmpty())
            out.byKey.insert(name.toLower(), id);
        if (!code.isEmpty())
            out.byKey.insert(code.toLower(), id);
        out.codeOf.insert(id, code.isEmpty() ? name : code);
    }
    return out;
}

// The country of a tvg-country value: some playlists list several ("IT;SM"); the first known
// one counts.
qint64 matchCountry(const Countries& countries, const QString& value) {
    if (value.isEmpty())
        return 0;
    if (const auto it = countries.byKey.constFind(value.trimmed().toLower());
        it != countries.byKey.cend())
        return *it;
    for (const QString& part : value.split(QRegularExpression(QStringLiteral("[;,|]")))) {
        if (const auto it = countries.byKey.constFind(part.trimmed().toLower());
            it != countries.byKey.cend())
            return *it;
    }
    return 0;
}

} // namespace

PlaylistImportOutcome importPlaylist(const QString& channelDb, const QString& myListDb,
                                     const std::vector<PlaylistEntry>& entries,
                                     const QString& defaultGroup, const std::atomic_bool* cancel,
                                     std::atomic<qint64>* done) {
    PlaylistImportOutcome out;
    try {
        const Countries countries = readCountries(channelDb);
        Connection db(myListDb);
        Connection::Transaction transaction(db);
        QSet<QString> known;
        {
            auto q = db.prepare(QStringLiteral("SELECT streamUrl FROM tab_mylist"));
            while (q.next())
                known.insert(q.text(0));
        }
        known.reserve(known.size() + qsizetype(entries.size()));
        auto insert = db.prepare(QStringLiteral(
            "INSERT INTO tab_mylist (countryID, name, streamUrl, kbps, rank, userAgent, referrer, "
            "groupName, tvgId, logo) VALUES (?, ?, ?, 0, 0, ?, ?, ?, ?, ?)"));
        for (size_t i = 0; i < entries.size(); ++i) {
            if (i % kCheckEvery == 0) {
                if (cancel && cancel->load()) {
                    out = {};
                    out.cancelled = true;
                    return out; // the transaction rolls back
                }
                if (done)
                    done->store(qint64(i));
            }
            const PlaylistEntry& e = entries[i];
            if (e.url.isEmpty() || known.contains(e.url)) {
                ++out.skipped;
                continue;
            }
            known.insert(e.url);
            if (const qint64 country = matchCountry(countries, e.country); country != 0)
                insert.bind(1, country);
            else
                insert.bindNull(1);
            insert.bind(2, e.name).bind(3, e.url);
            insert.bindTextOrNull(4, e.userAgent);
            insert.bindTextOrNull(5, e.referrer);
            insert.bindTextOrNull(6, e.group.isEmpty() ? defaultGroup : e.group);
            insert.bindTextOrNull(7, e.tvgId);
            insert.bindTextOrNull(8, e.logo);
            insert.run();
            insert.reset();
            ++out.imported;
        }
        transaction.commit();
        if (done)
            done->store(qint64(entries.size()));
    } catch (const DbError& e) {
        out = {};
        out.error = e.description();
    }
    return out;
}

std::vector<PlaylistEntry> myListPlaylist(const QString& channelDb, const QString& myListDb,
                                          const MyListGroupFilter& filter) {
    const Countries countries = readCountries(channelDb);
    Connection db(myListDb, Connection::Mode::ReadOnly);
    QString sql = QStringLiteral(
        "SELECT name, streamUrl, countryID, userAgent, referrer, groupName, tvgId, logo "
        "FROM tab_mylist WHERE streamUrl <> '' ");
    sql += myListGroupCondition(filter) + QStringLiteral(" ORDER BY name COLLATE NOCASE");
    auto q = db.prepare(sql);
    bindMyListGroup(q, 1, filter);
    std::vector<PlaylistEntry> out;
    while (q.next()) {
        PlaylistEntry e;
        e.name = q.text(0);
        e.url = q.text(1);
        e.country = q.isNull(2) ? QString() : countries.codeOf.value(q.integer(2));
        e.userAgent = q.text(3);
        e.referrer = q.text(4);
        e.group = q.text(5);
        e.tvgId = q.text(6);
        e.logo = q.text(7);
        out.push_back(std::move(e));
    }
    return out;
}

std::vector<PlaylistEntry> favouritesPlaylist(const QString& channelDb) {
    const Countries countries = readCountries(channelDb);
    Connection db(channelDb, Connection::Mode::ReadOnly);
    auto q = db.prepare(QStringLiteral(
        "SELECT c.name, c.streamUrl, c.countryID, c.userAgent, c.referrer, t.description, c.code "
        "FROM tab_channels c INNER JOIN tab_country k ON c.countryID = k.countryID "
        "LEFT JOIN tab_type t ON c.typeID = t.typeID "
        "WHERE c.fav <> 0 AND c.streamUrl <> '' "
        "ORDER BY k.countryName COLLATE NOCASE, c.name COLLATE NOCASE"));
    StoredValueCipher cipher;
    std::vector<PlaylistEntry> out;
    while (q.next()) {
        const auto url = cipher.tryDecrypt(q.text(1));
        if (!url || url->isEmpty())
            continue;
        PlaylistEntry e;
        e.name = q.text(0);
        e.url = *url;
        e.country = countries.codeOf.value(q.integer(2));
        e.userAgent = q.text(3);
        e.referrer = q.text(4);
        e.group = q.text(5);
        e.tvgId = q.text(6);
        out.push_back(std::move(e));
    }
    return out;
}

} // namespace zentuvo
