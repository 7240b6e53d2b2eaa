#pragma once
// Stand-in players for scheduled recordings.

#include "app/RecordingScheduler.h"

#include <QFileInfo>
#include <QStringList>

namespace zentuvo::test {

// Stand-in players: they note their starts and stops and end when told.
struct Runs {
    QStringList started, stopped;
    RunnerFactory factory() {
        return [this](QObject* parent) -> ScheduledRunner* { return new Fake(*this, parent); };
    }
    class Fake : public ScheduledRunner {
    public:
        Fake(Runs& runs, QObject* parent) : ScheduledRunner(parent), runs_(runs) {}
        bool start(const ChannelInfo&, const QString& file, QString*) override {
            file_ = QFileInfo(file).fileName();
            runs_.started << file_;
            return true;
        }
        void stop() override {
            runs_.stopped << file_;
            emit finished({});
        }
        void stopAndWait() override { runs_.stopped << file_; }

    private:
        Runs& runs_;
        QString file_;
    };
};

} // namespace zentuvo::test
