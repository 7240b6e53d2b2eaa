#pragma once

#include "app/PlaylistImport.h"

#include <QDialog>
#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTimer;

namespace zentuvo {

class AppContext;
class MainWindowApi;
class PlaylistDownload;

// frmImportPlaylist: adds the entries of an M3U playlist (a file or an http(s) address) to My
// List. The download, the reading and the writing run away from the window, which shows their
// progress; Cancel calls them off and leaves My List as it was. At the end one message counts
// what was imported, skipped and unreadable, and the My List list is refilled.
class ImportPlaylistWindow : public QDialog {
    Q_OBJECT
public:
    // Asks for a playlist file: its path, or "" when the user chose none.
    using FileChooser = std::function<QString(const QString& title)>;

    ImportPlaylistWindow(AppContext& app, MainWindowApi& main, QWidget* parent = nullptr);
    ~ImportPlaylistWindow() override;

    void setFileChooser(FileChooser chooser) { chooser_ = std::move(chooser); }
    // Adjusts each download before it starts (tests shorten its timeouts and limit).
    void setDownloadSetup(std::function<void(PlaylistDownload&)> setup) {
        downloadSetup_ = std::move(setup);
    }
    // The source and the group, as if typed.
    void setSource(const QString& source);
    void setGroup(const QString& group);

    // Starts the import of the typed source.
    void onImportClicked();
    // Calls off a running import, or closes the window.
    void onCancelClicked();
    void onBrowseClicked();

    bool isRunning() const { return running_; }

signals:
    // The import ended: imported, or cancelled/failed (report.error / a download failure).
    void finished();

protected:
    void done(int result) override;

private:
    void buildLayout();
    void setCaptions();
    void setRunning(bool running);
    void startImport(QByteArray bytes, QUrl base, QString file);
    void onDownloadFailed(int reason, const QString& detail);
    void showReport(const PlaylistImportReport& report);
    void showProgress();
    QString term(const char* key) const;

    AppContext& app_;
    MainWindowApi& main_;
    FileChooser chooser_;
    std::function<void(PlaylistDownload&)> downloadSetup_;
    QLineEdit* txtSource_ = nullptr;
    QLineEdit* txtGroup_ = nullptr;
    QLabel* lblSource_ = nullptr;
    QLabel* lblGroup_ = nullptr;
    QLabel* lblStatus_ = nullptr;
    QProgressBar* prgImport_ = nullptr;
    QPushButton* cmdBrowse_ = nullptr;
    QPushButton* cmdImport_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QTimer* progressTimer_ = nullptr;
    PlaylistDownload* download_ = nullptr;
    // Shared with the running import, which may outlive a closed window's request to stop.
    std::shared_ptr<std::atomic_bool> cancel_;
    std::shared_ptr<PlaylistImportProgress> progress_;
    bool running_ = false;
    bool groupTyped_ = false; // the user typed a group: the source no longer proposes one
    bool closeWhenDone_ = false;
};

} // namespace zentuvo
