#include "data/ChannelListQuery.h"

#include "data/Database.h"
#include "data/NocaseOrder.h"

#include <QHash>
#include <algorithm>
#include <numeric>

namespace zentuvo {

namespace {

// Countries by number, with each name's place in the list's order (equal names share it).
struct Countries {
    QHash<qint64, int> at; // number -> index
    std::vector<QString> names;
    std::vector<int> rank;

    explicit Countries(Connection& db) {
        auto q = db.prepare(QStringLiteral("SELECT countryID, countryName FROM tab_country"));
        while (q.next()) {
            at.insert(q.integer(0), int(names.size()));
            names.push_back(q.text(1));
        }
        std::vector<int> order(names.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(),
                         [&](int a, int b) { return compareNocase(names[a], names[b]) < 0; });
        rank.resize(names.size());
        for (size_t i = 0; i < order.size(); ++i) {
            const bool same = i > 0 && compareNocase(names[order[i - 1]], names[order[i]]) == 0;
            rank[order[i]] = same ? rank[order[i - 1]] : int(i);
        }
    }
};

// Genres by number; a genre without a name shows as "?".
QHash<qint64, QString> genres(Connection& db) {
    QHash<qint64, QString> out;
    auto q = db.prepare(QStringLiteral("SELECT typeID, description FROM tab_type"));
    while (q.next())
        out.insert(q.integer(0), q.isNull(1) ? QStringLiteral("?") : q.text(1));
    return out;
}

} // namespace

// The channel table is read alone: country and genre names come from small lookups made
// once, so each row costs one text conversion and every row of a country shares its name.
ChannelListResult readChannelList(const QString& channelDb, const ChannelListFilter& filter) {
    ChannelListResult out;
    std::vector<ChannelListEntry>& rows = out.entries;
    std::vector<int> rank; // each row's country place
    try {
        Connection db(channelDb, Connection::Mode::ReadOnly);
        const Countries countries(db);
        const QHash<qint64, QString> genre = genres(db);
        QString sql = QStringLiteral("SELECT channelID, name, fav, countryID, typeID "
                                     "FROM tab_channels WHERE streamUrl <> ''");
        if (filter.kind == ChannelListFilter::Kind::Favourites)
            sql += QStringLiteral(" AND fav <> 0");
        else if (filter.kind == ChannelListFilter::Kind::Country)
            sql += QStringLiteral(" AND countryID = ?");
        auto q = db.prepare(sql);
        if (filter.kind == ChannelListFilter::Kind::Country)
            q.bind(1, filter.country);
        rows.reserve(16384);
        rank.reserve(16384);
        while (q.next()) {
            const auto c = countries.at.constFind(q.integer(3));
            const auto g = genre.constFind(q.integer(4));
            if (q.isNull(3) || q.isNull(4) || c == countries.at.cend() || g == genre.cend())
                continue;
            ChannelListEntry row;
            row.channelID = q.integer(0);
            row.country = countries.names[size_t(*c)];
            row.name = q.text(1);
            row.genre = *g;
            row.fav = !q.isNull(2) && q.integer(2) != 0;
            rows.push_back(std::move(row));
            rank.push_back(countries.rank[size_t(*c)]);
        }
    } catch (...) {
        out.error = std::current_exception();
        return out;
    }
    std::vector<size_t> order(rows.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        if (rank[a] != rank[b])
            return rank[a] < rank[b];
        return compareNocase(rows[a].name, rows[b].name) < 0;
    });
    std::vector<ChannelListEntry> sorted;
    sorted.reserve(rows.size());
    for (const size_t i : order)
        sorted.push_back(std::move(rows[i]));
    rows = std::move(sorted);
    return out;
}

} // namespace zentuvo
