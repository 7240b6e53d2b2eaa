#include "ui/dialogs/SearchResultModel.h"

#include "ui/widgets/HealthMarks.h"

#include "ui/widgets/RowOrder.h"

#include <algorithm>
#include <numeric>

namespace zentuvo {

namespace {

const QString& field(const SearchHit& hit, int column) {
    switch (column) {
    case 0:
        return hit.countryName;
    case 1:
        return hit.name;
    case 2:
        return hit.description;
    default:
        return hit.genre;
    }
}

} // namespace

SearchResultModel::SearchResultModel(QObject* parent) : QAbstractTableModel(parent) {}

int SearchResultModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.size());
}

int SearchResultModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant SearchResultModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= int(rows_.size()))
        return {};
    const SearchHit& hit = rows_[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole: {
        const QString& text = field(hit, index.column());
        // A description shows on one line; the tool tip holds it whole.
        if (index.column() == 2 && text.contains(u'\n'))
            return QString(text).replace(u'\n', u' ');
        return text;
    }
    case Qt::ToolTipRole:
        if (index.column() == 0 && !health_.isEmpty() && healthTip_)
            return healthTip_(health_.value(hit.channel().key()));
        return index.column() == 2 && !hit.description.isEmpty() ? QVariant(hit.description)
                                                                 : QVariant();
    case Qt::DecorationRole:
        if (index.column() == 0 && !health_.isEmpty())
            return healthIcon(health_.value(hit.channel().key()).state);
        return {};
    case ChannelRole:
        return QVariant::fromValue(hit.channel());
    default:
        return {};
    }
}

void SearchResultModel::setHealth(QHash<quint64, ChannelHealth> health,
                                  std::function<QString(const ChannelHealth&)> healthTip) {
    health_ = std::move(health);
    healthTip_ = std::move(healthTip);
    if (!rows_.empty())
        emit dataChanged(index(0, 0), index(int(rows_.size()) - 1, 0),
                         {Qt::DecorationRole, Qt::ToolTipRole});
}

QVariant SearchResultModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < headers_.size())
        return headers_[section];
    return QAbstractTableModel::headerData(section, orientation, role);
}

void SearchResultModel::setRows(std::vector<SearchHit> rows, std::optional<SortState> sortedBy) {
    beginResetModel();
    rows_ = std::move(rows);
    if (sortingOn_ && sortedBy != sortState())
        sortHits(rows_, sortColumn_, sortOrder_);
    endResetModel();
}

void SearchResultModel::clear() {
    setRows({});
}

void SearchResultModel::setHeaders(const QStringList& headers) {
    headers_ = headers;
    emit headerDataChanged(Qt::Horizontal, 0, kColumns - 1);
}

ChannelRef SearchResultModel::channelAt(int row) const {
    return row >= 0 && row < int(rows_.size()) ? rows_[size_t(row)].channel() : ChannelRef();
}

QString SearchResultModel::cell(int row, int column) const {
    return row >= 0 && row < int(rows_.size()) ? field(rows_[size_t(row)], column) : QString();
}

Qt::SortOrder SearchResultModel::headerClicked(int column) {
    sortingOn_ = true;
    if (column == sortColumn_)
        sortOrder_ = sortOrder_ == Qt::DescendingOrder ? Qt::AscendingOrder : Qt::DescendingOrder;
    sortColumn_ = column;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const std::vector<int> moved = sortHits(rows_, sortColumn_, sortOrder_);
    // The selected and current rows follow their channels.
    const QModelIndexList before = persistentIndexList();
    changePersistentIndexList(
        before, movedIndexes(before, moved, [this](int r, int c) { return index(r, c); }));
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    return sortOrder_;
}

std::optional<SearchResultModel::SortState> SearchResultModel::sortState() const {
    if (!sortingOn_)
        return std::nullopt;
    return SortState{sortColumn_, sortOrder_};
}

std::vector<int> SearchResultModel::sortHits(std::vector<SearchHit>& rows, int column,
                                             Qt::SortOrder order) {
    const bool descending = order == Qt::DescendingOrder;
    std::vector<int> byOrder(rows.size());
    std::iota(byOrder.begin(), byOrder.end(), 0);
    std::stable_sort(byOrder.begin(), byOrder.end(), [&](int a, int b) {
        const int c = field(rows[size_t(a)], column)
                          .compare(field(rows[size_t(b)], column), Qt::CaseInsensitive);
        return descending ? c > 0 : c < 0;
    });
    return applyRowOrder(rows, byOrder);
}

} // namespace zentuvo
