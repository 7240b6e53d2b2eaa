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
    commands_ = new MainCommands(app_, ui_, menus_, *channels_, *myList_, this);
    style_ = new cStyle(this);
    style_->setClient(this);
    layout_ = new MainLayout(app_, *this, ui_);
    modes_ = new VideoModes(app_, *this, *layout_, *style_);
    connect(layout_, &MainLayout::needsLayout, this, &MainWindow::FormResize);
    // The view modes and the panel buttons are the window's own; the controller adds the
    // main player for the picture size and its full screen.
    connect(commands_, &MainCommands::viewOriginalSizeRequested, modes_, &VideoModes::OriginalSize);
    connect(commands_, &MainCommands::viewFitWindowRequested, modes_, &VideoModes::FitWindow);
    connect(commands_, &MainCommands::viewFullVideoRequested, modes_, &VideoModes::FullVideo);
    connect(commands_, &MainCommands::viewFullScreenRequested, modes_,
            &VideoModes::ToggleFullScreen);
    connect(commands_, &MainCommands::previewPanelToggleRequested, layout_,
            &MainLayout::HideShowPreview);
    connect(commands_, &MainCommands::rightPanelToggleRequested, layout_,
            &MainLayout::ShowHideRightPanel);
    connect(ui_.TabStrip1, &QTabBar::currentChanged, this, [this] { TabStrip1Click(); });
    connect(ui_.lvwChannels, &ListView::widthChanged, this, &MainWindow::FormResize);
    connect(ui_.lvwMyList, &ListView::widthChanged, this, &MainWindow::FormResize);
    resize(1180, 740);
    FormLoad();
}

MainWindow::~MainWindow() {
    // The players may outlive the window's elements: nothing of theirs reaches the layout
    // from here on.
    layout_->setPlayer(nullptr);
    modes_->setPlayer(nullptr);
}

void MainWindow::FormLoad() {
    reportErrors(app_.messages, "Form_Load", [&] {
        ui_.picNoStream->hide();
        ui_.picNoStreamPreview->hide();
        ui_.lblPreview->clear();
        MakeLvwChannelsColumns();
        LoadComboFilterCountry();
        MakeLvwMyListColumns();
        MakeLvwMyListContents();
        commands_->CurrentTab = 0;
        TabStrip1Click();
        ui_.SliderVolume->setValue(5);
        ui_.imgButtonPreviewVolume->setIcon(mainIcon(QStringLiteral("zero")));
        ui_.imgButtonPreviewVolume->setProperty("picture", QStringLiteral("zero"));
        SetLanguage();
    });
}

void MainWindow::SetLanguage() {
    try {
        setMainCaptions(app_, this);
    } catch (const std::exception& e) {
        app_.messages.critical(QStringLiteral("Error in SetLanguage: ") + errorDescription(e));
        return;
    }
    FormResize();
}

void MainWindow::FormResize() {
    if (isMinimized())
        return;
    layout_->FormResize();
    MakeLvwChannelsColumns();
    MakeLvwMyListColumns();
}

void MainWindow::setMainPlayer(Player* player) {
    layout_->setPlayer(player);
    modes_->setPlayer(player);
    FormResize();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    FormResize();
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // Back from the task bar: what changed while minimized is laid out now.
    if (event->type() == QEvent::WindowStateChange && !isMinimized())
        FormResize();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    if (modes_->keyPressed(event->key())) {
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void MainWindow::TabStrip1Click() {
    reportErrors(app_.messages, "Tabstrip1_Click", [&] {
        const int index = ui_.TabStrip1->currentIndex() + 1;
        if (index == commands_->CurrentTab)
            return;
        if (index == 1) {
            ui_.listPages->setCurrentIndex(0); // lvwChannels and picCountry
            ui_.imgButtonHomePage->show();
            ui_.imgButtonToggleFav->show();
        } else if (index == 2) {
            ui_.listPages->setCurrentIndex(1); // lvwMyList
            ui_.imgButtonHomePage->hide();
            ui_.imgButtonToggleFav->hide();
        }
        commands_->CurrentTab = index;
    });
}

void MainWindow::LoadComboFilterCountry() {
    channels_->LoadComboFilterCountry();
}

void MainWindow::MakeLvwChannelsContents(const QString& countryID) {
    channels_->MakeLvwChannelsContents(countryID);
}

void MainWindow::MakeLvwChannelsColumns() {
    channels_->MakeLvwChannelsColumns();
}

void MainWindow::ToggleFavAt(int channelID) {
    channels_->ToggleFavAt(channelID);
}

void MainWindow::MakeLvwMyListColumns() {
    myList_->MakeLvwMyListColumns();
}

void MainWindow::MakeLvwMyListContents() {
    myList_->MakeLvwMyListContents();
}

void MainWindow::MyListDeleteElement() {
    myList_->MyListDeleteElement();
}

void MainWindow::visitChannelHomePage(ChannelRef channel) {
    commands_->visitChannelHomePage(channel);
}

ChannelRef MainWindow::selectedChannel() const {
    return ui_.lvwChannels->selectedChannel();
}

ChannelRef MainWindow::selectedMyListChannel() const {
    return ui_.lvwMyList->selectedChannel();
}

void MainWindow::SaveSettings() {
    reportErrors(app_.messages, "SaveSettings", [&] {
        saveRememberCountry(app_);
        if (const auto filter = channels_->selectedFilter()) {
            app_.preferences().setDefaultCountry(*filter);
            saveDefaultCountry(app_);
        }
    });
}

void MainWindow::closeEvent(QCloseEvent* event) {
    SaveSettings();
    // Every other window closes with the main window; one may still ask first.
    for (QWidget* other : QApplication::topLevelWidgets()) {
        if (other != this && other->isVisible() && other->isWindow() &&
            !other->windowFlags().testFlag(Qt::Popup))
            other->close();
    }
    event->accept();
}

} // namespace zentuvo
