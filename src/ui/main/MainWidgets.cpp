#include "ui/main/MainWidgets.h"

#include "ui/widgets/ListView.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QMainWindow>
#include <QProgressBar>
#include <QSplitter>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

namespace zentuvo {

QIcon mainIcon(const QString& name) {
    return QIcon(QStringLiteral(":/icons/%1.svg").arg(name));
}

namespace {

template <typename W> W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QToolButton* pictureButton(QWidget* parent, const char* name, const QString& icon) {
    auto* b = named(new QToolButton(parent), name);
    b->setIcon(mainIcon(icon));
    b->setIconSize(QSize(22, 22));
    b->setAutoRaise(true);
    b->setFixedSize(34, 34);
    b->setFocusPolicy(Qt::NoFocus);
    b->setCursor(Qt::PointingHandCursor);
    return b;
}

// A black area where a player's picture goes; the player puts its own view into the
// area's layout.
QWidget* playerArea(QWidget* parent, const char* name) {
    auto* area = named(new QWidget(parent), name);
    area->setAttribute(Qt::WA_StyledBackground, true);
    auto* layout = new QVBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    return area;
}

QLabel* noStreamPicture(QWidget* parent, const char* name) {
    auto* label = named(new QLabel(parent), name);
    label->setText(QStringLiteral("No stream"));
    label->setAlignment(Qt::AlignCenter);
    label->hide();
    return label;
}

// A selector of the filter rows above the lists.
QComboBox* selector(QWidget* parent, const char* name) {
    auto* combo = named(new QComboBox(parent), name);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setMaxVisibleItems(20);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(14);
    combo->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return combo;
}

// The number of rows a list shows, at the right end of its filter row.
QLabel* countLabel(QWidget* parent, const char* name) {
    auto* label = named(new QLabel(parent), name);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setMinimumWidth(48);
    return label;
}

// Lays out a filter row; the selector (a combo box) takes the spare width.
void filterRow(QWidget* row, std::initializer_list<QWidget*> parts) {
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    for (QWidget* part : parts)
        layout->addWidget(part, qobject_cast<QComboBox*>(part) ? 1 : 0);
}

} // namespace

void MainWidgets::build(QMainWindow* window) {
    auto* central = named(new QWidget(window), "centralWidget");
    auto* outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    vSplitter = named(new QSplitter(Qt::Horizontal, central), "vSplitter");
    vSplitter->setHandleWidth(5);
    vSplitter->setChildrenCollapsible(false);
    outer->addWidget(vSplitter, 1);

    // Video panel and the main player's status text under it.
    auto* left = named(new QWidget(vSplitter), "leftPanel");
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->setSpacing(0);
    picContainerLeft = named(new QFrame(left), "picContainerLeft");
    // The player and the pictures over it are placed by the window's layout (the size
    // mode decides the player's place).
    VLCPlugin21 = playerArea(picContainerLeft, "VLCPlugin21");
    picWelcome = named(new QLabel(picContainerLeft), "picWelcome");
    picWelcome->setPixmap(mainIcon(QStringLiteral("logo")).pixmap(QSize(128, 112)));
    picWelcome->setAlignment(Qt::AlignCenter);
    picNoStream = noStreamPicture(picContainerLeft, "picNoStream");
    leftLayout->addWidget(picContainerLeft, 1);
    lblPlayerMessage = named(new QLabel(left), "lblPlayerMessage");
    lblPlayerMessage->setMinimumHeight(22);
    lblPlayerMessage->setIndent(8);
    leftLayout->addWidget(lblPlayerMessage);

    // Right panel: tab strip, filter panel with the catalogue list, My List list, preview.
    rightPanel = named(new QWidget(vSplitter), "rightPanel");
    auto* right = new QVBoxLayout(rightPanel);
    right->setContentsMargins(8, 6, 8, 6);
    right->setSpacing(6);
    TabStrip1 = named(new QTabBar(rightPanel), "TabStrip1");
    TabStrip1->addTab(QStringLiteral("Channels"));
    TabStrip1->addTab(QStringLiteral("My List"));
    TabStrip1->setExpanding(false);
    TabStrip1->setDrawBase(false);
    TabStrip1->setFocusPolicy(Qt::TabFocus);
    right->addWidget(TabStrip1);

    listPages = named(new QStackedWidget(rightPanel), "listPages");
    auto* channelsPage = named(new QWidget(listPages), "channelsPage");
    auto* channels = new QVBoxLayout(channelsPage);
    channels->setContentsMargins(0, 0, 0, 0);
    channels->setSpacing(6);
    picCountry = named(new QWidget(channelsPage), "picCountry");
    lblCountry = named(new QLabel(QStringLiteral("Country:"), picCountry), "lblCountry");
    cboCountry = selector(picCountry, "cboCountry");
    imgButtonFavourites =
        pictureButton(picCountry, "imgButtonFavourites", QStringLiteral("favourites"));
    lblChannelCount = countLabel(picCountry, "lblChannelCount");
    filterRow(picCountry, {lblCountry, cboCountry, imgButtonFavourites, lblChannelCount});
    channels->addWidget(picCountry);
    lvwChannels = named(new ListView(channelsPage), "lvwChannels");
    lvwChannels->setSelectionMode(QAbstractItemView::SingleSelection);
    channels->addWidget(lvwChannels, 1);
    listPages->addWidget(channelsPage);
    auto* myListPage = named(new QWidget(listPages), "myListPage");
    auto* myList = new QVBoxLayout(myListPage);
    myList->setContentsMargins(0, 0, 0, 0);
    myList->setSpacing(6);
    picGroup = named(new QWidget(myListPage), "picGroup");
    lblGroup = named(new QLabel(QStringLiteral("Group:"), picGroup), "lblGroup");
    cboGroup = selector(picGroup, "cboGroup");
    lblMyListCount = countLabel(picGroup, "lblMyListCount");
    filterRow(picGroup, {lblGroup, cboGroup, lblMyListCount});
    myList->addWidget(picGroup);
    lvwMyList = named(new ListView(myListPage), "lvwMyList");
    lvwMyList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    myList->addWidget(lvwMyList, 1);
    listPages->addWidget(myListPage);
    right->addWidget(listPages, 1);

    picPreview = named(new QFrame(rightPanel), "picPreview");
    auto* previewOuter = new QVBoxLayout(picPreview);
    previewOuter->setContentsMargins(0, 0, 0, 0);
    imgPreview = named(new QFrame(picPreview), "imgPreview");
    imgPreview->setFrameShape(QFrame::StyledPanel);
    previewOuter->addWidget(imgPreview);
    auto* preview = new QVBoxLayout(imgPreview);
    preview->setContentsMargins(8, 4, 8, 8);
    preview->setSpacing(4);
    auto* caption = new QHBoxLayout;
    lblPreview = named(new QLabel(imgPreview), "lblPreview");
    lblPreview->setMinimumHeight(24);
    imgHideShowPreview =
        pictureButton(imgPreview, "imgHideShowPreview", QStringLiteral("hidepreview"));
    imgHideShowPreview->setFixedSize(26, 26);
    imgHideShowPreview->setIconSize(QSize(18, 18));
    caption->addWidget(lblPreview, 1);
    caption->addWidget(imgHideShowPreview);
    preview->addLayout(caption);
    // Everything under the caption strip: folding the panel hides it.
    auto* body = named(new QWidget(imgPreview), "previewBody");
    auto* content = new QHBoxLayout(body);
    content->setContentsMargins(0, 0, 0, 0);
    content->setSpacing(10);
    VLCPluginPreview = playerArea(body, "VLCPluginPreview");
    VLCPluginPreview->setFixedSize(192, 108);
    picNoStreamPreview = noStreamPicture(body, "picNoStreamPreview");
    auto* previewCell = new QGridLayout;
    previewCell->addWidget(VLCPluginPreview, 0, 0);
    previewCell->addWidget(picNoStreamPreview, 0, 0, Qt::AlignCenter);
    content->addLayout(previewCell);
    content->setAlignment(previewCell, Qt::AlignTop);
    auto* buttons = new QGridLayout;
    buttons->setSpacing(2);
    const struct {
        QToolButton** button;
        const char* name;
        const char* icon;
        int row, column;
    } grid[] = {
        {&imgButtonPlay, "imgButtonPlay", "play", 0, 0},
        {&imgButtonStop, "imgButtonStop", "stop", 0, 1},
        {&imgButtonPause, "imgButtonPause", "pause", 0, 2},
        {&imgButtonLive, "imgButtonLive", "live", 0, 3},
        {&imgButtonRecord, "imgButtonRecord", "record", 0, 4},
        {&imgButtonPlayFile, "imgButtonPlayFile", "playfile", 0, 5},
        {&imgButtonPreview, "imgButtonPreview", "preview", 1, 0},
        {&imgButtonSwap, "imgButtonSwap", "swap", 1, 1},
        {&imgButtonPreviewVolume, "imgButtonPreviewVolume", "zero", 1, 2},
        {&imgButtonPreviewStop, "imgButtonPreviewStop", "previewstop", 1, 3},
        {&imgButtonProperty, "imgButtonProperty", "property", 2, 0},
        {&imgButtonHomePage, "imgButtonHomePage", "homepage", 2, 1},
        {&imgButtonToggleFav, "imgButtonToggleFav", "togglefav", 2, 2},
    };
    for (const auto& g : grid) {
        *g.button = pictureButton(body, g.name, QString::fromLatin1(g.icon));
        buttons->addWidget(*g.button, g.row, g.column);
    }
    imgButtonPreviewVolume->setProperty("picture", QStringLiteral("zero"));
    imgButtonPause->setCheckable(true); // down while the main player is paused
    imgButtonLive->setEnabled(false);   // until the picture is behind the live edge
    imgButtonRecord->setToolTip(QStringLiteral("Record"));
    imgButtonPlayFile->setToolTip(QStringLiteral("Play from file"));
    content->addLayout(buttons);
    content->addStretch(1);
    preview->addWidget(body);
    right->addWidget(picPreview);

    vSplitter->addWidget(left);
    vSplitter->addWidget(rightPanel);
    vSplitter->setStretchFactor(0, 3);
    vSplitter->setStretchFactor(1, 2);
    vSplitter->setSizes({690, 490});

    // Bottom bar across the window.
    picBottom = named(new QFrame(central), "picBottom");
    auto* bottom = new QHBoxLayout(picBottom);
    bottom->setContentsMargins(6, 3, 10, 3);
    bottom->setSpacing(2);
    const struct {
        QToolButton** button;
        const char* name;
        const char* icon;
    } bar[] = {
        {&imgButtonFullVideo, "imgButtonFullVideo", "fullvideo"},
        {&imgShowHideRightPanel, "imgShowHideRightPanel", "showhiderightpanel"},
        {&imgButtonFullScreen, "imgButtonFullScreen", "fullscreen"},
        {&imgButtonFitWindow, "imgButtonFitWindow", "fitwindow"},
        {&imgButtonOriginalSize, "imgButtonOriginalSize", "originalsize"},
        {&imgButtonSearch, "imgButtonSearch", "search"},
    };
    for (const auto& b : bar) {
        *b.button = pictureButton(picBottom, b.name, QString::fromLatin1(b.icon));
        bottom->addWidget(*b.button);
    }
    bottom->addSpacing(8);
    txtMessages = named(new QLineEdit(picBottom), "txtMessages");
    txtMessages->setReadOnly(true);
    txtMessages->setFocusPolicy(Qt::ClickFocus);
    txtMessages->setToolTip(QStringLiteral("Channel Info"));
    bottom->addWidget(txtMessages, 1);
    SliderPlayFile = named(new QSlider(Qt::Horizontal, picBottom), "SliderPlayFile");
    SliderPlayFile->setRange(0, 20);
    SliderPlayFile->setToolTip(QStringLiteral("Video progress"));
    SliderPlayFile->setFixedWidth(160);
    SliderPlayFile->hide();
    bottom->addWidget(SliderPlayFile);
    lblPlayFileTime = named(new QLabel(picBottom), "lblPlayFileTime");
    lblPlayFileTime->hide();
    bottom->addWidget(lblPlayFileTime);
    // The channel check under way: how far it is, and its cancel.
    prgCheck = named(new QProgressBar(picBottom), "prgCheck");
    prgCheck->setFixedWidth(160);
    prgCheck->setFormat(QStringLiteral("%v / %m"));
    prgCheck->hide();
    bottom->addWidget(prgCheck);
    cmdCancelCheck = pictureButton(picBottom, "cmdCancelCheck", QStringLiteral("stop"));
    cmdCancelCheck->hide();
    bottom->addWidget(cmdCancelCheck);
    // The guide's refresh under way, the same way.
    prgGuide = named(new QProgressBar(picBottom), "prgGuide");
    prgGuide->setFixedWidth(300);
    prgGuide->hide();
    bottom->addWidget(prgGuide);
    cmdCancelGuide = pictureButton(picBottom, "cmdCancelGuide", QStringLiteral("stop"));
    cmdCancelGuide->hide();
    bottom->addWidget(cmdCancelGuide);
    bottom->addSpacing(10);
    imgVolume = named(new QLabel(picBottom), "imgVolume");
    imgVolume->setPixmap(mainIcon(QStringLiteral("volume")).pixmap(QSize(20, 20)));
    bottom->addWidget(imgVolume);
    SliderVolume = named(new QSlider(Qt::Horizontal, picBottom), "SliderVolume");
    SliderVolume->setRange(0, 10);
    SliderVolume->setPageStep(1);
    SliderVolume->setValue(5);
    SliderVolume->setFixedWidth(120);
    bottom->addWidget(SliderVolume);
    outer->addWidget(picBottom);

    statusTimer = named(new QTimer(window), "TimerStatus");
    statusTimer->setInterval(1000);

    window->setCentralWidget(central);
}

} // namespace zentuvo
