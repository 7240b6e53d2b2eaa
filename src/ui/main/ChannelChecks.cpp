#include "ui/main/ChannelChecks.h"

#include "app/AppContext.h"
#include "app/HealthChecks.h"
#include "data/ChannelHealth.h"
#include "ui/main/ChannelListModel.h"
#include "ui/widgets/HealthMarks.h"

#include <QDateTime>
#include <QFutureWatcher>
#include <QLocale>
#include <QPointer>
#include <QProgressBar>
#include <QSet>
#include <QToolButton>
#include <QtConcurrent>
#include <exception>
#include <vector>

namespace zentuvo {

namespace {

template <typename T, typename Done> void whenDone(QObject* owner, QFuture<T> future, Done done) {
    auto* watcher = new QFutureWatcher<T>(owner);
    QObject::connect(watcher, &QFutureWatcher<T>::finished, owner, [watcher, done] {
        done(watcher->result());
        watcher->deleteLater();
    });
    watcher->setFuture(future);
}

} // namespace

ChannelChecks::ChannelChecks(AppContext& app, ChannelListModel& catalogue, ChannelListModel& myList,
                             QProgressBar* progress, QToolButton* cancel, QObject* parent)
    : QObject(parent), app_(app), catalogue_(catalogue), myList_(myList), progress_(progress),
      cancel_(cancel),
      list_(std::make_unique<HealthChecks>(app.paths().healthFile(), app.paths().myList)),
      single_(std::make_unique<HealthChecks>(app.paths().healthFile(), app.paths().myList)) {
    for (ChannelListModel* model : {&catalogue_, &myList_})
        model->setHealthTip([this](const ChannelHealth& health) { return tip(health); });
    for (HealthChecks* checks : {list_.get(), single_.get()})
        connect(checks, &HealthChecks::checked, this, &ChannelChecks::show);
    connect(list_.get(), &HealthChecks::progress, this, [this](int done, int total) {
        progress_->setRange(0, total);
        progress_->setValue(done);
    });
    connect(list_.get(), &HealthChecks::finished, this, [this] {
        progress_->hide();
        cancel_->hide();
        emit finished();
    });
    connect(cancel_, &QToolButton::clicked, this, &ChannelChecks::cancel);
    connect(&app_.preferences(), &Preferences::changed, this, &ChannelChecks::applyHideOffline);
    applyHideOffline();
}

ChannelChecks::~ChannelChecks() = default;

QString ChannelChecks::tip(const ChannelHealth& health) const {
    return healthTip(app_, health);
}

void ChannelChecks::loadStates() {
    const QString catalogue = app_.paths().catalogue, myList = app_.paths().myList;
    const QString healthFile = app_.paths().healthFile();
    const QDateTime now = QDateTime::currentDateTimeUtc();
    auto read = [=] { return readHealthByChannel(catalogue, healthFile, myList, now); };
    whenDone(this, QtConcurrent::run(read), [this](QHash<quint64, ChannelHealth> states) {
        // Each list its own channels' states: a list none of whose channels was checked
        // shows no marks.
        QHash<quint64, ChannelHealth> mine;
        for (auto it = states.begin(); it != states.end();)
            if (ChannelRef::fromKey(it.key()).kind() == ChannelRef::Kind::MyList) {
                mine.insert(it.key(), it.value());
                it = states.erase(it);
            } else {
                ++it;
            }
        catalogue_.setHealth(std::move(states));
        myList_.setHealth(std::move(mine));
    });
}

void ChannelChecks::check(const QList<ChannelRef>& channels) {
    list_->cancel();
    progress_->setRange(0, 0); // busy until the channels are read
    progress_->show();
    cancel_->show();
    startOn(*list_, channels);
}

void ChannelChecks::recheck(ChannelRef channel) {
    if (channel.isChannel())
        startOn(*single_, {channel});
}

void ChannelChecks::cancel() {
    ++generation_;
    list_->cancel();
    progress_->hide();
    cancel_->hide();
    emit finished();
}

bool ChannelChecks::isRunning() const {
    return list_->isRunning() || progress_->isVisible();
}

void ChannelChecks::startOn(HealthChecks& checks, const QList<ChannelRef>& channels) {
    const int generation = &checks == list_.get() ? ++generation_ : generation_;
    QSet<int> catalogueIds, myListIds;
    for (const ChannelRef& c : channels)
        (c.kind() == ChannelRef::Kind::Catalogue ? catalogueIds : myListIds).insert(c.number());
    const QString catalogue = app_.paths().catalogue, myList = app_.paths().myList;
    StoredValueCipher* cipher = &app_.cipher();
    auto read = [=] {
        std::vector<HealthChannel> out;
        try {
            if (!catalogueIds.isEmpty())
                out = catalogueHealthChannels(catalogue, *cipher,
                                              QList<int>(catalogueIds.begin(), catalogueIds.end()));
            if (!myListIds.isEmpty())
                for (HealthChannel& c :
                     myListHealthChannels(myList, QList<int>(myListIds.begin(), myListIds.end())))
                    out.push_back(std::move(c));
        } catch (const std::exception&) {
        }
        return out;
    };
    QPointer<HealthChecks> target(&checks);
    whenDone(this, QtConcurrent::run(read),
             [this, target, generation](std::vector<HealthChannel> list) {
                 if (!target || (target == list_.get() && generation != generation_))
                     return; // cancelled, or a newer list was asked for meanwhile
                 if (target == list_.get() && list.empty()) {
                     progress_->hide();
                     cancel_->hide();
                     emit finished();
                     return;
                 }
                 target->start(std::move(list));
             });
}

void ChannelChecks::show(const HealthChannel& channel, const ChannelHealth& result) {
    const ChannelRef ref = HealthChecks::refOf(channel);
    (ref.kind() == ChannelRef::Kind::Catalogue ? catalogue_ : myList_).updateHealth(ref, result);
}

void ChannelChecks::applyHideOffline() {
    const bool hide = app_.preferences().hideOffline();
    catalogue_.setHideOffline(hide);
    myList_.setHideOffline(hide);
}

} // namespace zentuvo
