#include "data/GuideMatch.h"

#include "data/Database.h"

namespace zentuvo {

namespace {

bool hasColumn(Connection& db, const QString& table, const QString& column) {
    auto q = db.prepare(QStringLiteral("SELECT name FROM pragma_table_info(?)"));
    q.bind(1, table);
    while (q.next())
        if (q.text(0).compare(column, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

void readTargets(const QString& path, const QString& table, const QString& idColumn,
                 ChannelRef (*ref)(qint32), std::vector<GuideTarget>& out) {
    if (path.isEmpty())
        return;
    Connection db(path, Connection::Mode::ReadOnly);
    const QString id = hasColumn(db, table, idColumn) ? idColumn : QStringLiteral("''");
    auto q = db.prepare(QStringLiteral("SELECT channelID, %1, name FROM %2").arg(id, table));
    while (q.next())
        out.push_back({ref(qint32(q.integer(0))), q.text(1).trimmed(), q.text(2)});
}

} // namespace

std::vector<GuideTarget> loadGuideTargets(const QString& catalogueDb, const QString& myListDb) {
    std::vector<GuideTarget> out;
    readTargets(catalogueDb, QStringLiteral("tab_channels"), QStringLiteral("code"),
                &ChannelRef::catalogue, out);
    readTargets(myListDb, QStringLiteral("tab_mylist"), QStringLiteral("tvgId"),
                &ChannelRef::myList, out);
    return out;
}

QString guideNameKey(const QString& name) {
    QString key;
    key.reserve(name.size());
    for (const QChar c : name.toCaseFolded())
        if (!c.isSpace() && !c.isPunct())
            key.append(c);
    return key;
}

GuideMatcher::GuideMatcher(std::vector<GuideTarget> targets)
    : targets_(std::move(targets)), assigned_(targets_.size()),
      assignedById_(targets_.size(), false) {
    for (int i = 0; i < int(targets_.size()); ++i) {
        if (!targets_[i].id.isEmpty())
            byId_[targets_[i].id.toCaseFolded()].append(i);
        const QString key = guideNameKey(targets_[i].name);
        if (!key.isEmpty())
            byName_[key].append(i);
    }
}

void GuideMatcher::assign(int target, const QString& guideId, bool byId) {
    QString& previous = assigned_[size_t(target)];
    if (!previous.isNull())
        fed_[previous].removeOne(target);
    previous = guideId;
    assignedById_[size_t(target)] = byId;
    fed_[guideId].append(target);
}

void GuideMatcher::addChannel(const XmltvChannel& channel) {
    if (const auto known = guides_.constFind(channel.id); known != guides_.cend()) {
        // The first of a repeated id counts, unless only a programme named it so far.
        if (!known->nameKeys.isEmpty() || !known->icon.isEmpty())
            return;
        guides_.remove(channel.id);
        order_.removeOne(channel.id);
    }
    Guide guide;
    guide.order = int(order_.size());
    guide.icon = channel.icon;
    for (const QString& name : channel.displayNames) {
        const QString key = guideNameKey(name);
        if (!key.isEmpty() && !guide.nameKeys.contains(key))
            guide.nameKeys.append(key);
    }
    order_.append(channel.id);
    guides_.insert(channel.id, guide);
    for (const int target : byId_.value(channel.id.toCaseFolded()))
        if (!assignedById_[size_t(target)])
            assign(target, channel.id, true);
    if (finished_)
        matchNames(channel.id, guide);
}

void GuideMatcher::matchNames(const QString& guideId, const Guide& guide) {
    for (const QString& key : guide.nameKeys)
        for (const int target : byName_.value(key))
            if (assigned_[size_t(target)].isNull())
                assign(target, guideId, false);
}

void GuideMatcher::finish() {
    if (finished_)
        return;
    finished_ = true;
    for (const QString& id : std::as_const(order_))
        matchNames(id, guides_[id]);
}

int GuideMatcher::matchedCount() const {
    int n = 0;
    for (const QString& id : assigned_)
        n += id.isNull() ? 0 : 1;
    return n;
}

} // namespace zentuvo
