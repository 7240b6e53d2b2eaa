#pragma once

#include "app/RecordingScheduler.h"
#include "record/Recorder.h"

#include <functional>

class QTimer;

namespace zentuvo {

class AppContext;

// A scheduled recording's player: the player's command-line program, as the record button
// runs it (Recorder: reconnecting across drops, a stalled stream started again), without a
// window.
class ScheduledRun : public ScheduledRunner {
    Q_OBJECT
public:
    // How often the file's growth is sampled for the stall watch.
    static constexpr int kSampleMs = 5000;

    // translate gives the interface texts by term key.
    ScheduledRun(QString program, QString userAgentOption,
                 std::function<QString(const QString&)> translate, QObject* parent = nullptr);

    bool start(const ChannelInfo& channel, const QString& file, QString* error) override;
    void stop() override;
    void stopAndWait() override;

    Recorder& recorder() { return recorder_; }

    // The runners of the program: the `vlc` program of the preferences' player folder (found
    // again for every recording), with the program's user agent.
    static RunnerFactory factory(AppContext& app);

private:
    QString program_;
    QString userAgentOption_;
    std::function<QString(const QString&)> translate_;
    QString channelName_;
    Recorder recorder_;
    QTimer* sampler_ = nullptr;
};

} // namespace zentuvo
