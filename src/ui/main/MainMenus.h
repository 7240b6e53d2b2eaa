#pragma once

#include <QAction>
#include <QMenu>

class QMainWindow;

namespace zentuvo {

// The main window's menu bar and the pop-up menus of its two lists. Every entry keeps its
// element name as object name; the texts here are the design texts that the captions
// replace with the chosen language's terms.
struct MainMenus {
    QMenu* mnuFile = nullptr;
    QAction* miFilePlayFrom = nullptr;
    QAction* miFileSep1 = nullptr;
    QAction* miFileImportPlaylist = nullptr;
    QAction* miFileExportPlaylist = nullptr;
    QAction* miFileSep2 = nullptr;
    QAction* miFileExit = nullptr;

    QMenu* mnuView = nullptr;
    QAction* miViewOriginalSize = nullptr;
    QAction* miViewFitWindow = nullptr;
    QAction* miViewFullVideo = nullptr;
    QAction* miViewFullScreen = nullptr;
    QAction* miViewSep1 = nullptr;
    QAction* miViewPreviousChannel = nullptr;
    QAction* miViewPause = nullptr; // checked while the main player is paused
    QAction* miViewLive = nullptr;
    QAction* miViewSep2 = nullptr;
    QAction* miViewMute = nullptr; // checked while the main player is muted
    QAction* miViewVolumeUp = nullptr;
    QAction* miViewVolumeDown = nullptr;

    QMenu* mnuTools = nullptr;
    QAction* miSearch = nullptr;
    QAction* miGuide = nullptr;
    QAction* miSchedule = nullptr;      // the scheduled recordings
    QAction* miCheckChannels = nullptr; // checks the streams of the shown list
    QAction* miRequirements = nullptr;
    QAction* miToolsSep1 = nullptr;
    QAction* miOptions = nullptr;

    QMenu* mnuHelp = nullptr;
    QAction* miHelpVisitHomePage = nullptr;
    QAction* miHelpManual = nullptr;
    QAction* mnuHelpSep1 = nullptr;
    QAction* miHelpAboutBox = nullptr;

    // Pop-up menu of the catalogue list.
    QMenu* mnuLvwChannels = nullptr;
    QAction* miLvwChannelsPlay = nullptr;
    QAction* miLvwChannelsPreview = nullptr;
    QAction* mnuLvwChannelsSep1 = nullptr;
    QAction* miLvwChannelsProperty = nullptr;
    QAction* miLvwChannelsVisitHomePage = nullptr;
    QAction* mnuLvwChannelsSep2 = nullptr;
    QAction* miLvwChannelsToggleFav = nullptr;

    // Pop-up menu of the My List list.
    QMenu* mnuLvwMyList = nullptr;
    QAction* miLvwMyListPlay = nullptr;
    QAction* miLvwMyListPreview = nullptr;
    QAction* mnuLvwMyListSep1 = nullptr;
    QAction* miLvwChannelsAddOnMyList = nullptr;
    QAction* miLvwMyListChannelProperty = nullptr;
    QAction* miLvwMyListDelete = nullptr;
    QAction* miLvwMyListDeleteGroup = nullptr; // enabled while one group is shown

    // Builds every menu and entry on the window (the pop-up menus stay out of the bar).
    // The entries with keys belong to the window too: their keys work while full video
    // hides the menus.
    void build(QMainWindow* window);
};

} // namespace zentuvo
