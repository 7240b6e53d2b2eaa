#pragma once

#include "data/ChannelHealth.h"
#include "data/ChannelRef.h"
#include "data/GuideNowNext.h"
#include "ui/widgets/ListView.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <vector>

namespace zentuvo {

// One row of a channel list: up to three cell texts, the favourite mark shown as the icon of
// the name cell, and the channel it names, the only datum other parts read from a row.
struct ChannelRow {
    std::array<QString, 3> cells;
    ChannelRef channel;
    bool fav = false;
};

// Sorts rows as the model does for a column and order (-1: leaves them as they are).
void sortChannelRows(std::vector<ChannelRow>& rows, int column, Qt::SortOrder order);

// A list of channel rows held in one vector, so that tens of thousands of rows go in with
// one model reset. Sorting is done here and, once chosen, applies to every later refill.
class ChannelListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // The role under which a row's channel (a ChannelRef) is read.
    static constexpr int ChannelRole = ListView::ChannelRole;
    // The role under which the "Now" column gives how far the running programme has run, in
    // thousandths; -1 when nothing runs.
    static constexpr int ProgressRole = ListView::ChannelRole + 1;

    // columns: 2 or 3; iconColumn: the column that shows the favourite mark, -1 for none.
    ChannelListModel(int columns, int iconColumn, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // Replaces every row; with sorting on, the new rows come out sorted.
    void setRows(std::vector<ChannelRow> rows);
    void clear();
    const ChannelRow& row(int r) const { return rows_.at(size_t(r)); }
    // The channel of a row; a null reference for a row that does not exist.
    ChannelRef channelAt(int r) const;

    // Changes the favourite mark of one row in place; only its name cell is repainted.
    void setFav(int r, bool fav);

    void setHeaders(const QStringList& headers);

    // Stream checks: each row's state as an icon in the first column and a tooltip (the text
    // healthTip gives) on every cell. setHealth replaces every state (keyed by ChannelRef::key()),
    // updateHealth one. While offline channels are hidden, a row whose channel is offline leaves
    // the list.
    void setHealthTip(std::function<QString(const ChannelHealth&)> healthTip);
    void setHealth(QHash<quint64, ChannelHealth> health);
    void updateHealth(ChannelRef channel, const ChannelHealth& health);
    ChannelHealth health(ChannelRef channel) const { return health_.value(channel.key()); }
    void setHideOffline(bool hide);
    // The column whose cells show the state's mark (0 unless set). When it is the logo column
    // the mark comes before the logo (for a list whose first column is hidden).
    void setHealthColumn(int column);

    // The "Now" column: added after the text columns, it shows the title of the programme
    // running on the row's channel by the snapshot at the clock's time (UTC seconds; the
    // system clock unless set). Sorting by it sorts by that title. guideTip gives the lines
    // the tooltip shows after the health text. Returns the column.
    int addNowColumn();
    int nowColumn() const { return nowColumn_; }
    void setClock(std::function<qint64()> clock);
    void setGuideTip(std::function<QString(const NowNext&)> guideTip);
    // Replaces the snapshot; the rows stay, their Now cells and tooltips are repainted (and
    // resorted while sorted by the Now column).
    void setNowNext(GuideNowNext snapshot);
    // The running and next programme of a channel at the clock's time.
    NowNext nowNext(ChannelRef channel) const;

    bool sortingOn() const { return sortColumn_ >= 0; }
    int sortColumn() const { return sortColumn_; }
    Qt::SortOrder sortOrder() const { return sortOrder_; }

    // The pictures of the favourite mark: "star_blue" and "empty".
    const QIcon& favouriteIcon() const { return starBlue_; }
    const QIcon& emptyIcon() const { return empty_; }

    // Channel logos: the picture logo gives for a row's channel and the text of column, read
    // under LogoRole, and column's decoration unless that column shows the favourite mark
    // (a LogoBesideIcon delegate paints the logo beside it). refreshLogos() asks the views to
    // paint them again, as when logos have come.
    static constexpr int LogoRole = ProgressRole + 1;
    using LogoFunction = std::function<QPixmap(ChannelRef channel, const QString& name)>;
    void setLogos(int column, LogoFunction logo);
    void refreshLogos();

private:
    void sortRows(std::vector<ChannelRow>& rows) const;
    QString nowTitle(ChannelRef channel) const;

    int columns_;
    int iconColumn_;
    std::vector<ChannelRow> rows_;
    QStringList headers_;
    int sortColumn_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    QIcon starBlue_;
    QIcon empty_;
    void removeOffline();
    int rowOf(ChannelRef channel); // -1 when no row shows it
    QHash<quint64, ChannelHealth> health_;
    QHash<quint64, int> rowOf_; // built when first needed after a change of the rows
    std::function<QString(const ChannelHealth&)> healthTip_;
    bool hideOffline_ = false;
    QVariant logoDecoration(const ChannelRow& row, int column) const;
    int logoColumn_ = -1;
    int healthColumn_ = 0;
    LogoFunction logo_;
    int nowColumn_ = -1;
    GuideNowNext nowNext_;
    std::function<qint64()> clock_;
    std::function<QString(const NowNext&)> guideTip_;
};

} // namespace zentuvo
