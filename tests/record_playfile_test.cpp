// Playing a local file in the main player: the dialog, playFile and seeking.
#include "data/ChannelRef.h"
#include "playback_fake_view.h"
#include "support/FakePlayer.h"
#include "support/TestSupport.h"
#include "ui/main/FilePlayback.h"
#include "ui/main/PlayerControl.h"

#include <QApplication>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <gtest/gtest.h>

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
        txtMessages->setText("Alpha (Italy)");
        control = std::make_unique<PlayerControl>(*t.app, player, preview, view);
        control->setMainChannel(ChannelRef::catalogue(3));
        files = std::make_unique<FilePlayback>(
            *t.app, *control, player,
            FilePlaybackWidgets{video, txtMessages, SliderPlayFile, SliderVolume});
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
