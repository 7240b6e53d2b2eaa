#include "ui/main/MainWindow.h"

#include "app/AppContext.h"
#include "app/Settings.h"
#include "common/ErrorReport.h"
#include "common/Messages.h"
#include "ui/main/Captions.h"
#include "ui/main/ChannelListPanel.h"
#include "ui/main/MainLayout.h"
#include "ui/main/MainTheme.h"
#include "ui/main/MyListPanel.h"
#include "ui/main/VideoModes.h"
#include "ui/main/WindowStyle.h"
#include "ui/widgets/ListView.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QStackedWidget>
#include <QTabBar>

// The pictures live in a static library: register them before the first window needs them.
static void initMainResources() {
    Q_INIT_RESOURCE(zentuvo_ui);
}

namespace zentuvo {

MainWindow::MainWindow(AppContext& app, QWidget* parent) : QMainWindow(parent), app_(app) {
    initMainResources();
    setObjectName(QStringLiteral("frmMain"));
    setWindowIcon(mainIcon(QStringLiteral("logo")));
    ui_.build(this);
    menus_.build(this);
    applyMainTheme(this, menus_);
    channels_ = new ChannelListPanel(app_, ui_, this);
    myList_ = new MyListPanel(app_, ui_, this);
    showLogos();
    commands_ = new MainCommands(app_, ui_, menus_, *channels_, *myList_, this);
    windowStyle_ = new WindowStyle(this);
    windowStyle_->setClient(this);
    layout_ = new MainLayout(app_, *this, ui_);
    modes_ = new VideoModes(app_, *this, *layout_, *windowStyle_);
    connect(layout_, &MainLayout::needsLayout, this, &MainWindow::relayout);
    // The view modes and the panel buttons are the window's own; the controller adds the
    // main player for the picture size and its full screen.
    connect(commands_, &MainCommands::viewOriginalSizeRequested, modes_,
            &VideoModes::viewOriginalSize);
    connect(commands_, &MainCommands::viewFitWindowRequested, modes_, &VideoModes::viewFitWindow);
    // The Space shortcut comes before the key reaches the window: the full video takes it.
    commands_->spaceClaimed = [this] { return modes_->keyPressed(Qt::Key_Space); };
    connect(commands_, &MainCommands::viewFullVideoRequested, modes_, &VideoModes::toggleFullVideo);
    connect(commands_, &MainCommands::viewFullScreenRequested, modes_,
            &VideoModes::toggleFullScreen);
    connect(commands_, &MainCommands::previewPanelToggleRequested, layout_,
            &MainLayout::togglePreview);
    connect(commands_, &MainCommands::rightPanelToggleRequested, layout_,
            &MainLayout::toggleRightPanel);
    // The group delete is the window's own: it acts on My List and refills it.
    connect(commands_, &MainCommands::myListGroupDeleteRequested, myList_,
            &MyListPanel::deleteChosenGroup);
    connect(myList_, &MyListPanel::groupDeletableChanged, menus_.miLvwMyListDeleteGroup,
            &QAction::setEnabled);
    connect(ui_.TabStrip1, &QTabBar::currentChanged, this, [this] { onTabClicked(); });
    connect(ui_.lvwChannels, &ListView::widthChanged, this, &MainWindow::relayout);
    connect(ui_.lvwMyList, &ListView::widthChanged, this, &MainWindow::relayout);
    resize(1180, 740);
    initialize();
}

MainWindow::~MainWindow() {
    // The players may outlive the window's elements: nothing of theirs reaches the layout
    // from here on.
    layout_->setPlayer(nullptr);
    modes_->setPlayer(nullptr);
}

void MainWindow::initialize() {
    reportErrors(app_.messages, "Form_Load", [&] {
        ui_.picNoStream->hide();
        ui_.picNoStreamPreview->hide();
        ui_.lblPreview->clear();
        channels_->sizeChannelColumns();
        channels_->loadCountryFilter();
        myList_->sizeMyListColumns();
        fillMyList();
        commands_->currentTab = 0;
        onTabClicked();
        ui_.SliderVolume->setValue(5);
        ui_.imgButtonPreviewVolume->setIcon(mainIcon(QStringLiteral("zero")));
        ui_.imgButtonPreviewVolume->setProperty("picture", QStringLiteral("zero"));
        applyLanguage();
    });
}

void MainWindow::applyLanguage() {
    try {
        setMainCaptions(app_, this);
    } catch (const std::exception& e) {
        app_.messages.critical(QStringLiteral("Error in SetLanguage: ") + errorDescription(e));
        return;
    }
    relayout();
}

void MainWindow::relayout() {
    if (isMinimized())
        return;
    layout_->relayout();
    channels_->sizeChannelColumns();
    myList_->sizeMyListColumns();
}

void MainWindow::setMainPlayer(Player* player) {
    layout_->setPlayer(player);
    modes_->setPlayer(player);
    relayout();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    relayout();
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // Back from the task bar: what changed while minimized is laid out now.
    if (event->type() == QEvent::WindowStateChange && !isMinimized())
        relayout();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    if (modes_->keyPressed(event->key())) {
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void MainWindow::onTabClicked() {
    reportErrors(app_.messages, "Tabstrip1_Click", [&] {
        const int index = ui_.TabStrip1->currentIndex() + 1;
        if (index == commands_->currentTab)
            return;
        if (index == 1) {
            ui_.listPages->setCurrentIndex(0); // lvwChannels and picCountry
            ui_.imgButtonHomePage->show();
            ui_.imgButtonToggleFav->show();
        } else if (index == 2) {
            ui_.listPages->setCurrentIndex(1); // lvwMyList and picGroup
            ui_.imgButtonHomePage->hide();
            ui_.imgButtonToggleFav->hide();
        }
        commands_->currentTab = index;
    });
}

void MainWindow::fillChannels(const QString& countryID) {
    channels_->fillChannels(countryID);
}

void MainWindow::fillMyList() {
    myList_->fillMyList();
    reloadLogos();
}

ChannelRef MainWindow::selectedChannel() const {
    return ui_.lvwChannels->selectedChannel();
}

void MainWindow::saveSettings() {
    reportErrors(app_.messages, "SaveSettings", [&] {
        saveRememberCountry(app_);
        if (const auto filter = channels_->selectedFilter()) {
            app_.preferences().setDefaultCountry(*filter);
            saveDefaultCountry(app_);
        }
        app_.preferences().setMyListGroup(myList_->chosenGroup());
        saveMyListGroup(app_);
    });
}

void MainWindow::closeEvent(QCloseEvent* event) {
    saveSettings();
    // Every other window closes with the main window; one may still ask first.
    for (QWidget* other : QApplication::topLevelWidgets()) {
        if (other != this && other->isVisible() && other->isWindow() &&
            !other->windowFlags().testFlag(Qt::Popup))
            other->close();
    }
    event->accept();
}

} // namespace zentuvo
