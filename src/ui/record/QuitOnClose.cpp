#include "ui/record/QuitOnClose.h"

#include "ui/record/RecordLauncher.h"
#include "ui/record/RecordWindow.h"

#include <QCloseEvent>
#include <QCoreApplication>

namespace zentuvo {

QuitOnClose::QuitOnClose(RecordLauncher& recorder, std::function<void()> quit)
    : recorder_(recorder), quit_(std::move(quit)) {
    if (!quit_) {
        quit_ = [] {
            QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit,
                                      Qt::QueuedConnection);
        };
    }
}

bool QuitOnClose::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close) {
        if (!recorder_.confirmQuit()) {
            // The window stays, the recording goes on.
            event->ignore();
            return true;
        }
        recorder_.endRecordingThen(quit_);
    }
    return QObject::eventFilter(watched, event);
}

} // namespace zentuvo
