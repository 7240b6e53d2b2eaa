// The main window's layout offscreen: where every part lies at several window sizes, the
// splitter's limits, the right panel and the preview panel buttons, the size modes of the
// main player and the keys that only full video uses.
#include "app/Settings.h"
#include "playback/FakePlayer.h"
#include "ui/main/MainLayout.h"
#include "ui/main/VideoModes.h"
#include "ui_support.h"

#include <QMenuBar>
#include <QMouseEvent>
#include <QSplitter>
#include <QStackedWidget>
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
    void dragSplitter(int dx, QPalette::ColorRole* roleWhilePressed = nullptr) {
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
        if (roleWhilePressed)
            *roleWhilePressed = h->backgroundRole();
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
    for (const QSize size : {QSize(1180, 740), QSize(1300, 800), QSize(1500, 950)}) {
        SCOPED_TRACE(QString("%1x%2").arg(size.width()).arg(size.height()).toStdString());
        resizeTo(size.width(), size.height());
        const int W = width(), H = height();
        // The splitter keeps its place; the right panel takes what the window gains.
        EXPECT_EQ(layout().splitterLeft(), splitter);
        EXPECT_EQ(handle(), layout().twipsX(75));
        // Bottom bar across the window at its foot; the splitter above it, full height.
        EXPECT_EQ(at(ui().picBottom),
                  QRect(0, H - ui().picBottom->height(), W, ui().picBottom->height()));
        EXPECT_EQ(at(ui().vSplitter), QRect(0, 0, W, H - ui().picBottom->height()));
        // Video panel left of the splitter, the status text under it.
        const QRect video = at(ui().picContainerLeft);
        EXPECT_EQ(video, QRect(0, 0, splitter,
                               H - ui().picBottom->height() - ui().lblPlayerMessage->height()));
        EXPECT_EQ(at(ui().lblPlayerMessage),
                  QRect(0, video.bottom() + 1, splitter, ui().lblPlayerMessage->height()));
        // The main player fills its panel in fit-window mode.
        EXPECT_EQ(ui().VLCPlugin21->geometry(), ui().picContainerLeft->rect());
        // Right panel from the splitter to the window's edge, not beyond it.
        const QRect right = at(ui().rightPanel);
        EXPECT_EQ(right.left(), splitter + handle());
        EXPECT_EQ(right.right(), W - 1);
        // Preview panel on the bottom bar, across the right panel, at its own height.
        const QRect preview = at(ui().picPreview);
        EXPECT_EQ(preview.height(), layout().rememberedPreviewHeight());
        EXPECT_EQ(preview.bottom() + 1, at(ui().picBottom).top());
        EXPECT_EQ(preview.left(), right.left());
        EXPECT_EQ(preview.right(), right.right());
        // Country panel and channel list under the tab strip, short of the right edge, with
        // the design's gaps.
        const QRect tabs = at(ui().TabStrip1);
        const QRect country = at(ui().picCountry);
        const QRect list = at(ui().lvwChannels);
        EXPECT_EQ(tabs.left(), right.left());
        EXPECT_EQ(country.top(), tabs.bottom() + 1 + layout().twipsY(160));
        EXPECT_EQ(at(ui().lblChannelCount).right(), right.right() - layout().twipsX(80));
        EXPECT_EQ(list.left(), right.left());
        EXPECT_EQ(list.right(), right.right() - layout().twipsX(60));
        EXPECT_EQ(list.top(), country.bottom() + 1 + layout().twipsY(200) - layout().twipsY(160));
        EXPECT_EQ(preview.top() - list.bottom() - 1, layout().twipsY(60));
        // Pictures centred on the player.
        expectCentredOnPlayer(ui().picWelcome);
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

TEST_F(LayoutTest, MyListFillsTheSameSpaceAsFilterAndChannelList) {
    ui().TabStrip1->setCurrentIndex(1);
    settle();
    const QRect list = at(ui().lvwMyList);
    EXPECT_EQ(list.top(), at(ui().TabStrip1).bottom() + 1 + layout().twipsY(160));
    EXPECT_EQ(list.right(), at(ui().rightPanel).right() - layout().twipsX(60));
    EXPECT_EQ(at(ui().picPreview).top() - list.bottom() - 1, layout().twipsY(60));
}

TEST_F(LayoutTest, SplitterDragStopsAtBothLimits) {
    const int limit = layout().twipsX(1000);
    QPalette::ColorRole pressed = QPalette::NoRole;
    dragSplitter(-5000, &pressed);
    EXPECT_EQ(layout().splitterLeft(), limit);
    // The splitter darkens while it is held and takes its face colour back when let go.
    EXPECT_EQ(pressed, QPalette::Dark);
    EXPECT_EQ(ui().vSplitter->handle(1)->backgroundRole(), QPalette::Button);
    dragSplitter(+5000);
    EXPECT_EQ(layout().splitterLeft(), width() - limit);
    dragSplitter(-200);
    EXPECT_EQ(layout().splitterLeft(), width() - limit - 200);
    // The list columns follow the new width.
    EXPECT_EQ(ui().picContainerLeft->width(), width() - limit - 200);
}

TEST_F(LayoutTest, SplitterLimitsTheUpperOneWinsWhereTheyCross) {
    EXPECT_EQ(MainLayout::clampSplitterLeft(500, 1000, 67), 500);
    EXPECT_EQ(MainLayout::clampSplitterLeft(10, 1000, 67), 67);
    EXPECT_EQ(MainLayout::clampSplitterLeft(990, 1000, 67), 933);
    // A window narrower than the two limits together: the drag ends at the upper one.
    EXPECT_EQ(MainLayout::clampSplitterLeft(10, 120, 67), 53);
    EXPECT_EQ(MainLayout::clampSplitterLeft(100, 120, 67), 53);
    EXPECT_EQ(MainLayout::clampSplitterLeft(10, 50, 67), 0);
    // The panels hold the splitter inside the limits of the present width.
    const int limit = layout().twipsX(1000);
    EXPECT_EQ(ui().vSplitter->widget(0)->minimumWidth(), limit);
    EXPECT_EQ(ui().rightPanel->minimumWidth(), limit - handle());
}

TEST_F(LayoutTest, RightPanelHidesAndComesBackInTheMiddle) {
    layout().setSplitterLeft(300);
    settle();
    ASSERT_EQ(layout().splitterLeft(), 300);
    click(ui().imgShowHideRightPanel);
    EXPECT_TRUE(layout().rightPanelHidden());
    EXPECT_EQ(layout().splitterLeft(), width());
    EXPECT_EQ(ui().picContainerLeft->width(), width());
    EXPECT_EQ(ui().lblPlayerMessage->width(), width());
    click(ui().imgShowHideRightPanel);
    EXPECT_FALSE(layout().rightPanelHidden());
    EXPECT_NEAR(layout().splitterLeft(), width() / 2, 1);
    EXPECT_EQ(at(ui().rightPanel).right(), width() - 1);
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
    // Twice more: the same remembered height again.
    click(ui().imgHideShowPreview);
    click(ui().imgHideShowPreview);
    EXPECT_EQ(ui().picPreview->height(), remembered);
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

TEST_F(SizeModeTest, OriginalSizeCentresThePictureAndFitWindowFillsThePanel) {
    click(ui().imgButtonOriginalSize);
    EXPECT_EQ(app().VideoSizeMode, 1);
    EXPECT_EQ(ui().VLCPlugin21->geometry(), centred(QSize(320, 180)));
    expectCentredOnPlayer(ui().picWelcome);
    // Centred again after the panel changes.
    layout().setSplitterLeft(500);
    settle();
    EXPECT_EQ(ui().VLCPlugin21->geometry(), centred(QSize(320, 180)));
    click(ui().imgButtonFitWindow);
    EXPECT_EQ(app().VideoSizeMode, 2);
    EXPECT_EQ(ui().VLCPlugin21->geometry(), ui().picContainerLeft->rect());
    // The menu items do the same.
    window->menus().miViewOriginalSize->trigger();
    settle();
    EXPECT_EQ(ui().VLCPlugin21->size(), QSize(320, 180));
    window->menus().miViewFitWindow->trigger();
    settle();
    EXPECT_EQ(ui().VLCPlugin21->geometry(), ui().picContainerLeft->rect());
}

TEST_F(SizeModeTest, NoModeChosenFillsThePanelAndAnUnknownOneLeavesTheSize) {
    app().VideoSizeMode = 1;
    window->FormResize();
    app().VideoSizeMode = 0;
    window->FormResize();
    EXPECT_EQ(ui().VLCPlugin21->geometry(), ui().picContainerLeft->rect());
    app().VideoSizeMode = 1;
    window->FormResize();
    app().VideoSizeMode = 7;
    resizeTo(1000, 700);
    EXPECT_EQ(ui().VLCPlugin21->geometry(), QRect(0, 0, 320, 180));
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

TEST_F(SizeModeTest, NothingMovesWhileMinimized) {
    const QRect before = ui().VLCPlugin21->geometry();
    window->showMinimized();
    settle();
    app().VideoSizeMode = 1;
    window->FormResize();
    EXPECT_EQ(ui().VLCPlugin21->geometry(), before);
    // Back from the task bar the window lays itself out for what changed.
    window->showNormal();
    settle();
    EXPECT_EQ(ui().VLCPlugin21->size(), QSize(320, 180));
}

TEST_F(LayoutTest, EscapeAndSpaceDoNothingOutsideFullVideo) {
    const QRect geometry = window->geometry();
    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Space}) {
        QTest::keyClick(window.get(), key);
        settle();
        EXPECT_FALSE(window->IsFullVideo());
        EXPECT_EQ(window->geometry(), geometry);
        EXPECT_TRUE(window->menuBar()->isVisible());
        EXPECT_FALSE(layout().rightPanelHidden());
    }
}

TEST_F(LayoutTest, ShowHideMenuHidesAndShowsTheMenus) {
    const MainMenus& m = window->menus();
    window->videoModes().ShowHideMenu(false);
    for (QMenu* menu : {m.mnuFile, m.mnuView, m.mnuTools, m.mnuHelp})
        EXPECT_FALSE(menu->menuAction()->isVisible());
    EXPECT_FALSE(window->menuBar()->isVisible());
    window->videoModes().ShowHideMenu(true);
    for (QMenu* menu : {m.mnuFile, m.mnuView, m.mnuTools, m.mnuHelp})
        EXPECT_TRUE(menu->menuAction()->isVisible());
    EXPECT_TRUE(window->menuBar()->isVisible());
}

// The size mode kept in the settings file is the one the window starts with.
class StartModeTest : public LayoutTest {
protected:
    void SetUp() override {
        app().VideoSizeMode = 1;
        SetDefaultVideoSize(app());
        app().VideoSizeMode = 0;
        ASSERT_TRUE(ReadSettings(app(), t.folder.path()));
        ASSERT_EQ(app().VideoSizeMode, 1);
        LayoutTest::SetUp();
    }
    void TearDown() override {
        window->setMainPlayer(nullptr);
        LayoutTest::TearDown();
    }
};

TEST_F(StartModeTest, OriginalSizeFromTheSettingsFileTakesEffect) {
    EXPECT_EQ(app().VideoSizeMode, 1);
    FakePlayer player;
    window->setMainPlayer(&player);
    player.reportedSize = QSize(256, 144);
    player.setState(Player::Playing);
    settle();
    EXPECT_EQ(ui().VLCPlugin21->size(), QSize(256, 144));
}

} // namespace
