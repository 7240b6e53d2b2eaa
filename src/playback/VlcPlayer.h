#pragma once

#include "playback/Player.h"

#include <memory>

namespace zentuvo {

struct VlcPlayerOptions {
    // No picture and no sound. Chosen anyway on every platform but xcb, where the player
    // library cannot draw into our windows.
    bool headless = false;
    // Only the player library's own defaults (no caching or title options of ours): to
    // compare against in measurements.
    bool libraryDefaults = false;
    // Draw the picture into memory instead of a window and announce firstPicture() when the
    // first one is shown. For measurements.
    bool pictureProbe = false;
};

// The player over libVLC. All players of a process share one library instance per kind of
// output; the last player to go releases it.
class VlcPlayer : public Player {
    Q_OBJECT

public:
    explicit VlcPlayer(const VlcPlayerOptions& options = {}, QObject* parent = nullptr);
    ~VlcPlayer() override;

    void setVideoWindow(quintptr xid) override;
    int playlistAdd(const QString& mrl, const QString& name, const QStringList& options) override;
    void playItem(int item) override;
    bool isPlaying() const override;
    void stop() override;
    int itemCount() const override;
    void clear() override;
    int inputState() const override;
    double position() const override;
    void setPosition(double position) override;
    void setVolume(int percent) override;
    int volume() const override;
    bool fullscreen() const override;
    void setFullscreen(bool on) override;
    std::optional<QSize> videoSize() const override;
    QString versionInfo() const override;

    // Whether this player draws nothing and plays no sound.
    bool headless() const;
    // Pictures shown, and lost (too late to be shown), since the item started; -1 when
    // unknown.
    int displayedPictures() const;
    int lostPictures() const;
    // Different pictures the probe has shown since the item started, counted as they are
    // shown (pictureProbe only; the counts above are the library's, updated now and then).
    int probedPictures() const;

signals:
    // The first picture of the item started last is on its way to the screen: shown (with
    // pictureProbe) or its video output created (without).
    void firstPicture();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

std::unique_ptr<Player> createVlcPlayer(const VlcPlayerOptions& options = {},
                                        QObject* parent = nullptr);

// How an address can be handed to the player library.
enum class AddressKind {
    Location,  // a URL with a scheme ("http://...", "file:///...")
    LocalPath, // a local file, by its absolute path
    Unusable,  // nothing that can be opened: empty, or a bare word or relative path
};

// Sorts an address; for a local path, *path receives the absolute path to open.
AddressKind classifyAddress(const QString& mrl, QString* path = nullptr);

} // namespace zentuvo
