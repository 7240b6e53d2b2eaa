#include "data/CatalogueSearch.h"

#include "data/ChannelRef.h"
#include "data/Database.h"
#include "data/StoredValue.h"

#include <QHash>
#include <QStringMatcher>
#include <QThread>
#include <algorithm>
#include <thread>

namespace zentuvo {

namespace {

constexpr int kCancelPollRows = 1024;
// Below this many channels per thread, sharing out the work costs more than it saves.
constexpr qint64 kMinRowsPerThread = 4096;

bool cancelled(const std::atomic<bool>* cancel) {
    return cancel && cancel->load(std::memory_order_relaxed);
}

// The countries and genres by number. A channel whose country or genre is not listed here
// is not searched, as if the tables were joined.
struct Lookups {
    struct Country {
        QString name;
        int rank = 0; // place in the order of the list: by name, letter case aside
    };
    QHash<qint64, Country> countries;
    QHash<qint64, QString> genres; // "?" for a genre without text
};

Lookups readLookups(Connection& db) {
    Lookups out;
    std::vector<std::pair<QString, qint64>> byName;
    auto countries = db.prepare(QStringLiteral("SELECT countryID, countryName FROM tab_country"));
    while (countries.next())
        byName.emplace_back(countries.text(1), countries.integer(0));
    std::sort(byName.begin(), byName.end(), [](const auto& a, const auto& b) {
        const int c = a.first.compare(b.first, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a.second < b.second;
    });
    for (size_t i = 0; i < byName.size(); ++i)
        out.countries.insert(byName[i].second, {byName[i].first, int(i)});
    auto genres = db.prepare(QStringLiteral("SELECT typeID, description FROM tab_type"));
    while (genres.next())
        out.genres.insert(genres.integer(0),
                          genres.isNull(1) ? QStringLiteral("?") : genres.text(1));
    return out;
}

// Deciphers stored values for one thread (the cipher keeps state, so each thread has its
// own).
class Decipherer {
public:
    std::optional<QString> decrypt(const QString& stored, QString* error) {
        return cipher_.tryDecrypt(stored, error);
    }

private:
    StoredValueCipher cipher_;
};

// A hit with its country's place, for ordering.
struct RankedHit {
    int countryRank;
    SearchHit hit;
};

bool listOrder(const RankedHit& a, const RankedHit& b) {
    if (a.countryRank != b.countryRank)
        return a.countryRank < b.countryRank;
    const int c = a.hit.name.compare(b.hit.name, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a.hit.channelID < b.hit.channelID;
}

// What one thread made of its range of channel numbers.
struct Share {
    qint64 from = 0; // first channel number
    qint64 to = 0;   // one past the last
    std::vector<RankedHit> hits;
    QString error;
    QString firstDecipherError;
    int decipherFailures = 0;
    int scanned = 0;
};

const QString kRangeSql =
    QStringLiteral("SELECT channelID, name, description, countryID, typeID FROM tab_channels "
                   "WHERE streamUrl <> '' AND channelID >= ? AND channelID < ?");

// Reads, deciphers and filters one range of channels on its own connection, then sorts
// what it found. Never throws: a failure ends up in share.error.
void searchShare(const QString& channelDb, const Lookups& lookups, const QString& text,
                 const std::atomic<bool>* cancel, Share& share) {
    try {
        Decipherer cipher; // one per thread: the cipher keeps working state
        const QStringMatcher matcher(text, Qt::CaseInsensitive);
        Connection db(channelDb, Connection::Mode::ReadOnly);
        // Read the file through a memory map rather than copying it page by page.
        db.exec(QStringLiteral("PRAGMA mmap_size = 1073741824"));
        auto q = db.prepare(kRangeSql);
        q.bind(1, share.from).bind(2, share.to);
        while (q.next()) {
            if (share.scanned % kCancelPollRows == 0 && cancelled(cancel))
                return;
            if (q.isNull(3) || q.isNull(4))
                continue;
            const auto country = lookups.countries.constFind(q.integer(3));
            const auto genre = lookups.genres.constFind(q.integer(4));
            if (country == lookups.countries.cend() || genre == lookups.genres.cend())
                continue;
            ++share.scanned;
            QString name = q.text(1);
            QString description;
            if (!q.isNull(2)) {
                const QString stored = q.text(2);
                QString error;
                if (auto plain = cipher.decrypt(stored, &error))
                    description = std::move(*plain);
                else if (share.decipherFailures++ == 0)
                    share.firstDecipherError = error;
            }
            if (matcher.indexIn(name) < 0 && matcher.indexIn(description) < 0)
                continue;
            share.hits.push_back(
                {country->rank, SearchHit{q.integer(0), country->name, std::move(name),
                                          std::move(description), *genre}});
        }
        std::sort(share.hits.begin(), share.hits.end(), listOrder);
    } catch (const DbError& e) {
        share.error = e.description();
    } catch (const std::exception& e) {
        share.error = QString::fromLocal8Bit(e.what());
    }
}

} // namespace

SearchOutcome searchCatalogue(const QString& channelDb, const QString& text,
                              const std::atomic<bool>* cancel, int threads) {
    SearchOutcome outcome;
    Lookups lookups;
    qint64 first = 0, last = -1;
    try {
        Connection db(channelDb, Connection::Mode::ReadOnly);
        lookups = readLookups(db);
        auto range =
            db.prepare(QStringLiteral("SELECT min(channelID), max(channelID) FROM tab_channels"));
        if (range.next() && !range.isNull(0)) {
            first = range.integer(0);
            last = range.integer(1);
        }
    } catch (const DbError& e) {
        outcome.error = e.description();
        return outcome;
    }

    // The channel numbers are shared out in equal ranges, one per thread; each thread reads
    // its range on its own connection, so reading is shared out as well as deciphering.
    if (threads <= 0)
        threads = std::max(1, QThread::idealThreadCount());
    const qint64 span = last - first + 1;
    const qint64 count = std::clamp<qint64>(span / kMinRowsPerThread, 1, threads);
    std::vector<Share> shares(static_cast<size_t>(count));
    for (qint64 s = 0; s < count; ++s) {
        shares[size_t(s)].from = first + span * s / count;
        shares[size_t(s)].to = first + span * (s + 1) / count;
    }
    std::vector<std::thread> helpers;
    for (size_t s = 1; s < shares.size(); ++s)
        helpers.emplace_back(searchShare, std::cref(channelDb), std::cref(lookups), std::cref(text),
                             cancel, std::ref(shares[s]));
    searchShare(channelDb, lookups, text, cancel, shares[0]);
    for (auto& t : helpers)
        t.join();

    outcome.cancelled = cancelled(cancel);
    std::vector<RankedHit> merged;
    for (auto& share : shares) {
        outcome.scanned += share.scanned;
        if (outcome.error.isEmpty() && !share.error.isEmpty())
            outcome.error = share.error;
        if (share.decipherFailures && outcome.decipherFailures == 0)
            outcome.decipherError = share.firstDecipherError;
        outcome.decipherFailures += share.decipherFailures;
        if (outcome.cancelled || !outcome.error.isEmpty())
            continue;
        std::vector<RankedHit> joined;
        joined.reserve(merged.size() + share.hits.size());
        std::merge(std::make_move_iterator(merged.begin()), std::make_move_iterator(merged.end()),
                   std::make_move_iterator(share.hits.begin()),
                   std::make_move_iterator(share.hits.end()), std::back_inserter(joined),
                   listOrder);
        merged = std::move(joined);
    }
    if (outcome.cancelled || !outcome.error.isEmpty())
        return outcome;
    outcome.hits.reserve(merged.size());
    for (auto& r : merged)
        outcome.hits.push_back(std::move(r.hit));
    return outcome;
}

} // namespace zentuvo
