#include "record/ScheduledRun.h"

#include "app/AppContext.h"
#include "data/ChannelInfo.h"

#include <QTimer>

namespace zentuvo {

ScheduledRun::ScheduledRun(QString program, QString userAgentOption,
                           std::function<QString(const QString&)> translate, QObject* parent)
    : ScheduledRunner(parent), program_(std::move(program)),
      userAgentOption_(std::move(userAgentOption)), translate_(std::move(translate)),
      sampler_(new QTimer(this)) {
    sampler_->setInterval(kSampleMs);
    connect(sampler_, &QTimer::timeout, this, [this] { recorder_.sampleSize(); });
    connect(&recorder_, &Recorder::startFailed, this, [this](const QString& error) {
        sampler_->stop();
        emit finished(program_ + QStringLiteral(": ") + error);
    });
    connect(&recorder_, &Recorder::stopped, this, [this](bool ended) {
        sampler_->stop();
        emit finished(ended ? QString() : translate_(QStringLiteral("_frmRecord_msgCloseError")));
    });
    connect(&recorder_, &Recorder::ended, this,
            [this](const QString& playerError, bool removedEmptyFile) {
                sampler_->stop();
                QString error = playerError;
                if (error.isEmpty() && removedEmptyFile)
                    error =
                        translate_(QStringLiteral("_frmRecord_msgEndedEmpty")).arg(channelName_);
                emit finished(error);
            });
}

bool ScheduledRun::start(const ChannelInfo& channel, const QString& file, QString* error) {
    if (program_.isEmpty()) {
        *error = translate_(QStringLiteral("_frmRecord_msgNoPlayerProgram"));
        return false;
    }
    channelName_ = channel.name;
    const QStringList args = RecorderCommand::arguments(
        channel.url.trimmed(), file, RecorderCommand::itemOptions(channel, userAgentOption_));
    if (!recorder_.start(program_, args, file)) {
        *error = program_ + QStringLiteral(": ") + recorder_.startError();
        return false;
    }
    sampler_->start();
    return true;
}

void ScheduledRun::stop() {
    recorder_.stop();
}

void ScheduledRun::stopAndWait() {
    sampler_->stop();
    recorder_.stopAndWait();
}

RunnerFactory ScheduledRun::factory(AppContext& app) {
    return [&app](QObject* parent) -> ScheduledRunner* {
        return new ScheduledRun(
            RecorderCommand::findProgram(app.preferences().playerInstallDir()),
            app.preferences().playerUserAgentOption(),
            [&app](const QString& key) { return app.translate(key); }, parent);
    };
}

} // namespace zentuvo
