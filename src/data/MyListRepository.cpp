#include "data/MyListRepository.h"

#include "data/ChannelInfo.h"
#include "data/Database.h"
#include "data/NocaseOrder.h"

#include <QHash>
#include <QStringList>
#include <algorithm>
#include <limits>

namespace zentuvo {

namespace {

// SQLite takes at most 32,766 bound values in one statement; larger selections are
// deleted in parts of this size, all in one transaction.
constexpr qsizetype kDeleteBatch = 5000;

} // namespace

QString myListGroupCondition(const MyListGroupFilter& filter) {
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

void bindMyListGroup(Statement& q, int index, const MyListGroupFilter& filter) {
    if (filter.kind == MyListGroupFilter::Kind::Group)
        q.bind(index, filter.group);
}

int deleteMyListGroup(const QString& myListDb, const MyListGroupFilter& filter) {
    Connection db(myListDb);
    auto q = db.prepare(QStringLiteral("DELETE FROM tab_mylist WHERE 1 = 1") +
                        myListGroupCondition(filter));
    bindMyListGroup(q, 1, filter);
    q.run();
    return db.changes();
}

namespace {

// The rows of one pass: every channel with an address, unordered.
struct MyListRow {
    qint64 channelID;
    qint64 countryID; // -1 for none
    QString name;
    QString group;
};

// The lower-case key that groups names as NOCASE does (A-Z folded, nothing else).
QString nocaseKey(const QString& text) {
    QString key = text;
    for (QChar& c : key)
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + 32);
    return key;
}

bool selects(const MyListGroupFilter& filter, const QString& group) {
    switch (filter.kind) {
    case MyListGroupFilter::Kind::Group:
        return compareNocase(group, filter.group) == 0;
    case MyListGroupFilter::Kind::NoGroup:
        return group.isEmpty();
    case MyListGroupFilter::Kind::All:
        break;
    }
    return true;
}

// The chosen rows as list entries, by name in NOCASE order (equal names by number), with
// their countries' names (one lookup per country).
MyListEntries toEntries(const DataContext& ctx, std::vector<MyListRow>& rows,
                        const MyListGroupFilter& filter) {
    MyListEntries out;
    std::vector<MyListRow*> chosen;
    chosen.reserve(rows.size());
    for (MyListRow& row : rows)
        if (selects(filter, row.group))
            chosen.push_back(&row);
    std::stable_sort(chosen.begin(), chosen.end(), [](const MyListRow* a, const MyListRow* b) {
        return compareNocase(a->name, b->name) < 0;
    });
    QHash<qint64, QString> countries;
    out.entries.reserve(chosen.size());
    for (MyListRow* row : chosen) {
        MyListEntry e;
        if (row->countryID >= 0) {
            auto found = countries.constFind(row->countryID);
            if (found == countries.cend()) {
                const bool fits = row->countryID >= std::numeric_limits<int>::min() &&
                                  row->countryID <= std::numeric_limits<int>::max();
                found = countries.insert(row->countryID,
                                         fits ? countryName(ctx, int(row->countryID)) : QString());
            }
            e.country = *found;
        }
        e.name = std::move(row->name);
        e.channelID = row->channelID;
        out.entries.push_back(std::move(e));
    }
    return out;
}

std::vector<MyListRow> readRows(const QString& myListDb) {
    Connection db(myListDb, Connection::Mode::ReadOnly);
    auto q = db.prepare(QStringLiteral("SELECT channelID, countryID, name, groupName "
                                       "FROM tab_mylist WHERE streamUrl <> ''"));
    std::vector<MyListRow> rows;
    while (q.next())
        rows.push_back({q.integer(0), q.isNull(1) ? -1 : q.integer(1), q.text(2), q.text(3)});
    // Rows come in the table's order; the sort below keeps it for equal names.
    return rows;
}

} // namespace

MyListEntries readMyListEntries(const DataContext& ctx, const MyListGroupFilter& filter) {
    try {
        std::vector<MyListRow> rows = readRows(ctx.myListDb);
        return toEntries(ctx, rows, filter);
    } catch (...) {
        MyListEntries out;
        out.error = std::current_exception();
        return out;
    }
}

namespace {

// The groups of My List, one name per NOCASE spelling (the first met), in NOCASE order.
class GroupCollector {
public:
    void add(const QString& group) {
        if (group.isEmpty())
            hasUngrouped_ = true;
        else if (!groups_.contains(nocaseKey(group)))
            groups_.insert(nocaseKey(group), group);
    }
    bool contains(const QString& group) const { return groups_.contains(nocaseKey(group)); }
    MyListGroups groups() const {
        MyListGroups out{groups_.values(), hasUngrouped_};
        std::sort(out.names.begin(), out.names.end(),
                  [](const QString& a, const QString& b) { return compareNocase(a, b) < 0; });
        return out;
    }

private:
    QHash<QString, QString> groups_; // NOCASE key -> the first spelling met
    bool hasUngrouped_ = false;
};

} // namespace

MyListGroups readMyListGroups(const QString& myListDb) {
    Connection db(myListDb, Connection::Mode::ReadOnly);
    auto q = db.prepare(
        QStringLiteral("SELECT COALESCE(groupName, '') FROM tab_mylist WHERE streamUrl <> ''"));
    GroupCollector groups;
    while (q.next())
        groups.add(q.text(0));
    return groups.groups();
}

MyListView readMyListView(const DataContext& ctx, const MyListGroupFilter& filter) {
    MyListView view;
    view.shown = filter;
    try {
        std::vector<MyListRow> rows = readRows(ctx.myListDb);
        GroupCollector groups;
        for (const MyListRow& row : rows)
            groups.add(row.group);
        view.groups = groups.groups();
        const bool inUse =
            filter.kind == MyListGroupFilter::Kind::All ||
            (filter.kind == MyListGroupFilter::Kind::NoGroup ? view.groups.hasUngrouped
                                                             : groups.contains(filter.group));
        if (!inUse)
            view.shown = MyListGroupFilter::all();
        view.read = toEntries(ctx, rows, view.shown);
    } catch (...) {
        view.groups = {};
        view.read.error = std::current_exception();
    }
    return view;
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
