#include "ui/main/ChannelListModel.h"

#include "ui/widgets/HealthMarks.h"
#include "ui/widgets/NowNextText.h"
#include "ui/widgets/RowOrder.h"

#include <QCollator>
#include <QDateTime>
#include <QThreadPool>
#include <algorithm>
#include <memory>
#include <numeric>

namespace zentuvo {

namespace {

// The order of rows sorted by one column's text: case-insensitive and locale-aware, ties
// in their present order. The texts are case-folded first, as the collator of the "C"
// locale compares code units only.
template <typename Text>
std::vector<size_t> sortedOrder(const std::vector<ChannelRow>& rows, const Text& text,
                                Qt::SortOrder order) {
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<QCollatorSortKey> keys;
    keys.reserve(rows.size());
    for (const auto& r : rows)
        keys.push_back(collator.sortKey(text(r).toCaseFolded()));
    std::vector<size_t> index(rows.size());
    std::iota(index.begin(), index.end(), size_t(0));
    if (order == Qt::AscendingOrder)
        std::stable_sort(index.begin(), index.end(),
                         [&](size_t a, size_t b) { return keys[a].compare(keys[b]) < 0; });
    else
        std::stable_sort(index.begin(), index.end(),
                         [&](size_t a, size_t b) { return keys[b].compare(keys[a]) < 0; });
    return index;
}

QIcon loadIcon(const QString& name) {
    return QIcon(QStringLiteral(":/icons/%1.svg").arg(name));
}

} // namespace

// Sorts rows as the model does for that column and order (a column below 0 leaves them);
// the list panel sorts a refill on its worker thread with it.
void sortChannelRows(std::vector<ChannelRow>& rows, int column, Qt::SortOrder order) {
    if (column < 0 || column >= int(ChannelRow().cells.size()) || rows.size() < 2)
        return; // the Now column is sorted by the model, which holds the guide
    applyRowOrder(
        rows, sortedOrder(
                  rows, [column](const ChannelRow& r) { return r.cells[size_t(column)]; }, order));
}

ChannelListModel::ChannelListModel(int columns, int iconColumn, QObject* parent)
    : QAbstractTableModel(parent), columns_(std::clamp(columns, 1, 3)), iconColumn_(iconColumn),
      starBlue_(loadIcon(QStringLiteral("star_blue"))), empty_(loadIcon(QStringLiteral("empty"))),
      clock_([] { return QDateTime::currentSecsSinceEpoch(); }) {}

int ChannelListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

int ChannelListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : columns_ + (nowColumn_ >= 0 ? 1 : 0);
}

QVariant ChannelListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= int(rows_.size()) || index.column() >= columnCount())
        return {};
    const ChannelRow& r = rows_[size_t(index.row())];
    if (index.column() == nowColumn_ && (role == Qt::DisplayRole || role == ProgressRole)) {
        const NowNext at = nowNext(r.channel);
        if (role == ProgressRole)
            return programmeProgress(at.now, clock_());
        return at.now.title;
    }
    switch (role) {
    case Qt::DisplayRole:
        return r.cells[size_t(index.column())];
    case Qt::DecorationRole:
        if (index.column() == logoColumn_ && index.column() != iconColumn_)
            return logoDecoration(r, index.column());
        if (index.column() == iconColumn_)
            return r.fav ? favouriteIcon() : emptyIcon();
        if (index.column() == healthColumn_ && !health_.isEmpty())
            return healthIcon(health_.value(r.channel.key()).state);
        return {};
    case Qt::ToolTipRole: {
        QStringList lines;
        if (!health_.isEmpty() && healthTip_)
            lines << healthTip_(health_.value(r.channel.key()));
        if (guideTip_ && nowNext_.size() > 0) {
            const NowNext at = nowNext(r.channel);
            if (at.hasNow() || at.hasNext())
                lines << guideTip_(at);
        }
        return lines.isEmpty() ? QVariant() : QVariant(lines.join(u'\n'));
    }
    case ChannelRole:
        return QVariant::fromValue(r.channel);
    case LogoRole:
        return index.column() == logoColumn_ ? logoDecoration(r, index.column()) : QVariant();
    default:
        return {};
    }
}

QVariant ChannelListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < headers_.size())
        return headers_[section];
    return QAbstractTableModel::headerData(section, orientation, role);
}

void ChannelListModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= columnCount())
        return;
    sortColumn_ = column;
    sortOrder_ = order;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<size_t> byText;
    if (column == nowColumn_)
        byText = sortedOrder(
            rows_, [this](const ChannelRow& r) { return nowTitle(r.channel); }, order);
    else
        byText = sortedOrder(
            rows_, [column](const ChannelRow& r) { return r.cells[size_t(column)]; }, order);
    const std::vector<int> newPlace = applyRowOrder(rows_, byText);
    rowOf_.clear();
    const QModelIndexList before = persistentIndexList();
    changePersistentIndexList(
        before, movedIndexes(before, newPlace, [this](int r, int c) { return createIndex(r, c); }));
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void ChannelListModel::sortRows(std::vector<ChannelRow>& rows) const {
    if (sortingOn() && sortColumn_ == nowColumn_)
        applyRowOrder(rows, sortedOrder(
                                rows, [this](const ChannelRow& r) { return nowTitle(r.channel); },
                                sortOrder_));
    else if (sortingOn())
        sortChannelRows(rows, sortColumn_, sortOrder_);
}

void ChannelListModel::setRows(std::vector<ChannelRow> rows) {
    // "zentuvoPresortedFor" (column * 2 + order) says the rows come sorted for that order
    // already; set for one call only.
    const QVariant presorted = property("zentuvoPresortedFor");
    setProperty("zentuvoPresortedFor", QVariant());
    if (!presorted.isValid() || presorted.toInt() != sortColumn_ * 2 + int(sortOrder_) ||
        sortColumn_ == nowColumn_)
        sortRows(rows);
    if (hideOffline_)
        std::erase_if(rows, [this](const ChannelRow& r) {
            return health_.value(r.channel.key()).state == HealthState::Offline;
        });
    beginResetModel();
    rows_ = std::move(rows);
    rowOf_.clear();
    endResetModel();
}

void ChannelListModel::setHealthTip(std::function<QString(const ChannelHealth&)> healthTip) {
    healthTip_ = std::move(healthTip);
}

void ChannelListModel::setHealth(QHash<quint64, ChannelHealth> health) {
    health_ = std::move(health);
    if (hideOffline_)
        removeOffline();
    if (!rows_.empty())
        emit dataChanged(index(0, 0), index(int(rows_.size()) - 1, columnCount() - 1),
                         {Qt::DecorationRole, Qt::ToolTipRole});
}

void ChannelListModel::updateHealth(ChannelRef channel, const ChannelHealth& health) {
    health_.insert(channel.key(), health);
    const int r = rowOf(channel);
    if (r < 0)
        return;
    if (hideOffline_ && health.state == HealthState::Offline) {
        beginRemoveRows({}, r, r);
        rows_.erase(rows_.begin() + r);
        rowOf_.clear();
        endRemoveRows();
        return;
    }
    emit dataChanged(index(r, 0), index(r, columnCount() - 1),
                     {Qt::DecorationRole, Qt::ToolTipRole});
}

void ChannelListModel::setHideOffline(bool hide) {
    hideOffline_ = hide;
    if (hide)
        removeOffline();
}

void ChannelListModel::removeOffline() {
    const auto offline = [this](const ChannelRow& r) {
        return health_.value(r.channel.key()).state == HealthState::Offline;
    };
    if (std::none_of(rows_.begin(), rows_.end(), offline))
        return;
    beginResetModel();
    std::erase_if(rows_, offline);
    rowOf_.clear();
    endResetModel();
}

int ChannelListModel::rowOf(ChannelRef channel) {
    if (rowOf_.isEmpty() && !rows_.empty()) {
        rowOf_.reserve(qsizetype(rows_.size()));
        for (size_t r = 0; r < rows_.size(); ++r)
            rowOf_.insert(rows_[r].channel.key(), int(r));
    }
    return rowOf_.value(channel.key(), -1);
}

void ChannelListModel::clear() {
    std::vector<ChannelRow> old;
    beginResetModel();
    old.swap(rows_);
    rowOf_.clear();
    endResetModel();
    // Freeing a hundred thousand rows, scattered in memory once sorted, takes tens of
    // milliseconds: a large list is freed on a pool thread, off the event loop.
    if (old.size() >= 20000) {
        auto rows = std::make_shared<std::vector<ChannelRow>>(std::move(old));
        QThreadPool::globalInstance()->start([rows = std::move(rows)]() mutable { rows.reset(); });
    }
}

ChannelRef ChannelListModel::channelAt(int r) const {
    return r >= 0 && r < int(rows_.size()) ? rows_[size_t(r)].channel : ChannelRef();
}

void ChannelListModel::setFav(int r, bool fav) {
    if (r < 0 || r >= int(rows_.size()))
        return;
    rows_[size_t(r)].fav = fav;
    if (iconColumn_ >= 0) {
        const QModelIndex cell = index(r, iconColumn_);
        emit dataChanged(cell, cell, {Qt::DecorationRole});
    }
}

void ChannelListModel::setHeaders(const QStringList& headers) {
    headers_ = headers;
    emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

int ChannelListModel::addNowColumn() {
    if (nowColumn_ < 0) {
        beginInsertColumns({}, columns_, columns_);
        nowColumn_ = columns_;
        endInsertColumns();
    }
    return nowColumn_;
}

void ChannelListModel::setClock(std::function<qint64()> clock) {
    clock_ = std::move(clock);
}

void ChannelListModel::setGuideTip(std::function<QString(const NowNext&)> guideTip) {
    guideTip_ = std::move(guideTip);
}

void ChannelListModel::setNowNext(GuideNowNext snapshot) {
    nowNext_ = std::move(snapshot);
    if (rows_.empty())
        return;
    if (sortingOn() && sortColumn_ == nowColumn_)
        sort(sortColumn_, sortOrder_);
    emit dataChanged(index(0, 0), index(int(rows_.size()) - 1, columnCount() - 1),
                     {Qt::DisplayRole, ProgressRole, Qt::ToolTipRole});
}

NowNext ChannelListModel::nowNext(ChannelRef channel) const {
    const NowNext* entry = nowNext_.find(channel);
    return entry ? nowNextAt(*entry, clock_()) : NowNext{};
}

QString ChannelListModel::nowTitle(ChannelRef channel) const {
    return nowNext(channel).now.title;
}

} // namespace zentuvo
