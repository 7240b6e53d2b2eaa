#include "ui/dialogs/ExportPlaylistWindow.h"

#include "app/AppContext.h"
#include "common/ErrorReport.h"
#include "common/Messages.h"
#include "data/Database.h"
#include "data/Playlist.h"
#include "data/PlaylistStore.h"
#include "ui/MainWindowApi.h"
#include "ui/dialogs/DialogSupport.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFutureWatcher>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

namespace zentuvo {

namespace {

struct ExportResult {
    int count = 0;
    QString error; // "" when written
};

ExportResult runExport(QString channelDb, QString myListDb, bool favourites,
                       MyListGroupFilter filter, QString path) {
    ExportResult result;
    try {
        const std::vector<PlaylistEntry> entries =
            favourites ? favouritesPlaylist(channelDb)
                       : myListPlaylist(channelDb, myListDb, filter);
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(writePlaylist(entries)) < 0 ||
            !file.commit()) {
            result.error = file.errorString();
            return result;
        }
        result.count = int(entries.size());
    } catch (const DbError& e) {
        result.error = e.description();
    }
    return result;
}

} // namespace

ExportPlaylistWindow::ExportPlaylistWindow(AppContext& app, MainWindowApi& main, QWidget* parent)
    : QDialog(parent), app_(app), main_(main) {
    setObjectName(QStringLiteral("frmExportPlaylist"));
    setModal(true);
    chooser_ = [this](const QString& title, const QString& proposed) {
        return QFileDialog::getSaveFileName(this, title, proposed,
                                            QStringLiteral("M3U (*.m3u *.m3u8)"));
    };
    buildLayout();
    fillChoices();
    closeOnEscape(this);
    keepAboveFullVideo(this, main_);
}

QString ExportPlaylistWindow::term(const char* key) const {
    return app_.translate(QString::fromLatin1(key));
}

void ExportPlaylistWindow::buildLayout() {
    setWindowTitle(term("_frmExport_caption"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(16, 14, 16, 14);
    outer->setSpacing(10);
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    lblWhat_ = new QLabel(term("_frmExport_lblWhat"), this);
    lblWhat_->setObjectName(QStringLiteral("lblWhat"));
    cboWhat_ = new QComboBox(this);
    cboWhat_->setObjectName(QStringLiteral("cboWhat"));
    cboWhat_->setMaxVisibleItems(20);
    lblWhat_->setBuddy(cboWhat_);
    lblFile_ = new QLabel(term("_frmExport_lblFile"), this);
    lblFile_->setObjectName(QStringLiteral("lblFile"));
    txtFile_ = new QLineEdit(this);
    txtFile_->setObjectName(QStringLiteral("txtFile"));
    txtFile_->setMinimumWidth(420);
    lblFile_->setBuddy(txtFile_);
    cmdBrowse_ = new QPushButton(term("_frmExport_cmdBrowse"), this);
    cmdBrowse_->setObjectName(QStringLiteral("cmdBrowse"));
    grid->addWidget(lblWhat_, 0, 0, 1, 2);
    grid->addWidget(cboWhat_, 1, 0, 1, 2);
    grid->addWidget(lblFile_, 2, 0, 1, 2);
    grid->addWidget(txtFile_, 3, 0);
    grid->addWidget(cmdBrowse_, 3, 1);
    outer->addLayout(grid);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    cmdExport_ = new QPushButton(term("_frmExport_cmdExport"), this);
    cmdExport_->setObjectName(QStringLiteral("cmdExport"));
    cmdExport_->setDefault(true);
    cmdClose_ = new QPushButton(term("_frmExport_cmdClose"), this);
    cmdClose_->setObjectName(QStringLiteral("cmdClose"));
    buttons->addWidget(cmdExport_);
    buttons->addWidget(cmdClose_);
    outer->addLayout(buttons);
    connect(cmdExport_, &QPushButton::clicked, this, &ExportPlaylistWindow::onExportClicked);
    connect(cmdBrowse_, &QPushButton::clicked, this, &ExportPlaylistWindow::onBrowseClicked);
    connect(cmdClose_, &QPushButton::clicked, this, [this] { done(QDialog::Rejected); });
}

void ExportPlaylistWindow::fillChoices() {
    choices_.clear();
    cboWhat_->clear();
    cboWhat_->addItem(term("_frmExport_cboWhat_MyList"));
    choices_.append(Choice{false, MyListGroupFilter::all()});
    MyListGroups groups;
    reportErrors(app_.messages, "ReadMyListGroups",
                 [&] { groups = readMyListGroups(app_.paths().myList); });
    for (const QString& name : groups.names) {
        cboWhat_->addItem(term("_frmExport_cboWhat_Group").arg(name));
        choices_.append(Choice{false, MyListGroupFilter::ofGroup(name)});
    }
    if (groups.hasUngrouped && !groups.names.isEmpty()) {
        cboWhat_->addItem(term("_frmExport_cboWhat_NoGroup"));
        choices_.append(Choice{false, MyListGroupFilter::noGroup()});
    }
    cboWhat_->addItem(term("_frmExport_cboWhat_Favourites"));
    choices_.append(Choice{true, MyListGroupFilter::all()});
}

void ExportPlaylistWindow::setFile(const QString& path) {
    txtFile_->setText(path);
}

void ExportPlaylistWindow::setChoice(int index) {
    cboWhat_->setCurrentIndex(index);
}

void ExportPlaylistWindow::onBrowseClicked() {
    QString proposed = txtFile_->text();
    if (proposed.isEmpty())
        proposed = QDir::home().filePath(QStringLiteral("zentuvo.m3u"));
    const QString path = chooser_(term("_frmExport_caption"), proposed);
    if (!path.isEmpty())
        txtFile_->setText(path);
}

void ExportPlaylistWindow::onExportClicked() {
    if (running_)
        return;
    QString path = txtFile_->text().trimmed();
    if (path.isEmpty()) {
        onBrowseClicked();
        path = txtFile_->text().trimmed();
        if (path.isEmpty())
            return;
    }
    const Choice choice = choices_.value(cboWhat_->currentIndex());
    running_ = true;
    for (QWidget* w : std::initializer_list<QWidget*>{cboWhat_, txtFile_, cmdBrowse_, cmdExport_})
        w->setEnabled(false);
    auto* watcher = new QFutureWatcher<ExportResult>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, path] {
        const ExportResult result = watcher->result();
        watcher->deleteLater();
        running_ = false;
        for (QWidget* w :
             std::initializer_list<QWidget*>{cboWhat_, txtFile_, cmdBrowse_, cmdExport_})
            w->setEnabled(true);
        emit finished();
        if (!result.error.isEmpty()) {
            app_.messages.critical(term("_frmExport_msgFailed").arg(result.error));
            return;
        }
        app_.messages.information(
            term("_frmExport_msgDone").arg(result.count).arg(QDir::toNativeSeparators(path)));
        QDialog::done(QDialog::Accepted);
    });
    watcher->setFuture(QtConcurrent::run(runExport, app_.paths().catalogue, app_.paths().myList,
                                         choice.favourites, choice.filter, path));
}

void ExportPlaylistWindow::done(int result) {
    if (running_)
        return; // the write is short and is not called off halfway: the window waits for it
    QDialog::done(result);
}

} // namespace zentuvo
