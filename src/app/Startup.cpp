#include "app/Startup.h"

#include "app/AppState.h"
#include "app/Registry.h"
#include "app/Settings.h"
#include "playback/VlcPlayer.h"
#include "playback/VlcRuntime.h"
#include "ui/QtServices.h"
#include "ui/dialogs/SplashWindow.h"
#include "ui/main/MainWindow.h"
#include "ui/main/MainWiring.h"

#include <QApplication>
#include <QEvent>

namespace zentuvo {

namespace {

// Ends the program when the main window closes, even if another window stays open (a
// recorder whose question was answered No).
class QuitOnClose : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close)
            QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

int runApplication(int argc, char** argv) {
    // The player draws into X11 windows only: on a Wayland session use XWayland.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zentuvo"));
    QApplication::setApplicationVersion(kVersion);

    QtMessageService messages;
    QtDesktopService desktop;
    AppState app(messages, desktop);
    SystemRegistryStore registry(playerLibraryUsable);
    if (prepareStart(app, registry, defaultAppFolder()) != StartResult::Continue)
        return 1;

    SplashWindow splash;
    splash.showCentred();
    MainWindow window(app);
    MainWiring wiring(app, window, [] { return createVlcPlayer(); });
    splash.close();
    QuitOnClose quitOnClose;
    window.installEventFilter(&quitOnClose);
    window.show();
    const int code = QApplication::exec();
    wiring.shutdown();
    return code;
}

} // namespace zentuvo
