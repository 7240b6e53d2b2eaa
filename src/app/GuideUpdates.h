#pragma once

#include "app/GuideRefresh.h"

#include <QFutureWatcher>
#include <QObject>
#include <QStringList>
#include <functional>

namespace zentuvo {

// The refreshes of the programme guide's sources, one after the other through one
// GuideRefresh, on the GUI thread without blocking it: the sources due (never refreshed, or
// not for the interval; at start-up) or all of them (the user's "Refresh now"). What a refresh
// needs (the guide file, the channels to match) and the sources are read off the GUI thread
// when asked. A source that fails keeps its programmes and its error; the next one runs.
class GuideUpdates : public QObject {
    Q_OBJECT
public:
    enum class Phase { Downloading, Reading };
    // Reads what a refresh needs; runs on a worker thread.
    using SetupReader = std::function<GuideRefreshSetup()>;

    GuideUpdates(const QString& userAgent, SetupReader readSetup, QObject* parent = nullptr);
    ~GuideUpdates() override;

    GuideRefresh& refresh() { return refresh_; }
    // A run is under way (from the request until finished()).
    bool isRunning() const { return running_; }
    // The source being refreshed (1-based) of how many this run has; its address.
    int position() const { return position_; }
    int count() const { return position_ + int(queue_.size()); }
    QString currentSource() const { return current_; }

public slots:
    // Queues the sources due at now (0: the current time) for intervalHours; those queued or
    // running already are left where they are. A run under way goes on with them.
    void refreshDue(int intervalHours, qint64 now = 0);
    // Queues every source the same way.
    void refreshAll();
    // Stops the source under way and drops the queue: finished() follows.
    void cancel();

signals:
    // A source's refresh begins, and what it does (total -1 or 0 when unknown).
    void sourceStarted(int position, int count, const QString& address);
    void progress(zentuvo::GuideUpdates::Phase phase, qint64 done, qint64 total);
    void sourceFinished(const QString& address, const zentuvo::GuideImportOutcome& outcome);
    // A source's programmes were replaced: what shows the guide reads it again.
    void guideChanged();
    // The run has ended: every source done, or cancelled.
    void finished();

private:
    struct Prepared {
        GuideRefreshSetup setup;
        QStringList sources;
    };
    void ask(bool all, int intervalHours, qint64 now);
    void enqueue(const Prepared& prepared);
    void next();
    void onRefreshFinished(const GuideImportOutcome& outcome);

    GuideRefresh refresh_;
    SetupReader readSetup_;
    GuideRefreshSetup setup_;
    QStringList queue_;
    QString current_;
    int position_ = 0;
    int asking_ = 0;     // reads under way
    int generation_ = 0; // bumped by cancel(): reads asked before it are dropped
    bool running_ = false;
    QList<QFutureWatcher<Prepared>*> watchers_;
};

} // namespace zentuvo
