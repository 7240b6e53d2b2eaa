#pragma once

#include "data/ChannelListQuery.h"

#include <QObject>
#include <QString>
#include <memory>
#include <optional>

namespace zentuvo {

class AppContext;
class ChannelListModel;
struct MainWidgets;
class RefillLock;

// The catalogue side of the main window: the country filter (cboCountry with "ALL",
// "MY FAVOURITES" and every country that has channels), the catalogue list lvwChannels with
// its row counter, sorting by column, and the favourite marks.
//
// The list is filled on a worker thread with a connection of its own, so that a large
// catalogue does not stop the event loop: a fill empties the list at once and its rows arrive
// later, with filled() (a newer fill makes an older one's rows stale; they never arrive).
class ChannelListPanel : public QObject {
    Q_OBJECT
public:
    ChannelListPanel(AppContext& app, MainWidgets& ui, QObject* parent = nullptr);
    ~ChannelListPanel() override;

    ChannelListModel* model() const { return model_; }

    // Fills the filter selector, then selects the remembered or the default filter, which
    // fills the list.
    void loadCountryFilter();
    // Starts a refill for a filter number written as text: "-1" all channels, "0" (or any
    // text whose value is 0) the favourites, otherwise a countryID. The list is empty until
    // the rows arrive (then the counter shows their number and filled() comes); a text that
    // is not a number is reported at once and fills nothing.
    void fillChannels(const QString& countryID);
    // True from the start of a refill until its rows arrive.
    bool filling() const { return lock_ != nullptr; }
    // Sets the columns' widths for the current filter (the Now column last) and their headers.
    void sizeChannelColumns();
    // The selector's selection handler: refill, then columns once the rows arrived.
    void onCountrySelected();
    // A click on the header of a 0-based column: sort by it; the same column twice in a
    // row flips the order.
    void onHeaderClicked(int column);

    // Flips the favourite mark of a channel in the catalogue and sets the icon of the
    // selected row to match. The list is not refilled.
    void toggleChannelFavourite(int channelID);
    // Toggles the selected row; nothing without one.
    void toggleSelectedFavourite();
    // Switches the filter between MY FAVOURITES and ALL.
    void onFavouritesClicked();

    // The item number of the selected filter entry (-1, 0 or a countryID); none without a
    // selection.
    std::optional<int> selectedFilter() const;
    // The 0-based columns of the last header click and of the one before.
    int currentSortColumn() const { return sortCurrent_; }
    int previousSortColumn() const { return sortPrevious_; }

signals:
    // The rows of the latest refill are in the list (also after a failed read, with what was
    // read before it).
    void filled();

private:
    void startFill(const ChannelListFilter& filter, bool thenColumns);
    void applySort();

    AppContext& app_;
    MainWidgets& ui_;
    ChannelListModel* model_;
    int sortCurrent_ = 0;
    int sortPrevious_ = 0;
    bool sortingOn_ = false;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    quint64 fillGeneration_ = 0;       // the number of the latest refill
    std::unique_ptr<RefillLock> lock_; // while a refill waits for its rows
};

} // namespace zentuvo
