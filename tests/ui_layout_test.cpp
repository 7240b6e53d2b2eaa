// The main window's layout offscreen: the splitter's limits, the preview panel folding, the
// size modes of the main player.
#include "support/FakePlayer.h"
#include "ui/main/MainLayout.h"
#include "ui/main/VideoModes.h"
#include "ui_support.h"

#include <QMouseEvent>
#include <QSplitter>

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

    void click(QToolButton* button) {
        button->click();
        settle();
    }
};

TEST_F(LayoutTest, SplitterDragStopsAtBothLimitsTheUpperOneWinningWhereTheyCross) {
    const int limit = layout().twipsX(1000);
    dragSplitter(-5000);
    EXPECT_EQ(layout().splitterLeft(), limit);
    dragSplitter(+5000);
    EXPECT_EQ(layout().splitterLeft(), width() - limit);
    dragSplitter(-200);
    EXPECT_EQ(ui().picContainerLeft->width(), width() - limit - 200);
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
    EXPECT_EQ(ui().picPreview->height(),
              ui().lblPreview->height() + 2 * ui().imgPreview->frameWidth());
    EXPECT_FALSE(ui().VLCPluginPreview->isVisible());
    EXPECT_EQ(ui().lvwChannels->height(), listHeight + remembered - ui().picPreview->height());
    EXPECT_EQ(at(ui().picPreview).bottom() + 1, at(ui().picBottom).top());
    click(ui().imgHideShowPreview);
    EXPECT_EQ(ui().picPreview->height(), remembered);
    EXPECT_TRUE(ui().VLCPluginPreview->isVisible());
    EXPECT_EQ(ui().lvwChannels->height(), listHeight);
}

class SizeModeTest : public LayoutTest {
protected:
    void SetUp() override {
        LayoutTest::SetUp();
        player.reportedSize = QSize(320, 180);
        player.setState(PlayerState::Playing);
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
    EXPECT_EQ(app().preferences().videoSizeMode(), 1);
    EXPECT_EQ(ui().VLCPlugin21->geometry(), centred(QSize(320, 180)));
    // The welcome picture stays centred on the player.
    const QRect video = ui().VLCPlugin21->geometry(), welcome = ui().picWelcome->geometry();
    EXPECT_LE(std::abs((welcome.left() - video.left()) - (video.right() - welcome.right())), 1);
    layout().setSplitterLeft(500); // centred again after the panel changes
    settle();
    EXPECT_EQ(ui().VLCPlugin21->geometry(), centred(QSize(320, 180)));
    // A failing picture size read leaves the player's size.
    player.reportedSize.reset();
    resizeTo(1000, 700);
    EXPECT_EQ(ui().VLCPlugin21->geometry(), centred(QSize(320, 180)));
    player.broken = true;
    resizeTo(1200, 760);
    EXPECT_EQ(ui().VLCPlugin21->geometry(), centred(QSize(320, 180)));
    player.broken = false;
    // A picture that comes later is shown at its size once the player says it plays.
    player.reportedSize = QSize(400, 300);
    player.setState(PlayerState::Playing);
    player.setState(PlayerState::Buffering);
    settle();
    EXPECT_EQ(ui().VLCPlugin21->geometry(), centred(QSize(400, 300)));
    click(ui().imgButtonFitWindow);
    EXPECT_EQ(app().preferences().videoSizeMode(), 2);
    EXPECT_EQ(ui().VLCPlugin21->geometry(), ui().picContainerLeft->rect());
    app().preferences().setVideoSizeMode(0); // none chosen yet
    window->relayout();
    EXPECT_EQ(ui().VLCPlugin21->geometry(), ui().picContainerLeft->rect());
}

} // namespace
