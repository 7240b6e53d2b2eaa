#include "ui/main/NowNextRefresh.h"

#include "app/AppContext.h"
#include "ui/main/ChannelListModel.h"
#include "ui/widgets/NowNextText.h"

#include <QDateTime>
#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>
#include <exception>

namespace zentuvo {

namespace {

// A snapshot reaches this far ahead: the next programme of every channel is in it.
constexpr int kSnapshotHours = 6;

GuideNowNext buildSnapshot(const QString& guideFile, qint64 time) {
    try {
        return GuideNowNext::build(guideFile, time, kSnapshotHours);
    } catch (const std::exception&) {
        return GuideNowNext(); // no guide, or one that cannot be read: nothing to show
    }
}

} // namespace

NowNextRefresh::NowNextRefresh(AppContext& app, QList<ChannelListModel*> models, QObject* parent)
    : QObject(parent), app_(app), models_(std::move(models)), guideFile_(app.paths().guideFile()),
      clock_([] { return QDateTime::currentSecsSinceEpoch(); }) {
    for (ChannelListModel* model : models_)
        model->setGuideTip(
            [this](const NowNext& entry) { return nowNextLines(app_, entry).join(u'\n'); });
    minute_.setSingleShot(true);
    minute_.setTimerType(Qt::PreciseTimer);
    connect(&minute_, &QTimer::timeout, this, [this] {
        reloadGuide();
        armMinute();
    });
    armMinute();
}

void NowNextRefresh::setClock(std::function<qint64()> clock) {
    clock_ = std::move(clock);
    for (ChannelListModel* model : models_)
        model->setClock(clock_);
}

NowNext NowNextRefresh::nowNext(ChannelRef channel) const {
    const NowNext* entry = snapshot_.find(channel);
    return entry ? nowNextAt(*entry, clock_()) : NowNext{};
}

QString NowNextRefresh::shortLine(ChannelRef channel) const {
    return nowNextLines(app_, nowNext(channel)).join(QStringLiteral(" | "));
}

void NowNextRefresh::reloadGuide() {
    const int generation = ++generation_;
    auto* watcher = new QFutureWatcher<GuideNowNext>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, generation] {
        watcher->deleteLater();
        if (generation == generation_) // else a newer build is on its way
            apply(watcher->future().takeResult());
    });
    watcher->setFuture(QtConcurrent::run(buildSnapshot, guideFile_, clock_()));
}

void NowNextRefresh::apply(GuideNowNext snapshot) {
    snapshot_ = snapshot; // copies share their data
    for (ChannelListModel* model : models_)
        model->setNowNext(snapshot);
    emit refreshed();
}

// Programmes start and end on full minutes: the next build comes just after the next one.
void NowNextRefresh::armMinute() {
    const qint64 ms = QDateTime::currentMSecsSinceEpoch() % 60000;
    minute_.start(int(60000 - ms + 200));
}

} // namespace zentuvo
