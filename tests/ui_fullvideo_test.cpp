// Full video, the player's own full screen and the window style helper on a real X server:
// the window covers the screen and comes back where it was, in the same native window, and
// frame flags change without losing the window's place.
#include "playback/FakePlayer.h"
#include "ui/dialogs/AboutWindow.h"
#include "ui/main/MainLayout.h"
#include "ui/main/MainWiring.h"
#include "ui/main/VideoModes.h"
#include "ui/main/WindowStyle.h"
#include "ui_support.h"

#include <QMenuBar>
#include <QScreen>

using namespace zentuvo;
using namespace zentuvo::test;

namespace {

void settle() {
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
        QTest::qWait(10);
    }
}

class FullVideoTest : public WindowTest {
protected:
    void SetUp() override {
        open();
        wiring = new MainWiring(app(), *window, [this] {
            auto player = std::make_unique<FakePlayer>();
            players << player.get();
            return player;
        });
        window->setGeometry(placed);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        settle();
        ASSERT_EQ(window->geometry(), placed);
        id = window->winId();
    }

    FakePlayer& player() { return *players[0]; }
    QRect screen() { return window->screen()->geometry(); }
    void click(QToolButton* button) {
        button->click();
        settle();
    }
    void key(QWidget* to, Qt::Key k) {
        QTest::keyClick(to, k);
        settle();
    }
    void expectFullVideo() {
        EXPECT_TRUE(window->IsFullVideo());
        // (Without a window manager the full-screen state itself is not read back.)
        EXPECT_EQ(window->geometry(), screen());
        EXPECT_FALSE(window->style().Titlebar());
        EXPECT_TRUE(window->style().TopMost());
        EXPECT_FALSE(window->menuBar()->isVisible());
        EXPECT_TRUE(window->mainLayout().rightPanelHidden());
        EXPECT_TRUE(ui().picBottom->isVisible());
        EXPECT_EQ(ui().picContainerLeft->width(), screen().width());
        // The same native window: a player drawing into it keeps its picture.
        EXPECT_EQ(window->winId(), id);
    }
    void expectBack() {
        EXPECT_FALSE(window->IsFullVideo());
        EXPECT_FALSE(window->isFullScreen());
        EXPECT_EQ(window->geometry(), placed);
        EXPECT_TRUE(window->style().Titlebar());
        EXPECT_FALSE(window->style().TopMost());
        EXPECT_TRUE(window->style().Sizable());
        EXPECT_TRUE(window->menuBar()->isVisible());
        for (QMenu* m : {window->menus().mnuFile, window->menus().mnuView, window->menus().mnuTools,
                         window->menus().mnuHelp})
            EXPECT_TRUE(m->menuAction()->isVisible());
        EXPECT_EQ(window->winId(), id);
    }

    const QRect placed{100, 80, 900, 600};
    WId id = 0;
    QList<FakePlayer*> players;
    MainWiring* wiring = nullptr; // owned by the window
};

TEST_F(FullVideoTest, CoversTheScreenAndComesBackWhereItWas) {
    click(ui().imgButtonFullVideo);
    expectFullVideo();
    EXPECT_EQ(window->videoModes().rememberedGeometry(), placed);
    click(ui().imgButtonFullVideo);
    expectBack();
    // The lists stay out of view until the user shows them again.
    EXPECT_TRUE(window->mainLayout().rightPanelHidden());
    EXPECT_EQ(ui().picContainerLeft->width(), window->width());
    click(ui().imgShowHideRightPanel);
    EXPECT_FALSE(window->mainLayout().rightPanelHidden());
    EXPECT_NEAR(window->mainLayout().splitterLeft(), window->width() / 2, 1);
}

TEST_F(FullVideoTest, TheViewMenuEntersAndLeavesToo) {
    window->menus().miViewFullVideo->trigger();
    settle();
    expectFullVideo();
    window->menus().miViewFullVideo->trigger();
    settle();
    expectBack();
}

TEST_F(FullVideoTest, EscapeAndSpaceLeaveOtherKeysDoNot) {
    click(ui().imgButtonFullVideo);
    key(window.get(), Qt::Key_A);
    key(window.get(), Qt::Key_Return);
    EXPECT_TRUE(window->IsFullVideo());
    key(window.get(), Qt::Key_Escape);
    expectBack();
    click(ui().imgButtonFullVideo);
    // Also from the information line, which has the focus after a click on it.
    ui().txtMessages->setFocus();
    key(ui().txtMessages, Qt::Key_Space);
    expectBack();
    // Outside full video both keys do nothing.
    key(window.get(), Qt::Key_Escape);
    key(window.get(), Qt::Key_Space);
    expectBack();
}

TEST_F(FullVideoTest, AMaximizedWindowComesBackMaximized) {
    window->showMaximized();
    settle();
    click(ui().imgButtonFullVideo);
    expectFullVideo();
    click(ui().imgButtonFullVideo);
    EXPECT_FALSE(window->IsFullVideo());
    EXPECT_TRUE(window->isMaximized());
    EXPECT_TRUE(window->style().Titlebar());
}

TEST_F(FullVideoTest, DialogsOpenOnTopWhileFullVideoIsOn) {
    click(ui().imgButtonFullVideo);
    {
        AboutWindow about(app(), *window, window.get());
        EXPECT_TRUE(about.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    }
    click(ui().imgButtonFullVideo);
    AboutWindow about(app(), *window, window.get());
    EXPECT_FALSE(about.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST_F(FullVideoTest, PlayersOwnFullScreenShowsOnlyTheVideoAndPutsEverythingBack) {
    app().VideoSizeMode = 1;
    player().reportedSize = QSize(320, 180);
    player().setState(Player::Playing);
    settle();
    ASSERT_EQ(ui().VLCPlugin21->size(), QSize(320, 180));
    click(ui().imgButtonFullScreen);
    EXPECT_TRUE(player().fullscreen());
    EXPECT_TRUE(window->videoModes().playerFullScreen());
    EXPECT_EQ(window->geometry(), screen());
    for (QWidget* w :
         {static_cast<QWidget*>(window->menuBar()), ui().rightPanel,
          static_cast<QWidget*>(ui().picBottom), static_cast<QWidget*>(ui().lblPlayerMessage)})
        EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
    // The video fills the screen, whatever the size mode; it stays in its panel.
    EXPECT_EQ(QRect(ui().VLCPlugin21->mapTo(window.get(), QPoint(0, 0)), ui().VLCPlugin21->size()),
              window->rect());
    EXPECT_EQ(ui().VLCPlugin21->parentWidget(), ui().picContainerLeft);
    EXPECT_EQ(window->winId(), id);
    window->menus().miViewFullScreen->trigger();
    settle();
    EXPECT_FALSE(player().fullscreen());
    EXPECT_FALSE(window->videoModes().playerFullScreen());
    EXPECT_EQ(window->geometry(), placed);
    EXPECT_TRUE(window->menuBar()->isVisible());
    EXPECT_TRUE(ui().rightPanel->isVisible());
    EXPECT_TRUE(ui().picBottom->isVisible());
    EXPECT_TRUE(window->style().Titlebar());
    EXPECT_EQ(ui().VLCPlugin21->size(), QSize(320, 180));
}

TEST_F(FullVideoTest, EscapeOrADoubleClickEndsThePlayersFullScreen) {
    click(ui().imgButtonFullScreen);
    ASSERT_TRUE(player().fullscreen());
    key(window.get(), Qt::Key_Escape);
    EXPECT_FALSE(player().fullscreen());
    EXPECT_EQ(window->geometry(), placed);
    click(ui().imgButtonFullScreen);
    ASSERT_TRUE(player().fullscreen());
    QTest::mouseDClick(ui().VLCPlugin21, Qt::LeftButton);
    settle();
    EXPECT_FALSE(player().fullscreen());
    EXPECT_FALSE(window->isFullScreen());
}

TEST_F(FullVideoTest, ThePlayersFullScreenInsideFullVideoGoesBackToFullVideo) {
    click(ui().imgButtonFullVideo);
    click(ui().imgButtonFullScreen);
    EXPECT_FALSE(ui().picBottom->isVisible());
    key(window.get(), Qt::Key_Escape);
    EXPECT_FALSE(player().fullscreen());
    expectFullVideo();
    key(window.get(), Qt::Key_Escape);
    expectBack();
}

TEST_F(FullVideoTest, WithoutAPlayerTheFullScreenButtonDoesNothing) {
    window->setMainPlayer(nullptr);
    click(ui().imgButtonFullScreen);
    EXPECT_FALSE(window->videoModes().playerFullScreen());
    EXPECT_EQ(window->geometry(), placed);
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

// The style helper over a plain window placed on the screen.
class StyleTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.setGeometry(placed);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        settle();
        style.setClient(&window);
        id = window.winId();
    }
    void expectInPlace() {
        settle();
        EXPECT_EQ(window.geometry(), placed);
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(window.winId(), id);
        EXPECT_TRUE(style.lastChangeHeld());
    }

    const QRect placed{200, 150, 400, 300};
    QWidget window;
    cStyle style;
    WId id = 0;
};

TEST_F(StyleTest, EveryFlagPropertyReadsBackWhatWasSetAndTheWindowStays) {
    struct Property {
        const char* name;
        void (cStyle::*set)(bool);
        bool (cStyle::*get)() const;
    } properties[] = {
        {"ControlBox", &cStyle::setControlBox, &cStyle::ControlBox},
        {"MaxButton", &cStyle::setMaxButton, &cStyle::MaxButton},
        {"MinButton", &cStyle::setMinButton, &cStyle::MinButton},
        {"Titlebar", &cStyle::setTitlebar, &cStyle::Titlebar},
        {"ToolWindow", &cStyle::setToolWindow, &cStyle::ToolWindow},
        {"TopMost", &cStyle::setTopMost, &cStyle::TopMost},
    };
    for (const Property& p : properties) {
        SCOPED_TRACE(p.name);
        for (bool on : {true, false, true, false}) {
            (style.*p.set)(on);
            EXPECT_EQ((style.*p.get)(), on);
            expectInPlace();
        }
        // Back to the window's usual look for the next property.
        (style.*p.set)(QString(p.name) != "ToolWindow" && QString(p.name) != "TopMost");
    }
    EXPECT_EQ(style.hWnd(), id);
}

TEST_F(StyleTest, TitlebarComesBackWithTheButtonsItHadBefore) {
    style.setMinButton(false);
    style.setTitlebar(false);
    EXPECT_FALSE(style.Titlebar());
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::FramelessWindowHint));
    expectInPlace();
    style.setTitlebar(true);
    EXPECT_TRUE(style.Titlebar());
    EXPECT_FALSE(style.MinButton());
    EXPECT_TRUE(style.MaxButton());
    expectInPlace();
}

TEST_F(StyleTest, SizableFalseFixesTheSizeAndTrueGivesItBack) {
    EXPECT_TRUE(style.Sizable());
    style.setSizable(false);
    EXPECT_FALSE(style.Sizable());
    EXPECT_EQ(window.minimumSize(), placed.size());
    EXPECT_EQ(window.maximumSize(), placed.size());
    expectInPlace();
    style.setSizable(true);
    EXPECT_TRUE(style.Sizable());
    EXPECT_EQ(window.minimumSize(), QSize(0, 0));
    EXPECT_EQ(window.maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    expectInPlace();
}

TEST_F(StyleTest, ABatchChangesTheFlagsOnceAtItsEnd) {
    {
        cStyle::Batch batch(style);
        style.setTitlebar(false);
        style.setTopMost(true);
        EXPECT_TRUE(style.Titlebar());
        EXPECT_FALSE(style.TopMost());
    }
    EXPECT_FALSE(style.Titlebar());
    EXPECT_TRUE(style.TopMost());
    expectInPlace();
}

TEST_F(StyleTest, StoredPropertiesChangeNoFlags) {
    const Qt::WindowFlags flags = window.windowFlags();
    EXPECT_FALSE(style.WhatsThisButton());
    EXPECT_FALSE(style.AutoDrag());
    EXPECT_FALSE(style.AutoSysMenu());
    style.setWhatsThisButton(true);
    style.setAutoDrag(true);
    style.setAutoSysMenu(true);
    EXPECT_TRUE(style.WhatsThisButton());
    EXPECT_TRUE(style.AutoDrag());
    EXPECT_TRUE(style.AutoSysMenu());
    style.ShowSysMenu(10, 10);
    EXPECT_EQ(window.windowFlags(), flags);
    expectInPlace();
}

TEST_F(StyleTest, AutoDragTakesTheLeftButtonOnTheClientArea) {
    struct Counter : QObject {
        int presses = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            presses += e->type() == QEvent::MouseButtonPress;
            return false;
        }
    } counter;
    // Installed first, so it sees what reaches the window after the helper's filter.
    window.installEventFilter(&counter);
    style.setClient(nullptr);
    style.setClient(&window);
    QTest::mousePress(&window, Qt::LeftButton, {}, QPoint(20, 20));
    QTest::mouseRelease(&window, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_EQ(counter.presses, 1);
    style.setAutoDrag(true);
    QTest::mousePress(&window, Qt::LeftButton, {}, QPoint(20, 20));
    QTest::mouseRelease(&window, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_EQ(counter.presses, 1);
    // Other buttons still reach the window.
    QTest::mousePress(&window, Qt::RightButton, {}, QPoint(20, 20));
    QTest::mouseRelease(&window, Qt::RightButton, {}, QPoint(20, 20));
    EXPECT_EQ(counter.presses, 2);
}

TEST_F(StyleTest, WithoutAClientNothingHappens) {
    style.setClient(nullptr);
    const Qt::WindowFlags flags = window.windowFlags();
    style.setTitlebar(false);
    style.setTopMost(true);
    style.setSizable(false);
    style.setWhatsThisButton(true);
    EXPECT_EQ(window.windowFlags(), flags);
    EXPECT_TRUE(window.minimumSize() != window.maximumSize());
    EXPECT_EQ(style.hWnd(), WId(0));
    EXPECT_EQ(style.Client(), nullptr);
    for (bool value :
         {style.Titlebar(), style.TopMost(), style.Sizable(), style.ControlBox(), style.MinButton(),
          style.MaxButton(), style.ToolWindow(), style.WhatsThisButton()})
        EXPECT_FALSE(value);
}

TEST(StyleHiddenTest, AWindowNotYetShownKeepsItsPlaceAndShowsTheNewFrame) {
    QWidget window;
    window.setGeometry(120, 90, 300, 200);
    cStyle style;
    style.setClient(&window);
    style.setTitlebar(false);
    style.setTopMost(true);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.geometry(), QRect(120, 90, 300, 200));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    settle();
    EXPECT_FALSE(style.Titlebar());
    EXPECT_TRUE(style.TopMost());
    EXPECT_EQ(window.geometry(), QRect(120, 90, 300, 200));
}

} // namespace
