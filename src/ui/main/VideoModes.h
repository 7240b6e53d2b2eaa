#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <optional>

namespace zentuvo {

class AppContext;
class MainLayout;
class MainWindow;
class Player;
class WindowStyle;

// The four ways of showing the main player's video: fitted to the video panel, at the
// picture's own size, the player's own full screen, and full video, in which the main
// window covers its whole screen without title bar, menus or lists.
class VideoModes : public QObject {
    Q_OBJECT
public:
    VideoModes(AppContext& app, MainWindow& window, MainLayout& layout, WindowStyle& style);
    ~VideoModes() override;

    // VideoSizeMode 1 (original size) or 2 (fit window), then the window's layout.
    void viewOriginalSize();
    void viewFitWindow();

    // Enters full video, or leaves it while it is on. Leaving puts the window back where it
    // was, with its frame and menus; the lists stay out of view until they are shown again.
    void toggleFullVideo();
    // Shows or hides the menus of the menu bar, and the bar with them.
    void showMenus(bool show);
    // Where the window was when full video started.
    QRect rememberedGeometry() const { return fullVideoPlace_.geometry; }

    // The player's own full screen, on or off: the window fills the screen with nothing but
    // the video, fitted to it. A double click on the video starts or ends it; Escape ends
    // it too. Failures are ignored.
    void toggleFullScreen();
    // Whether the player's full screen is on. It is the window's alone: the player draws
    // into the same video element either way.
    bool playerFullScreen() const;
    // The main player; without one the player's full screen cannot start.
    void setPlayer(Player* player);

    // A key pressed in the main window: Escape ends the player's full screen; Escape and
    // Space end full video. Returns whether the key was used.
    bool keyPressed(int key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Where and how the window stood, to go back to.
    struct Place {
        QRect geometry;
        bool maximized = false;
        bool fullScreen = false;
        bool titlebar = true;
        bool topMost = false;
    };
    struct PlayerScreen {
        Place place;
        QList<QPointer<QWidget>> hidden; // what the full-screen video hid
    };

    Place currentPlace() const;
    // Frameless, on top, over the whole screen.
    void fillScreen();
    void restorePlace(const Place& place);
    void enterFullVideo();
    void leaveFullVideo();
    void enterPlayerFullScreen();
    void leavePlayerFullScreen();

    AppContext& app_;
    MainWindow& window_;
    MainLayout& layout_;
    WindowStyle& style_;
    QWidget* element_; // the video element, VLCPlugin21
    QPointer<Player> player_;
    Place fullVideoPlace_;
    std::optional<PlayerScreen> playerScreen_;
};

} // namespace zentuvo
