#pragma once

#include "playback/RetryTries.h"

#include <QElapsedTimer>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <array>
#include <functional>

namespace zentuvo {

struct ChannelInfo;

// The player's command-line program that records: its arguments, and what it printed.
namespace RecorderCommand {

// The program in the player's install folder.
QString program(const QString& vlcInstallDir);

// The program that records: the executable `vlc` in vlcInstallDir, or, when that is blank,
// the one found on PATH. The empty text when there is none.
QString findProgram(const QString& vlcInstallDir);

// The program's user-agent option with its blanks back: it holds "+" for every blank, a
// form the player's HTTP access takes for a malformed user agent and does not send.
// Handed over as one argument, the option needs no such disguise.
QString plainUserAgentOption(const QString& option);

// The per-item options of a channel: its own user agent and referrer when it has them,
// else the program's user-agent option (plainUserAgentOption).
QStringList itemOptions(const ChannelInfo& channel, const QString& playerUserAgentOption);

// Runs without interface, reads the address, writes a transport stream to the output file
// and ends when the stream ends or fails. Each part is one argument: blanks need no quoting.
// An address that begins with "-" goes as "./-...", never as an option of the program.
QStringList arguments(const QString& address, const QString& outputFile,
                      const QStringList& itemOptions);

// What a user should read from the player's error output: the first two error messages
// about the stream or the file (its own "[id] module error: " prefixes and the noise of
// interface and audio modules left out); when it ended before its log began, the first
// line it printed (for example its refusal to run as root). "" when it printed neither.
QString errorText(const QString& output);

} // namespace RecorderCommand

// Follows the size of the output file and tells when it has stopped growing.
class StallWatch {
public:
    static constexpr qint64 kStallMs = 15000;

    // Starts watching at the time now (ms).
    void reset(qint64 now);
    // Takes a sample of the size at the time now; true when the file has not grown for
    // kStallMs or longer.
    bool sample(qint64 size, qint64 now);
    bool stalled() const { return stalled_; }
    // How long the file has not grown, in ms, at the last sample.
    qint64 quietFor() const { return quietFor_; }

private:
    qint64 lastSize_ = -1;
    qint64 lastGrowth_ = 0;
    qint64 quietFor_ = 0;
    bool stalled_ = false;
};

// One recording: the hidden player process writing one file. Widget-free. Starting and
// stopping never wait for the process: its outcome arrives as a signal. Only the program's
// shutdown (and the destructor) waits, for at most kStopGraceMs plus kKillWaitMs.
class Recorder : public QObject {
    Q_OBJECT

public:
    // How long a stop waits for the player to end by itself before it is killed.
    static constexpr int kStopGraceMs = 3000;
    // How long a killed player is given to be gone before the stop counts as failed.
    static constexpr int kKillWaitMs = 1000;

    explicit Recorder(QObject* parent = nullptr);
    // A recording still running is ended (stopAndWait).
    ~Recorder() override;

    // Starts the program writing to outputFile; returns at once. False when it cannot be
    // started at all (a recording runs already, or the start failed at once): the reason
    // is then in startError(). Otherwise started() or startFailed() follows.
    bool start(const QString& program, const QStringList& arguments, const QString& outputFile);
    // Ends the process without waiting for it: asked to end, killed when it has not ended
    // within kStopGraceMs. stopped() tells the outcome; an empty output file is removed
    // before. With nothing running, stopped(true) comes at once.
    void stop();
    // The same for the program's shutdown: returns once the process has ended (or could
    // not be ended: false). No stopped() follows.
    bool stopAndWait();
    // A stop has been asked for and the process has not ended yet.
    bool isStopping() const { return stopping_; }

    bool isRunning() const;
    qint64 processId() const;
    QString outputFile() const { return outputFile_; }
    QString startError() const { return startError_; }
    // The error text the player has printed so far (RecorderCommand::errorText).
    QString playerError() const;

    // Takes a sample of the output file's size (RecordFiles::fileSize) and of its growth.
    qint64 sampleSize();
    bool isStalled() const { return watch_.stalled(); }
    qint64 quietForMs() const { return watch_.quietFor(); }

    // The clock of the stall watch in ms; tests replace it.
    void setClock(std::function<qint64()> clock) { clock_ = std::move(clock); }

    // A recording that has written something and whose stream then ends, fails, or leaves the
    // file still for StallWatch::kStallMs is started again, appending to the same file, after
    // these delays; once the file grows again it counts as back. A player killed from outside
    // is not started again.
    static constexpr int kTries = RetryTries::kTries;
    void setReconnectDelays(const RetryTries::Delays& delaysMs) { tries_.setDelays(delaysMs); }
    // The try under way, 1 to kTries; 0 while not reconnecting.
    int reconnectAttempt() const { return tries_.attempt(); }

signals:
    // The process runs (after a start() that returned true).
    void started();
    // The process could not be started (after a start() that returned true); error is
    // the reason, also in startError().
    void startFailed(const QString& error);
    // A stop() is done: ended is false when the process could not be ended.
    void stopped(bool ended);
    // The process ended by itself (stream ended, refused, player error). playerError is
    // what it printed, removedEmptyFile tells that it left an empty file that was removed.
    void ended(const QString& playerError, bool removedEmptyFile);
    // The stream dropped: try attempt (1 to kTries) starts the player again after its delay.
    void reconnecting(int attempt);
    // The file grows again after a reconnection.
    void reconnected();

private:
    void onStarted();
    void onErrorOccurred(QProcess::ProcessError error);
    void onFinished();
    void onStopTimeout();
    // The end of a stop: the errors read, an empty file removed. Returns whether the
    // process has ended.
    bool finishStop();
    void dropProcess();
    // Starts the process; false when it could not be started at all (startError_ says why).
    bool launch(const QStringList& arguments);
    // The process ended by itself (or was ended for a stall): the next try, or the end.
    void dropped();
    void retry();
    void readErrors();
    qint64 now() const;

    QProcess* process_ = nullptr;
    QTimer* stopTimer_ = nullptr;
    QTimer* retryTimer_ = nullptr;
    QString program_;
    QStringList arguments_;
    RetryTries tries_;
    qint64 sizeAtDrop_ = 0;      // the file grows past it: the stream is back
    bool endingStalled_ = false; // the process is being ended for a stall, to be started again
    QString outputFile_;
    QString startError_;
    QByteArray errors_;
    StallWatch watch_;
    QElapsedTimer elapsed_;
    std::function<qint64()> clock_;
    bool starting_ = false;
    bool inStart_ = false;
    bool stopping_ = false;
    bool killed_ = false;
    bool waiting_ = false;
};

} // namespace zentuvo
