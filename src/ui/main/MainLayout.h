#pragma once

#include <QObject>
#include <QPointer>
#include <QSize>
#include <QTimer>
#include <optional>

class QMainWindow;
class QWidget;

namespace zentuvo {

class AppContext;
class Player;
class VideoPanelLayout;
struct MainWidgets;

// Lays the main window out: the video panel left of the splitter, the tab strip, country
// panel, lists and preview panel right of it, the bottom bar across. Qt layouts keep the
// elements in place at every size; this class sets the measures, keeps the splitter within
// its limits, hides and shows the right panel, folds the preview panel to its caption strip
// and places the main player inside the video panel by VideoSizeMode.
//
// Measures are design measures in twips, turned into pixels of the window's screen (15
// twips a pixel at 96 dots per inch).
class MainLayout : public QObject {
    Q_OBJECT
public:
    MainLayout(AppContext& app, QMainWindow& window, MainWidgets& ui);
    ~MainLayout() override;

    int twipsX(int twips) const;
    int twipsY(int twips) const;

    // The layout for the window's present size, but for the list columns: the splitter's
    // limits, the main player by VideoSizeMode. Nothing while the window is minimized.
    void relayout();

    // imgShowHideRightPanel: a hidden right panel comes back with the splitter in the
    // middle; a shown one goes out of view.
    void toggleRightPanel();
    // Pushes the right panel out of view.
    void hideRightPanel();
    bool rightPanelHidden() const;

    // imgHideShowPreview: folds the preview panel to its caption strip, or unfolds it to
    // the height it had when the window was built.
    void togglePreview();
    bool previewFolded() const;
    int rememberedPreviewHeight() const { return previewHeight_; }
    int foldedPreviewHeight() const;

    // The splitter's left edge in the window's pixels; the window's width while the right
    // panel is hidden.
    int splitterLeft() const;
    void setSplitterLeft(int left);
    // Where a splitter dragged to `left` ends in a window `width` pixels wide, with `limit`
    // pixels kept free at each edge. Where the two limits cross, the upper one wins.
    static int clampSplitterLeft(int left, int width, int limit);

    // The main player whose picture size original-size mode shows; none with nullptr.
    void setPlayer(Player* player);
    // Places the main player in the video panel by VideoSizeMode: 0 and 2 fill the panel,
    // 1 shows the picture at its own pixel size, centred across the panel; other values
    // leave its size. A picture size that cannot be read leaves the size as it is.
    void placeVideo();
    // While set, the main player fills the video panel whatever VideoSizeMode says.
    void setVideoFill(bool fill);

signals:
    // Something moved: the window should run its whole layout (the list columns too).
    void needsLayout();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyMeasures();
    void applySplitterLimits();
    void setPreviewFolded(bool folded);
    std::optional<QSize> readPictureSize() const;
    bool playerBusy() const;

    AppContext& app_;
    QMainWindow& window_;
    MainWidgets& ui_;
    VideoPanelLayout* video_ = nullptr;
    QWidget* leftPanel_ = nullptr;
    QWidget* previewBody_ = nullptr;
    int previewHeight_ = 0; // the preview panel's height when the window was built
    QPointer<Player> player_;
    // While a picture is on its way, original-size mode asks again for its size.
    QTimer pictureRetry_;
    int pictureTries_ = 0;
    bool fill_ = false;
};

} // namespace zentuvo
