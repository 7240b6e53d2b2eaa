#pragma once

#include "data/ChannelRef.h"

#include <QString>
#include <vector>

namespace zentuvo {

// Where a scheduled recording stands. The numbers are stored.
enum class ScheduleState : int {
    Waiting = 0,   // its time has not come
    Recording = 1, // its player runs
    Done = 2,      // it ran to its end; `file` holds the recording
    Failed = 3,    // it could not start or ended early; `reason` says why
    Missed = 4,    // its time passed while the program was not running
};

// One recording to make. start and stop are the programme's (UTC seconds); the recording runs
// from start - marginBefore to stop + marginAfter (seconds), the margins kept as they were
// when it was scheduled.
struct ScheduledRecording {
    qint64 id = 0;
    ChannelRef channel;
    QString channelName;
    QString title; // "" for one made by hand
    qint64 start = 0;
    qint64 stop = 0;
    qint64 marginBefore = 0;
    qint64 marginAfter = 0;
    ScheduleState state = ScheduleState::Waiting;
    QString file;   // the recording's file once it has started
    QString reason; // why it failed

    qint64 recordFrom() const { return start - marginBefore; }
    qint64 recordUntil() const { return stop + marginAfter; }

    friend bool operator==(const ScheduledRecording&, const ScheduledRecording&) = default;
};

// The scheduled recordings: a small file of their own in the data folder (schedule.dat), so
// that neither a new catalogue nor a guide refresh touches them. Every function opens its own
// connection and throws DbError.

// Every recording, by the time it starts recording, then id. Nothing when the file is missing.
std::vector<ScheduledRecording> scheduledRecordings(const QString& scheduleFile);
// Adds a recording (the file and its table are made when missing); its new id.
qint64 addScheduledRecording(const QString& scheduleFile, const ScheduledRecording& recording);
// A recording's state, file and reason. False when there is no such recording.
bool setScheduledState(const QString& scheduleFile, qint64 id, ScheduleState state,
                       const QString& file, const QString& reason = {});
// Removes a recording; false when there was none.
bool removeScheduledRecording(const QString& scheduleFile, qint64 id);

// The name of a state ("waiting", "recording", "done", "failed", "missed").
QString scheduleStateName(ScheduleState state);

} // namespace zentuvo
