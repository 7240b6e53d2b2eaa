#include "data/CatalogueSearch.h"
#include "data/Database.h"

#include <QHash>
#include <QStringMatcher>
#include <algorithm>

namespace zentuvo {

namespace {

constexpr int kCancelPollRows = 4096;

QHash<qint64, QString> countryNames(const QString& channelDb) {
    QHash<qint64, QString> out;
    Connection db(channelDb, Connection::Mode::ReadOnly);
    auto q = db.prepare(QStringLiteral("SELECT countryID, countryName FROM tab_country"));
    while (q.next())
        out.insert(q.integer(0), q.text(1));
    return out;
}

} // namespace

SearchOutcome searchMyList(const QString& myListDb, const QString& channelDb, const QString& text,
                           const std::atomic<bool>* cancel) {
    SearchOutcome out;
    try {
        const QHash<qint64, QString> countries = countryNames(channelDb);
        Connection db(myListDb, Connection::Mode::ReadOnly);
        auto q =
            db.prepare(QStringLiteral("SELECT channelID, countryID, name, description, groupName "
                                      "FROM tab_mylist WHERE streamUrl <> ''"));
        const QStringMatcher matcher(text, Qt::CaseInsensitive);
        while (q.next()) {
            if (++out.scanned % kCancelPollRows == 0 && cancel &&
                cancel->load(std::memory_order_relaxed)) {
                out.hits.clear();
                out.cancelled = true;
                return out;
            }
            QString name = q.text(2), description = q.text(3);
            if (matcher.indexIn(name) < 0 && matcher.indexIn(description) < 0)
                continue;
            SearchHit hit;
            hit.channelID = q.integer(0);
            hit.countryName = q.isNull(1) ? QString() : countries.value(q.integer(1));
            hit.name = std::move(name);
            hit.description = std::move(description);
            hit.genre = q.text(4);
            hit.myList = true;
            out.hits.push_back(std::move(hit));
        }
    } catch (const DbError& e) {
        out.hits.clear();
        out.error = e.description();
        return out;
    }
    // By country, then name, letter case aside (folded once per hit, not per comparison),
    // then number.
    struct Key {
        QString country, name;
        qint64 channelID;
        size_t at;
    };
    std::vector<Key> keys;
    keys.reserve(out.hits.size());
    for (size_t i = 0; i < out.hits.size(); ++i)
        keys.push_back({out.hits[i].countryName.toCaseFolded(), out.hits[i].name.toCaseFolded(),
                        out.hits[i].channelID, i});
    std::sort(keys.begin(), keys.end(), [](const Key& a, const Key& b) {
        if (const int c = a.country.compare(b.country); c != 0)
            return c < 0;
        if (const int c = a.name.compare(b.name); c != 0)
            return c < 0;
        return a.channelID < b.channelID;
    });
    std::vector<SearchHit> sorted;
    sorted.reserve(keys.size());
    for (const Key& k : keys)
        sorted.push_back(std::move(out.hits[k.at]));
    out.hits = std::move(sorted);
    return out;
}

} // namespace zentuvo
