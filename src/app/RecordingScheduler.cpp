#include "app/RecordingScheduler.h"

#include "app/AppContext.h"
#include "app/ScheduleSettings.h"
#include "common/Messages.h"
#include "data/ChannelInfo.h"
#include "data/Database.h"

#include <QDateTime>
#include <QDir>
#include <QTimer>
#include <algorithm>
#include <utility>

namespace zentuvo {

namespace {

// The timer never sleeps longer than this, so that a changed clock is seen soon.
constexpr qint64 kLongestWaitMs = 30'000;

// What the runners are told when they end for a reason of ours.
enum Stop : int { AtItsEnd, Removed, AtExit };

} // namespace

RecordingScheduler::RecordingScheduler(AppContext& app, RunnerFactory makeRunner, QObject* parent)
    : QObject(parent), app_(app), makeRunner_(std::move(makeRunner)),
      file_(app.paths().scheduleFile()), timer_(new QTimer(this)) {
    timer_->setSingleShot(true);
    timer_->setTimerType(Qt::PreciseTimer);
    connect(timer_, &QTimer::timeout, this, &RecordingScheduler::check);
}

RecordingScheduler::~RecordingScheduler() {
    stopAllAndWait();
}

qint64 RecordingScheduler::now() const {
    return clock_ ? clock_() : QDateTime::currentMSecsSinceEpoch();
}

QString RecordingScheduler::term(const char* key) const {
    return app_.translate(QString::fromLatin1(key));
}

void RecordingScheduler::reload() {
    try {
        recordings_ = scheduledRecordings(file_);
    } catch (const DbError& e) {
        app_.messages.critical(QStringLiteral("Error in LoadSchedule: ") + e.description());
    }
}

void RecordingScheduler::start() {
    reload();
    // A recording the program was making when it last ended is made again while its time lasts.
    for (const ScheduledRecording& r : recordings_)
        if (r.state == ScheduleState::Recording && !runners_.contains(r.id))
            setState(r.id, ScheduleState::Waiting, r.file, {});
    check();
}

QString RecordingScheduler::missedLine(const ScheduledRecording& r) const {
    const QString when = QDateTime::fromSecsSinceEpoch(r.start).toLocalTime().toString(
        QStringLiteral("yyyy-MM-dd HH:mm"));
    return r.title.isEmpty() ? QStringLiteral("%1, %2").arg(r.channelName, when)
                             : QStringLiteral("%1, %2, %3").arg(r.channelName, r.title, when);
}

void RecordingScheduler::check() {
    if (closing_)
        return;
    const qint64 t = now();
    QStringList missed;
    const std::vector<ScheduledRecording> list = recordings_;
    for (const ScheduledRecording& r : list) {
        const qint64 from = r.recordFrom() * 1000, until = r.recordUntil() * 1000;
        if (r.state == ScheduleState::Waiting && t >= until) {
            setState(r.id, ScheduleState::Missed, {}, {});
            missed << missedLine(r);
        } else if (r.state == ScheduleState::Waiting && t >= from) {
            startRecording(r);
        } else if (r.state == ScheduleState::Recording && t >= until && runners_.contains(r.id) &&
                   !stopping_.contains(r.id)) {
            stopping_.insert(r.id, AtItsEnd);
            runners_.value(r.id)->stop();
        }
    }
    if (!missed.isEmpty())
        app_.messages.information(term("_frmSchedule_msgMissed") + u'\n' + missed.join(u'\n'));
    arm();
}

// Sleeps until the next start or end, at most kLongestWaitMs.
void RecordingScheduler::arm() {
    const qint64 t = now();
    qint64 next = t + kLongestWaitMs;
    for (const ScheduledRecording& r : recordings_) {
        if (r.state == ScheduleState::Waiting)
            next = std::min(next, r.recordFrom() * 1000);
        else if (r.state == ScheduleState::Recording && runners_.contains(r.id) &&
                 !stopping_.contains(r.id))
            next = std::min(next, r.recordUntil() * 1000);
    }
    timer_->start(int(std::clamp<qint64>(next - t, 0, kLongestWaitMs)));
}

void RecordingScheduler::startRecording(const ScheduledRecording& r) {
    QString reason;
    QString path;
    const std::optional<ChannelInfo> channel = lookupChannel(app_.data(), r.channel);
    const QString folder = app_.preferences().recordFolder();
    QDir().mkpath(folder);
    if (!channel || channel->url.trimmed().isEmpty()) {
        reason = term("_frmRecord_msgNoAddress");
    } else {
        path = ScheduleFiles::freePath(
            folder, ScheduleFiles::fileName(r.channelName, r.title,
                                            QDateTime::fromSecsSinceEpoch(r.start)));
        if (path.isEmpty())
            reason = term("_frmRecord_msgNoFileName").arg(folder);
    }
    if (reason.isEmpty()) {
        ScheduledRunner* runner = makeRunner_(this);
        const qint64 id = r.id;
        connect(runner, &ScheduledRunner::finished, this,
                [this, id](const QString& error) { onFinished(id, error); });
        if (runner->start(*channel, path, &reason)) {
            runners_.insert(id, runner);
            setState(id, ScheduleState::Recording, path, {});
            return;
        }
        runner->deleteLater();
        if (reason.isEmpty())
            reason = term("_frmRecord_msgStartError");
    }
    setState(r.id, ScheduleState::Failed, {}, reason);
}

void RecordingScheduler::onFinished(qint64 id, const QString& error) {
    if (ScheduledRunner* runner = runners_.take(id))
        runner->deleteLater();
    const bool asked = stopping_.contains(id);
    const int why = stopping_.take(id);
    const QString file = fileOf(id);
    if (asked && why == Removed) {
        // Gone from the list already.
    } else if (asked && why == AtItsEnd) {
        setState(id, error.isEmpty() ? ScheduleState::Done : ScheduleState::Failed, file, error);
    } else if (closing_ || asked) {
        setState(id, ScheduleState::Failed, file, term("_frmSchedule_msgStoppedAtExit"));
    } else {
        setState(id, ScheduleState::Failed, file,
                 error.isEmpty() ? term("_frmSchedule_msgEndedEarly") : error);
    }
    if (runners_.isEmpty() && whenAllStopped_)
        std::exchange(whenAllStopped_, {})();
}

QString RecordingScheduler::fileOf(qint64 id) const {
    for (const ScheduledRecording& r : recordings_)
        if (r.id == id)
            return r.file;
    return {};
}

void RecordingScheduler::setState(qint64 id, ScheduleState state, const QString& file,
                                  const QString& reason) {
    try {
        setScheduledState(file_, id, state, file, reason);
    } catch (const DbError& e) {
        app_.messages.critical(QStringLiteral("Error in SetScheduleState: ") + e.description());
    }
    for (ScheduledRecording& r : recordings_)
        if (r.id == id) {
            r.state = state;
            r.file = file;
            r.reason = reason;
        }
    emit changed();
}

qint64 RecordingScheduler::schedule(ChannelRef channel, const QString& channelName,
                                    const QString& title, qint64 start, qint64 stop) {
    ScheduledRecording r;
    r.channel = channel;
    r.channelName = channelName;
    r.title = title;
    r.start = start;
    r.stop = stop;
    r.marginBefore = qint64(app_.preferences().scheduleMarginBefore()) * 60;
    r.marginAfter = qint64(app_.preferences().scheduleMarginAfter()) * 60;
    try {
        r.id = addScheduledRecording(file_, r);
    } catch (const DbError& e) {
        app_.messages.critical(QStringLiteral("Error in AddSchedule: ") + e.description());
        return 0;
    }
    reload();
    emit changed();
    check();
    return r.id;
}

bool RecordingScheduler::remove(qint64 id) {
    if (ScheduledRunner* runner = runners_.value(id)) {
        stopping_.insert(id, Removed);
        runner->stop();
    }
    bool removed = false;
    try {
        removed = removeScheduledRecording(file_, id);
    } catch (const DbError& e) {
        app_.messages.critical(QStringLiteral("Error in RemoveSchedule: ") + e.description());
    }
    std::erase_if(recordings_, [id](const ScheduledRecording& r) { return r.id == id; });
    emit changed();
    return removed;
}

void RecordingScheduler::stopAllThen(std::function<void()> done) {
    closing_ = true;
    timer_->stop();
    if (runners_.isEmpty()) {
        done();
        return;
    }
    whenAllStopped_ = std::move(done);
    // A runner may end at once, which changes the list of runners: ask from a copy.
    const auto running = runners_;
    for (auto it = running.cbegin(); it != running.cend(); ++it)
        if (it.value() && runners_.contains(it.key()) && !stopping_.contains(it.key())) {
            stopping_.insert(it.key(), AtExit);
            it.value()->stop();
        }
}

void RecordingScheduler::stopAllAndWait() {
    closing_ = true;
    timer_->stop();
    const auto running = runners_;
    runners_.clear();
    for (auto it = running.cbegin(); it != running.cend(); ++it) {
        if (!it.value())
            continue;
        it.value()->disconnect(this);
        it.value()->stopAndWait();
        const bool removed = stopping_.value(it.key(), AtExit) == Removed;
        stopping_.remove(it.key());
        if (!removed)
            setState(it.key(), ScheduleState::Failed, fileOf(it.key()),
                     term("_frmSchedule_msgStoppedAtExit"));
        delete it.value().data();
    }
    if (whenAllStopped_)
        std::exchange(whenAllStopped_, {})();
}

bool RecordingScheduler::isScheduled(ChannelRef channel, qint64 start) const {
    return std::any_of(recordings_.begin(), recordings_.end(), [&](const ScheduledRecording& r) {
        return r.channel == channel && r.start == start &&
               (r.state == ScheduleState::Waiting || r.state == ScheduleState::Recording);
    });
}

} // namespace zentuvo
