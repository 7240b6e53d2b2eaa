#pragma once

#include "data/CatalogueSearch.h"
#include "data/ChannelHealth.h"
#include "ui/widgets/ListView.h"

#include <QAbstractTableModel>
#include <QHash>
#include <functional>
#include <optional>
#include <vector>

namespace zentuvo {

// The search window's result rows: country, channel, description, genre, keyed by the
// catalogue key of the channel. All rows go in with one reset, so a refill with tens of
// thousands of hits costs one repaint.
//
// Sorting follows the list's column clicks: nothing is sorted until the first click; from
// then on the chosen column and order apply to every later refill too.
class SearchResultModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kColumns = 4;
    // The role under which a row's channel (a ChannelRef) is read.
    static constexpr int ChannelRole = ListView::ChannelRole;

    explicit SearchResultModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The column and order rows are sorted by.
    struct SortState {
        int column = 0;
        Qt::SortOrder order = Qt::AscendingOrder;
        bool operator==(const SortState&) const = default;
    };
    // Nothing until the first header click.
    std::optional<SortState> sortState() const;

    // Replaces every row. With sorting on, the rows are sorted here unless `sortedBy` says
    // they already are in the order in force.
    void setRows(std::vector<SearchHit> rows, std::optional<SortState> sortedBy = std::nullopt);
    void clear();
    void setHeaders(const QStringList& headers);
    ChannelRef channelAt(int row) const;
    // The channels' check states (by ChannelRef::key()), shown as an icon in the first column
    // with the tooltip healthTip gives; none while empty.
    void setHealth(QHash<quint64, ChannelHealth> health,
                   std::function<QString(const ChannelHealth&)> healthTip);
    QString cell(int row, int column) const;

    // A click on the header of `column`: a second click on the same column reverses the
    // order; a click on another column keeps it. Returns the order now in force.
    Qt::SortOrder headerClicked(int column);
    bool sortingOn() const { return sortingOn_; }
    int sortColumn() const { return sortColumn_; }
    Qt::SortOrder sortOrder() const { return sortOrder_; }

    // Sorts rows by a column, text order without regard to case, keeping rows that compare
    // equal in their order. Gives each old row's new position. Touches no model, so it may
    // run on any thread.
    static std::vector<int> sortHits(std::vector<SearchHit>& rows, int column, Qt::SortOrder order);

private:
    std::vector<SearchHit> rows_;
    QStringList headers_;
    QHash<quint64, ChannelHealth> health_;
    std::function<QString(const ChannelHealth&)> healthTip_;
    bool sortingOn_ = false;
    int sortColumn_ = 0;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

} // namespace zentuvo
