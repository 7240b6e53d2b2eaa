#include "app/Startup.h"

#include "app/AppState.h"
#include "app/Registry.h"
#include "app/Settings.h"
#include "playback/VlcRuntime.h"
#include "ui/QtServices.h"
#include "ui/main/MainWindow.h"

#include <QApplication>

namespace zentuvo {

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

    MainWindow window(app);
    window.show();
    return QApplication::exec();
}

} // namespace zentuvo
