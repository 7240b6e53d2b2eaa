#include "record/Recorder.h"

#include "data/ChannelInfo.h"
#include "record/RecordFiles.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>
#endif

namespace zentuvo {

namespace RecorderCommand {

QString program(const QString& vlcInstallDir) {
    QString dir = vlcInstallDir;
    while (dir.size() > 1 && dir.endsWith(u'/'))
        dir.chop(1);
    return dir + QStringLiteral("/vlc");
}

QString findProgram(const QString& vlcInstallDir) {
    if (vlcInstallDir.trimmed().isEmpty())
        return QStandardPaths::findExecutable(QStringLiteral("vlc"));
    const QString candidate = program(vlcInstallDir.trimmed());
    const QFileInfo file(candidate);
    return file.isFile() && file.isExecutable() ? candidate : QString();
}

QString plainUserAgentOption(const QString& option) {
    static const QString prefix = QStringLiteral(":http-user-agent=");
    if (!option.startsWith(prefix))
        return option;
    return prefix + option.mid(prefix.size()).replace(u'+', u' ');
}

QStringList itemOptions(const ChannelInfo& channel, const QString& playerUserAgentOption) {
    QStringList options;
    if (!channel.userAgent.trimmed().isEmpty())
        options << QStringLiteral(":http-user-agent=") + channel.userAgent.trimmed();
    else if (!playerUserAgentOption.isEmpty())
        options << plainUserAgentOption(playerUserAgentOption);
    if (!channel.referrer.trimmed().isEmpty())
        options << QStringLiteral(":http-referrer=") + channel.referrer.trimmed();
    return options;
}

QStringList arguments(const QString& address, const QString& outputFile,
                      const QStringList& itemOptions) {
    // An address is never an option of the program: one that begins with "-" (no address
    // does) would be read as one ("--sout=..."), so it goes as a relative name that simply
    // fails to open.
    const QString item = address.startsWith(u'-') ? QStringLiteral("./") + address : address;
    QStringList args{QStringLiteral("-I"), QStringLiteral("dummy"),
                     // A hidden recorder is no media player of the desktop session and
                     // plays no sound: no session bus, no sound server.
                     QStringLiteral("--no-dbus"), QStringLiteral("--aout=adummy"), item,
                     QStringLiteral("--sout"), QStringLiteral("file/ts:") + outputFile};
    args << itemOptions << QStringLiteral("--play-and-exit");
    return args;
}

QString errorText(const QString& output) {
    static const QRegularExpression logLine(
        QStringLiteral(R"(^\[[0-9a-fA-F]+\]\s+(.*?)\s+(error|warning|debug):\s*(.*)$)"));
    static const QRegularExpression logPrefix(QStringLiteral(R"(^\[[0-9a-fA-F]+\]\s)"));
    QStringList messages;
    QString firstPlain;
    bool sawLog = false;
    const QStringList lines = output.split(u'\n');
    for (QString line : lines) {
        line = line.trimmed();
        if (line.isEmpty())
            continue;
        if (logPrefix.match(line).hasMatch())
            sawLog = true;
        else if (firstPlain.isEmpty())
            firstPlain = line;
        const auto m = logLine.match(line);
        if (!m.hasMatch())
            continue;
        const QString origin = m.captured(1);
        if (m.captured(2) != QLatin1String("error") ||
            origin.endsWith(QLatin1String("interface")) ||
            origin.endsWith(QLatin1String("audio output")) ||
            origin.endsWith(QLatin1String("video output")) ||
            origin == QLatin1String("main libvlc"))
            continue;
        QString text = m.captured(3).trimmed();
        if (text.startsWith(QLatin1String("error: ")))
            text = text.mid(7).trimmed();
        if (text.isEmpty() || text.contains(QLatin1String("Check the log")))
            continue;
        if (!messages.contains(text))
            messages << text;
    }
    QString result;
    if (!messages.isEmpty())
        // The first errors name the cause; later ones are what followed from it.
        result = messages.mid(0, 2).join(QStringLiteral("; "));
    else if (!sawLog)
        // It ended before its log began, as when it refuses to run at all: its own words.
        result = firstPlain;
    constexpr int kLongest = 300;
    if (result.size() > kLongest)
        result = result.left(kLongest - 3) + QStringLiteral("...");
    return result;
}

} // namespace RecorderCommand

void StallWatch::reset(qint64 now) {
    lastSize_ = -1;
    lastGrowth_ = now;
    quietFor_ = 0;
    stalled_ = false;
}

bool StallWatch::sample(qint64 size, qint64 now) {
    if (size > lastSize_) {
        // A file that appears counts as growth only once it holds data.
        if (size > 0 || lastSize_ >= 0)
            lastGrowth_ = now;
        lastSize_ = size;
    }
    quietFor_ = now - lastGrowth_;
    stalled_ = quietFor_ >= kStallMs;
    return stalled_;
}

Recorder::Recorder(QObject* parent) : QObject(parent), stopTimer_(new QTimer(this)) {
    elapsed_.start();
    stopTimer_->setSingleShot(true);
    // The grace period is a promise to the player: never cut short by timer coalescing.
    stopTimer_->setTimerType(Qt::PreciseTimer);
    connect(stopTimer_, &QTimer::timeout, this, &Recorder::onStopTimeout);
    retryTimer_ = new QTimer(this);
    retryTimer_->setSingleShot(true);
    connect(retryTimer_, &QTimer::timeout, this, &Recorder::retry);
}

Recorder::~Recorder() {
    stopAndWait();
}

qint64 Recorder::now() const {
    return clock_ ? clock_() : elapsed_.elapsed();
}

// The process of an earlier recording goes without another word from it.
void Recorder::dropProcess() {
    if (!process_)
        return;
    process_->disconnect(this);
    process_->deleteLater();
    process_ = nullptr;
}

bool Recorder::start(const QString& program, const QStringList& arguments,
                     const QString& outputFile) {
    startError_.clear();
    if (isRunning()) {
        startError_ = QStringLiteral("A recording is already running.");
        return false;
    }
    retryTimer_->stop();
    tries_.reset();
    errors_.clear();
    program_ = program;
    arguments_ = arguments;
    outputFile_ = outputFile;
    return launch(arguments);
}

bool Recorder::launch(const QStringList& arguments) {
    dropProcess();
    endingStalled_ = false;
    process_ = new QProcess(this);
    process_->setProgram(program_);
    process_->setArguments(arguments);
    process_->setStandardInputFile(QProcess::nullDevice());
    process_->setStandardOutputFile(QProcess::nullDevice());
#ifdef Q_OS_LINUX
    // Should this program die without stopping the recording, the player ends with it.
    const pid_t parent = ::getpid();
    process_->setChildProcessModifier([parent] {
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent)
            ::raise(SIGTERM);
    });
#endif
    connect(process_, &QProcess::readyReadStandardError, this, &Recorder::readErrors);
    connect(process_, &QProcess::started, this, &Recorder::onStarted);
    connect(process_, &QProcess::errorOccurred, this, &Recorder::onErrorOccurred);
    connect(process_, &QProcess::finished, this, &Recorder::onFinished);
    // A start that fails at once is told by the return value, not by startFailed().
    starting_ = true;
    inStart_ = true;
    process_->start();
    inStart_ = false;
    if (process_->state() == QProcess::NotRunning) {
        starting_ = false;
        startError_ = process_->errorString();
        dropProcess();
        return false;
    }
    return true;
}

void Recorder::onStarted() {
    if (!starting_)
        return;
    starting_ = false;
    watch_.reset(now());
    if (!stopping_ && tries_.attempt() == 0) // a reconnection's start is no new recording
        emit started();
}

void Recorder::onErrorOccurred(QProcess::ProcessError error) {
    if (error != QProcess::FailedToStart || !starting_ || inStart_)
        return;
    starting_ = false;
    startError_ = process_->errorString();
    if (stopping_) {
        // Asked to stop while it was starting: nothing runs, and nothing was written.
        finishStop();
        if (!waiting_)
            emit stopped(true);
        return;
    }
    dropProcess();
    if (tries_.attempt() > 0)
        dropped(); // a reconnection's try: the next one, or the end
    else
        emit startFailed(startError_);
}

void Recorder::stop() {
    retryTimer_->stop(); // a reconnection waiting for its try ends here
    tries_.reset();
    if (!isRunning()) {
        emit stopped(true);
        return;
    }
    if (stopping_)
        return;
    stopping_ = true;
    killed_ = false;
    process_->terminate();
    stopTimer_->start(kStopGraceMs);
}

void Recorder::onStopTimeout() {
    if (!stopping_)
        return;
    if (!killed_ && isRunning()) {
        killed_ = true;
        process_->kill();
        stopTimer_->start(kKillWaitMs);
        return;
    }
    const bool ended = finishStop();
    emit stopped(ended);
}

bool Recorder::stopAndWait() {
    retryTimer_->stop();
    tries_.reset();
    if (!isRunning()) {
        if (stopping_)
            finishStop();
        return true;
    }
    stopping_ = true;
    waiting_ = true;
    stopTimer_->stop();
    if (!killed_) {
        process_->terminate();
        if (!process_->waitForFinished(kStopGraceMs))
            killed_ = true;
    }
    if (killed_ && isRunning()) {
        process_->kill();
        process_->waitForFinished(kKillWaitMs);
    }
    const bool ended = finishStop();
    waiting_ = false;
    return ended;
}

bool Recorder::finishStop() {
    stopTimer_->stop();
    const bool ended = !isRunning();
    readErrors();
    if (ended)
        RecordFiles::removeIfEmpty(outputFile_);
    stopping_ = false;
    killed_ = false;
    return ended;
}

bool Recorder::isRunning() const {
    return process_ && process_->state() != QProcess::NotRunning;
}

qint64 Recorder::processId() const {
    return process_ ? process_->processId() : 0;
}

QString Recorder::playerError() const {
    return RecorderCommand::errorText(QString::fromLocal8Bit(errors_));
}

qint64 Recorder::sampleSize() {
    const qint64 size = RecordFiles::fileSize(outputFile_);
    if (!isRunning() || stopping_ || endingStalled_)
        return size;
    if (watch_.sample(size, now())) {
        // A stream that stays silent is ended and started again.
        endingStalled_ = true;
        process_->terminate();
    } else if (tries_.attempt() > 0 && size > sizeAtDrop_) {
        tries_.reset();
        emit reconnected();
    }
    return size;
}

void Recorder::readErrors() {
    if (!process_)
        return;
    errors_ += process_->readAllStandardError();
    // Keep the latest part: what went wrong last is what ended the recording.
    constexpr qsizetype kKept = 16 * 1024;
    if (errors_.size() > kKept) {
        errors_.remove(0, errors_.size() - kKept);
        const qsizetype eol = errors_.indexOf('\n');
        if (eol >= 0)
            errors_.remove(0, eol + 1);
    }
}

void Recorder::onFinished() {
    if (stopping_) {
        // The end of a stop; stopAndWait() finishes its own.
        if (!waiting_) {
            const bool ended = finishStop();
            emit stopped(ended);
        }
        return;
    }
    readErrors();
    // A player killed from outside is not started again: that recording has ended.
    if (process_->exitStatus() == QProcess::CrashExit && !endingStalled_)
        tries_.useAll();
    dropped();
}

void Recorder::dropped() {
    sizeAtDrop_ = RecordFiles::fileSize(outputFile_);
    if (sizeAtDrop_ > 0) {
        if (const std::optional<int> delay = tries_.next()) {
            retryTimer_->start(*delay);
            emit reconnecting(tries_.attempt());
            return;
        }
    }
    tries_.reset();
    const bool removed = RecordFiles::removeIfEmpty(outputFile_);
    emit ended(playerError(), removed);
}

void Recorder::retry() {
    // The same stream into the same file, after what is already in it.
    if (!launch(QStringList(arguments_) << QStringLiteral("--sout-file-append"))) {
        dropProcess();
        dropped();
    }
}

} // namespace zentuvo
