// The main window's layout offscreen: where every part lies at several window sizes, the
// splitter's limits, the right panel and the preview panel buttons, the size modes of the
// main player.
#include "app/Settings.h"
#include "playback/FakePlayer.h"
#include "ui/main/MainLayout.h"
#include "ui/main/VideoModes.h"
#include "ui_support.h"

#include <QMouseEvent>
#include <QSplitter>
#include <QTabBar>

using namespace zentuvo;
using namespace zentuvo::test;

namespace {

class LayoutTest : public WindowTest {
protected:
    void SetUp() override { open(); }

    MainLayout& layout() { return window->mainLayout(); }

    void resizeTo(int w, int h) {
        window->resize(w, h);
        settle();
    }
    static void settle() {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }
    // A widget's rectangle in the coordinates of the window's central area.
    QRect at(QWidget* w) {
        QWidget* central = window->centralWidget();
        return QRect(w->mapTo(central, QPoint(0, 0)), w->size());
    }
    int width() { return window->centralWidget()->width(); }
    int height() { return window->centralWidget()->height(); }
    int handle() { return ui().vSplitter->handleWidth(); }

    // Drags the splitter's handle by `dx` pixels with the left button.
    void dragSplitter(int dx) {
        QWidget* h = ui().vSplitter->handle(1);
        const QPoint from = h->rect().center();
        const QPoint to = from + QPoint(dx, 0);
        auto send = [h](QEvent::Type type, QPoint local, Qt::MouseButton button,
                        Qt::MouseButtons buttons) {
            QMouseEvent e(type, QPointF(local), QPointF(h->mapTo(h->window(), local)),
                          QPointF(h->mapToGlobal(local)), button, buttons, Qt::NoModifier);
            QApplication::sendEvent(h, &e);
        };
        send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        send(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
        settle();
    }

    void expectCentredOnPlayer(QWidget* picture) {
        const QRect player = ui().VLCPlugin21->geometry();
        const QRect r = picture->geometry();
        EXPECT_LE(std::abs((r.left() - player.left()) - (player.right() - r.right())), 1);
        EXPECT_LE(std::abs((r.top() - player.top()) - (player.bottom() - r.bottom())), 1);
    }

    void click(QToolButton* button) {
        button->click();
        settle();
    }
};

TEST_F(LayoutTest, PartsLieInPlaceAtSeveralSizes) {
    const int splitter = layout().splitterLeft();
    for (const QSize size : {QSize(1180, 740), QSize(1500, 950)}) {
        SCOPED_TRACE(size.width());
        resizeTo(size.width(), size.height());
        const int W = width(), H = height(), bottom = ui().picBottom->height();
        // The splitter keeps its place; the right panel takes what the window gains.
        EXPECT_EQ(layout().splitterLeft(), splitter);
        EXPECT_EQ(at(ui().picBottom), QRect(0, H - bottom, W, bottom));
        EXPECT_EQ(at(ui().vSplitter), QRect(0, 0, W, H - bottom));
        // Video panel left of the splitter, the status text under it, the player filling it.
        const QRect video = at(ui().picContainerLeft);
        EXPECT_EQ(video, QRect(0, 0, splitter, H - bottom - ui().lblPlayerMessage->height()));
        EXPECT_EQ(at(ui().lblPlayerMessage).top(), video.bottom() + 1);
        EXPECT_EQ(ui().VLCPlugin21->geometry(), ui().picContainerLeft->rect());
        expectCentredOnPlayer(ui().picWelcome);
        // Right panel to the window's edge; in it from top to bottom, none over another: tab
        // strip, country panel, channel list, and the preview on the bottom bar.
        const QRect right = at(ui().rightPanel), preview = at(ui().picPreview);
        const QRect country = at(ui().picCountry), list = at(ui().lvwChannels);
        EXPECT_EQ(right.left(), splitter + handle());
        EXPECT_EQ(right.right(), W - 1);
        EXPECT_EQ(preview.height(), layout().rememberedPreviewHeight());
        EXPECT_EQ(preview.bottom() + 1, H - bottom);
        EXPECT_EQ(preview.left(), right.left());
        EXPECT_EQ(preview.right(), right.right());
        EXPECT_GT(country.top(), at(ui().TabStrip1).bottom());
        EXPECT_GT(list.top(), country.bottom());
        EXPECT_LT(list.bottom(), preview.top());
        EXPECT_LE(list.right(), right.right());
    }
}

TEST_F(LayoutTest, ANarrowRightPanelCutsThePreviewInsteadOfSqueezingIt) {
    const int needed = ui().picPreview->minimumWidth();
    layout().setSplitterLeft(width() - layout().twipsX(1000));
    settle();
    ASSERT_LT(ui().rightPanel->width(), needed);
    EXPECT_EQ(ui().picPreview->width(), needed);
    EXPECT_EQ(ui().picCountry->width(), ui().picCountry->minimumWidth());
    // The preview player and its buttons do not overlap.
    const QRect player = ui().VLCPluginPreview->geometry();
    for (QToolButton* b : {ui().imgButtonPlay, ui().imgButtonPreview, ui().imgButtonProperty})
        EXPECT_GE(b->geometry().left(), player.right()) << b->objectName().toStdString();
}

TEST_F(LayoutTest, SplitterDragStopsAtBothLimitsTheUpperOneWinningWhereTheyCross) {
    const int limit = layout().twipsX(1000);
    dragSplitter(-5000);
    EXPECT_EQ(layout().splitterLeft(), limit);
    dragSplitter(+5000);
    EXPECT_EQ(layout().splitterLeft(), width() - limit);
    dragSplitter(-200);
    EXPECT_EQ(layout().splitterLeft(), width() - limit - 200);
    EXPECT_EQ(ui().picContainerLeft->width(), width() - limit - 200);
    EXPECT_EQ(ui().vSplitter->widget(0)->minimumWidth(), limit);
    EXPECT_EQ(ui().rightPanel->minimumWidth(), limit - handle());
    // A window narrower than the two limits together: the drag ends at the upper one.
    const std::tuple<int, int, int> cases[] = {{500, 1000, 500}, {10, 1000, 67}, {990, 1000, 933},
                                               {10, 120, 53},    {100, 120, 53}, {10, 50, 0}};
    for (const auto& [wanted, windowWidth, left] : cases)
        EXPECT_EQ(MainLayout::clampSplitterLeft(wanted, windowWidth, 67), left) << wanted;
}

TEST_F(LayoutTest, PreviewFoldsToItsCaptionAndBack) {
    const int remembered = layout().rememberedPreviewHeight();
    const int listHeight = ui().lvwChannels->height();
    click(ui().imgHideShowPreview);
    EXPECT_TRUE(layout().previewFolded());
    EXPECT_EQ(ui().picPreview->height(), layout().foldedPreviewHeight());
    EXPECT_EQ(layout().foldedPreviewHeight(),
              ui().lblPreview->height() + 2 * ui().imgPreview->frameWidth());
    EXPECT_TRUE(ui().lblPreview->isVisible());
    EXPECT_FALSE(ui().VLCPluginPreview->isVisible());
    EXPECT_EQ(ui().lvwChannels->height(), listHeight + remembered - ui().picPreview->height());
    EXPECT_EQ(at(ui().picPreview).bottom() + 1, at(ui().picBottom).top());
    click(ui().imgHideShowPreview);
    EXPECT_FALSE(layout().previewFolded());
    EXPECT_EQ(ui().picPreview->height(), remembered);
    EXPECT_TRUE(ui().VLCPluginPreview->isVisible());
    EXPECT_EQ(ui().lvwChannels->height(), listHeight);
}

class SizeModeTest : public LayoutTest {
protected:
    void SetUp() override {
        LayoutTest::SetUp();
        player.reportedSize = QSize(320, 180);
        player.setState(Player::Playing);
        window->setMainPlayer(&player);
        settle();
    }
    void TearDown() override {
        window->setMainPlayer(nullptr);
        LayoutTest::TearDown();
    }
    QRect centred(QSize size) {
        const int panel = ui().picContainerLeft->width();
        return QRect((panel - size.width()) / 2, 0, size.width(), size.height());
    }

    FakePlayer player;
};

TEST_F(SizeModeTest, OriginalSizeCentresThePictureAndFitWindowOrNoModeFillsThePanel) {
    click(ui().imgButtonOriginalSize);
    EXPECT_EQ(app().VideoSizeMode, 1);
    EXPECT_EQ(ui().VLCPlugin21->geometry(), centred(QSize(320, 180)));
    expectCentredOnPlayer(ui().picWelcome);
    layout().setSplitterLeft(500); // centred again after the panel changes
    settle();
    EXPECT_EQ(ui().VLCPlugin21->geometry(), centred(QSize(320, 180)));
    click(ui().imgButtonFitWindow);
    EXPECT_EQ(app().VideoSizeMode, 2);
    EXPECT_EQ(ui().VLCPlugin21->geometry(), ui().picContainerLeft->rect());
    window->menus().miViewOriginalSize->trigger(); // the menu items do the same
    settle();
    EXPECT_EQ(ui().VLCPlugin21->size(), QSize(320, 180));
    app().VideoSizeMode = 0; // none chosen yet
    window->FormResize();
    EXPECT_EQ(ui().VLCPlugin21->geometry(), ui().picContainerLeft->rect());
}

TEST_F(SizeModeTest, AFailingPictureSizeReadLeavesThePlayersSize) {
    click(ui().imgButtonOriginalSize);
    ASSERT_EQ(ui().VLCPlugin21->size(), QSize(320, 180));
    player.reportedSize.reset();
    resizeTo(1000, 700);
    EXPECT_EQ(ui().VLCPlugin21->geometry(), centred(QSize(320, 180)));
    player.broken = true;
    resizeTo(1200, 760);
    EXPECT_EQ(ui().VLCPlugin21->geometry(), centred(QSize(320, 180)));
    player.broken = false;
    // A picture that comes later is shown at its size once the player says it plays.
    player.reportedSize = QSize(400, 300);
    player.setState(Player::Playing);
    player.setState(Player::Buffering);
    settle();
    EXPECT_EQ(ui().VLCPlugin21->geometry(), centred(QSize(400, 300)));
}

// The size mode kept in the settings file is the one the window starts with.
struct StartMode : WindowTest {};

TEST_F(StartMode, OriginalSizeFromTheSettingsFileTakesEffect) {
    app().VideoSizeMode = 1;
    SetDefaultVideoSize(app());
    app().VideoSizeMode = 0;
    ASSERT_TRUE(ReadSettings(app(), t.folder.path()));
    open();
    FakePlayer player;
    window->setMainPlayer(&player);
    player.reportedSize = QSize(256, 144);
    player.setState(Player::Playing);
    QCoreApplication::processEvents();
    EXPECT_EQ(ui().VLCPlugin21->size(), QSize(256, 144));
    window->setMainPlayer(nullptr);
}

} // namespace
