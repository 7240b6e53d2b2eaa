#pragma once

#include "playback/Player.h"

#include <QList>

namespace zentuvo {

// A player that plays nothing: it records what it is asked to do and reports the state a
// test gives it. For tests of the commands that drive the players.
class FakePlayer : public Player {
    Q_OBJECT

public:
    struct Item {
        QString mrl;
        QString name;
        QStringList options;
    };

    using Player::Player;

    void setVideoWindow(quintptr xid) override { window = xid; }
    int playlistAdd(const QString& mrl, const QString& name, const QStringList& options) override;
    void playItem(int item) override;
    bool isPlaying() const override;
    void stop() override;
    int itemCount() const override;
    void clear() override;
    PlayerState state() const override;
    double position() const override;
    void setPosition(double position) override;
    qint64 length() const override { return reportedLength; }
    bool canPause() const override;
    qint64 progressCount() const override;
    void setPaused(bool paused) override;
    qint64 playedTime() const override { return reportedPlayed; }
    void setVolume(int percent) override;
    int volume() const override { return volume_; }
    std::optional<QSize> videoSize() const override;
    QString versionInfo() const override { return QStringLiteral("fake 1.0"); }
    QString lastError() const override { return reportedError; }

    // Sets the reported state and announces it, as the real player does.
    void setState(PlayerState state);
    // The item last started, or nothing.
    const Item* current() const;

    QList<Item> items;
    int playingItem = -1;
    quintptr window = 0;
    double reportedPosition = 0.0;
    qint64 reportedLength = 0; // milliseconds
    qint64 reportedPlayed = 0; // milliseconds
    std::optional<QSize> reportedSize;
    QString reportedError;
    // The state an item with an address reaches when it is started (Opening for a stream
    // that never starts).
    PlayerState stateOnPlay = PlayerState::Playing;
    // While set, every call throws PlayerError (a player that cannot be reached).
    bool broken = false;
    // Calls seen, for tests that count them.
    int playCalls = 0;
    int stopCalls = 0;
    int clearCalls = 0;
    QList<int> volumeCalls;
    // Whether an item that plays can be paused; the pauses (true) and resumes (false) asked.
    bool pausable = true;
    qint64 progress = 0; // what progressCount() says
    QList<bool> pauseCalls;

private:
    void check() const;

    PlayerState state_ = PlayerState::Idle;
    int volume_ = 100;
};

} // namespace zentuvo
