#include "ui/main/ChannelListPanel.h"

#include "app/AppContext.h"
#include "common/ErrorReport.h"
#include "common/Messages.h"
#include "data/CatalogueLists.h"
#include "data/ChannelRef.h"
#include "data/Database.h"
#include "data/Favourites.h"
#include "data/VbConvert.h"
#include "ui/main/ChannelListModel.h"
#include "ui/main/MainWidgets.h"
#include "ui/main/NowColumnDelegate.h"
#include "ui/main/RefillLock.h"
#include "ui/widgets/ListView.h"

#include <QComboBox>
#include <QFutureWatcher>
#include <QHeaderView>
#include <QLabel>
#include <QSignalBlocker>
#include <QtConcurrent/QtConcurrentRun>
#include <exception>
#include <optional>

namespace zentuvo {

namespace {

// What a refill hands from its worker thread to the panel.
struct FilledRows {
    std::vector<ChannelRow> rows;
    std::exception_ptr error;
};

// Reads the rows on the worker thread, then orders them by the column the user sorted the
// list by (-1: none), as the model would.
FilledRows readRows(const QString& channelDb, const ChannelListFilter& filter,
                    const QHash<QString, QString>& genres, int sortColumn,
                    Qt::SortOrder sortOrder) {
    ChannelListResult read = readChannelList(channelDb, filter);
    FilledRows out;
    out.error = read.error;
    out.rows.reserve(read.entries.size());
    for (ChannelListEntry& e : read.entries) {
        ChannelRow row;
        row.cells[0] = std::move(e.country);
        row.cells[1] = std::move(e.name);
        row.cells[2] = genres.value(e.genre, e.genre);
        row.channel = ChannelRef::catalogue(qint32(e.channelID));
        row.fav = e.fav;
        out.rows.push_back(std::move(row));
    }
    if (!out.error)
        sortChannelRows(out.rows, sortColumn, sortOrder);
    return out;
}

} // namespace

ChannelListPanel::ChannelListPanel(AppContext& app, MainWidgets& ui, QObject* parent)
    : QObject(parent), app_(app), ui_(ui), model_(new ChannelListModel(3, 1, this)) {
    const int now = model_->addNowColumn();
    ui_.lvwChannels->setModel(model_);
    ui_.lvwChannels->setItemDelegateForColumn(now, new NowColumnDelegate(ui_.lvwChannels));
    QHeaderView* header = ui_.lvwChannels->header();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(false);
    connect(header, &QHeaderView::sectionClicked, this, &ChannelListPanel::onHeaderClicked);
    connect(ui_.cboCountry, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            onCountrySelected();
    });
    connect(ui_.imgButtonFavourites, &QToolButton::clicked, this,
            &ChannelListPanel::onFavouritesClicked);
}

ChannelListPanel::~ChannelListPanel() = default;

void ChannelListPanel::loadCountryFilter() {
    int remembered = -1;
    try {
        const QSignalBlocker quiet(ui_.cboCountry);
        ui_.cboCountry->clear();
        ui_.cboCountry->addItem(QStringLiteral("ALL"), -1);
        ui_.cboCountry->addItem(QStringLiteral("MY FAVOURITES"), 0);
        ui_.cboCountry->setCurrentIndex(-1);
        readCountriesWithChannels(app_.paths().catalogue, [&](int id, const QString& name) {
            ui_.cboCountry->addItem(name, id);
            if (id == app_.preferences().defaultCountry())
                remembered = ui_.cboCountry->count() - 1;
        });
    } catch (const std::exception& e) {
        app_.messages.critical(QStringLiteral("Error in LoadComboFilterCountry: ") +
                               errorDescription(e));
        return;
    }
    int select = 0;
    if (app_.preferences().rememberCountry() == 1) {
        if (app_.preferences().defaultCountry() == -1)
            select = 0;
        else if (app_.preferences().defaultCountry() == 0)
            select = 1;
        else
            select = remembered; // none when that country has no channels any more
    }
    {
        const QSignalBlocker quiet(ui_.cboCountry);
        ui_.cboCountry->setCurrentIndex(select);
    }
    if (select >= 0)
        onCountrySelected();
}

void ChannelListPanel::onCountrySelected() {
    const std::optional<int> filter = selectedFilter();
    if (!filter)
        return;
    startFill(*filter == -1  ? ChannelListFilter::all()
              : *filter == 0 ? ChannelListFilter::favourites()
                             : ChannelListFilter::ofCountry(*filter),
              true);
}

std::optional<int> ChannelListPanel::selectedFilter() const {
    const int index = ui_.cboCountry->currentIndex();
    if (index < 0)
        return std::nullopt;
    return ui_.cboCountry->itemData(index).toInt();
}

void ChannelListPanel::fillChannels(const QString& countryID) {
    ChannelListFilter filter;
    try {
        const double value = leadingNumber(countryID);
        if (value == 0) {
            filter = ChannelListFilter::favourites();
        } else if (value != -1) {
            bool whole = false;
            const int number = countryID.trimmed().toInt(&whole);
            if (!whole)
                throw DbError(QStringLiteral("'%1' is not a country number").arg(countryID));
            filter = ChannelListFilter::ofCountry(number);
        }
    } catch (const std::exception& e) {
        // Any refill still waiting is stale now: the list stays empty.
        ++fillGeneration_;
        lock_.reset();
        model_->clear();
        app_.messages.critical(QStringLiteral("Error in MakeLvwChannelsContents: ") +
                               errorDescription(e));
        return;
    }
    startFill(filter, false);
}

void ChannelListPanel::startFill(const ChannelListFilter& filter, bool thenColumns) {
    model_->clear();
    // Each refill has a number; one started while this one waits makes its rows stale.
    const quint64 generation = ++fillGeneration_;
    lock_.reset();
    lock_ = std::make_unique<RefillLock>(ui_.lvwChannels);
    const int sortColumn = model_->sortColumn();
    const Qt::SortOrder sortOrder = model_->sortOrder();
    auto* watcher = new QFutureWatcher<FilledRows>(this);
    connect(watcher, &QFutureWatcherBase::finished, this,
            [this, watcher, generation, sortColumn, sortOrder, thenColumns] {
                watcher->deleteLater();
                if (generation != fillGeneration_)
                    return; // a newer refill replaced this one
                FilledRows result = watcher->future().takeResult();
                lock_.reset();
                if (result.error) {
                    // What was read so far stays in the list; the counter keeps its old text.
                    model_->setRows(std::move(result.rows));
                    reportErrors(app_.messages, "MakeLvwChannelsContents",
                                 [&] { std::rethrow_exception(result.error); });
                } else {
                    if (sortColumn >= 0)
                        model_->setProperty("zentuvoPresortedFor", sortColumn * 2 + int(sortOrder));
                    model_->setRows(std::move(result.rows));
                    ui_.lblChannelCount->setText(QString::number(model_->rowCount()));
                }
                if (thenColumns)
                    sizeChannelColumns();
                emit filled();
            });
    watcher->setFuture(QtConcurrent::run(readRows, app_.paths().catalogue, filter,
                                         app_.genreNames(), sortColumn, sortOrder));
}

void ChannelListPanel::sizeChannelColumns() {
    try {
        ListView* list = ui_.lvwChannels;
        const float space = float(list->columnSpace());
        auto width = [space](float percent) { return int(space * percent / 100.0f); };
        if (ui_.cboCountry->currentIndex() < 2) {
            list->setColumnHidden(0, false);
            model_->setHealthColumn(0);
            list->setColumnWidth(0, width(20));
            list->setColumnWidth(1, width(32));
            list->setColumnWidth(2, width(20));
            list->setColumnWidth(3, width(27));
        } else {
            list->setColumnHidden(0, true); // the country is the filter: no column for it
            model_->setHealthColumn(1);     // the marks go before the name's logo
            list->setColumnWidth(1, width(40));
            list->setColumnWidth(2, width(25));
            list->setColumnWidth(3, width(34));
        }
        model_->setHeaders({app_.translate(QStringLiteral("_frmMain_lvwChHeader_1")),
                            app_.translate(QStringLiteral("_frmMain_lvwChHeader_2")),
                            app_.translate(QStringLiteral("_frmMain_lvwChHeader_3")),
                            app_.translate(QStringLiteral("_frmMain_lvwChHeader_4"))});
    } catch (const std::exception& e) {
        app_.messages.critical(QStringLiteral("Error in MakeLvwChannelsColumns: ") +
                               errorDescription(e));
    }
}

void ChannelListPanel::onHeaderClicked(int column) {
    sortingOn_ = true;
    sortCurrent_ = column;
    if (sortCurrent_ == sortPrevious_)
        sortOrder_ = sortOrder_ == Qt::DescendingOrder ? Qt::AscendingOrder : Qt::DescendingOrder;
    sortPrevious_ = sortCurrent_;
    applySort();
}

void ChannelListPanel::applySort() {
    if (!sortingOn_)
        return;
    model_->sort(sortCurrent_, sortOrder_);
    QHeaderView* header = ui_.lvwChannels->header();
    header->setSortIndicatorShown(true);
    header->setSortIndicator(sortCurrent_, sortOrder_);
}

void ChannelListPanel::toggleChannelFavourite(int channelID) {
    reportErrors(app_.messages, "ToggleFavAt", [&] {
        const bool favourite = toggleFavourite(app_.paths().catalogue, channelID);
        const QList<int> selected = ui_.lvwChannels->selectedRowNumbers();
        if (!selected.isEmpty())
            model_->setFav(selected.first(), favourite);
    });
}

void ChannelListPanel::toggleSelectedFavourite() {
    reportErrors(app_.messages, "miLvwChannelsToggleFav_Click", [&] {
        const ChannelRef channel = ui_.lvwChannels->selectedChannel();
        if (channel.isNull())
            return;
        toggleChannelFavourite(channel.number());
    });
}

void ChannelListPanel::onFavouritesClicked() {
    // The selection change runs the selection handler, which refills the list.
    const int index = ui_.cboCountry->currentIndex();
    ui_.cboCountry->setCurrentIndex(index == 1 ? 0 : 1);
}

} // namespace zentuvo
