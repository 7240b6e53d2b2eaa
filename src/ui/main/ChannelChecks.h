#pragma once

#include "data/ChannelRef.h"

#include <QList>
#include <QObject>
#include <memory>

class QProgressBar;
class QToolButton;

namespace zentuvo {

class AppContext;
class ChannelListModel;
class HealthChecks;
struct ChannelHealth;
struct HealthChannel;

// The stream checks of the main window: the states of both lists read at start-up, a check of
// the shown list (Tools > Check channels, or whenever the list changes when the user wants
// that) with its progress and cancel in the bottom bar, and a new check of a channel that
// failed to play. Each result is shown in its list as it comes; the lists hide offline
// channels while the user wants that. Every read runs away from the window.
class ChannelChecks : public QObject {
    Q_OBJECT
public:
    ChannelChecks(AppContext& app, ChannelListModel& catalogue, ChannelListModel& myList,
                  QProgressBar* progress, QToolButton* cancel, QObject* parent = nullptr);
    ~ChannelChecks() override;

    // Reads the kept states of both lists (fresh ones only) into them.
    void loadStates();
    // Checks these channels (a list under way is cancelled, its results kept).
    void check(const QList<ChannelRef>& channels);
    // Checks one channel on its own (a failed play), without touching a list under way.
    void recheck(ChannelRef channel);
    void cancel();
    bool isRunning() const;
    // Follows the preference (at each change): offline rows leave the lists (or come back
    // with the next fill).
    void applyHideOffline();

signals:
    // A check of a list has ended (done or cancelled).
    void finished();

private:
    // Reads the channels to check away from the window, then starts checks on them.
    void startOn(HealthChecks& checks, const QList<ChannelRef>& channels);
    void show(const HealthChannel& channel, const ChannelHealth& result);
    QString tip(const ChannelHealth& health) const;

    AppContext& app_;
    ChannelListModel& catalogue_;
    ChannelListModel& myList_;
    QProgressBar* progress_;
    QToolButton* cancel_;
    std::unique_ptr<HealthChecks> list_;
    std::unique_ptr<HealthChecks> single_;
    int generation_ = 0; // a newer check makes an older one's channel read stale
};

} // namespace zentuvo
