#pragma once
// Two real players drawing into a small window, with the playback commands over them.

#include "playback/VlcPlayer.h"
#include "playback_fake_view.h"
#include "support/TestSupport.h"
#include "ui/main/PlayerControl.h"
#include "ui/widgets/VideoView.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

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
    // A fixture catalogue of these channels, a main and a preview player shown in a window.
    void openPlayers(const QList<FixtureChannel>& channels = defaultChannels()) {
        t = std::make_unique<TestApp>(channels);
        main = std::make_unique<VlcPlayer>();
        preview = std::make_unique<VlcPlayer>();
        window = std::make_unique<QWidget>();
        auto* layout = new QHBoxLayout(window.get());
        mainView = new VideoView;
        previewView = new VideoView;
        layout->addWidget(mainView, 3);
        layout->addWidget(previewView, 1);
        mainView->setPlayer(main.get());
        previewView->setPlayer(preview.get());
        window->resize(640, 240);
        window->show();
        QApplication::processEvents();
        control = std::make_unique<PlayerControl>(*t->app, *main, *preview, view);
    }

    // A My List channel of this address, as a key to play.
    ChannelRef myList(const QString& url) { return addMyList(*t->app, "Mine", url); }
    bool playing(const Player& p) const { return p.state() == PlayerState::Playing; }

    void TearDown() override {
        control.reset();
        window.reset(); // before the players: the views stop what draws into them
        main.reset();
        preview.reset();
        t.reset();
    }

    std::unique_ptr<TestApp> t;
    std::unique_ptr<VlcPlayer> main;
    std::unique_ptr<VlcPlayer> preview;
    std::unique_ptr<QWidget> window;
    VideoView* mainView = nullptr;
    VideoView* previewView = nullptr;
    FakePlayerView view;
    std::unique_ptr<PlayerControl> control;
};

} // namespace zentuvo::test
