#pragma once

#include "playback/Player.h"
#include "playback/RetryTries.h"

#include <QObject>

class QTimer;

namespace zentuvo {

// Brings back a stream that drops without the user stopping it: once the item has played,
// its end, its failure, or kStallMs without new pictures or sound starts it again after
// 1 s, 2 s and 5 s. A try that reaches the playing state counts as back; after kTries that
// do not, it gives up and the player keeps its error or end. An item of known length (a
// film, not a live channel) that ends within kEndSlackMs of its length has simply ended.
class Reconnect : public QObject {
    Q_OBJECT

public:
    static constexpr int kTries = RetryTries::kTries;
    static constexpr qint64 kStallMs = 10000;
    static constexpr qint64 kEndSlackMs = 10000;

    explicit Reconnect(Player& player, QObject* parent = nullptr);

    // The user started this item of the player's playlist: it is watched from now on.
    void watch(int item);
    // The user stopped the player or started something not to be watched (a file).
    void cancel();
    // Once a second, with a steady clock in ms: a playing stream whose pictures and sound
    // have not moved for kStallMs is started again.
    void tick(qint64 nowMs);
    // The try under way failed without the player saying so (it did not start in time and
    // was stopped): the next try follows, or the end.
    void tryFailed();

    // The try under way, 1 to kTries; 0 while not reconnecting.
    int attempt() const { return tries_.attempt(); }
    // Tests wait less.
    void setDelays(const RetryTries::Delays& delaysMs) { tries_.setDelays(delaysMs); }

signals:
    // The stream dropped: try attempt (1 to kTries) starts the item again after its delay.
    void reconnecting(int attempt);
    // A try starts the item now.
    void tryStarted();
    // The stream plays again after attempt tries.
    void reconnected();
    // kTries tries failed: the player keeps its error or end.
    void gaveUp();

private:
    void onState(PlayerState state);
    void dropped();
    void startTry();

    Player& player_;
    QTimer* timer_;
    int item_ = -1; // the item watched; -1 for none
    bool played_ = false;
    RetryTries tries_;
    qint64 progress_ = -1;
    qint64 movedAt_ = -1; // when progress_ last changed
    qint64 length_ = 0;   // the item's length and how far it had played at the last tick
    qint64 playedMs_ = 0;
};

} // namespace zentuvo
