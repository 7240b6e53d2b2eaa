#pragma once

#include "data/DataContext.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <exception>
#include <vector>

namespace zentuvo {

// One channel of the My List tab.
struct MyListEntry {
    qint64 channelID = 0;
    QString country; // "" for a channel without a country
    QString name;
};

struct MyListEntries {
    std::vector<MyListEntry> entries;
    // What went wrong; the entries then hold what was read before it.
    std::exception_ptr error;
};

// Which My List channels the list shows: all, one group, or those without a group.
struct MyListGroupFilter {
    enum class Kind { All, Group, NoGroup };
    Kind kind = Kind::All;
    QString group; // for Kind::Group only; compared without regard to letter case A-Z

    static MyListGroupFilter all() { return {}; }
    static MyListGroupFilter ofGroup(const QString& name) { return {Kind::Group, name}; }
    static MyListGroupFilter noGroup() { return {Kind::NoGroup, {}}; }

    bool operator==(const MyListGroupFilter&) const = default;
};

class Statement;

// The condition a group filter adds to a query of tab_mylist (" AND ...", "" for all), and
// the value it binds at `index` (a group's name; nothing for the other kinds).
QString myListGroupCondition(const MyListGroupFilter& filter);
void bindMyListGroup(Statement& q, int index, const MyListGroupFilter& filter);

struct MyListGroups {
    QStringList names;         // the groups in use, in NOCASE order
    bool hasUngrouped = false; // some channel has no group
};

// The groups of the My List channels that have a stream address. Throws DbError.
MyListGroups readMyListGroups(const QString& myListDb);

// Deletes every channel the filter selects (a group, or those without a group; the whole list
// for all) in one statement; returns how many went. Throws DbError.
int deleteMyListGroup(const QString& myListDb, const MyListGroupFilter& filter);

// The My List channels that have a stream address, by name in NOCASE order. Country names
// come from the catalogue, one lookup per country (a failing lookup is reported through the
// context as "Error in GetCountryCHname: ..." and gives ""). Never throws.
MyListEntries readMyListEntries(const DataContext& ctx,
                                const MyListGroupFilter& filter = MyListGroupFilter::all());

struct MyListView {
    MyListGroups groups;
    MyListGroupFilter shown; // the filter asked for, or all when its group is not in use
    MyListEntries read;      // the channels it selects, as readMyListEntries gives them
};

// The groups and the channels of one filter, in one pass over My List: what the My List tab
// shows. A group that no channel uses any more falls back to all. Never throws (a failure is
// in read.error, with no groups).
MyListView readMyListView(const DataContext& ctx, const MyListGroupFilter& filter);

// Deletes the My List rows with these numbers, all in one transaction: nothing is deleted
// when any part fails. Throws DbError.
void deleteMyListChannels(const QString& myListDb, const QList<int>& channelIDs);

} // namespace zentuvo
