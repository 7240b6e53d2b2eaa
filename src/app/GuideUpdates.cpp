#include "app/GuideUpdates.h"

#include "data/Database.h"
#include "data/GuideSources.h"

#include <QDateTime>
#include <QUrl>
#include <QtConcurrent/QtConcurrentRun>

namespace zentuvo {

namespace {

bool isDownload(const QString& address) {
    const QString scheme = QUrl(address).scheme().toLower();
    return scheme == u"http" || scheme == u"https";
}

} // namespace

GuideUpdates::GuideUpdates(const QString& userAgent, SetupReader readSetup, QObject* parent)
    : QObject(parent), refresh_(userAgent), readSetup_(std::move(readSetup)) {
    connect(&refresh_, &GuideRefresh::finished, this, &GuideUpdates::onRefreshFinished);
    connect(&refresh_, &GuideRefresh::downloadProgress, this,
            [this](qint64 received, qint64 total) {
                emit progress(Phase::Downloading, received, total);
            });
    connect(&refresh_, &GuideRefresh::importProgress, this,
            [this](qint64 read, qint64 total) { emit progress(Phase::Reading, read, total); });
}

GuideUpdates::~GuideUpdates() {
    for (QFutureWatcher<Prepared>* watcher : std::as_const(watchers_)) {
        watcher->disconnect(this);
        watcher->waitForFinished();
    }
    refresh_.disconnect(this);
}

void GuideUpdates::refreshDue(int intervalHours, qint64 now) {
    ask(false, intervalHours, now ? now : QDateTime::currentSecsSinceEpoch());
}

void GuideUpdates::refreshAll() {
    ask(true, 0, 0);
}

void GuideUpdates::ask(bool all, int intervalHours, qint64 now) {
    running_ = true;
    ++asking_;
    auto* watcher = new QFutureWatcher<Prepared>(this);
    watchers_.append(watcher);
    const int generation = generation_;
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, generation] {
        watchers_.removeOne(watcher);
        watcher->deleteLater();
        --asking_;
        if (generation == generation_)
            enqueue(watcher->result());
        else if (!asking_ && current_.isEmpty() && running_) {
            running_ = false; // cancelled while only reading
            emit finished();
        }
    });
    watcher->setFuture(QtConcurrent::run([read = readSetup_, all, intervalHours, now] {
        Prepared out;
        out.setup = read();
        try {
            std::vector<GuideSource> sources = guideSources(out.setup.guideDb);
            if (!all)
                sources = guideSourcesDue(sources, now, intervalHours);
            for (const GuideSource& s : sources)
                out.sources << s.address;
        } catch (const DbError&) {
        }
        return out;
    }));
}

void GuideUpdates::enqueue(const Prepared& prepared) {
    setup_ = prepared.setup;
    for (const QString& source : prepared.sources)
        if (source != current_ && !queue_.contains(source))
            queue_ << source;
    if (current_.isEmpty())
        next();
}

void GuideUpdates::next() {
    current_.clear();
    if (queue_.isEmpty()) {
        if (asking_ == 0 && running_) {
            running_ = false;
            position_ = 0;
            emit finished();
        }
        return;
    }
    current_ = queue_.takeFirst();
    ++position_;
    // Started before it is told, so that what hears of it may cancel it.
    refresh_.start(current_, setup_);
    emit sourceStarted(position_, count(), current_);
    emit progress(isDownload(current_) ? Phase::Downloading : Phase::Reading, 0, -1);
}

void GuideUpdates::onRefreshFinished(const GuideImportOutcome& outcome) {
    const QString address = current_;
    emit sourceFinished(address, outcome);
    if (outcome.error.isEmpty())
        emit guideChanged();
    next();
}

void GuideUpdates::cancel() {
    if (!running_)
        return;
    ++generation_;
    queue_.clear();
    if (refresh_.isRunning()) {
        refresh_.cancel(); // its finished() ends the run
        return;
    }
    if (current_.isEmpty()) {
        running_ = false;
        position_ = 0;
        emit finished();
    }
}

} // namespace zentuvo
