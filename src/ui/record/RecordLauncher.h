#pragma once

#include "data/ChannelRef.h"

#include <QPointer>
#include <functional>

namespace zentuvo {

class AppContext;
class MainWindowApi;
class RecordWindow;
class RecordingScheduler;

// The main window's record button and the one recorder window it opens.
class RecordLauncher {
public:
    RecordLauncher(AppContext& app, MainWindowApi& main);
    // Ends a recording that still runs.
    ~RecordLauncher();
    RecordLauncher(const RecordLauncher&) = delete;
    RecordLauncher& operator=(const RecordLauncher&) = delete;

    // The record button, with what the main player plays: refuses when no channel plays (a
    // stopped player or a local file); else opens the recorder for the playing channel, or
    // brings the open one forward (it keeps the channel it loaded first).
    void record(ChannelRef playing);

    // The program is asked to quit: with a recording running (the window's or a scheduled
    // one), asks once whether to stop them. False (the answer No) leaves everything as it
    // is; true when quitting may go on.
    bool confirmQuit();
    // Program shutdown: ends a running recording without asking and closes the window,
    // then calls done; returns at once. With nothing recording, done is called at once.
    void endRecordingThen(std::function<void()> done);
    // The same, waiting for the player to end (at most Recorder::kStopGraceMs plus
    // Recorder::kKillWaitMs): for when the event loop no longer runs.
    void endRecordingForShutdown();

    // The open recorder window, or null.
    RecordWindow* window() const { return window_; }

    // The scheduled recordings: quitting asks about them too and ends them with the rest.
    void setScheduler(RecordingScheduler* scheduler);

private:
    AppContext& app_;
    MainWindowApi& main_;
    QPointer<RecordWindow> window_;
    QPointer<RecordingScheduler> scheduler_;
};

} // namespace zentuvo
