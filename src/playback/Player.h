#pragma once

#include <QObject>
#include <QSize>
#include <QString>
#include <QStringList>
#include <optional>
#include <stdexcept>

namespace zentuvo {

// A player call that failed; callers report it in their own error message.
class PlayerError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The state of the input a player plays. The numbers show in status texts.
enum class PlayerState {
    Idle = 0,
    Opening = 1,
    Buffering = 2,
    Playing = 3,
    Paused = 4,
    Stopping = 5,
    Ended = 8,
    Error = 9,
};

// One embedded media player: a playlist of addresses with their options, the state of the
// input that plays, the audio volume and the picture.
//
// Every call is made on the GUI thread. stateChanged() is delivered there too, whatever
// thread the player library reports on.
class Player : public QObject {
    Q_OBJECT

public:
    static constexpr int kMaxVolume = 200;

    explicit Player(QObject* parent = nullptr);

    // The native window to draw the video into; 0 for none.
    virtual void setVideoWindow(quintptr xid) = 0;

    // Appends an address (a URL, or an absolute path of a local file) with an item name and
    // its ":option=value" texts; returns the new item's number.
    virtual int playlistAdd(const QString& mrl, const QString& name,
                            const QStringList& options) = 0;
    // Starts the item; returns at once. An unknown item or an unusable address leaves the
    // player in the Error state.
    virtual void playItem(int item) = 0;
    // True while an item opens, buffers or plays.
    virtual bool isPlaying() const = 0;
    virtual void stop() = 0;
    virtual int itemCount() const = 0;
    // Empties the playlist, stopping the item that plays.
    virtual void clear() = 0;

    virtual PlayerState state() const = 0;
    // Position within the item, 0.0 to 1.0; 0.0 when nothing plays.
    virtual double position() const = 0;
    virtual void setPosition(double position) = 0;
    // Length of the item in milliseconds; 0 while unknown and for live streams.
    virtual qint64 length() const = 0;

    // Whether the item that plays can be paused. Live streams can too: what arrives while
    // paused is kept (time-shift) and plays on from where it paused.
    virtual bool canPause() const = 0;
    // Pauses the item that plays (state Paused), or resumes it where it paused.
    virtual void setPaused(bool paused) = 0;
    // How far the item has played, in milliseconds of its own time; 0 when nothing plays.
    // A resumed live stream counts on from where it paused.
    virtual qint64 playedTime() const = 0;

    // Grows while the item shows pictures or plays sound (pictures shown plus sound blocks
    // played since it started); -1 when unknown.
    virtual qint64 progressCount() const = 0;
    // Audio volume in per cent, 0 to kMaxVolume; values outside are clamped.
    virtual void setVolume(int percent) = 0;
    virtual int volume() const = 0;

    // Picture size in pixels while a picture shows.
    virtual std::optional<QSize> videoSize() const = 0;

    virtual QString versionInfo() const = 0;

    // The player library's error lines for the item that failed, oldest first and one a
    // line; "" while it has not failed or when the library said nothing.
    virtual QString lastError() const = 0;

signals:
    void stateChanged(zentuvo::PlayerState state);
};

// How an address can be handed to the player library.
enum class AddressKind {
    Location,  // a URL with a scheme ("http://...", "file:///...")
    LocalPath, // a local file, by its absolute path
    Unusable,  // nothing that can be opened: empty, or a bare word or relative path
};

// Sorts an address; for a local path, *path receives the absolute path to open.
AddressKind classifyAddress(const QString& mrl, QString* path = nullptr);

} // namespace zentuvo

Q_DECLARE_METATYPE(zentuvo::PlayerState)
