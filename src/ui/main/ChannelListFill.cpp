#include "ui/main/ChannelListFill.h"

#include "data/ChannelRef.h"
#include "data/Database.h"

#include <QHash>
#include <algorithm>
#include <numeric>

namespace zentuvo {

namespace {

// A UTF-16 code unit as a rank in code point order (the order of the UTF-8 bytes that the
// catalogue compares), with A-Z taken as a-z.
inline char16_t nocaseRank(char16_t c) {
    if (c >= u'A' && c <= u'Z')
        return char16_t(c + 32);
    if (c >= 0xE000)
        return char16_t(c - 0x800);
    if (c >= 0xD800)
        return char16_t(c + 0x2000); // surrogates stand for code points above U+FFFF
    return c;
}

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

int compareNocase(const QString& a, const QString& b) {
    const qsizetype n = std::min(a.size(), b.size());
    const auto* x = reinterpret_cast<const char16_t*>(a.constData());
    const auto* y = reinterpret_cast<const char16_t*>(b.constData());
    for (qsizetype i = 0; i < n; ++i) {
        if (x[i] != y[i]) {
            const char16_t p = nocaseRank(x[i]), r = nocaseRank(y[i]);
            if (p != r)
                return p < r ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// The channel table is read alone: country and genre names come from small lookups made
// once, so each row costs one text conversion and every row of a country shares its name.
// A channel whose country or genre is not listed is left out, as a join would leave it.
void ChannelListFill::run() {
    std::vector<int> rank; // each row's country place
    try {
        Connection db(path, Connection::Mode::ReadOnly);
        const Countries countries(db);
        const QHash<qint64, QString> genre = genres(db);
        QString sql = QStringLiteral("SELECT channelID, name, fav, countryID, typeID "
                                     "FROM tab_channels WHERE streamUrl <> ''");
        if (filter == Filter::Favourites)
            sql += QStringLiteral(" AND fav <> 0");
        else if (filter == Filter::Country)
            sql += QStringLiteral(" AND countryID = ?");
        auto q = db.prepare(sql);
        if (filter == Filter::Country)
            q.bind(1, country);
        rows.reserve(16384);
        rank.reserve(16384);
        while (q.next()) {
            const auto c = countries.at.constFind(q.integer(3));
            const auto g = genre.constFind(q.integer(4));
            if (q.isNull(3) || q.isNull(4) || c == countries.at.cend() || g == genre.cend())
                continue;
            ChannelRow row;
            row.cells[0] = countries.names[size_t(*c)];
            row.cells[1] = q.text(1);
            row.cells[2] = *g;
            row.channel = ChannelRef::catalogue(qint32(q.integer(0)));
            row.fav = !q.isNull(2) && q.integer(2) != 0;
            rows.push_back(std::move(row));
            rank.push_back(countries.rank[size_t(*c)]);
        }
    } catch (...) {
        error = std::current_exception();
        return;
    }
    // By country, then name; channels that compare equal keep the catalogue's order.
    std::vector<size_t> order(rows.size());
    std::iota(order.begin(), order.end(), size_t(0));
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        if (rank[a] != rank[b])
            return rank[a] < rank[b];
        return compareNocase(rows[a].cells[1], rows[b].cells[1]) < 0;
    });
    std::vector<ChannelRow> sorted;
    sorted.reserve(rows.size());
    for (const size_t i : order)
        sorted.push_back(std::move(rows[i]));
    rows = std::move(sorted);
    sortChannelRows(rows, sortColumn, sortOrder);
}

} // namespace zentuvo
