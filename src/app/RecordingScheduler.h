#pragma once

#include "data/ScheduleStore.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <functional>
#include <vector>

class QTimer;

namespace zentuvo {

class AppContext;
struct ChannelInfo;

// The player of one scheduled recording: the scheduler starts it at the recording's start and
// stops it at its end. The recorder layer gives the real one (a player process per recording).
class ScheduledRunner : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Starts recording the channel's stream into file; returns at once. False (the reason in
    // *error) when it cannot start at all.
    virtual bool start(const ChannelInfo& channel, const QString& file, QString* error) = 0;
    // Ends the recording without waiting; finished() follows.
    virtual void stop() = 0;
    // Ends it and waits for its player (program shutdown); no finished() follows.
    virtual void stopAndWait() = 0;

signals:
    // The recording has ended: after stop(), or by itself (the stream ended or failed, the
    // player could not start). error is "" when nothing went wrong.
    void finished(const QString& error);
};

// Makes a runner owned by parent.
using RunnerFactory = std::function<ScheduledRunner*(QObject* parent)>;

// Runs the scheduled recordings kept in the data folder (AppPaths::scheduleFile): each starts
// at its start minus the margin before and stops at its stop plus the margin after, in a
// file of the recording folder named after the channel, the programme and the local start
// time (ScheduleFiles). Any number run at once. Nothing waits here but stopAllAndWait().
class RecordingScheduler : public QObject {
    Q_OBJECT
public:
    RecordingScheduler(AppContext& app, RunnerFactory makeRunner, QObject* parent = nullptr);
    // Recordings still running are ended (stopAllAndWait).
    ~RecordingScheduler() override;

    // Now in UTC milliseconds; tests replace it and call check() themselves.
    void setClock(std::function<qint64()> clock) { clock_ = std::move(clock); }

    // The start: the recordings whose end has passed without their having run are marked
    // missed and listed in one message; those due run; the rest wait for their time.
    void start();
    // Starts what is due and stops what is over, then waits for the next such time. A
    // recording whose whole time passed unseen (the computer slept) is marked missed.
    void check();

    // Adds a recording with the margins of the preferences; its id, 0 when it could not be
    // kept (after a message). It runs at once when already due.
    qint64 schedule(ChannelRef channel, const QString& channelName, const QString& title,
                    qint64 start, qint64 stop);
    // Removes a recording, ending it first when it runs. False when there is none.
    bool remove(qint64 id);

    // Every recording, as last read or changed.
    const std::vector<ScheduledRecording>& recordings() const { return recordings_; }
    // A recording of the channel from that start (UTC seconds) waits or runs.
    bool isScheduled(ChannelRef channel, qint64 start) const;
    // Whether any recording runs.
    bool isRecording() const { return !runners_.isEmpty(); }

    // Program shutdown: ends every running recording, then calls done (at once when none
    // runs). No recording starts after this.
    void stopAllThen(std::function<void()> done);
    // The same, waiting for the players: for when the event loop no longer runs.
    void stopAllAndWait();

signals:
    // The list or a state has changed.
    void changed();

private:
    qint64 now() const;
    void reload();
    void startRecording(const ScheduledRecording& recording);
    void onFinished(qint64 id, const QString& error);
    void setState(qint64 id, ScheduleState state, const QString& file, const QString& reason);
    void arm();
    QString fileOf(qint64 id) const;
    QString missedLine(const ScheduledRecording& recording) const;
    QString term(const char* key) const;

    AppContext& app_;
    RunnerFactory makeRunner_;
    std::function<qint64()> clock_;
    QString file_;
    QTimer* timer_ = nullptr;
    std::vector<ScheduledRecording> recordings_;
    QHash<qint64, QPointer<ScheduledRunner>> runners_;
    QHash<qint64, int> stopping_; // the runners asked to end, and why
    std::function<void()> whenAllStopped_;
    bool closing_ = false;
};

} // namespace zentuvo
