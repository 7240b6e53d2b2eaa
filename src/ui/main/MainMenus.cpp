#include "ui/main/MainMenus.h"

#include <QMainWindow>
#include <QMenuBar>

namespace zentuvo {

namespace {

QMenu* menu(QWidget* parent, const char* name, const QString& text) {
    auto* m = new QMenu(text, parent);
    m->setObjectName(QString::fromLatin1(name));
    m->menuAction()->setObjectName(QString::fromLatin1(name) + QStringLiteral("Action"));
    return m;
}

QAction* item(QMenu* m, const char* name, const QString& text) {
    QAction* a = m->addAction(text);
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

QAction* separator(QMenu* m, const char* name) {
    QAction* a = m->addSeparator();
    a->setObjectName(QString::fromLatin1(name));
    return a;
}

} // namespace

void MainMenus::build(QMainWindow* window) {
    QMenuBar* bar = window->menuBar();

    mnuFile = menu(window, "mnuFile", QStringLiteral("File"));
    miFilePlayFrom = item(mnuFile, "miFilePlayFrom", QStringLiteral("Play from..."));
    miFilePlayFrom->setShortcut(QKeySequence::Open);
    miFileSep1 = separator(mnuFile, "miFileSep1");
    miFileImportPlaylist =
        item(mnuFile, "miFileImportPlaylist", QStringLiteral("Import playlist..."));
    miFileExportPlaylist =
        item(mnuFile, "miFileExportPlaylist", QStringLiteral("Export playlist..."));
    miFileSep2 = separator(mnuFile, "miFileSep2");
    miFileExit = item(mnuFile, "miFileExit", QStringLiteral("Exit"));
    miFileExit->setShortcut(QKeySequence::Quit);

    mnuView = menu(window, "mnuView", QStringLiteral("View"));
    miViewOriginalSize = item(mnuView, "miViewOriginalSize", QStringLiteral("Original size"));
    miViewFitWindow = item(mnuView, "miViewFitWindow", QStringLiteral("Fit window"));
    miViewFullVideo = item(mnuView, "miViewFullVideo", QStringLiteral("Full Video"));
    miViewFullVideo->setShortcut(Qt::Key_F11);
    miViewFullScreen = item(mnuView, "miViewFullScreen", QStringLiteral("Full screen"));
    miViewSep1 = separator(mnuView, "miViewSep1");
    miViewPreviousChannel =
        item(mnuView, "miViewPreviousChannel", QStringLiteral("Previous channel"));
    // A focused text field keeps its Backspace: it claims the key before the shortcut.
    miViewPreviousChannel->setShortcut(Qt::Key_Backspace);
    miViewPreviousChannel->setEnabled(false); // until a second channel has played
    miViewPause = item(mnuView, "miViewPause", QStringLiteral("Pause"));
    miViewPause->setCheckable(true);
    miViewPause->setShortcut(Qt::Key_Space);
    miViewLive = item(mnuView, "miViewLive", QStringLiteral("Back to live"));
    miViewLive->setShortcut(Qt::Key_End);
    miViewLive->setEnabled(false); // until the picture is behind the live edge
    miViewSep2 = separator(mnuView, "miViewSep2");
    miViewMute = item(mnuView, "miViewMute", QStringLiteral("Mute"));
    miViewMute->setCheckable(true);
    miViewMute->setShortcut(Qt::Key_M);
    miViewVolumeUp = item(mnuView, "miViewVolumeUp", QStringLiteral("Volume up"));
    // The keypad's keys reach the same entries; = is + without Shift.
    miViewVolumeUp->setShortcuts({QKeySequence(Qt::Key_Plus), QKeySequence(Qt::Key_Equal)});
    miViewVolumeDown = item(mnuView, "miViewVolumeDown", QStringLiteral("Volume down"));
    miViewVolumeDown->setShortcut(Qt::Key_Minus);

    mnuTools = menu(window, "mnuTools", QStringLiteral("Tools"));
    miSearch = item(mnuTools, "miSearch", QStringLiteral("Search..."));
    miSearch->setShortcut(QKeySequence::Find);
    miGuide = item(mnuTools, "miGuide", QStringLiteral("Programme guide..."));
    miGuide->setShortcut(Qt::Key_G);
    miSchedule = item(mnuTools, "miSchedule", QStringLiteral("Scheduled recordings..."));
    miCheckChannels = item(mnuTools, "miCheckChannels", QStringLiteral("Check channels"));
    miRequirements = item(mnuTools, "miRequirements", QStringLiteral("Requirements..."));
    miToolsSep1 = separator(mnuTools, "miToolsSep1");
    miOptions = item(mnuTools, "miOptions", QStringLiteral("Options..."));

    mnuHelp = menu(window, "mnuHelp", QStringLiteral("Help"));
    miHelpVisitHomePage = item(mnuHelp, "miHelpVisitHomePage", QStringLiteral("Zentuvo WebSite"));
    miHelpManual = item(mnuHelp, "miHelpManual", QStringLiteral("Contents"));
    miHelpManual->setShortcut(QKeySequence::HelpContents);
    mnuHelpSep1 = separator(mnuHelp, "mnuHelpSep1");
    miHelpAboutBox = item(mnuHelp, "miHelpAboutBox", QStringLiteral("About Zentuvo"));

    for (QMenu* m : {mnuFile, mnuView, mnuTools, mnuHelp})
        bar->addMenu(m);
    // Full video hides the bar: the window keeps the keys.
    window->addActions({miFilePlayFrom, miViewFullVideo, miViewPreviousChannel, miViewPause,
                        miViewLive, miViewMute, miViewVolumeUp, miViewVolumeDown});
    window->addAction(miGuide);

    mnuLvwChannels = menu(window, "mnuLvwChannels", QStringLiteral("Channels"));
    miLvwChannelsPlay = item(mnuLvwChannels, "miLvwChannelsPlay", QStringLiteral("Play"));
    miLvwChannelsPreview = item(mnuLvwChannels, "miLvwChannelsPreview", QStringLiteral("Preview"));
    mnuLvwChannelsSep1 = separator(mnuLvwChannels, "mnuLvwChannelsSep1");
    miLvwChannelsProperty =
        item(mnuLvwChannels, "miLvwChannelsProperty", QStringLiteral("Property"));
    miLvwChannelsVisitHomePage =
        item(mnuLvwChannels, "miLvwChannelsVisitHomePage", QStringLiteral("Visit Home Page"));
    mnuLvwChannelsSep2 = separator(mnuLvwChannels, "mnuLvwChannelsSep2");
    miLvwChannelsToggleFav =
        item(mnuLvwChannels, "miLvwChannelsToggleFav", QStringLiteral("Toggle Favourite"));

    mnuLvwMyList = menu(window, "mnuLvwMyList", QStringLiteral("My List"));
    miLvwMyListPlay = item(mnuLvwMyList, "miLvwMyListPlay", QStringLiteral("Play"));
    miLvwMyListPreview = item(mnuLvwMyList, "miLvwMyListPreview", QStringLiteral("Preview"));
    mnuLvwMyListSep1 = separator(mnuLvwMyList, "mnuLvwMyListSep1");
    miLvwChannelsAddOnMyList =
        item(mnuLvwMyList, "miLvwChannelsAddOnMyList", QStringLiteral("Add channel..."));
    miLvwMyListChannelProperty =
        item(mnuLvwMyList, "miLvwMyListChannelProperty", QStringLiteral("Channel Property..."));
    miLvwMyListDelete = item(mnuLvwMyList, "miLvwMyListDelete", QStringLiteral("Delete"));
    miLvwMyListDeleteGroup =
        item(mnuLvwMyList, "miLvwMyListDeleteGroup", QStringLiteral("Delete group..."));
    miLvwMyListDeleteGroup->setEnabled(false);
}

} // namespace zentuvo
