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

    bool blnIsRecording() const { return blnIsRecording_; }
    QString strDumpFile() const { return strDumpFile_; }
    ChannelRef channel() const { return channel_; }
    QString channelName() const { return channelName_; }

    void StartRecording();
    // Ends the process if recording. False when it could not be ended (reported).
    bool StopRecording();
    // Program shutdown: ends a running recording without asking, then closes.
    void closeForShutdown();

    // The spinner and the size line; the timers call them.
    void onTimerProgress();
    void onTimerStatus();

    Recorder& recorder() { return recorder_; }
    // The date the file name takes (today); tests replace it.
    void setToday(std::function<QDate()> today) { today_ = std::move(today); }

    QPushButton* cmdRecord = nullptr;
    QPushButton* cmdClose = nullptr;
    QLabel* lblStatus = nullptr;
    QLabel* lblProgress = nullptr;
    QLabel* lblFileSize = nullptr;
    QTimer* TimerProgress = nullptr;
    QTimer* TimerStatus = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildLayout();
    void loadChannel();
    void onRecorderEnded(const QString& playerError, bool removedEmptyFile);
    void showRecordingLine();

    AppContext& app_;
    MainWindowApi& main_;
    Recorder recorder_;
    std::function<QDate()> today_;

    bool blnIsRecording_ = false;
    bool shuttingDown_ = false;
    QString strDumpFile_;
    ChannelRef channel_;
    QString channelName_;
    QString channelUrl_;
    QStringList itemOptions_;
};

} // namespace zentuvo
