// Playing a local file in the main player: the dialog, playFile and seeking.
#include "data/ChannelRef.h"
#include "playback_fake_view.h"
#include "support/FakePlayer.h"
#include "support/TestWidgets.h"
#include "ui/main/FilePlayback.h"
#include "ui/main/PlayerControl.h"

#include <QMouseEvent>

using namespace zentuvo;
using namespace zentuvo::test;

namespace {

class FilePlaybackTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.resize(400, 300);
        video = new QWidget(&window);
        txtMessages = new QLineEdit(&window);
        SliderPlayFile = new QSlider(Qt::Horizontal, &window);
        SliderVolume = new QSlider(Qt::Horizontal, &window);
        SliderVolume->setRange(0, 10);
        SliderVolume->setValue(5);
        SliderPlayFile->hide();
        lblPlayFileTime = new QLabel(&window);
        txtMessages->setText("Alpha (Italy)");
        control = std::make_unique<PlayerControl>(*t.app, player, preview, view);
        control->setMainChannel(ChannelRef::catalogue(3));
        files = std::make_unique<FilePlayback>(
            *t.app, *control, player,
            FilePlaybackWidgets{video, txtMessages, SliderPlayFile, SliderVolume, lblPlayFileTime});
        files->setFileChooser([this](const QString& title, const QString& folder) {
            steps << "dialog " + title + " in " + folder;
            return chosen;
        });
    }

    TestApp t;
    FakePlayer player, preview;
    FakePlayerView view; // what stopping the main player hides: the file slider
    std::unique_ptr<PlayerControl> control;
    QWidget window;
    QWidget* video = nullptr;
    QLineEdit* txtMessages = nullptr;
    QSlider* SliderPlayFile = nullptr;
    QSlider* SliderVolume = nullptr;
    QLabel* lblPlayFileTime = nullptr;
    std::unique_ptr<FilePlayback> files;
    QStringList steps;
    QString chosen;
};

} // namespace

TEST_F(FilePlaybackTest, PlayFromPlaysTheChosenFileAndCancellingLeavesWhatPlays) {
    window.show();
    files->playFrom();
    EXPECT_EQ(steps, QStringList{"dialog Open file... in " + t.app->preferences().recordFolder()});
    EXPECT_EQ(control->mainTag(), "3 CH_ID");
    EXPECT_TRUE(view.fileSliderVisible); // nothing stopped
    EXPECT_EQ(txtMessages->text(), "Alpha (Italy)");
    EXPECT_TRUE(SliderPlayFile->isHidden());

    chosen = "/tmp/My Recordings/20261206_1 #1 100%.ts";
    SliderVolume->setValue(7);
    files->playFrom();
    EXPECT_FALSE(view.fileSliderVisible); // the main player was stopped first
    EXPECT_EQ(control->mainTag(), "-1 FL");
    EXPECT_TRUE(SliderPlayFile->isVisible());
    EXPECT_EQ(SliderPlayFile->maximum(), 20);
    ASSERT_EQ(player.items.size(), 1);
    // The path as it is: no URL escaping, no item name, no options.
    EXPECT_EQ(player.items[0].mrl, chosen);
    EXPECT_EQ(player.items[0].name, "");
    EXPECT_TRUE(player.items[0].options.isEmpty());
    EXPECT_EQ(player.playingItem, 0);
    EXPECT_EQ(txtMessages->text(), "Playing from file 20261206_1 #1 100%.ts");
    EXPECT_EQ(player.volume(), 140);
    EXPECT_FALSE(QApplication::overrideCursor()); // the busy pointer is gone again
    // A relative path reaches the player absolute.
    files->playFile("clip.ts");
    EXPECT_EQ(player.items.last().mrl, QDir::current().absoluteFilePath("clip.ts"));
    EXPECT_TRUE(t.messages.shown.isEmpty());
    player.broken = true;
    files->playFile("/tmp/a.ts");
    EXPECT_EQ(t.messages.texts(), QStringList{"Error in PlayFile: the player does not answer"});
    EXPECT_EQ(t.messages.shown.first().icon, MsgIcon::Critical);
}

TEST_F(FilePlaybackTest, OnlyTheUsersMovesOfTheSliderSeekAndOnlyWhileAFilePlays) {
    files->seekToSlider(10);
    EXPECT_DOUBLE_EQ(player.reportedPosition, 0.0);
    files->playFile("/tmp/a.ts");
    SliderPlayFile->setFocus();
    SliderPlayFile->setPageStep(10);
    QTest::keyClick(SliderPlayFile, Qt::Key_PageUp);
    EXPECT_DOUBLE_EQ(player.reportedPosition, 0.5); // value 10: the middle of the file
    QTest::keyClick(SliderPlayFile, Qt::Key_End);
    QTest::keyClick(SliderPlayFile, Qt::Key_Left);
    EXPECT_DOUBLE_EQ(player.reportedPosition, 19.0 / 20.0);
    // The status timer's updates do not seek.
    player.reportedPosition = 0.25;
    SliderPlayFile->setValue(15);
    EXPECT_DOUBLE_EQ(player.reportedPosition, 0.25);
    // A failing seek is ignored.
    player.broken = true;
    EXPECT_NO_THROW(files->seekToSlider(10));
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST_F(FilePlaybackTest, TheTimeShowsAsMinutesOrHours) {
    const std::pair<qint64, const char*> cases[] = {
        {0, "0:00"},          {999, "0:00"},          {59'000, "0:59"},         {61'500, "1:01"},
        {3'599'000, "59:59"}, {3'600'000, "1:00:00"}, {36'062'000, "10:01:02"}, {-5, "0:00"}};
    for (const auto& [ms, text] : cases)
        EXPECT_EQ(FilePlayback::timeText(ms), text) << ms;
}

TEST_F(FilePlaybackTest, TheTimeFollowsThePlayerAndADragSeeksToTheSecond) {
    window.show();
    files->updateTime();
    EXPECT_TRUE(lblPlayFileTime->isHidden()); // no file plays
    files->playFile("/tmp/clip.ts");
    player.reportedLength = 1'000'000;
    player.reportedPosition = 0.25;
    files->updateTime();
    EXPECT_TRUE(lblPlayFileTime->isVisible());
    EXPECT_EQ(lblPlayFileTime->text(), "4:10 / 16:40");
    // Each pixel of a drag moves to a whole second, finer than the slider's twentieths.
    SliderPlayFile->resize(160, 20);
    SliderPlayFile->setValue(0);
    auto mouse = [&](QEvent::Type type, int x) {
        QMouseEvent e(type, QPointF(x, SliderPlayFile->height() / 2.0),
                      SliderPlayFile->mapToGlobal(QPointF(x, SliderPlayFile->height() / 2.0)),
                      Qt::LeftButton,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, {});
        QApplication::sendEvent(SliderPlayFile, &e);
    };
    mouse(QEvent::MouseButtonPress, 2);
    ASSERT_TRUE(SliderPlayFile->isSliderDown());
    QList<double> seconds;
    for (int x : {40, 41, 42}) {
        mouse(QEvent::MouseMove, x);
        seconds << player.reportedPosition * 1000;
    }
    mouse(QEvent::MouseButtonRelease, 42);
    for (double s : seconds)
        EXPECT_DOUBLE_EQ(s, std::round(s));
    EXPECT_LT(seconds[0], seconds[1]);
    EXPECT_LT(seconds[1], seconds[2]);
    EXPECT_LT(seconds[2] - seconds[0], 50); // a twentieth is 50 s
    // A file that ends says so instead of playing.
    player.setState(PlayerState::Ended);
    EXPECT_EQ(txtMessages->text(), "Ended - clip.ts");
    files->updateTime();
    EXPECT_EQ(lblPlayFileTime->text(), "16:40 / 16:40");
}
