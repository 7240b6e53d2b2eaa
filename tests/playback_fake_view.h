#pragma once

#include "ui/main/PlayerControl.h"

#include <QString>

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

} // namespace zentuvo::test
