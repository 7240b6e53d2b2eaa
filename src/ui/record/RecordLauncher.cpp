#include "ui/record/RecordLauncher.h"

#include "app/AppContext.h"
#include "app/RecordingScheduler.h"
#include "common/Messages.h"
#include "ui/MainWindowApi.h"
#include "ui/record/RecordWindow.h"

#include <exception>

namespace zentuvo {

RecordLauncher::RecordLauncher(AppContext& app, MainWindowApi& main) : app_(app), main_(main) {}

RecordLauncher::~RecordLauncher() {
    endRecordingForShutdown();
}

void RecordLauncher::record(ChannelRef playing) {
    try {
        if (playing.isNull() || playing.isFile()) {
            app_.messages.exclamation(app_.translate(QStringLiteral("_frmRecord_msgNoChannel")));
            return;
        }
        if (!window_) {
            window_ = new RecordWindow(app_, main_, playing, main_.mainWidget());
            window_->setAttribute(Qt::WA_DeleteOnClose);
        }
        window_->show();
        window_->raise();
        window_->activateWindow();
    } catch (const std::exception& e) {
        app_.messages.critical(QStringLiteral("Error in imgButtonRecord_Click: ") +
                               QString::fromLocal8Bit(e.what()));
    }
}

void RecordLauncher::setScheduler(RecordingScheduler* scheduler) {
    scheduler_ = scheduler;
}

bool RecordLauncher::confirmQuit() {
    if (window_ && window_->isRecording())
        return window_->confirmStop();
    if (scheduler_ && scheduler_->isRecording())
        return app_.messages.askYesNo(app_.translate(QStringLiteral("_frmRecord_msgStopQuestion")) +
                                          u' ',
                                      app_.translate(QStringLiteral("_frmRecord_msgStopTitle")));
    return true;
}

void RecordLauncher::endRecordingThen(std::function<void()> done) {
    // The scheduled recordings end after the window's.
    auto thenScheduled = [scheduler = scheduler_, done = std::move(done)] {
        if (scheduler)
            scheduler->stopAllThen(done);
        else
            done();
    };
    if (!window_ || !window_->isRecording()) {
        thenScheduled();
        return;
    }
    QObject::connect(
        window_.data(), &RecordWindow::recordingStopped, window_.data(),
        [thenScheduled = std::move(thenScheduled)](bool) { thenScheduled(); },
        Qt::SingleShotConnection);
    window_->endForShutdown();
}

void RecordLauncher::endRecordingForShutdown() {
    if (scheduler_)
        scheduler_->stopAllAndWait();
    if (!window_)
        return;
    window_->closeForShutdown();
    // A window that would not close still loses its process.
    if (window_)
        delete window_.data();
}

} // namespace zentuvo
