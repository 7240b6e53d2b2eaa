// Full video and the player's own full screen on a real X server: the window covers the
// screen and comes back where it was, in the same native window, its frame flags (the
// window style helper) changed and restored without losing its place.
#include "ui/main/MainLayout.h"
#include "ui/main/VideoModes.h"
#include "ui/main/WindowStyle.h"
#include "ui_support.h"

#include <QMenuBar>
#include <QScreen>

using namespace zentuvo;
using namespace zentuvo::test;

namespace {

class FullVideoTest : public WiredWindowTest {
protected:
    // Waits until the window system has put the window where its present mode wants it:
    // over the whole screen in full video, in the player's full screen or maximized (there
    // is no window manager keeping a panel free), else where it was placed.
    void settle() {
        const bool whole = window->isFullVideo() || window->videoModes().playerFullScreen() ||
                           window->isMaximized();
        waitUntil([&] { return window->geometry() == (whole ? screen() : placed); }, 2000);
        QCoreApplication::processEvents();
    }
    void SetUp() override {
        WiredWindowTest::SetUp();
        window->setGeometry(placed);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        settle();
        ASSERT_EQ(window->geometry(), placed);
        id = window->winId();
    }

    FakePlayer& player() { return mainPlayer(); }
    QRect screen() { return window->screen()->geometry(); }
    void click(QToolButton* button) {
        button->click();
        settle();
    }
    void key(QWidget* to, Qt::Key k) {
        QTest::keyClick(to, k);
        settle();
    }
    // Full video covers the screen in the same native window (a player drawing into it keeps
    // its picture), without frame, menus or lists; out of it, all comes back where it was.
    // (Without a window manager the full-screen state itself is not read back.)
    void expectFullVideo(bool on) {
        EXPECT_EQ(window->isFullVideo(), on);
        EXPECT_EQ(window->geometry(), on ? screen() : placed);
        EXPECT_EQ(window->windowStyle().hasTitlebar(), !on);
        EXPECT_EQ(window->windowStyle().isTopMost(), on);
        EXPECT_EQ(window->menuBar()->isVisible(), !on);
        EXPECT_TRUE(ui().picBottom->isVisible());
        EXPECT_EQ(window->winId(), id);
        if (on) {
            EXPECT_EQ(ui().picContainerLeft->width(), screen().width());
        }
    }

    const QRect placed{100, 80, 900, 600};
    WId id = 0;
};

TEST_F(FullVideoTest, CoversTheScreenAndComesBackWhereItWas) {
    click(ui().imgButtonFullVideo);
    expectFullVideo(true);
    EXPECT_EQ(window->videoModes().rememberedGeometry(), placed);
    click(ui().imgButtonFullVideo);
    expectFullVideo(false);
    // The lists stay out of view until the user shows them again.
    EXPECT_TRUE(window->mainLayout().rightPanelHidden());
    EXPECT_EQ(ui().picContainerLeft->width(), window->width());
    click(ui().imgShowHideRightPanel);
    EXPECT_FALSE(window->mainLayout().rightPanelHidden());
    EXPECT_NEAR(window->mainLayout().splitterLeft(), window->width() / 2, 1);
    // The View menu enters and leaves too.
    for (bool on : {true, false}) {
        window->menus().miViewFullVideo->trigger();
        settle();
        expectFullVideo(on);
    }
}

TEST_F(FullVideoTest, F11EntersEscapeAndSpaceLeaveOtherKeysDoNot) {
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    key(window.get(), Qt::Key_F11);
    expectFullVideo(true);
    key(window.get(), Qt::Key_M); // the hidden View menu's key still mutes
    EXPECT_EQ(player().volume(), 0);
    EXPECT_TRUE(window->menus().miViewMute->isChecked());
    key(window.get(), Qt::Key_F11);
    expectFullVideo(false);
    click(ui().imgButtonFullVideo);
    key(window.get(), Qt::Key_A);
    key(window.get(), Qt::Key_Return);
    EXPECT_TRUE(window->isFullVideo());
    key(window.get(), Qt::Key_Escape);
    expectFullVideo(false);
    click(ui().imgButtonFullVideo);
    // Also from the information line, which has the focus after a click on it.
    ui().txtMessages->setFocus();
    key(ui().txtMessages, Qt::Key_Space);
    expectFullVideo(false);
    // Outside full video both keys do nothing.
    key(window.get(), Qt::Key_Escape);
    key(window.get(), Qt::Key_Space);
    expectFullVideo(false);
}

TEST_F(FullVideoTest, AMaximizedWindowComesBackMaximized) {
    window->showMaximized();
    settle();
    click(ui().imgButtonFullVideo);
    EXPECT_EQ(window->geometry(), screen());
    click(ui().imgButtonFullVideo);
    EXPECT_FALSE(window->isFullVideo());
    EXPECT_TRUE(window->isMaximized());
}

TEST_F(FullVideoTest, PlayersOwnFullScreenShowsOnlyTheVideoAndPutsEverythingBack) {
    app().preferences().setVideoSizeMode(1);
    player().reportedSize = QSize(320, 180);
    player().setState(PlayerState::Playing);
    settle();
    ASSERT_EQ(ui().VLCPlugin21->size(), QSize(320, 180));
    click(ui().imgButtonFullScreen);
    EXPECT_TRUE(window->videoModes().playerFullScreen());
    EXPECT_EQ(window->geometry(), screen());
    EXPECT_FALSE(window->menuBar()->isVisible() || ui().rightPanel->isVisible() ||
                 ui().picBottom->isVisible() || ui().lblPlayerMessage->isVisible());
    // The video fills the screen, whatever the size mode; it stays in its panel.
    EXPECT_EQ(QRect(ui().VLCPlugin21->mapTo(window.get(), QPoint(0, 0)), ui().VLCPlugin21->size()),
              window->rect());
    EXPECT_EQ(ui().VLCPlugin21->parentWidget(), ui().picContainerLeft);
    window->menus().miViewFullScreen->trigger();
    settle();
    EXPECT_FALSE(window->videoModes().playerFullScreen());
    expectFullVideo(false);
    EXPECT_TRUE(ui().rightPanel->isVisible());
    EXPECT_EQ(ui().VLCPlugin21->size(), QSize(320, 180));
}

TEST_F(FullVideoTest, EscapeOrADoubleClickEndsThePlayersFullScreenBackToWhereItWas) {
    click(ui().imgButtonFullScreen);
    ASSERT_TRUE(window->videoModes().playerFullScreen());
    key(window.get(), Qt::Key_Escape);
    EXPECT_FALSE(window->videoModes().playerFullScreen());
    EXPECT_EQ(window->geometry(), placed);
    // A double click on the video starts it and ends it.
    for (bool on : {true, false}) {
        QTest::mouseDClick(ui().VLCPlugin21, Qt::LeftButton);
        settle();
        EXPECT_EQ(window->videoModes().playerFullScreen(), on);
    }
    EXPECT_EQ(window->geometry(), placed);
    // From inside full video, back to full video.
    click(ui().imgButtonFullVideo);
    click(ui().imgButtonFullScreen);
    EXPECT_FALSE(ui().picBottom->isVisible());
    key(window.get(), Qt::Key_Escape);
    EXPECT_FALSE(window->videoModes().playerFullScreen());
    expectFullVideo(true);
    key(window.get(), Qt::Key_Escape);
    expectFullVideo(false);
    // Without a player the button does nothing.
    window->setMainPlayer(nullptr);
    click(ui().imgButtonFullScreen);
    EXPECT_FALSE(window->videoModes().playerFullScreen());
    EXPECT_EQ(window->geometry(), placed);
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

} // namespace
