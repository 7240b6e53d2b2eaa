#include "ui/record/RecordLauncher.h"

#include "app/AppContext.h"
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

bool RecordLauncher::confirmQuit() {
    return !window_ || window_->confirmStop();
}

void RecordLauncher::endRecordingThen(std::function<void()> done) {
    if (!window_ || !window_->isRecording()) {
        done();
        return;
    }
    QObject::connect(
        window_.data(), &RecordWindow::recordingStopped, window_.data(),
        [done = std::move(done)](bool) { done(); }, Qt::SingleShotConnection);
    window_->endForShutdown();
}

void RecordLauncher::endRecordingForShutdown() {
    if (!window_)
        return;
    window_->closeForShutdown();
    // A window that would not close still loses its process.
    if (window_)
        delete window_.data();
}

} // namespace zentuvo
