#include "ui/dialogs/ImportPlaylistWindow.h"

#include "app/AppContext.h"
#include "app/PlaylistDownload.h"
#include "app/Settings.h"
#include "common/Messages.h"
#include "ui/MainWindowApi.h"
#include "ui/dialogs/DialogSupport.h"

#include <QFile>
#include <QFileDialog>
#include <QFutureWatcher>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

namespace zentuvo {

namespace {

struct ImportResult {
    PlaylistImportReport report;
    QString readError; // the file could not be read ("" when it could)
};

// Runs away from the window: reads the file (when one is named) and imports its entries.
ImportResult runImport(QString channelDb, QString myListDb, QByteArray bytes, QUrl base,
                       QString file, QString group, std::shared_ptr<std::atomic_bool> cancel,
                       std::shared_ptr<PlaylistImportProgress> progress) {
    ImportResult result;
    if (!file.isEmpty()) {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly)) {
            result.readError = f.errorString();
            return result;
        }
        bytes = f.readAll();
        if (f.error() != QFileDevice::NoError) {
            result.readError = f.errorString();
            return result;
        }
    }
    result.report =
        importPlaylistData(channelDb, myListDb, bytes, base, group, cancel.get(), progress.get());
    return result;
}

} // namespace

ImportPlaylistWindow::ImportPlaylistWindow(AppContext& app, MainWindowApi& main, QWidget* parent)
    : QDialog(parent), app_(app), main_(main) {
    setObjectName(QStringLiteral("frmImportPlaylist"));
    setModal(true);
    chooser_ = [this](const QString& title) {
        return QFileDialog::getOpenFileName(
            this, title, QString(),
            QStringLiteral("M3U (*.m3u *.m3u8 *.M3U *.M3U8);;%1 (*)")
                .arg(term("_frmImport_allFiles")));
    };
    buildLayout();
    closeOnEscape(this);
    setCaptions();
    keepAboveFullVideo(this, main_);
}

ImportPlaylistWindow::~ImportPlaylistWindow() {
    if (cancel_)
        cancel_->store(true);
}

QString ImportPlaylistWindow::term(const char* key) const {
    return app_.translate(QString::fromLatin1(key));
}

void ImportPlaylistWindow::buildLayout() {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(16, 14, 16, 14);
    outer->setSpacing(10);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    lblSource_ = new QLabel(this);
    lblSource_->setObjectName(QStringLiteral("lblSource"));
    txtSource_ = new QLineEdit(this);
    txtSource_->setObjectName(QStringLiteral("txtSource"));
    txtSource_->setMinimumWidth(420);
    txtSource_->setClearButtonEnabled(true);
    lblSource_->setBuddy(txtSource_);
    cmdBrowse_ = new QPushButton(this);
    cmdBrowse_->setObjectName(QStringLiteral("cmdBrowse"));
    lblGroup_ = new QLabel(this);
    lblGroup_->setObjectName(QStringLiteral("lblGroup"));
    txtGroup_ = new QLineEdit(this);
    txtGroup_->setObjectName(QStringLiteral("txtGroup"));
    lblGroup_->setBuddy(txtGroup_);
    grid->addWidget(lblSource_, 0, 0, 1, 2);
    grid->addWidget(txtSource_, 1, 0);
    grid->addWidget(cmdBrowse_, 1, 1);
    grid->addWidget(lblGroup_, 2, 0, 1, 2);
    grid->addWidget(txtGroup_, 3, 0);
    outer->addLayout(grid);

    lblStatus_ = new QLabel(this);
    lblStatus_->setObjectName(QStringLiteral("lblStatus"));
    prgImport_ = new QProgressBar(this);
    prgImport_->setObjectName(QStringLiteral("prgImport"));
    prgImport_->setRange(0, 100);
    outer->addWidget(lblStatus_);
    outer->addWidget(prgImport_);
    lblStatus_->hide();
    prgImport_->hide();

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    cmdImport_ = new QPushButton(this);
    cmdImport_->setObjectName(QStringLiteral("cmdImport"));
    cmdImport_->setDefault(true);
    cmdCancel_ = new QPushButton(this);
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    buttons->addWidget(cmdImport_);
    buttons->addWidget(cmdCancel_);
    outer->addLayout(buttons);

    progressTimer_ = new QTimer(this);
    progressTimer_->setInterval(100);
    connect(progressTimer_, &QTimer::timeout, this, &ImportPlaylistWindow::showProgress);
    connect(cmdImport_, &QPushButton::clicked, this, &ImportPlaylistWindow::onImportClicked);
    connect(cmdCancel_, &QPushButton::clicked, this, &ImportPlaylistWindow::onCancelClicked);
    connect(cmdBrowse_, &QPushButton::clicked, this, &ImportPlaylistWindow::onBrowseClicked);
    connect(txtGroup_, &QLineEdit::textEdited, this, [this] { groupTyped_ = true; });
    // Until the user types a group, the playlist's file name is proposed.
    connect(txtSource_, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!groupTyped_)
            txtGroup_->setText(defaultGroupName(playlistSource(text)));
    });
}

void ImportPlaylistWindow::setCaptions() {
    setWindowTitle(term("_frmImport_caption"));
    lblSource_->setText(term("_frmImport_lblSource"));
    lblGroup_->setText(term("_frmImport_lblGroup"));
    cmdBrowse_->setText(term("_frmImport_cmdBrowse"));
    cmdImport_->setText(term("_frmImport_cmdImport"));
    cmdCancel_->setText(term(running_ ? "_frmImport_cmdCancel" : "_frmImport_cmdClose"));
}

void ImportPlaylistWindow::setSource(const QString& source) {
    txtSource_->setText(source);
}

void ImportPlaylistWindow::setGroup(const QString& group) {
    txtGroup_->setText(group);
    groupTyped_ = true;
}

void ImportPlaylistWindow::onBrowseClicked() {
    const QString path = chooser_(term("_frmImport_dlgTitle"));
    if (!path.isEmpty())
        txtSource_->setText(path);
}

void ImportPlaylistWindow::setRunning(bool running) {
    running_ = running;
    for (QWidget* w :
         std::initializer_list<QWidget*>{txtSource_, txtGroup_, cmdBrowse_, cmdImport_})
        w->setEnabled(!running);
    lblStatus_->setVisible(running);
    prgImport_->setVisible(running);
    cmdCancel_->setEnabled(true);
    setCaptions();
    if (running) {
        prgImport_->setValue(0);
        progressTimer_->start();
    } else {
        progressTimer_->stop();
    }
    adjustSize(); // the progress rows come and go
}

void ImportPlaylistWindow::onImportClicked() {
    if (running_)
        return;
    const QString typed = txtSource_->text().trimmed();
    if (typed.isEmpty()) {
        app_.messages.exclamation(term("_frmImport_msgNoSource"));
        txtSource_->setFocus();
        return;
    }
    const QUrl source = playlistSource(typed);
    cancel_ = std::make_shared<std::atomic_bool>(false);
    progress_ = std::make_shared<PlaylistImportProgress>();
    setRunning(true);
    if (source.isLocalFile()) {
        lblStatus_->setText(term("_frmImport_lblReading"));
        startImport({}, source, source.toLocalFile());
        return;
    }
    lblStatus_->setText(term("_frmImport_lblDownloading").arg(QLocale().formattedDataSize(0)));
    prgImport_->setRange(0, 0); // the size is not known yet
    download_ = new PlaylistDownload(programUserAgent(), this);
    if (downloadSetup_)
        downloadSetup_(*download_);
    connect(download_, &PlaylistDownload::progress, this, [this](qint64 received, qint64) {
        lblStatus_->setText(
            term("_frmImport_lblDownloading").arg(QLocale().formattedDataSize(received)));
    });
    connect(download_, &PlaylistDownload::finished, this,
            [this](const QByteArray& body, const QUrl& finalAddress) {
                download_->deleteLater();
                download_ = nullptr;
                prgImport_->setRange(0, 100);
                lblStatus_->setText(term("_frmImport_lblReading"));
                startImport(body, finalAddress, QString());
            });
    connect(download_, &PlaylistDownload::failed, this,
            [this](PlaylistDownload::Failure reason, const QString& detail) {
                onDownloadFailed(int(reason), detail);
            });
    download_->start(source);
}

void ImportPlaylistWindow::startImport(QByteArray bytes, QUrl base, QString file) {
    auto* watcher = new QFutureWatcher<ImportResult>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] {
        const ImportResult result = watcher->result();
        watcher->deleteLater();
        setRunning(false);
        if (!result.readError.isEmpty())
            app_.messages.critical(term("_frmImport_msgCannotRead").arg(result.readError));
        else
            showReport(result.report);
        emit finished();
    });
    watcher->setFuture(QtConcurrent::run(runImport, app_.paths().catalogue, app_.paths().myList,
                                         std::move(bytes), std::move(base), std::move(file),
                                         txtGroup_->text().trimmed(), cancel_, progress_));
}

void ImportPlaylistWindow::onDownloadFailed(int reason, const QString& detail) {
    const PlaylistDownload& download = *download_;
    download_->deleteLater();
    download_ = nullptr;
    setRunning(false);
    QString why = detail;
    switch (PlaylistDownload::Failure(reason)) {
    case PlaylistDownload::Failure::Cancelled:
        app_.messages.information(term("_frmImport_msgCancelled"));
        emit finished();
        if (closeWhenDone_)
            QDialog::done(QDialog::Rejected);
        return;
    case PlaylistDownload::Failure::ConnectTimeout:
        why = term("_frmImport_msgConnectTimeout").arg(download.connectTimeout().count() / 1000);
        break;
    case PlaylistDownload::Failure::IdleTimeout:
        why = term("_frmImport_msgIdleTimeout").arg(download.idleTimeout().count() / 1000);
        break;
    case PlaylistDownload::Failure::TooLarge:
        why = term("_frmImport_msgTooLarge").arg(download.sizeLimit() / (1024 * 1024));
        break;
    case PlaylistDownload::Failure::HttpStatus:
    case PlaylistDownload::Failure::Network:
        break;
    }
    app_.messages.critical(term("_frmImport_msgDownloadFailed").arg(why));
    emit finished();
}

void ImportPlaylistWindow::showReport(const PlaylistImportReport& report) {
    if (report.cancelled) {
        app_.messages.information(term("_frmImport_msgCancelled"));
    } else if (!report.error.isEmpty()) {
        app_.messages.critical(term("_frmImport_msgFailed").arg(report.error));
    } else {
        QString text = term("_frmImport_msgDone")
                           .arg(report.imported)
                           .arg(report.skipped)
                           .arg(report.unreadable);
        if (!report.unreadableLines.isEmpty()) {
            QStringList lines;
            for (int line : report.unreadableLines)
                lines << QString::number(line);
            text += QStringLiteral("\n") +
                    term("_frmImport_msgUnreadableLines").arg(lines.join(QStringLiteral(", ")));
        }
        main_.fillMyList();
        app_.messages.information(text);
        closeWhenDone_ = true;
    }
    if (closeWhenDone_)
        QDialog::done(report.cancelled || !report.error.isEmpty() ? QDialog::Rejected
                                                                  : QDialog::Accepted);
}

void ImportPlaylistWindow::showProgress() {
    if (progress_ && prgImport_->maximum() > 0)
        prgImport_->setValue(progress_->percent());
}

void ImportPlaylistWindow::onCancelClicked() {
    if (!running_) {
        QDialog::done(QDialog::Rejected);
        return;
    }
    lblStatus_->setText(term("_frmImport_lblCancelling"));
    cmdCancel_->setEnabled(false);
    if (cancel_)
        cancel_->store(true);
    if (download_)
        download_->cancel();
}

void ImportPlaylistWindow::done(int result) {
    // Closing the window while an import runs calls it off first; the window closes when it
    // has stopped, so that My List is never left half-written or unrefreshed.
    if (running_) {
        closeWhenDone_ = true;
        onCancelClicked();
        return;
    }
    QDialog::done(result);
}

} // namespace zentuvo
