// The main window with its players, recorder and dialogs plugged in, over fake players.
#include "playback/FakePlayer.h"
#include "ui/main/MainWiring.h"
#include "ui_support.h"

#include <QToolButton>

using namespace zentuvo;
using namespace zentuvo::test;

namespace {

class WiringTest : public WindowTest {
protected:
    void SetUp() override {
        open();
        wiring = new MainWiring(app(), *window, [this] {
            auto player = std::make_unique<FakePlayer>();
            players << player.get();
            return player;
        });
    }
    FakePlayer& main() { return *players[0]; }
    FakePlayer& preview() { return *players[1]; }
    void playRow(const QString& name) {
        const int row = rowOf(channels(), name);
        selectRows(ui().lvwChannels, {row});
        doubleClick(ui().lvwChannels, rowPoint(ui().lvwChannels, row));
    }

    QList<FakePlayer*> players;
    MainWiring* wiring = nullptr; // owned by the window
};

} // namespace

TEST_F(WiringTest, StartsWithSilentPreviewAndSliderVolume) {
    ASSERT_EQ(players.size(), 2);
    EXPECT_EQ(preview().volume(), 0);
    EXPECT_EQ(main().volume(), 100);
    EXPECT_TRUE(ui().TimerStatus->isActive());
}

TEST_F(WiringTest, DoubleClickPlaysInTheMainPlayerAndNamesIt) {
    playRow("Alpha");
    ASSERT_NE(main().current(), nullptr);
    EXPECT_EQ(main().current()->mrl, "http://127.0.0.1:9/alpha.ts");
    EXPECT_EQ(main().Tag(), ChannelKey::catalogue(channelIdOf(app(), "Alpha.it")));
    EXPECT_EQ(ui().txtMessages->text(), "Alpha (Italy)");
    main().setState(Player::Playing);
    wiring->control().TimerStatus();
    EXPECT_EQ(ui().lblPlayerMessage->text(), "Playing");
    EXPECT_EQ(ui().lblPreview->text(), "- Preview - Idle/Close");
    ui().imgButtonStop->click();
    EXPECT_EQ(main().Tag(), "");
    EXPECT_EQ(main().itemCount(), 0);
}

TEST_F(WiringTest, PreviewSwapAndVolumesReachThePlayers) {
    playRow("Alpha");
    const int zeta = rowOf(channels(), "Zeta");
    selectRows(ui().lvwChannels, {zeta});
    click(ui().lvwChannels, rowPoint(ui().lvwChannels, zeta));
    ui().imgButtonPreview->click();
    EXPECT_EQ(preview().current()->mrl, "http://127.0.0.1:9/zeta.ts");
    ui().imgButtonSwap->click();
    EXPECT_EQ(main().current()->mrl, "http://127.0.0.1:9/zeta.ts");
    EXPECT_EQ(preview().current()->mrl, "http://127.0.0.1:9/alpha.ts");
    ui().imgButtonPreviewVolume->click();
    EXPECT_EQ(preview().volume(), 100);
    EXPECT_EQ(ui().imgButtonPreviewVolume->property("picture").toString(), "one");
    ui().SliderVolume->setValue(10);
    EXPECT_EQ(main().volume(), 200);
    ui().imgButtonPreviewStop->click();
    EXPECT_EQ(preview().Tag(), "");
}

TEST_F(WiringTest, RecordRefusesWithoutAPlayingChannel) {
    ui().imgButtonRecord->click();
    EXPECT_TRUE(t.messages.saw("No playing channel to record."));
    EXPECT_EQ(window->MainPlayerTag(), "");
    EXPECT_EQ(window->PlayerVersionInfo(), "fake 1.0");
}

TEST_F(WiringTest, ShutdownStopsBothPlayers) {
    playRow("Alpha");
    main().setState(Player::Playing);
    wiring->shutdown();
    EXPECT_GE(main().stopCalls, 1);
    EXPECT_FALSE(ui().TimerStatus->isActive());
}
