#pragma once

#include "data/GuideImport.h"

#include <QFutureWatcher>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <memory>

class QNetworkAccessManager;
class QNetworkReply;
class QTemporaryFile;

namespace zentuvo {

// What a refresh needs besides its source.
struct GuideRefreshSetup {
    QString guideDb;                  // AppPaths::guideFile()
    QString cacheFolder;              // where a download is kept until it is imported
    std::vector<GuideTarget> targets; // loadGuideTargets()
    QStringList languages;            // the texts' preferred languages, best first
};

// Refreshes the programme guide from one source, on the thread it lives on (the GUI thread)
// without blocking it: an http(s) source is downloaded (with the user agent given, following
// redirects) into a temporary file in the cache folder, streaming, then imported on a worker
// thread (importGuide); a file source is imported at once. Exactly one finished() per
// start(), also when it fails (the outcome's error says why, and so does the source's last
// error in the guide file) or is cancelled. Destroyed while running, it cancels and waits for
// the import to stop, without a signal.
class GuideRefresh : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kDefaultIdleTimeout{30000};

    explicit GuideRefresh(const QString& userAgent, QObject* parent = nullptr);
    ~GuideRefresh() override;

    // No response, or no body bytes, for this long fails a download.
    void setIdleTimeout(std::chrono::milliseconds timeout) { idleTimeout_ = timeout; }
    bool isRunning() const { return running_; }

public slots:
    // source: a file path or an http(s) address. A refresh still running is cancelled first
    // (its finished() comes before this one starts).
    void start(const QString& source, const zentuvo::GuideRefreshSetup& setup);
    void cancel();

signals:
    // Bytes downloaded, and the announced size (-1 when unknown).
    void downloadProgress(qint64 received, qint64 total);
    // Bytes of the file imported so far, and its size.
    void importProgress(qint64 read, qint64 total);
    void finished(const zentuvo::GuideImportOutcome& outcome);

private:
    void onReadyRead();
    void onReplyFinished();
    void importFile(const QString& path);
    void fail(const QString& error, bool cancelled = false);
    void done(const GuideImportOutcome& outcome);
    void dropReply();

    QString userAgent_;
    std::chrono::milliseconds idleTimeout_ = kDefaultIdleTimeout;
    QNetworkAccessManager* network_;
    QPointer<QNetworkReply> reply_;
    std::unique_ptr<QTemporaryFile> download_;
    QTimer idleTimer_;
    QFutureWatcher<GuideImportOutcome> watcher_;
    std::shared_ptr<std::atomic_bool> cancel_;
    GuideRefreshSetup setup_;
    QString address_;
    qint64 total_ = -1;
    bool running_ = false;
    bool importing_ = false; // a worker runs (the import, or noting a failure)
};

} // namespace zentuvo
