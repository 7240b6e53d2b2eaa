#include "ui/record/RecordWindow.h"

#include "app/AppContext.h"
#include "common/Messages.h"
#include "data/ChannelInfo.h"
#include "record/RecordFiles.h"
#include "ui/MainWindowApi.h"

#include <QCloseEvent>
#include <QDir>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <exception>

namespace zentuvo {

namespace {

constexpr int kWindowWidth = 440;

QString errorIn(const char* routine, const std::exception& e) {
    return QStringLiteral("Error in %1: %2")
        .arg(QLatin1String(routine), QString::fromLocal8Bit(e.what()));
}

} // namespace

RecordWindow::RecordWindow(AppContext& app, MainWindowApi& main, ChannelRef channel,
                           QWidget* parent)
    : QWidget(parent,
              Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint),
      app_(app), main_(main), today_([] { return QDate::currentDate(); }), channel_(channel) {
    setObjectName(QStringLiteral("frmRecord"));
    buildLayout();
    setWindowTitle(term("_frmRecord_caption"));
    cmdRecord->setText(term("_frmRecord_cmdRecord"));
    cmdClose->setText(term("_frmRecord_cmdClose"));

    connect(cmdRecord, &QPushButton::clicked, this, [this] {
        cmdRecord->setEnabled(false);
        startRecording();
    });
    connect(cmdClose, &QPushButton::clicked, this, &QWidget::close);
    connect(&recorder_, &Recorder::ended, this, &RecordWindow::onRecorderEnded);
    connect(&recorder_, &Recorder::started, this, &RecordWindow::onRecorderStarted);
    connect(&recorder_, &Recorder::startFailed, this, [this](const QString& error) {
        showStartFailure(program_ + QStringLiteral(": ") + error);
    });
    connect(&recorder_, &Recorder::stopped, this, &RecordWindow::onRecorderStopped);
    connect(&recorder_, &Recorder::reconnecting, this, [this](int attempt) {
        lblStatus->setText(term("_frmRecord_msgRecording").arg(channelName_, dumpFile_) + u'\n' +
                           term("_player_reconnecting").arg(attempt).arg(Recorder::kTries));
    });
    connect(&recorder_, &Recorder::reconnected, this, &RecordWindow::showRecordingLine);

    progressTimer = new QTimer(this);
    progressTimer->setObjectName(QStringLiteral("TimerProgress"));
    progressTimer->setInterval(kProgressMs);
    connect(progressTimer, &QTimer::timeout, this, &RecordWindow::updateProgress);
    statusTimer = new QTimer(this);
    statusTimer->setObjectName(QStringLiteral("TimerStatus"));
    statusTimer->setInterval(kStatusMs);
    connect(statusTimer, &QTimer::timeout, this, &RecordWindow::updateStatus);

    loadChannel();
    progressTimer->start();
    statusTimer->start();
}

QString RecordWindow::term(const char* key) const {
    return app_.translate(QString::fromLatin1(key));
}

RecordWindow::~RecordWindow() {
    // Never leave a player process writing behind the window.
    recorder_.stopAndWait();
}

void RecordWindow::buildLayout() {
    lblStatus = new QLabel(QStringLiteral("Status....."), this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setWordWrap(true);
    lblStatus->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblStatus->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Room for a recording line with a long path and a second line of news.
    lblStatus->setMinimumHeight(4 * fontMetrics().lineSpacing());

    lblProgress = new QLabel(QStringLiteral("|"), this);
    lblProgress->setObjectName(QStringLiteral("lblProgress"));
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setBold(true);
    lblProgress->setFont(fixed);
    lblProgress->setAlignment(Qt::AlignCenter);
    lblProgress->setFixedWidth(QFontMetrics(fixed).horizontalAdvance(u'W') * 2);

    lblFileSize = new QLabel(QStringLiteral("FileSize"), this);
    lblFileSize->setObjectName(QStringLiteral("lblFileSize"));

    cmdRecord = new QPushButton(QStringLiteral("Record"), this);
    cmdRecord->setObjectName(QStringLiteral("cmdRecord"));
    cmdRecord->setDefault(true);
    cmdClose = new QPushButton(QStringLiteral("Close"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));

    auto* sizeRow = new QHBoxLayout;
    sizeRow->addWidget(lblProgress);
    sizeRow->addWidget(lblFileSize, 1);
    sizeRow->addWidget(cmdRecord);
    sizeRow->addWidget(cmdClose);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblStatus, 1);
    layout->addLayout(sizeRow);

    setFixedWidth(kWindowWidth);
    setFixedHeight(sizeHint().height());
    const QScreen* where = parentWidget() ? parentWidget()->screen() : nullptr;
    if (!where)
        where = QGuiApplication::primaryScreen();
    if (where)
        move(where->availableGeometry().center() - rect().center());
}

void RecordWindow::loadChannel() {
    try {
        recording_ = false;
        std::optional<ChannelInfo> found;
        if (channel_.isChannel())
            found = lookupChannel(app_.data(), channel_);
        else
            app_.messages.critical(term("_frmRecord_msgNoChannelType"));
        const ChannelInfo channel = found.value_or(ChannelInfo{});
        channelName_ = channel.name;
        channelUrl_ = channel.url;
        itemOptions_ =
            RecorderCommand::itemOptions(channel, app_.preferences().playerUserAgentOption());
        lblStatus->setText(channelName_);
        lblFileSize->clear();
    } catch (const std::exception& e) {
        app_.messages.critical(errorIn("Form_Load", e));
    }
}

void RecordWindow::startRecording() {
    try {
        recording_ = true;
        program_ = RecorderCommand::findProgram(app_.preferences().playerInstallDir());
        if (program_.isEmpty()) {
            // Playback needs only the player library; recording needs its program too.
            const QString missing = app_.translate(QStringLiteral("_frmRecord_msgNoPlayerProgram"));
            recording_ = false;
            cmdRecord->setEnabled(true);
            lblStatus->setText(term("_frmRecord_msgNotStarted").arg(missing));
            app_.messages.exclamation(missing);
            return;
        }
        // The user's recording folder is made at the first recording; one that cannot be
        // made fails like one that cannot be written.
        QDir().mkpath(app_.preferences().recordFolder());
        dumpFile_ = RecordFiles::nextFileName(app_.preferences().recordFolder(), today_());
        QString reason;
        if (channelUrl_.trimmed().isEmpty())
            reason = term("_frmRecord_msgNoAddress");
        else if (dumpFile_.isEmpty())
            reason = term("_frmRecord_msgNoFileName").arg(app_.preferences().recordFolder());
        else if (!recorder_.start(program_,
                                  RecorderCommand::arguments(channelUrl_, dumpFile_, itemOptions_),
                                  dumpFile_))
            reason = program_ + QStringLiteral(": ") + recorder_.startError();
        if (!reason.isEmpty()) {
            showStartFailure(reason);
            return;
        }
        cmdRecord->setEnabled(false);
    } catch (const std::exception& e) {
        recording_ = recorder_.isRunning();
        app_.messages.critical(errorIn("StartRecording", e));
    }
}

void RecordWindow::showStartFailure(const QString& reason) {
    // Nothing runs: the window stays ready for another try.
    recording_ = false;
    cmdRecord->setEnabled(true);
    lblStatus->setText(term("_frmRecord_msgNotStarted").arg(reason));
    app_.messages.exclamation(term("_frmRecord_msgStartError"));
}

void RecordWindow::onRecorderStarted() {
    try {
        cmdRecord->setEnabled(false);
        lblProgress->setVisible(true);
        lblFileSize->setText(RecordFiles::fileSizeText(0, QLocale::system()));
        showRecordingLine();
        statusTimer->start();
    } catch (const std::exception& e) {
        recording_ = recorder_.isRunning();
        app_.messages.critical(errorIn("StartRecording", e));
    }
}

void RecordWindow::showRecordingLine() {
    lblStatus->setText(term("_frmRecord_msgRecording").arg(channelName_, dumpFile_));
}

void RecordWindow::stopRecording() {
    if (!recording_) {
        emit recordingStopped(true);
        return;
    }
    recorder_.stop();
}

void RecordWindow::onRecorderStopped(bool ended) {
    recording_ = false;
    lblProgress->setText(QStringLiteral("|"));
    if (!ended)
        app_.messages.exclamation(term("_frmRecord_msgCloseError"));
    emit recordingStopped(ended);
    if (closeWhenStopped_) {
        closeWhenStopped_ = false;
        close();
    }
}

void RecordWindow::endForShutdown() {
    shuttingDown_ = true;
    close();
}

void RecordWindow::closeForShutdown() {
    shuttingDown_ = true;
    if (recording_) {
        const bool ended = recorder_.stopAndWait();
        recording_ = false;
        lblProgress->setText(QStringLiteral("|"));
        if (!ended)
            app_.messages.exclamation(term("_frmRecord_msgCloseError"));
    }
    close();
}

bool RecordWindow::confirmStop() {
    return !recording_ || recorder_.isStopping() ||
           app_.messages.askYesNo(term("_frmRecord_msgStopQuestion") + u' ',
                                  term("_frmRecord_msgStopTitle"));
}

void RecordWindow::closeEvent(QCloseEvent* event) {
    if (!shuttingDown_ && !confirmStop()) {
        event->ignore();
        return;
    }
    if (recording_) {
        stopRecording();
        if (recording_) {
            // The window closes once the process has ended.
            closeWhenStopped_ = true;
            event->ignore();
            return;
        }
    }
    event->accept();
}

void RecordWindow::updateProgress() {
    if (!recording_) {
        lblProgress->setText(QStringLiteral("|"));
        return;
    }
    static const QStringList cycle{QStringLiteral("|"), QStringLiteral("/"), QStringLiteral("-"),
                                   QStringLiteral("\\")};
    lblProgress->setVisible(true);
    const qsizetype at = cycle.indexOf(lblProgress->text());
    lblProgress->setText(at < 0 ? cycle.first() : cycle[(at + 1) % cycle.size()]);
}

void RecordWindow::updateStatus() {
    if (!recording_ || recorder_.isStopping())
        return;
    const qint64 size = recorder_.sampleSize();
    lblFileSize->setText(RecordFiles::fileSizeText(size, QLocale::system()));
    if (recorder_.reconnectAttempt() > 0) {
        // The reconnection's line stays until the file grows again.
    } else if (recorder_.isStalled()) {
        lblStatus->setText(term("_frmRecord_msgRecording").arg(channelName_, dumpFile_) + u'\n' +
                           term("_frmRecord_msgStalled").arg(recorder_.quietForMs() / 1000));
    } else {
        showRecordingLine();
    }
}

void RecordWindow::onRecorderEnded(const QString& playerError, bool removedEmptyFile) {
    recording_ = false;
    lblProgress->setText(QStringLiteral("|"));
    QString line;
    if (removedEmptyFile) {
        line = term("_frmRecord_msgEndedEmpty").arg(channelName_);
        lblFileSize->clear();
    } else {
        line = term("_frmRecord_msgEnded").arg(channelName_, dumpFile_);
        lblFileSize->setText(
            RecordFiles::fileSizeText(RecordFiles::fileSize(dumpFile_), QLocale::system()));
    }
    if (!playerError.isEmpty())
        line += u'\n' + playerError;
    lblStatus->setText(line);
    cmdRecord->setEnabled(true);
}

} // namespace zentuvo
