#pragma once

#include <QObject>
#include <QString>
#include <optional>

namespace zentuvo {

class AppState;
class ChannelListModel;
struct MainWidgets;

// The catalogue side of the main window: the country filter (cboCountry with "ALL",
// "MY FAVOURITES" and every country that has channels), the catalogue list lvwChannels with
// its row counter, sorting by column, and the favourite marks.
class ChannelListPanel : public QObject {
    Q_OBJECT
public:
    ChannelListPanel(AppState& app, MainWidgets& ui, QObject* parent = nullptr);

    ChannelListModel* model() const { return model_; }

    // Fills the filter selector, then selects the remembered or the default filter, which
    // fills the list.
    void LoadComboFilterCountry();
    // Refills the list for a filter number written as text: "-1" all channels, "0" (or any
    // text whose value is 0) the favourites, otherwise a countryID.
    void MakeLvwChannelsContents(const QString& countryID);
    // Sets the three columns' widths for the current filter and their header texts.
    void MakeLvwChannelsColumns();
    // The selector's selection handler: refill, then columns.
    void cboCountryClick();
    // A click on the header of a 0-based column: sort by it; the same column twice in a
    // row flips the order.
    void lvwChannelsColumnClick(int column);

    // Flips the favourite mark of a channel in the catalogue and sets the icon of the
    // selected row to match. The list is not refilled.
    void ToggleFavAt(int channelID);
    // Toggles the selected row; nothing without one.
    void miLvwChannelsToggleFavClick();
    // Switches the filter between MY FAVOURITES and ALL.
    void imgButtonFavouritesClick();

    // The item number of the selected filter entry (-1, 0 or a countryID); none without a
    // selection.
    std::optional<int> selectedFilter() const;
    // The 0-based columns of the last header click and of the one before.
    int currentSortColumn() const { return sortCurrent_; }
    int previousSortColumn() const { return sortPrevious_; }

private:
    void applySort();

    AppState& app_;
    MainWidgets& ui_;
    ChannelListModel* model_;
    int sortCurrent_ = 0;
    int sortPrevious_ = 0;
    bool sortingOn_ = false;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

} // namespace zentuvo
