#pragma once

#include "playback/Player.h"
#include "playback/PlayerProbe.h"

#include <memory>

namespace zentuvo {

struct VlcPlayerOptions {
    // No picture and no sound. Chosen anyway on every platform but xcb, where the player
    // library cannot draw into our windows.
    bool headless = false;
};

// The player over libVLC. All players of a process share one library instance per kind of
// output; the last player to go releases it. Its probe (PlayerProbe) is for measurements.
class VlcPlayer : public Player, public PlayerProbe {
    Q_OBJECT

public:
    explicit VlcPlayer(const VlcPlayerOptions& options = {}, QObject* parent = nullptr);
    VlcPlayer(const VlcPlayerOptions& options, const PlayerProbeOptions& probeOptions,
              QObject* parent = nullptr);
    ~VlcPlayer() override;

    void setVideoWindow(quintptr xid) override;
    int playlistAdd(const QString& mrl, const QString& name, const QStringList& options) override;
    void playItem(int item) override;
    bool isPlaying() const override;
    void stop() override;
    int itemCount() const override;
    void clear() override;
    PlayerState state() const override;
    double position() const override;
    void setPosition(double position) override;
    qint64 length() const override;
    bool canPause() const override;
    void setPaused(bool paused) override;
    qint64 playedTime() const override;
    qint64 progressCount() const override;
    void setVolume(int percent) override;
    int volume() const override;
    std::optional<QSize> videoSize() const override;
    QString versionInfo() const override;
    QString lastError() const override;

    // Whether this player draws nothing and plays no sound.
    bool headless() const;

private:
    // PlayerProbe, reached through the probe only.
    int displayedPictures() const override;
    int lostPictures() const override;
    int probedPictures() const override;
    void setFirstPictureHandler(std::function<void()> handler) override;
    SyncMarks takeSyncMarks() override;
    LiveLead liveLead() const override;

    struct Impl;
    std::unique_ptr<Impl> d;
};

std::unique_ptr<Player> createVlcPlayer(const VlcPlayerOptions& options = {},
                                        QObject* parent = nullptr);

} // namespace zentuvo
