#pragma once
// A real main player drawing into a small window, with the playback commands over it and a
// fake preview player (no test here plays the preview).

#include "playback/VlcPlayer.h"
#include "playback_fake_view.h"
#include "support/FakePlayer.h"
#include "support/TestSupport.h"
#include "ui/main/PlayerControl.h"
#include "ui/widgets/VideoView.h"

#include <QApplication>

namespace zentuvo::test {

// Waits for a condition, by default as long as a player may take to start over the network.
inline bool waitFor(const std::function<bool()>& done, int ms = 20000) {
    return waitUntil(done, ms);
}

// Lets the time pass with the event loop running, for a check that something stays as it is
// (the time passing is the scenario, there is nothing to wait for).
inline void runEvents(int ms) {
    QTest::qWait(ms);
}

class PlayersOnScreen : public ::testing::Test {
protected:
    // A fixture catalogue of these channels, the main player shown in a window.
    void openPlayers(const QList<FixtureChannel>& channels = defaultChannels()) {
        t = std::make_unique<TestApp>(channels);
        main = std::make_unique<VlcPlayer>();
        window = std::make_unique<VideoView>();
        window->setPlayer(main.get());
        window->resize(480, 240);
        window->show();
        QApplication::processEvents();
        control = std::make_unique<PlayerControl>(*t->app, *main, preview, view);
    }

    // A My List channel of this address, as a key to play.
    ChannelRef myList(const QString& url) { return addMyList(*t->app, "Mine", url); }
    bool playing(const Player& p) const { return p.state() == PlayerState::Playing; }

    void TearDown() override {
        control.reset();
        window.reset(); // before the player: the view stops what draws into it
        main.reset();
        t.reset();
    }

    std::unique_ptr<TestApp> t;
    std::unique_ptr<VlcPlayer> main;
    FakePlayer preview;
    std::unique_ptr<VideoView> window;
    FakePlayerView view;
    std::unique_ptr<PlayerControl> control;
};

} // namespace zentuvo::test
