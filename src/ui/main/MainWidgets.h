#pragma once

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTimer>
#include <QToolButton>

class QComboBox;
class QProgressBar;
class QMainWindow;
class QSplitter;
class QStackedWidget;
class QTabBar;

namespace zentuvo {

class ListView;

// Every element of the main window under the name by which the program addresses it.
// Each widget also carries that name as its object name.
struct MainWidgets {
    // The video side.
    QSplitter* vSplitter = nullptr;
    QFrame* picContainerLeft = nullptr;
    QWidget* VLCPlugin21 = nullptr; // where the main player's picture goes
    QLabel* picWelcome = nullptr;
    QLabel* picNoStream = nullptr;
    QLabel* lblPlayerMessage = nullptr;

    // The right panel: tabs, country filter, group selector and the two lists.
    QWidget* rightPanel = nullptr;
    QTabBar* TabStrip1 = nullptr;
    // page 0: picCountry + lvwChannels, page 1: picGroup + lvwMyList
    QStackedWidget* listPages = nullptr;
    QWidget* picCountry = nullptr;
    QLabel* lblCountry = nullptr;
    QComboBox* cboCountry = nullptr;
    QToolButton* imgButtonFavourites = nullptr;
    QLabel* lblChannelCount = nullptr;
    ListView* lvwChannels = nullptr;
    QWidget* picGroup = nullptr; // the My List group selector
    QLabel* lblGroup = nullptr;
    QComboBox* cboGroup = nullptr;
    QLabel* lblMyListCount = nullptr;
    ListView* lvwMyList = nullptr;

    // The preview panel with the list and player buttons.
    QFrame* picPreview = nullptr;
    QFrame* imgPreview = nullptr; // the panel's background
    QLabel* lblPreview = nullptr;
    QWidget* VLCPluginPreview = nullptr; // where the preview player's picture goes
    QLabel* picNoStreamPreview = nullptr;
    QToolButton* imgButtonPlay = nullptr;
    QToolButton* imgButtonStop = nullptr;
    QToolButton* imgButtonPause = nullptr; // pauses or resumes the main player (Space)
    QToolButton* imgButtonLive = nullptr;  // back to the live edge (End)
    QToolButton* imgButtonRecord = nullptr;
    QToolButton* imgButtonPlayFile = nullptr;
    QToolButton* imgButtonPreview = nullptr;
    QToolButton* imgButtonSwap = nullptr;
    QToolButton* imgButtonPreviewVolume = nullptr;
    QToolButton* imgButtonPreviewStop = nullptr;
    QToolButton* imgButtonProperty = nullptr;
    QToolButton* imgButtonHomePage = nullptr;
    QToolButton* imgButtonToggleFav = nullptr;
    QToolButton* imgHideShowPreview = nullptr;

    // The bottom bar.
    QFrame* picBottom = nullptr;
    QToolButton* imgButtonFullVideo = nullptr;
    QToolButton* imgShowHideRightPanel = nullptr;
    QToolButton* imgButtonFullScreen = nullptr;
    QToolButton* imgButtonFitWindow = nullptr;
    QToolButton* imgButtonOriginalSize = nullptr;
    QToolButton* imgButtonSearch = nullptr;
    QLineEdit* txtMessages = nullptr;
    QProgressBar* prgCheck = nullptr;      // a channel check's progress, shown while it runs
    QToolButton* cmdCancelCheck = nullptr; // cancels it
    QProgressBar* prgGuide = nullptr;      // the guide's refresh, shown while it runs
    QToolButton* cmdCancelGuide = nullptr; // cancels it
    QSlider* SliderPlayFile = nullptr;
    QLabel* lblPlayFileTime = nullptr; // "elapsed / total" beside SliderPlayFile
    QLabel* imgVolume = nullptr;
    QSlider* SliderVolume = nullptr;
    QTimer* statusTimer = nullptr;

    // Creates the elements and lays them out as the window's central widget.
    void build(QMainWindow* window);
};

// A picture of the window's own set (":/icons/NAME.svg"): "play", "star_blue", "zero", ...
QIcon mainIcon(const QString& name);

} // namespace zentuvo
