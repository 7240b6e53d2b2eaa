#pragma once

#include "data/ChannelRef.h"

#include "record/Recorder.h"

#include <QDate>
#include <QWidget>
#include <functional>

class QLabel;
class QPushButton;
class QTimer;

namespace zentuvo {

class AppContext;
class MainWindowApi;

// frmRecord: the small window that records the channel playing in the main player through
// the player's command-line program. Modeless; it stops its recording when it closes.
class RecordWindow : public QWidget {
    Q_OBJECT

public:
    static constexpr int kProgressMs = 1000;
    static constexpr int kStatusMs = 5000;

    // Loads the channel to record: the one the main player plays at this moment.
    RecordWindow(AppContext& app, MainWindowApi& main, ChannelRef channel,
                 QWidget* parent = nullptr);
    ~RecordWindow() override;

    bool isRecording() const { return recording_; }
    QString dumpFile() const { return dumpFile_; }
    ChannelRef channel() const { return channel_; }
    QString channelName() const { return channelName_; }

    // Starts the player process; the recording line shows once it runs, the reason when it
    // could not start.
    void startRecording();
    // Ends the process if recording, without waiting for it: recordingStopped() follows
    // (at once when nothing records). A failure to end it is reported.
    void stopRecording();
    // With a recording running (and not already ending), asks whether to stop it; true
    // when it may be stopped (nothing records, or the answer was Yes).
    bool confirmStop();
    // Program shutdown: ends a running recording without asking and closes once it has
    // ended (recordingStopped()); returns at once.
    void endForShutdown();
    // The same, waiting for the process to end (at most Recorder::kStopGraceMs plus
    // Recorder::kKillWaitMs): for when the event loop no longer runs.
    void closeForShutdown();

    // The spinner and the size line; the timers call them.
    void updateProgress();
    void updateStatus();

    Recorder& recorder() { return recorder_; }
    // The date the file name takes (today); tests replace it.
    void setToday(std::function<QDate()> today) { today_ = std::move(today); }

    QPushButton* cmdRecord = nullptr;
    QPushButton* cmdClose = nullptr;
    QLabel* lblStatus = nullptr;
    QLabel* lblProgress = nullptr;
    QLabel* lblFileSize = nullptr;
    QTimer* progressTimer = nullptr;
    QTimer* statusTimer = nullptr;

signals:
    // A stopRecording() is done; ended is false when the process could not be ended.
    void recordingStopped(bool ended);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildLayout();
    QString term(const char* key) const;
    void loadChannel();
    void onRecorderStarted();
    void showStartFailure(const QString& reason);
    void onRecorderStopped(bool ended);
    void onRecorderEnded(const QString& playerError, bool removedEmptyFile);
    void showRecordingLine();

    AppContext& app_;
    MainWindowApi& main_;
    Recorder recorder_;
    std::function<QDate()> today_;

    bool recording_ = false;
    bool shuttingDown_ = false;
    bool closeWhenStopped_ = false;
    QString program_;
    QString dumpFile_;
    ChannelRef channel_;
    QString channelName_;
    QString channelUrl_;
    QStringList itemOptions_;
};

} // namespace zentuvo
