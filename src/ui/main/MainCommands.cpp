#include "ui/main/MainCommands.h"

#include "app/AppState.h"
#include "common/ChannelHomePage.h"
#include "common/Messages.h"
#include "common/Shell.h"
#include "data/ChannelKey.h"
#include "ui/main/ChannelListPanel.h"
#include "ui/main/ListView.h"
#include "ui/main/MainMenus.h"
#include "ui/main/MainWidgets.h"
#include "ui/main/MyListPanel.h"
#include "ui/main/UiErrors.h"

#include <QSlider>
#include <QToolButton>

namespace zentuvo {

namespace {

const QString kNotAvailable = QStringLiteral("Channel not available!");

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

void run(const std::function<void()>& hook) {
    if (hook)
        hook();
}

} // namespace

MainCommands::MainCommands(AppState& app, MainWidgets& ui, MainMenus& menus,
                           ChannelListPanel& channels, MyListPanel& myList, QWidget* window)
    : QObject(window), app_(app), ui_(ui), menus_(menus), channels_(channels), myList_(myList),
      window_(window) {
    connectLists();
    connectMenus();
    connectButtons();
}

void MainCommands::connectLists() {
    connect(ui_.lvwChannels, &ListView::mouseReleased, this,
            [this](Qt::MouseButton button, const QPoint& at, const QPoint& global) {
                try {
                    LastListMouse = at;
                    if (button == Qt::RightButton && ui_.lvwChannels->rowAt(at))
                        menus_.mnuLvwChannels->popup(global);
                } catch (const std::exception& e) {
                    app_.messages.critical(QStringLiteral("Error in lvwChannels_MouseUp: ") +
                                           errorDescription(e));
                }
            });
    connect(ui_.lvwMyList, &ListView::mouseReleased, this,
            [this](Qt::MouseButton button, const QPoint& at, const QPoint& global) {
                try {
                    LastListMouse = at;
                    if (button == Qt::RightButton)
                        menus_.mnuLvwMyList->popup(global);
                } catch (const std::exception& e) {
                    app_.messages.critical(QStringLiteral("Error in lvwMyList_MouseUp: ") +
                                           errorDescription(e));
                }
            });
    connect(ui_.lvwChannels, &ListView::doubleClickedAnywhere, this,
            &MainCommands::lvwChannelsDblClick);
    connect(ui_.lvwMyList, &ListView::doubleClickedAnywhere, this,
            &MainCommands::lvwMyListDblClick);
    connect(ui_.lvwMyList, &ListView::keyDown, this, [this](int key) {
        if (key == Qt::Key_Delete)
            myList_.MyListDeleteElement();
    });
}

void MainCommands::connectMenus() {
    MainMenus& m = menus_;
    auto on = [this](QAction* action, auto&& slot) {
        connect(action, &QAction::triggered, this, std::forward<decltype(slot)>(slot));
    };
    on(m.miLvwChannelsPlay, [this] { lvwChannelsDblClick(); });
    on(m.miLvwChannelsPreview, [this] { miLvwChannelsPreviewClick(); });
    on(m.miLvwChannelsProperty, [this] { miLvwChannelsPropertyClick(); });
    on(m.miLvwChannelsVisitHomePage, [this] { miLvwChannelsVisitHomePageClick(); });
    on(m.miLvwChannelsToggleFav, [this] { channels_.miLvwChannelsToggleFavClick(); });
    on(m.miLvwMyListPlay, [this] { lvwMyListDblClick(); });
    on(m.miLvwMyListPreview, [this] { miLvwMyListPreviewClick(); });
    on(m.miLvwChannelsAddOnMyList, [this] { miLvwChannelsAddOnMyListClick(); });
    on(m.miLvwMyListChannelProperty, [this] { miLvwMyListChannelPropertyClick(); });
    on(m.miLvwMyListDelete, [this] {
        try {
            myList_.MyListDeleteElement();
        } catch (const std::exception& e) {
            app_.messages.critical(QStringLiteral("Error in miLvwMyListDelete_Click: ") +
                                   errorDescription(e));
        }
    });
    on(m.miFilePlayFrom, [this] { run(hooks.playFromFile); });
    on(m.miFileExit, [this] { window_->close(); });
    on(m.miViewOriginalSize, [this] { run(hooks.viewOriginalSize); });
    on(m.miViewFitWindow, [this] { run(hooks.viewFitWindow); });
    on(m.miViewFullVideo, [this] { run(hooks.viewFullVideo); });
    on(m.miViewFullScreen, [this] { run(hooks.viewFullScreen); });
    on(m.miSearch, [this] { run(hooks.showSearch); });
    on(m.miRequirements, [this] { run(hooks.showRequirements); });
    on(m.miOptions, [this] { run(hooks.showOptions); });
    on(m.miHelpVisitHomePage, [this] { OpenHomePage(app_); });
    on(m.miHelpManual, [this] { HelpManual(app_); });
    on(m.miHelpAboutBox, [this] { run(hooks.showAbout); });
}

void MainCommands::connectButtons() {
    auto on = [this](QToolButton* button, auto&& slot) {
        connect(button, &QToolButton::clicked, this, std::forward<decltype(slot)>(slot));
    };
    on(ui_.imgButtonPlay, [this] { imgButtonPlayClick(); });
    on(ui_.imgButtonPreview, [this] { imgButtonPreviewClick(); });
    on(ui_.imgButtonProperty, [this] { imgButtonPropertyClick(); });
    on(ui_.imgButtonHomePage, [this] { imgButtonHomePageClick(); });
    on(ui_.imgButtonToggleFav, [this] { channels_.miLvwChannelsToggleFavClick(); });
    on(ui_.imgButtonSearch, [this] { run(hooks.showSearch); });
    on(ui_.imgButtonStop, [this] { run(hooks.stopMain); });
    on(ui_.imgButtonPlayFile, [this] { run(hooks.playFromFile); });
    on(ui_.imgButtonRecord, [this] { run(hooks.record); });
    on(ui_.imgButtonFullVideo, [this] { run(hooks.viewFullVideo); });
    on(ui_.imgButtonFitWindow, [this] { run(hooks.viewFitWindow); });
    on(ui_.imgButtonOriginalSize, [this] { run(hooks.viewOriginalSize); });
    on(ui_.imgButtonFullScreen, [this] { run(hooks.viewFullScreen); });
    on(ui_.imgButtonSwap, [this] { run(hooks.swap); });
    on(ui_.imgButtonPreviewVolume, [this] { run(hooks.switchPreviewVolume); });
    on(ui_.imgButtonPreviewStop, [this] { run(hooks.stopPreview); });
    on(ui_.imgHideShowPreview, [this] { run(hooks.hideShowPreview); });
    on(ui_.imgShowHideRightPanel, [this] { run(hooks.showHideRightPanel); });
    connect(ui_.SliderVolume, &QSlider::valueChanged, this, [this](int position) {
        if (hooks.volumeChanged)
            hooks.volumeChanged(position);
    });
}

bool MainCommands::rowUnderPointer(bool catalogue) const {
    const ListView* list = catalogue ? ui_.lvwChannels : ui_.lvwMyList;
    return list->rowAt(LastListMouse);
}

void MainCommands::playKey(const QString& key, const std::function<void(const QString&)>& player) {
    if (key.trimmed().isEmpty()) {
        app_.messages.exclamation(kNotAvailable);
        return;
    }
    if (player)
        player(key);
}

void MainCommands::lvwChannelsDblClick() {
    BusyPointer busy(window_);
    try {
        if (rowUnderPointer(true))
            playKey(ui_.lvwChannels->selectedKey(), hooks.PlayVideo);
    } catch (const std::exception& e) {
        busy.release();
        app_.messages.critical(QStringLiteral("Error in lvwChannels_DblClick: ") +
                               errorDescription(e));
    }
}

void MainCommands::miLvwChannelsPreviewClick() {
    try {
        if (rowUnderPointer(true))
            playKey(ui_.lvwChannels->selectedKey().trimmed(), hooks.PlayPreview);
    } catch (const std::exception& e) {
        app_.messages.critical(QStringLiteral("Error in miLvwChannelsPreview: ") +
                               errorDescription(e));
    }
}

void MainCommands::miLvwChannelsPropertyClick() {
    try {
        if (!ui_.lvwChannels->selectedKey().isEmpty())
            run(hooks.showChannelProperty);
    } catch (const std::exception& e) {
        app_.messages.critical(QStringLiteral("Error in miLvwChannelsProperty_Click: ") +
                               errorDescription(e));
    }
}

void MainCommands::miLvwChannelsVisitHomePageClick() {
    try {
        const QString key = ui_.lvwChannels->selectedKey();
        if (!key.isEmpty())
            VisitChannelHomePage(key);
    } catch (const std::exception& e) {
        app_.messages.critical(QStringLiteral("Error in miLvwChannelsVisitHomePage: ") +
                               errorDescription(e));
    }
}

void MainCommands::VisitChannelHomePage(const QString& key) {
    zentuvo::VisitChannelHomePage(app_, key);
}

void MainCommands::lvwMyListDblClick() {
    BusyPointer busy(window_);
    try {
        if (rowUnderPointer(false))
            playKey(ui_.lvwMyList->selectedKey(), hooks.PlayVideo);
    } catch (const std::exception& e) {
        busy.release();
        app_.messages.critical(QStringLiteral("Error in lvwMyList_DblClick: ") +
                               errorDescription(e));
    }
}

void MainCommands::miLvwMyListPreviewClick() {
    try {
        if (rowUnderPointer(false))
            playKey(ui_.lvwMyList->selectedKey(), hooks.PlayPreview);
    } catch (const std::exception& e) {
        app_.messages.critical(QStringLiteral("Error in miMyListPreview: ") + errorDescription(e));
    }
}

void MainCommands::miLvwChannelsAddOnMyListClick() {
    try {
        app_.ViewFilter.EditingModeMyListID = 0;
        run(hooks.showMyListEditor);
    } catch (const std::exception& e) {
        app_.messages.critical(QStringLiteral("Error in miLvwChannelsAddOnMyList_Click: ") +
                               errorDescription(e));
    }
}

void MainCommands::miLvwMyListChannelPropertyClick() {
    const QString key = ui_.lvwMyList->selectedKey();
    if (key.isEmpty()) {
        app_.messages.exclamation(QStringLiteral("Select item to modify"));
        return;
    }
    app_.ViewFilter.EditingModeMyListID = ChannelKey::number(key);
    run(hooks.showMyListEditor);
}

void MainCommands::imgButtonPlayClick() {
    if (CurrentTab == 1)
        lvwChannelsDblClick();
    else if (CurrentTab == 2)
        lvwMyListDblClick();
}

void MainCommands::imgButtonPreviewClick() {
    if (CurrentTab == 1)
        miLvwChannelsPreviewClick();
    else if (CurrentTab == 2)
        miLvwMyListPreviewClick();
}

void MainCommands::imgButtonPropertyClick() {
    if (CurrentTab == 1)
        miLvwChannelsPropertyClick();
    else if (CurrentTab == 2)
        miLvwMyListChannelPropertyClick();
}

void MainCommands::imgButtonHomePageClick() {
    if (CurrentTab == 1)
        miLvwChannelsVisitHomePageClick();
}

} // namespace zentuvo
