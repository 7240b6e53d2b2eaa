#pragma once

#include "data/ChannelRef.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class QTimer;

namespace zentuvo {

class AppContext;
class Player;
class Reconnect;
enum class PlayerState;
struct ChannelInfo;

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
// and the volumes. It knows which channel each player plays.
class PlayerControl : public QObject {
    Q_OBJECT
public:
    PlayerControl(AppContext& app, Player& main, Player& preview, PlayerControlView& view,
                  QObject* parent = nullptr);

    // What each player plays: a channel, a local file (main player only) or nothing.
    ChannelRef mainChannel() const { return mainChannel_; }
    ChannelRef previewChannel() const { return previewChannel_; }
    // The main player's tag, the text form of mainChannel(): "12 CH_ID", "3 MY_ID", "-1 FL"
    // or "" when it is stopped.
    QString mainTag() const { return mainChannel_.toText(); }
    QString previewTag() const { return previewChannel_.toText(); }
    // What the main player plays from now on (file playback marks a local file, after
    // stopMain()).
    void setMainChannel(ChannelRef channel);
    void setPreviewChannel(ChannelRef channel) { previewChannel_ = channel; }

    // Plays a catalogue or My List channel in the main player.
    void playMain(ChannelRef channel);
    // Stops the main player and empties the information line.
    void stopMain();
    // Once a second: the status texts of both players and the file position slider. The
    // preview's text names its channel while it plays.
    void updateStatus();

    // Space and imgButtonPause: pauses the main player, or resumes it where it paused. A live
    // channel resumes behind the live edge: the player keeps what arrives meanwhile in the
    // time-shift folder. Nothing when the player cannot pause what it plays.
    void togglePause();
    // End and imgButtonLive: a channel that is paused or behind the live edge opens anew at
    // the live edge; a paused file resumes.
    void goLive();
    // How far the main player's channel is behind the live edge: the time it spent paused
    // since it started, in milliseconds; 0 for files and while nothing plays.
    qint64 behindLiveMs() const;
    // The main player's status text: its state, then "-m:ss" while it is behind the live edge.
    QString mainStatusText() const;
    // The longest a channel may lag behind the live edge; past it the channel goes live, so
    // the time-shift files stay within about this much of the stream.
    static constexpr qint64 kMaxBehindMs = 30 * 60 * 1000;
    // The largest time-shift file the player writes, in bytes.
    static constexpr qint64 kTimeShiftFileBytes = 64 * 1024 * 1024;
    // The folder the time-shift files go to: "timeshift" in the cache folder.
    QString timeShiftFolder() const;
    // The clock the time behind the live edge is measured with, in milliseconds; tests set
    // their own.
    void setClock(std::function<qint64()> clock) { clock_ = std::move(clock); }

    // Plays a channel in the preview, at the preview volume.
    void playPreview(ChannelRef channel);
    void stopPreview();
    // The preview's stop button: stops it, but keeps its playlist.
    void stopPreviewKeepingPlaylist();
    // Applies the volume of the picture the preview volume button shows.
    void applyPreviewVolume();
    // The preview volume button: steps zero -> one -> two -> zero.
    void switchPreviewVolume();
    // The volume slider moved: main volume = value x 20 per cent (failures ignored). A
    // muted player stays silent until it is unmuted.
    void setMainVolume(int sliderValue);
    // Mutes the main player or gives it back the slider's volume.
    void toggleMute();
    bool isMuted() const { return muted_; }
    // The volume the main player gets: 0 while muted.
    int mainVolume() const;
    // Exchanges the channels of the two players.
    void swap();

    // The channel the "previous channel" command plays: the one that played in the main
    // player before the current channel; while a file or nothing plays, the last channel.
    // Files never count. None when there is no such channel.
    ChannelRef previousChannel() const;
    // Plays previousChannel() in the main player; nothing when there is none. Again, it
    // goes back: it toggles between the two last channels.
    void playPrevious();

    // How long a started channel may take to reach the playing state; after that its
    // player is stopped and shows the error state with the reason. Tests shorten it.
    static constexpr int kStartTimeoutMs = 15000;
    void setStartTimeout(int ms);
    // The reconnection of each player (tests shorten its delays).
    Reconnect& mainReconnect() { return *mainReconnect_; }
    Reconnect& previewReconnect() { return *previewReconnect_; }
    // Why the main player or the preview failed, "" when it has not: shown after "ERROR: "
    // in the status texts until the player is started or stopped again.
    QString mainFailure() const { return mainFailure_; }
    QString previewFailure() const { return previewFailure_; }

    static constexpr int kFileSliderSteps = 20;
    static constexpr int kVolumeStep = 20;

signals:
    // previousChannel() became available or unavailable.
    void previousChannelAvailable(bool available);
    void mutedChanged(bool muted);
    // The main player paused or resumed, or its channel went back to the live edge.
    void pauseChanged(bool paused, bool behindLive);

private:
    // Sets what the main player plays and keeps the last two channels it played.
    void setMain(ChannelRef channel);

    // The channel a reference names; an empty record when it names none.
    ChannelInfo resolve(ChannelRef channel);
    // The start watch of each player: started with each play, ended by the playing state
    // (or any other end of the start) and by stop.
    QTimer* makeStartWatch(Player& player);
    void onMainStartTimeout();
    // Brings back a channel of either player that drops; gives up with the error state.
    Reconnect* makeReconnect(Player& player, QTimer* startWatch, QString& failure);
    void onPreviewStartTimeout();
    QString noAnswerText() const;
    // The player library's error text reduced to a short sentence in the user's language.
    QString failureReason(const QString& libraryText) const;
    // The status text of a player: its state, or "ERROR: " with the failure, or with the
    // reason the library gave for its error state.
    QString stateText(Player& player, const QString& failure) const;
    // Follows the main player into and out of its pause and back to a new start.
    void trackPause(PlayerState state);

    AppContext& app_;
    Player& main_;
    Player& preview_;
    PlayerControlView& view_;
    ChannelRef mainChannel_;
    ChannelRef previewChannel_;
    // The last channel the main player played and the one before it.
    ChannelRef lastChannel_;
    ChannelRef channelBefore_;
    QTimer* mainStart_ = nullptr;
    Reconnect* mainReconnect_ = nullptr;
    Reconnect* previewReconnect_ = nullptr;
    QTimer* previewStart_ = nullptr;
    QString mainInfo_;
    QString mainFailure_;
    QString previewFailure_;
    QString previewName_; // the name of the preview's channel
    bool muted_ = false;
    std::function<qint64()> clock_;
    qint64 behindMs_ = 0;  // paused time before the current pause
    qint64 pausedAt_ = -1; // clock_() when the current pause began; -1 while not paused
};

} // namespace zentuvo
