#pragma once

#include "app/ChannelCheck.h"
#include "data/ChannelHealth.h"
#include "data/ChannelRef.h"

#include <QObject>
#include <QString>
#include <utility>
#include <vector>

namespace zentuvo {

// Checks catalogue and My List channels and keeps their results: catalogue results in the
// health file by code, My List results in the My List file. What the windows and the command
// line use; the channels come from catalogueHealthChannels() and myListHealthChannels() (a
// channel with a code is a catalogue channel), read where reading 10,000 rows may take its
// time. Results are saved kSaveBatch at a time, the rest when the list is done or cancelled.
class HealthChecks : public QObject {
    Q_OBJECT
public:
    static constexpr int kSaveBatch = 500;

    HealthChecks(const QString& healthFile, const QString& myListFile, QObject* parent = nullptr);
    ~HealthChecks() override;

    // Its limits and timeout may be set before start().
    ChannelCheckScheduler& scheduler() { return scheduler_; }

    // Checks the channels; a list still running is cancelled first (its results kept).
    void start(std::vector<HealthChannel> channels);
    // Stops at once: no more checked(), progress() or finished(); the results so far are kept.
    void cancel();
    bool isRunning() const { return scheduler_.isRunning(); }

    // The channel a list entry names: a catalogue channel when it has a code.
    static ChannelRef refOf(const HealthChannel& channel);

signals:
    void checked(const zentuvo::HealthChannel& channel, const zentuvo::ChannelHealth& result);
    void progress(int done, int total);
    void finished();
    // Results could not be kept (the database's description); checking goes on.
    void saveFailed(const QString& description);

private:
    void keep(const HealthChannel& channel, const ChannelHealth& result);
    void save();

    QString healthFile_;
    QString myListFile_;
    ChannelCheckScheduler scheduler_;
    std::vector<HealthChannel> channels_;
    std::vector<std::pair<QString, ChannelHealth>> catalogueResults_;
    std::vector<std::pair<int, ChannelHealth>> myListResults_;
};

} // namespace zentuvo
