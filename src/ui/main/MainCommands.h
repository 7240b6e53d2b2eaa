#pragma once

#include "data/ChannelRef.h"

#include <QObject>
#include <QPoint>
#include <QString>
#include <functional>

namespace zentuvo {

class AppContext;
class ChannelListPanel;
class ListView;
class MyListPanel;
struct MainMenus;
struct MainWidgets;

// Turns mouse, keyboard, menu and picture-button input of the main window into actions on
// its two lists: which list event does what, which pop-up menu opens where, and what each
// command runs. What belongs to the players, the recorder and the dialogs goes out as a
// signal; the controller connects them.
class MainCommands : public QObject {
    Q_OBJECT
public:
    MainCommands(AppContext& app, MainWidgets& ui, MainMenus& menus, ChannelListPanel& channels,
                 MyListPanel& myList, QWidget* window);

    // The tab last switched to: 1 catalogue, 2 My List, 0 before the first switch.
    int currentTab = 0;
    // Where the last mouse-button release over either list landed, in that list's viewport
    // coordinates.
    QPoint lastListMouse{-1, -1};

    // Catalogue list.
    void playSelectedChannel(); // play the selected row
    void onChannelPreviewTriggered();
    void onChannelPropertyTriggered();
    void onChannelHomePageTriggered();
    // Opens a catalogue channel's home page, or says that it has none.
    void visitChannelHomePage(ChannelRef channel);

    // My List list.
    void playSelectedMyListChannel(); // play the selected row
    void onMyListPreviewTriggered();
    void onAddToMyListTriggered();
    void onMyListPropertyTriggered();

    // Picture buttons that act on the list of the current tab.
    void onPlayClicked();
    void onPreviewClicked();
    void onPropertyClicked();
    void onHomePageClicked();

    // Keys of the main window.
    // Page Up (-1) and Page Down (+1): selects and plays the row before or after the
    // selected one in the list of the current tab; nothing past either end. Without a
    // selection Page Down starts at the first row, Page Up at the last.
    void playNeighbourRow(int step);
    // Enter: plays the selected row of the list of the current tab while that list shows.
    void playSelectedRow();
    // + and -: moves the volume slider one step; it stops at its ends.
    void stepVolume(int steps);
    // Space: pauseToggleRequested, unless spaceClaimed takes the key first (the full video
    // leaves with Space).
    void onSpaceKey();
    std::function<bool()> spaceClaimed;
    // Shows the main player's pause: View > Pause and imgButtonPause checked while paused;
    // View > Back to live and imgButtonLive enabled while paused or behind the live edge.
    void showPaused(bool paused, bool behindLive);
    // The channels of the list the window shows, in its order.
    QList<ChannelRef> shownChannels() const;
    bool myListShown() const { return currentTab == 2; }
    // The list of the current tab (the catalogue before the first switch).
    ListView* currentList() const;

signals:
    void playRequested(zentuvo::ChannelRef channel);    // main player
    void previewRequested(zentuvo::ChannelRef channel); // preview player
    void stopRequested();
    void pauseToggleRequested(); // main player: Space and imgButtonPause
    void liveRequested();        // main player: End and imgButtonLive
    void swapRequested();
    void previewVolumeSwitchRequested();
    void previewStopRequested();
    void volumeChanged(int position);
    void recordRequested();
    void playFileRequested();
    void importPlaylistRequested(); // modal
    void exportPlaylistRequested(); // modal
    void viewOriginalSizeRequested();
    void viewFitWindowRequested();
    void viewFullVideoRequested();
    void viewFullScreenRequested();
    void previousChannelRequested(); // main player
    void muteToggleRequested();      // main player
    void previewPanelToggleRequested();
    void rightPanelToggleRequested();
    void searchRequested();        // modeless
    void guideRequested();         // modeless
    void scheduleRequested();      // modeless
    void checkChannelsRequested(); // Tools > Check channels
    void requirementsRequested();  // modeless
    void optionsRequested();       // modal
    void aboutRequested();         // modal
    // The property window of a catalogue channel (modal).
    void channelPropertyRequested(zentuvo::ChannelRef channel);
    // The My List editor (modal) for a My List channel's number, 0 for a new channel.
    void myListEditorRequested(qint32 myListNumber);
    // Deleting the channels of the group chosen in the My List group selector.
    void myListGroupDeleteRequested();

private:
    void connectLists();
    void connectMenus();
    void connectButtons();
    void connectKeys();
    // Whether a row of the list lies under the last release point.
    bool rowUnderPointer(bool catalogue) const;
    // Says so when the row names no channel; true when it does.
    bool available(ChannelRef channel);

    AppContext& app_;
    MainWidgets& ui_;
    MainMenus& menus_;
    bool paused_ = false; // what showPaused() last showed
    ChannelListPanel& channels_;
    MyListPanel& myList_;
    QWidget* window_;
};

} // namespace zentuvo
