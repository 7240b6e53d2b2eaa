#include "ui/main/MainCommands.h"

#include "app/AppContext.h"
#include "app/ChannelHomePage.h"
#include "app/DesktopLinks.h"
#include "common/ErrorReport.h"
#include "common/Messages.h"
#include "common/Shell.h"
#include "ui/main/ChannelListPanel.h"
#include "ui/main/MainMenus.h"
#include "ui/main/MainWidgets.h"
#include "ui/main/MyListPanel.h"
#include "ui/widgets/ListView.h"

#include <QShortcut>
#include <QSlider>
#include <QToolButton>

namespace zentuvo {

namespace {

// The busy pointer over the main window while a player starts.
class BusyPointer {
public:
    explicit BusyPointer(QWidget* window) : window_(window) { window_->setCursor(Qt::WaitCursor); }
    ~BusyPointer() { release(); }
    void release() {
        if (window_)
            window_->unsetCursor();
        window_ = nullptr;
    }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    QWidget* window_;
};

} // namespace

MainCommands::MainCommands(AppContext& app, MainWidgets& ui, MainMenus& menus,
                           ChannelListPanel& channels, MyListPanel& myList, QWidget* window)
    : QObject(window), app_(app), ui_(ui), menus_(menus), channels_(channels), myList_(myList),
      window_(window) {
    connectLists();
    connectMenus();
    connectButtons();
    connectKeys();
}

void MainCommands::connectLists() {
    connect(ui_.lvwChannels, &ListView::mouseReleased, this,
            [this](Qt::MouseButton button, const QPoint& at, const QPoint& global) {
                reportErrors(app_.messages, "lvwChannels_MouseUp", [&] {
                    lastListMouse = at;
                    if (button == Qt::RightButton && ui_.lvwChannels->rowAt(at))
                        menus_.mnuLvwChannels->popup(global);
                });
            });
    connect(ui_.lvwMyList, &ListView::mouseReleased, this,
            [this](Qt::MouseButton button, const QPoint& at, const QPoint& global) {
                reportErrors(app_.messages, "lvwMyList_MouseUp", [&] {
                    lastListMouse = at;
                    if (button == Qt::RightButton)
                        menus_.mnuLvwMyList->popup(global);
                });
            });
    connect(ui_.lvwChannels, &ListView::doubleClickedAnywhere, this,
            &MainCommands::playSelectedChannel);
    connect(ui_.lvwMyList, &ListView::doubleClickedAnywhere, this,
            &MainCommands::playSelectedMyListChannel);
    connect(ui_.lvwMyList, &ListView::keyDown, this, [this](int key) {
        if (key == Qt::Key_Delete)
            myList_.deleteSelectedMyListChannels();
    });
}

void MainCommands::connectMenus() {
    MainMenus& m = menus_;
    auto on = [this](QAction* action, auto&& slot) {
        connect(action, &QAction::triggered, this, std::forward<decltype(slot)>(slot));
    };
    on(m.miLvwChannelsPlay, [this] { playSelectedChannel(); });
    on(m.miLvwChannelsPreview, [this] { onChannelPreviewTriggered(); });
    on(m.miLvwChannelsProperty, [this] { onChannelPropertyTriggered(); });
    on(m.miLvwChannelsVisitHomePage, [this] { onChannelHomePageTriggered(); });
    on(m.miLvwChannelsToggleFav, [this] { channels_.toggleSelectedFavourite(); });
    on(m.miLvwMyListPlay, [this] { playSelectedMyListChannel(); });
    on(m.miLvwMyListPreview, [this] { onMyListPreviewTriggered(); });
    on(m.miLvwChannelsAddOnMyList, [this] { onAddToMyListTriggered(); });
    on(m.miLvwMyListChannelProperty, [this] { onMyListPropertyTriggered(); });
    on(m.miLvwMyListDelete, [this] {
        reportErrors(app_.messages, "miLvwMyListDelete_Click",
                     [&] { myList_.deleteSelectedMyListChannels(); });
    });
    on(m.miLvwMyListDeleteGroup, [this] { emit myListGroupDeleteRequested(); });
    on(m.miFilePlayFrom, [this] { emit playFileRequested(); });
    on(m.miFileImportPlaylist, [this] { emit importPlaylistRequested(); });
    on(m.miFileExportPlaylist, [this] { emit exportPlaylistRequested(); });
    on(m.miFileExit, [this] { window_->close(); });
    on(m.miViewOriginalSize, [this] { emit viewOriginalSizeRequested(); });
    on(m.miViewFitWindow, [this] { emit viewFitWindowRequested(); });
    on(m.miViewFullVideo, [this] { emit viewFullVideoRequested(); });
    on(m.miViewFullScreen, [this] { emit viewFullScreenRequested(); });
    on(m.miViewPreviousChannel, [this] { emit previousChannelRequested(); });
    on(m.miViewPause, [this] {
        showPaused(paused_, menus_.miViewLive->isEnabled()); // the player says when it has paused
        onSpaceKey();
    });
    on(m.miViewLive, [this] { emit liveRequested(); });
    on(m.miViewMute, [this] { emit muteToggleRequested(); });
    on(m.miViewVolumeUp, [this] { stepVolume(1); });
    on(m.miViewVolumeDown, [this] { stepVolume(-1); });
    on(m.miSearch, [this] { emit searchRequested(); });
    on(m.miGuide, [this] { emit guideRequested(); });
    on(m.miSchedule, [this] { emit scheduleRequested(); });
    on(m.miCheckChannels, [this] { emit checkChannelsRequested(); });
    on(m.miRequirements, [this] { emit requirementsRequested(); });
    on(m.miOptions, [this] { emit optionsRequested(); });
    on(m.miHelpVisitHomePage, [this] { openHomePage(app_); });
    on(m.miHelpManual, [this] { openManual(app_); });
    on(m.miHelpAboutBox, [this] { emit aboutRequested(); });
}

void MainCommands::connectButtons() {
    auto on = [this](QToolButton* button, auto&& slot) {
        connect(button, &QToolButton::clicked, this, std::forward<decltype(slot)>(slot));
    };
    on(ui_.imgButtonPlay, [this] { onPlayClicked(); });
    on(ui_.imgButtonPreview, [this] { onPreviewClicked(); });
    on(ui_.imgButtonProperty, [this] { onPropertyClicked(); });
    on(ui_.imgButtonHomePage, [this] { onHomePageClicked(); });
    on(ui_.imgButtonToggleFav, [this] { channels_.toggleSelectedFavourite(); });
    on(ui_.imgButtonSearch, [this] { emit searchRequested(); });
    on(ui_.imgButtonStop, [this] { emit stopRequested(); });
    on(ui_.imgButtonPause, [this] {
        showPaused(paused_, ui_.imgButtonLive->isEnabled());
        emit pauseToggleRequested();
    });
    on(ui_.imgButtonLive, [this] { emit liveRequested(); });
    on(ui_.imgButtonPlayFile, [this] { emit playFileRequested(); });
    on(ui_.imgButtonRecord, [this] { emit recordRequested(); });
    on(ui_.imgButtonFullVideo, [this] { emit viewFullVideoRequested(); });
    on(ui_.imgButtonFitWindow, [this] { emit viewFitWindowRequested(); });
    on(ui_.imgButtonOriginalSize, [this] { emit viewOriginalSizeRequested(); });
    on(ui_.imgButtonFullScreen, [this] { emit viewFullScreenRequested(); });
    on(ui_.imgButtonSwap, [this] { emit swapRequested(); });
    on(ui_.imgButtonPreviewVolume, [this] { emit previewVolumeSwitchRequested(); });
    on(ui_.imgButtonPreviewStop, [this] { emit previewStopRequested(); });
    on(ui_.imgHideShowPreview, [this] { emit previewPanelToggleRequested(); });
    on(ui_.imgShowHideRightPanel, [this] { emit rightPanelToggleRequested(); });
    connect(ui_.SliderVolume, &QSlider::valueChanged, this, &MainCommands::volumeChanged);
}

void MainCommands::connectKeys() {
    // The keys without a menu entry. A focused text field claims its own keys first.
    auto key = [this](QKeySequence sequence, auto&& slot) {
        auto* shortcut = new QShortcut(sequence, window_);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, std::forward<decltype(slot)>(slot));
    };
    key(Qt::Key_PageUp, [this] { playNeighbourRow(-1); });
    key(Qt::Key_PageDown, [this] { playNeighbourRow(1); });
    key(Qt::Key_Return, [this] { playSelectedRow(); });
    key(Qt::Key_Enter, [this] { playSelectedRow(); });
}

void MainCommands::showPaused(bool paused, bool behindLive) {
    paused_ = paused;
    menus_.miViewPause->setChecked(paused);
    ui_.imgButtonPause->setChecked(paused);
    const bool canGoLive = paused || behindLive;
    menus_.miViewLive->setEnabled(canGoLive);
    ui_.imgButtonLive->setEnabled(canGoLive);
}

void MainCommands::onSpaceKey() {
    if (!spaceClaimed || !spaceClaimed())
        emit pauseToggleRequested();
}

QList<ChannelRef> MainCommands::shownChannels() const {
    QList<ChannelRef> channels;
    const QAbstractItemModel* model = currentList()->model();
    const int rows = model ? model->rowCount() : 0;
    channels.reserve(rows);
    for (int r = 0; r < rows; ++r)
        channels << model->index(r, 0).data(ListView::ChannelRole).value<ChannelRef>();
    return channels;
}

ListView* MainCommands::currentList() const {
    return currentTab == 2 ? ui_.lvwMyList : ui_.lvwChannels;
}

void MainCommands::playNeighbourRow(int step) {
    reportErrors(app_.messages, "PlayNeighbourRow", [&] {
        ListView* list = currentList();
        const QAbstractItemModel* model = list->model();
        const int rows = model ? model->rowCount() : 0;
        if (rows == 0)
            return;
        // The current row when it is selected; a list may have one without a selection.
        const QList<int> selected = list->selectedRowNumbers();
        const int current = list->currentIndex().row();
        const int row = selected.isEmpty()           ? (step > 0 ? 0 : rows - 1)
                        : selected.contains(current) ? current + step
                                                     : selected.first() + step;
        if (row < 0 || row >= rows)
            return;
        list->setCurrentIndex(model->index(row, 0)); // selects the row alone
        list->scrollTo(list->currentIndex());
        if (available(list->selectedChannel()))
            emit playRequested(list->selectedChannel());
    });
}

void MainCommands::playSelectedRow() {
    reportErrors(app_.messages, "PlaySelectedRow", [&] {
        const ListView* list = currentList();
        const ChannelRef channel = list->selectedChannel();
        if (list->isVisible() && !channel.isNull())
            emit playRequested(channel);
    });
}

void MainCommands::stepVolume(int steps) {
    ui_.SliderVolume->setValue(ui_.SliderVolume->value() + steps); // clamped by the slider
}

bool MainCommands::rowUnderPointer(bool catalogue) const {
    const ListView* list = catalogue ? ui_.lvwChannels : ui_.lvwMyList;
    return list->rowAt(lastListMouse);
}

bool MainCommands::available(ChannelRef channel) {
    if (channel.isNull()) {
        app_.messages.exclamation(
            app_.translate(QStringLiteral("_frmMain_msgChannelNotAvailable")));
        return false;
    }
    return true;
}

void MainCommands::playSelectedChannel() {
    BusyPointer busy(window_);
    try {
        const ChannelRef channel = ui_.lvwChannels->selectedChannel();
        if (rowUnderPointer(true) && available(channel))
            emit playRequested(channel);
    } catch (const std::exception& e) {
        busy.release();
        app_.messages.critical(QStringLiteral("Error in lvwChannels_DblClick: ") +
                               errorDescription(e));
    }
}

void MainCommands::onChannelPreviewTriggered() {
    reportErrors(app_.messages, "miLvwChannelsPreview", [&] {
        const ChannelRef channel = ui_.lvwChannels->selectedChannel();
        if (rowUnderPointer(true) && available(channel))
            emit previewRequested(channel);
    });
}

void MainCommands::onChannelPropertyTriggered() {
    reportErrors(app_.messages, "miLvwChannelsProperty_Click", [&] {
        const ChannelRef channel = ui_.lvwChannels->selectedChannel();
        if (!channel.isNull())
            emit channelPropertyRequested(channel);
    });
}

void MainCommands::onChannelHomePageTriggered() {
    reportErrors(app_.messages, "miLvwChannelsVisitHomePage", [&] {
        const ChannelRef channel = ui_.lvwChannels->selectedChannel();
        if (!channel.isNull())
            visitChannelHomePage(channel);
    });
}

void MainCommands::visitChannelHomePage(ChannelRef channel) {
    zentuvo::visitChannelHomePage(app_, channel);
}

void MainCommands::playSelectedMyListChannel() {
    BusyPointer busy(window_);
    try {
        const ChannelRef channel = ui_.lvwMyList->selectedChannel();
        if (rowUnderPointer(false) && available(channel))
            emit playRequested(channel);
    } catch (const std::exception& e) {
        busy.release();
        app_.messages.critical(QStringLiteral("Error in lvwMyList_DblClick: ") +
                               errorDescription(e));
    }
}

void MainCommands::onMyListPreviewTriggered() {
    reportErrors(app_.messages, "miMyListPreview", [&] {
        const ChannelRef channel = ui_.lvwMyList->selectedChannel();
        if (rowUnderPointer(false) && available(channel))
            emit previewRequested(channel);
    });
}

void MainCommands::onAddToMyListTriggered() {
    reportErrors(app_.messages, "miLvwChannelsAddOnMyList_Click",
                 [&] { emit myListEditorRequested(0); });
}

void MainCommands::onMyListPropertyTriggered() {
    const ChannelRef channel = ui_.lvwMyList->selectedChannel();
    if (channel.isNull()) {
        app_.messages.exclamation(app_.translate(QStringLiteral("_frmMain_msgSelectItem")));
        return;
    }
    emit myListEditorRequested(channel.number());
}

void MainCommands::onPlayClicked() {
    if (currentTab == 1)
        playSelectedChannel();
    else if (currentTab == 2)
        playSelectedMyListChannel();
}

void MainCommands::onPreviewClicked() {
    if (currentTab == 1)
        onChannelPreviewTriggered();
    else if (currentTab == 2)
        onMyListPreviewTriggered();
}

void MainCommands::onPropertyClicked() {
    if (currentTab == 1)
        onChannelPropertyTriggered();
    else if (currentTab == 2)
        onMyListPropertyTriggered();
}

void MainCommands::onHomePageClicked() {
    if (currentTab == 1)
        onChannelHomePageTriggered();
}

} // namespace zentuvo
