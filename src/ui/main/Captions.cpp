#include "ui/main/Captions.h"

#include "app/AppContext.h"
#include "data/MyListRepository.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QTabBar>
#include <stdexcept>

namespace zentuvo {

namespace {

enum class Target {
    TabCaption,
    ComboEntry,
    ComboEntryOfData, // the entry whose data is `position`, when the selector has one
    MenuCaption,
    ActionCaption,
    ToolTip,
    LabelCaption
};

struct Caption {
    const char* element; // object name of the element
    Target target;
    const char* key;  // term key; null for "_frmMain_" + element
    int position = 0; // the tab or the selector entry (its data for ComboEntryOfData)
};

// In the order in which the texts are set.
const Caption kCaptions[] = {
    {"TabStrip1", Target::TabCaption, "_frmMain_tab1_1", 0},
    {"TabStrip1", Target::TabCaption, "_frmMain_tab1_2", 1},
    {"cboCountry", Target::ComboEntry, "_frmMain_cboCountry_All", 0},
    {"cboCountry", Target::ComboEntry, "_frmMain_cboCountry_MyFav", 1},
    {"cboGroup", Target::ComboEntry, "_frmMain_cboGroup_All", 0},
    {"cboGroup", Target::ComboEntryOfData, "_frmMain_cboGroup_None",
     int(MyListGroupFilter::Kind::NoGroup)},
    {"mnuFile", Target::MenuCaption, nullptr},
    {"miFilePlayFrom", Target::ActionCaption, nullptr},
    {"miFileImportPlaylist", Target::ActionCaption, nullptr},
    {"miFileExportPlaylist", Target::ActionCaption, nullptr},
    {"miFileExit", Target::ActionCaption, nullptr},
    {"imgButtonSearch", Target::ToolTip, nullptr},
    {"imgButtonPlay", Target::ToolTip, nullptr},
    {"imgButtonStop", Target::ToolTip, nullptr},
    {"imgButtonPause", Target::ToolTip, nullptr},
    {"imgButtonLive", Target::ToolTip, nullptr},
    {"imgButtonPreview", Target::ToolTip, nullptr},
    {"imgButtonProperty", Target::ToolTip, nullptr},
    {"imgButtonToggleFav", Target::ToolTip, nullptr},
    {"imgButtonHomePage", Target::ToolTip, nullptr},
    {"SliderVolume", Target::ToolTip, nullptr},
    {"imgButtonOriginalSize", Target::ToolTip, nullptr},
    {"imgButtonFitWindow", Target::ToolTip, nullptr},
    {"imgButtonFullVideo", Target::ToolTip, nullptr},
    {"imgButtonFullScreen", Target::ToolTip, nullptr},
    {"imgShowHideRightPanel", Target::ToolTip, nullptr},
    {"imgHideShowPreview", Target::ToolTip, nullptr},
    {"imgButtonSwap", Target::ToolTip, nullptr},
    {"imgButtonPreviewVolume", Target::ToolTip, nullptr},
    {"imgButtonPreviewStop", Target::ToolTip, nullptr},
    {"imgButtonFavourites", Target::ToolTip, nullptr},
    {"imgButtonRecord", Target::ToolTip, nullptr},
    {"imgButtonPlayFile", Target::ToolTip, nullptr},
    {"txtMessages", Target::ToolTip, nullptr},
    {"SliderPlayFile", Target::ToolTip, nullptr},
    {"picNoStream", Target::LabelCaption, "_frmMain_lblNoStream"},
    {"picNoStreamPreview", Target::LabelCaption, "_frmMain_lblNoStream"},
    {"lblCountry", Target::LabelCaption, nullptr},
    {"lblGroup", Target::LabelCaption, nullptr},
    {"mnuView", Target::MenuCaption, nullptr},
    {"miViewOriginalSize", Target::ActionCaption, nullptr},
    {"miViewFitWindow", Target::ActionCaption, nullptr},
    {"miViewFullVideo", Target::ActionCaption, nullptr},
    {"miViewFullScreen", Target::ActionCaption, nullptr},
    {"miViewPreviousChannel", Target::ActionCaption, nullptr},
    {"miViewPause", Target::ActionCaption, nullptr},
    {"miCheckChannels", Target::ActionCaption, nullptr},
    {"cmdCancelCheck", Target::ToolTip, nullptr},
    {"miViewLive", Target::ActionCaption, nullptr},
    {"miViewMute", Target::ActionCaption, nullptr},
    {"miViewVolumeUp", Target::ActionCaption, nullptr},
    {"miViewVolumeDown", Target::ActionCaption, nullptr},
    {"mnuTools", Target::MenuCaption, nullptr},
    {"miSearch", Target::ActionCaption, nullptr},
    {"miGuide", Target::ActionCaption, nullptr},
    {"miSchedule", Target::ActionCaption, nullptr},
    {"miOptions", Target::ActionCaption, nullptr},
    {"miRequirements", Target::ActionCaption, nullptr},
    {"mnuHelp", Target::MenuCaption, nullptr},
    {"miHelpVisitHomePage", Target::ActionCaption, nullptr},
    {"miHelpManual", Target::ActionCaption, nullptr},
    {"miHelpAboutBox", Target::ActionCaption, nullptr},
    {"mnuLvwChannels", Target::MenuCaption, "_frmMain_tab1_1"},
    {"mnuLvwMyList", Target::MenuCaption, "_frmMain_tab1_2"},
    {"miLvwChannelsPlay", Target::ActionCaption, nullptr},
    {"miLvwChannelsPreview", Target::ActionCaption, nullptr},
    {"miLvwChannelsProperty", Target::ActionCaption, nullptr},
    {"miLvwChannelsVisitHomePage", Target::ActionCaption, nullptr},
    {"miLvwChannelsToggleFav", Target::ActionCaption, nullptr},
    {"miLvwMyListPlay", Target::ActionCaption, nullptr},
    {"miLvwMyListPreview", Target::ActionCaption, nullptr},
    {"miLvwChannelsAddOnMyList", Target::ActionCaption, nullptr},
    {"miLvwMyListChannelProperty", Target::ActionCaption, nullptr},
    {"miLvwMyListDelete", Target::ActionCaption, nullptr},
    {"miLvwMyListDeleteGroup", Target::ActionCaption, nullptr},
};

template <typename T> T* element(QMainWindow* window, const QString& name) {
    T* found = window->findChild<T*>(name);
    if (!found)
        throw std::runtime_error("the window has no element " + name.toStdString());
    return found;
}

void apply(QMainWindow* window, const Caption& c, const QString& text) {
    const QString name = QString::fromLatin1(c.element);
    switch (c.target) {
    case Target::TabCaption: {
        auto* tabs = element<QTabBar>(window, name);
        if (c.position >= tabs->count())
            throw std::runtime_error("the tab strip has no tab " + std::to_string(c.position));
        tabs->setTabText(c.position, text);
        break;
    }
    case Target::ComboEntry: {
        auto* combo = element<QComboBox>(window, name);
        if (c.position >= combo->count())
            throw std::runtime_error("the filter has no entry " + std::to_string(c.position));
        combo->setItemText(c.position, text); // in place: selection and item number stay
        break;
    }
    case Target::ComboEntryOfData: {
        auto* combo = element<QComboBox>(window, name);
        if (const int entry = combo->findData(c.position); entry >= 0)
            combo->setItemText(entry, text);
        break;
    }
    case Target::MenuCaption:
        element<QMenu>(window, name)->setTitle(text);
        break;
    case Target::ActionCaption:
        element<QAction>(window, name)->setText(text);
        break;
    case Target::ToolTip:
        element<QWidget>(window, name)->setToolTip(text);
        break;
    case Target::LabelCaption:
        element<QLabel>(window, name)->setText(text);
        break;
    }
}

} // namespace

QString mainWindowTitle(AppContext& app) {
    return QStringLiteral(" Zentuvo ") + kVersion + QStringLiteral(" - (") +
           app.languageName(app.preferences().language()) + QStringLiteral(") ");
}

void setMainCaptions(AppContext& app, QMainWindow* window) {
    window->setWindowTitle(mainWindowTitle(app));
    for (const Caption& c : kCaptions) {
        const QString key = c.key ? QString::fromLatin1(c.key)
                                  : QStringLiteral("_frmMain_") + QString::fromLatin1(c.element);
        apply(window, c, app.translate(key));
    }
}

} // namespace zentuvo
