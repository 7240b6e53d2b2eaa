#pragma once

#include <QString>
#include <QStringList>

namespace zentuvo {

class AppState;
class Player;
struct cChannel;

// What the playback commands need of the main window's elements.
class PlayerControlView {
public:
    virtual ~PlayerControlView() = default;
    // lblPlayerMessage, the main player's status text.
    virtual void setPlayerMessage(const QString& text) = 0;
    // lblPreview, the preview's status text.
    virtual void setPreviewMessage(const QString& text) = 0;
    // txtMessages, the line naming what plays.
    virtual void setInfoLine(const QString& text) = 0;
    // SliderPlayFile, the file position slider (0 to 20).
    virtual void showFileSlider(bool visible) = 0;
    virtual void setFileSlider(int value) = 0;
    // Shows the main player's video element (VLCPlugin21).
    virtual void showMainPlayer() = 0;
    // Hides the "no stream" pictures over the main player (picNoStream) and over the preview
    // (picNoStreamPreview).
    virtual void hideNoStreamPicture() = 0;
    virtual void hideNoStreamPreviewPicture() = 0;
    // SliderVolume, 0 to 10.
    virtual int mainVolumeSlider() const = 0;
    // The picture the preview volume button shows: "zero", "one", "two", or "" when it shows
    // none of them.
    virtual QString previewVolumePicture() const = 0;
    virtual void setPreviewVolumePicture(const QString& key) = 0;
    // Lays the window out again.
    virtual void relayout() = 0;
};

// The main window's playback commands: the main player, the preview, the swap of the two
// and the volumes.
class PlayerControl {
public:
    PlayerControl(AppState& app, Player& main, Player& preview, PlayerControlView& view);

    // Plays a channel key ("12 CH_ID", "3 MY_ID") in the main player.
    void PlayVideo(const QString& key);
    void StopVideo();
    // The status text of a state number.
    static QString GetState(int state);
    // Once a second: the status texts of both players and the file position slider.
    void TimerStatus();

    // Plays a channel key in the preview, at the preview volume.
    void PlayPreview(const QString& key);
    void StopPreview();
    // The preview's stop button: stops it, but keeps its playlist.
    void PreviewStopButton();
    // Applies the volume of the picture the preview volume button shows.
    void SetPreviewVolume();
    // The preview volume button: steps zero -> one -> two -> zero.
    void SwitchPreviewVolume();
    // The volume slider moved: main volume = value x 20 per cent (failures ignored).
    void SetMainVolume(int sliderValue);
    // Exchanges the channels of the two players.
    void Swap();

    // The player options for a channel: the program's user agent (with blanks), or the
    // channel's own user agent, and the channel's referrer when it has one.
    static QStringList headerOptions(const AppState& app, const cChannel& channel);

    static constexpr int kFileSliderSteps = 20;
    static constexpr int kVolumeStep = 20;

private:
    // The channel a key names; an empty record when it names none.
    cChannel resolve(const QString& key);

    AppState& app_;
    Player& main_;
    Player& preview_;
    PlayerControlView& view_;
};

} // namespace zentuvo
