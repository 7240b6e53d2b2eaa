#pragma once

#include <QObject>
#include <functional>

namespace zentuvo {

class RecordLauncher;

// Watches the main window's closing (File > Exit, the title bar) and ends the program with
// it, even if another window stays open. With a recording running it asks once, before
// anything closes: No refuses the close and everything goes on as it was; Yes ends the
// recording (a complete file, while the event loop keeps running) and then quits.
class QuitOnClose : public QObject {
public:
    // quit defaults to a queued QCoreApplication::quit().
    explicit QuitOnClose(RecordLauncher& recorder, std::function<void()> quit = {});

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    RecordLauncher& recorder_;
    std::function<void()> quit_;
};

} // namespace zentuvo
