#include "ui/main/ChannelListPanel.h"

#include "app/AppState.h"
#include "common/Messages.h"
#include "data/CatalogueLists.h"
#include "data/ChannelKey.h"
#include "data/Database.h"
#include "data/Favourites.h"
#include "data/VbConvert.h"
#include "ui/main/ChannelListFill.h"
#include "ui/main/ChannelListModel.h"
#include "ui/main/ListView.h"
#include "ui/main/MainWidgets.h"
#include "ui/main/UiErrors.h"

#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QSignalBlocker>
#include <exception>
#include <memory>
#include <optional>
#include <thread>

namespace zentuvo {

namespace {

// Holds the busy pointer and the drawing lock of a list for a refill; both go when it
// ends, however it ends.
class RefillLock {
public:
    explicit RefillLock(QWidget* list) : list_(list) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        list_->setUpdatesEnabled(false);
    }
    ~RefillLock() {
        if (list_)
            list_->setUpdatesEnabled(true);
        QApplication::restoreOverrideCursor();
    }
    RefillLock(const RefillLock&) = delete;
    RefillLock& operator=(const RefillLock&) = delete;

private:
    QPointer<QWidget> list_;
};

// The dynamic property that numbers the fills of a panel.
constexpr char kFillGeneration[] = "zentuvoFillGeneration";

} // namespace

ChannelListPanel::ChannelListPanel(AppState& app, MainWidgets& ui, QObject* parent)
    : QObject(parent), app_(app), ui_(ui), model_(new ChannelListModel(3, 1, this)) {
    ui_.lvwChannels->setModel(model_);
    QHeaderView* header = ui_.lvwChannels->header();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(false);
    connect(header, &QHeaderView::sectionClicked, this, &ChannelListPanel::lvwChannelsColumnClick);
    connect(ui_.cboCountry, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0)
            cboCountryClick();
    });
    connect(ui_.imgButtonFavourites, &QToolButton::clicked, this,
            &ChannelListPanel::imgButtonFavouritesClick);
}

void ChannelListPanel::LoadComboFilterCountry() {
    int remembered = -1;
    try {
        const QSignalBlocker quiet(ui_.cboCountry);
        ui_.cboCountry->clear();
        ui_.cboCountry->addItem(QStringLiteral("ALL"), -1);
        ui_.cboCountry->addItem(QStringLiteral("MY FAVOURITES"), 0);
        ui_.cboCountry->setCurrentIndex(-1);
        readCountriesWithChannels(app_.ChannelConnectionString,
                                  [&](int id, const QString& name) {
                                      ui_.cboCountry->addItem(name, id);
                                      if (id == app_.DefaultCountryID)
                                          remembered = ui_.cboCountry->count() - 1;
                                  });
    } catch (const std::exception& e) {
        app_.messages.critical(QStringLiteral("Error in LoadComboFilterCountry: ") +
                               errorDescription(e));
        return;
    }
    int select = 0;
    if (app_.RememberCountryFlag == 1) {
        if (app_.DefaultCountryID == -1)
            select = 0;
        else if (app_.DefaultCountryID == 0)
            select = 1;
        else
            select = remembered; // none when that country has no channels any more
    }
    {
        const QSignalBlocker quiet(ui_.cboCountry);
        ui_.cboCountry->setCurrentIndex(select);
    }
    if (select >= 0)
        cboCountryClick();
}

void ChannelListPanel::cboCountryClick() {
    const std::optional<int> filter = selectedFilter();
    if (!filter)
        return;
    MakeLvwChannelsContents(QString::number(*filter));
    MakeLvwChannelsColumns();
}

std::optional<int> ChannelListPanel::selectedFilter() const {
    const int index = ui_.cboCountry->currentIndex();
    if (index < 0)
        return std::nullopt;
    return ui_.cboCountry->itemData(index).toInt();
}

void ChannelListPanel::MakeLvwChannelsContents(const QString& countryID) {
    model_->clear();
    QCoreApplication::processEvents();
    // Each fill has a number; a fill started while this one waits makes its rows stale.
    const qulonglong generation = property(kFillGeneration).toULongLong() + 1;
    setProperty(kFillGeneration, generation);
    const QPointer<ChannelListPanel> self(this);
    const RefillLock lock(ui_.lvwChannels);
    auto fill = std::make_shared<ChannelListFill>();
    try {
        const double value = leadingNumber(countryID);
        if (value == 0) {
            fill->filter = ChannelListFill::Filter::Favourites;
        } else if (value != -1) {
            bool whole = false;
            countryID.trimmed().toInt(&whole);
            if (!whole)
                throw DbError(QStringLiteral("'%1' is not a country number").arg(countryID));
            fill->filter = ChannelListFill::Filter::Country;
            fill->country = countryID.trimmed().toInt();
        }
        fill->path = app_.ChannelConnectionString;
        fill->sortColumn = model_->sortColumn();
        fill->sortOrder = model_->sortOrder();
    } catch (const std::exception& e) {
        model_->setRows({});
        app_.messages.critical(QStringLiteral("Error in MakeLvwChannelsContents: ") +
                               errorDescription(e));
        return;
    }
    // The rows are read on a worker thread with its own connection, so that a large
    // catalogue does not stop the event loop; the call still returns with the list filled.
    QEventLoop wait;
    std::thread worker([fill, &wait] {
        fill->run();
        QMetaObject::invokeMethod(&wait, &QEventLoop::quit, Qt::QueuedConnection);
    });
    wait.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();
    if (!self || property(kFillGeneration).toULongLong() != generation)
        return; // the panel went, or a newer fill replaced this one
    if (fill->error) {
        // What was read so far stays in the list; the counter keeps its old text.
        model_->setRows(std::move(fill->rows));
        try {
            std::rethrow_exception(fill->error);
        } catch (const std::exception& e) {
            app_.messages.critical(QStringLiteral("Error in MakeLvwChannelsContents: ") +
                                   errorDescription(e));
        }
        return;
    }
    if (fill->sortColumn >= 0)
        model_->setProperty("zentuvoPresortedFor", fill->sortColumn * 2 + int(fill->sortOrder));
    model_->setRows(std::move(fill->rows));
    ui_.lblChannelCount->setText(QString::number(model_->rowCount()));
}

void ChannelListPanel::MakeLvwChannelsColumns() {
    try {
        ListView* list = ui_.lvwChannels;
        const float space = float(list->columnSpace());
        auto width = [space](float percent) { return int(space * percent / 100.0f); };
        if (ui_.cboCountry->currentIndex() < 2) {
            list->setColumnHidden(0, false);
            list->setColumnWidth(0, width(30));
            list->setColumnWidth(1, width(40));
            list->setColumnWidth(2, width(29));
        } else {
            list->setColumnHidden(0, true); // the country is the filter: no column for it
            list->setColumnWidth(1, width(59));
            list->setColumnWidth(2, width(40));
        }
        model_->setHeaders({app_.Translate(QStringLiteral("_frmMain_lvwChHeader_1")),
                            app_.Translate(QStringLiteral("_frmMain_lvwChHeader_2")),
                            app_.Translate(QStringLiteral("_frmMain_lvwChHeader_3"))});
    } catch (const std::exception& e) {
        app_.messages.critical(QStringLiteral("Error in MakeLvwChannelsColumns: ") +
                               errorDescription(e));
    }
}

void ChannelListPanel::lvwChannelsColumnClick(int column) {
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

void ChannelListPanel::ToggleFavAt(int channelID) {
    try {
        const bool favourite = toggleFavourite(app_.ChannelConnectionString, channelID);
        const QList<int> selected = ui_.lvwChannels->selectedRowNumbers();
        if (!selected.isEmpty())
            model_->setFav(selected.first(), favourite);
    } catch (const std::exception& e) {
        app_.messages.critical(QStringLiteral("Error in ToggleFavAt: ") + errorDescription(e));
    }
}

void ChannelListPanel::miLvwChannelsToggleFavClick() {
    try {
        const QString key = ui_.lvwChannels->selectedKey();
        if (key.isEmpty())
            return;
        ToggleFavAt(ChannelKey::number(key));
    } catch (const std::exception& e) {
        app_.messages.critical(QStringLiteral("Error in miLvwChannelsToggleFav_Click: ") +
                               errorDescription(e));
    }
}

void ChannelListPanel::imgButtonFavouritesClick() {
    // The selection change runs the selection handler, which refills the list.
    const int index = ui_.cboCountry->currentIndex();
    ui_.cboCountry->setCurrentIndex(index == 1 ? 0 : 1);
}

} // namespace zentuvo
