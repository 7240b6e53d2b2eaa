#include "data/MyListRepository.h"

#include "data/ChannelInfo.h"
#include "data/Database.h"

#include <QHash>
#include <QStringList>
#include <algorithm>
#include <limits>

namespace zentuvo {

namespace {

// SQLite takes at most 32,766 bound values in one statement; larger selections are
// deleted in parts of this size, all in one transaction.
constexpr qsizetype kDeleteBatch = 5000;

// The WHERE condition a group filter adds (with one bound value for a group), after "AND".
QString groupCondition(const MyListGroupFilter& filter) {
    switch (filter.kind) {
    case MyListGroupFilter::Kind::Group:
        return QStringLiteral(" AND tab_mylist.groupName = ? COLLATE NOCASE ");
    case MyListGroupFilter::Kind::NoGroup:
        return QStringLiteral(" AND COALESCE(tab_mylist.groupName, '') = '' ");
    case MyListGroupFilter::Kind::All:
        break;
    }
    return QString();
}

void bindGroup(Statement& q, int index, const MyListGroupFilter& filter) {
    if (filter.kind == MyListGroupFilter::Kind::Group)
        q.bind(index, filter.group);
}

} // namespace

MyListGroups readMyListGroups(const QString& myListDb) {
    Connection db(myListDb, Connection::Mode::ReadOnly);
    auto q = db.prepare(QStringLiteral(
        "SELECT DISTINCT COALESCE(groupName, '') COLLATE NOCASE AS g FROM tab_mylist "
        "WHERE streamUrl <> '' ORDER BY g"));
    MyListGroups out;
    while (q.next()) {
        const QString name = q.text(0);
        if (name.isEmpty())
            out.hasUngrouped = true;
        else
            out.names << name;
    }
    return out;
}

int deleteMyListGroup(const QString& myListDb, const MyListGroupFilter& filter) {
    Connection db(myListDb);
    auto q =
        db.prepare(QStringLiteral("DELETE FROM tab_mylist WHERE 1 = 1") + groupCondition(filter));
    bindGroup(q, 1, filter);
    q.run();
    return db.changes();
}

MyListEntries readMyListEntries(const DataContext& ctx, const MyListGroupFilter& filter) {
    MyListEntries out;
    try {
        Connection db(ctx.myListDb, Connection::Mode::ReadOnly);
        auto q = db.prepare(QStringLiteral(" SELECT tab_mylist.channelID, tab_mylist.countryID, "
                                           "tab_mylist.name  FROM tab_mylist "
                                           " WHERE tab_mylist.streamUrl <> '' ") +
                            groupCondition(filter) +
                            QStringLiteral(" ORDER BY tab_mylist.name COLLATE NOCASE"));
        bindGroup(q, 1, filter);
        QHash<qint64, QString> countries; // one lookup per country
        while (q.next()) {
            MyListEntry row;
            if (!q.isNull(1)) {
                const qint64 countryID = q.integer(1);
                auto found = countries.constFind(countryID);
                if (found == countries.cend()) {
                    const bool fits = countryID >= std::numeric_limits<int>::min() &&
                                      countryID <= std::numeric_limits<int>::max();
                    found = countries.insert(countryID,
                                             fits ? countryName(ctx, int(countryID)) : QString());
                }
                row.country = *found;
            }
            row.name = q.text(2);
            row.channelID = q.integer(0);
            out.entries.push_back(std::move(row));
        }
    } catch (...) {
        out.error = std::current_exception();
    }
    return out;
}

void deleteMyListChannels(const QString& myListDb, const QList<int>& channelIDs) {
    if (channelIDs.isEmpty())
        return;
    Connection db(myListDb);
    Connection::Transaction transaction(db);
    for (qsizetype from = 0; from < channelIDs.size(); from += kDeleteBatch) {
        const qsizetype count = std::min(kDeleteBatch, channelIDs.size() - from);
        QStringList marks;
        marks.reserve(count);
        for (qsizetype i = 0; i < count; ++i)
            marks << QStringLiteral("?");
        auto statement =
            db.prepare(QStringLiteral("DELETE FROM tab_mylist WHERE tab_mylist.channelID IN (") +
                       marks.join(QStringLiteral(", ")) + QStringLiteral(") "));
        for (qsizetype i = 0; i < count; ++i)
            statement.bind(int(i + 1), channelIDs[from + i]);
        statement.run();
    }
    transaction.commit();
}

} // namespace zentuvo
