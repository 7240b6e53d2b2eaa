#pragma once

#include "support/FakePlayer.h"
#include "support/TestSupport.h"
#include "ui/main/PlayerControl.h"

#include <QString>
#include <gtest/gtest.h>

namespace zentuvo::test {

// The main window's playback elements, as plain values.
struct FakePlayerView : PlayerControlView {
    void setPlayerMessage(const QString& text) override { playerMessage = text; }
    void setPreviewMessage(const QString& text) override { previewMessage = text; }
    void setInfoLine(const QString& text) override { infoLine = text; }
    void showFileSlider(bool visible) override { fileSliderVisible = visible; }
    void setFileSlider(int value) override { fileSlider = value; }
    void showMainPlayer() override { mainPlayerVisible = true; }
    void hideNoStreamPicture() override { noStreamVisible = false; }
    void hideNoStreamPreviewPicture() override { noStreamPreviewVisible = false; }
    int mainVolumeSlider() const override { return volumeSlider; }
    QString previewVolumePicture() const override { return volumePicture; }
    void setPreviewVolumePicture(const QString& key) override { volumePicture = key; }
    void relayout() override { ++relayouts; }

    QString playerMessage;
    QString previewMessage;
    QString infoLine;
    bool fileSliderVisible = true;
    int fileSlider = -1;
    bool mainPlayerVisible = false;
    bool noStreamVisible = true;
    bool noStreamPreviewVisible = true;
    int volumeSlider = 5;
    QString volumePicture = QStringLiteral("zero");
    int relayouts = 0;
};

// Player commands over fake players and a clock the test moves, with Alpha.it playing in
// the main player from the start.
class ClockedControl : public ::testing::Test {
protected:
    TestApp t;
    FakePlayer main, preview;
    FakePlayerView view;
    PlayerControl control{*t.app, main, preview, view};
    qint64 now = 1000;

    void SetUp() override {
        control.setClock([this] { return now; });
        control.playMain(catalogueRef(*t.app, "Alpha.it"));
    }
    // The main player's status line after a tick.
    QString status() {
        control.updateStatus();
        return view.playerMessage;
    }
};

} // namespace zentuvo::test
