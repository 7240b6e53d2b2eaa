#pragma once

#include "data/GuideNowNext.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

namespace zentuvo {

class AppContext;
class ChannelListModel;

// Keeps the lists' "Now" column and now/next tooltips current: a snapshot of the guide
// (GuideNowNext) is built away from the window at start, whenever reloadGuide() is called
// (the guide has changed) and at each full minute of the clock, and handed to the models
// without their rows being read again. Without a guide the snapshot is empty.
class NowNextRefresh : public QObject {
    Q_OBJECT
public:
    NowNextRefresh(AppContext& app, QList<ChannelListModel*> models, QObject* parent = nullptr);

    // The time the snapshots are built for, in UTC seconds (the system clock unless set); the
    // models are given it too.
    void setClock(std::function<qint64()> clock);
    const GuideNowNext& snapshot() const { return snapshot_; }
    // What runs on a channel now and what comes next, by the latest snapshot.
    NowNext nowNext(ChannelRef channel) const;
    // "Now: 20:30–21:15 Title | Next: 21:15–22:00 Title" for a channel; "" when the guide has
    // nothing for it.
    QString shortLine(ChannelRef channel) const;

public slots:
    // Builds a new snapshot from the guide file away from the window, then shows it. A build
    // started while another runs makes the older one's result stale.
    void reloadGuide();

signals:
    // A new snapshot is in the models.
    void refreshed();

private:
    void apply(GuideNowNext snapshot);
    void armMinute();

    AppContext& app_;
    QList<ChannelListModel*> models_;
    QString guideFile_;
    std::function<qint64()> clock_;
    GuideNowNext snapshot_;
    QTimer minute_;
    int generation_ = 0;
};

} // namespace zentuvo
