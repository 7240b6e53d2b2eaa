#include "startup/Startup.h"

#include "app/AppContext.h"
#include "app/DataLocation.h"
#include "app/PlayerLocation.h"
#include "app/Settings.h"
#include "playback/VlcPlayer.h"
#include "playback/VlcRuntime.h"
#include "startup/SingleInstance.h"
#include "ui/MainController.h"
#include "ui/QtServices.h"
#include "ui/dialogs/SplashWindow.h"
#include "ui/main/FilePlayback.h"
#include "ui/main/MainTheme.h"
#include "ui/main/MainWindow.h"
#include "ui/record/QuitOnClose.h"
#include "ui/record/RecordLauncher.h"
#include "ui/record/RecordWindow.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <unistd.h>

namespace zentuvo {

namespace {

// Milliseconds since the process started (the kernel's start time in /proc/self/stat, so
// loading the libraries counts too), or -1 when it cannot be read.
double msSinceProcessStart() {
    std::FILE* f = std::fopen("/proc/self/stat", "r");
    if (!f)
        return -1;
    char buffer[1024] = {};
    const size_t n = std::fread(buffer, 1, sizeof buffer - 1, f);
    std::fclose(f);
    buffer[n] = 0;
    const char* p = std::strrchr(buffer, ')'); // the name may hold spaces
    unsigned long long startTicks = 0;
    // After ")": state, then fields 4..21; the start time is field 22.
    if (!p || std::sscanf(p + 2,
                          "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %*u %*u %*d %*d "
                          "%*d %*d %*d %*d %llu",
                          &startTicks) != 1)
        return -1;
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double ticks = double(sysconf(_SC_CLK_TCK));
    return (double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6) -
           double(startTicks) * 1e3 / ticks;
}

// With ZENTUVO_REPORT_STARTUP set, prints "startup_ms N" once the filled main window has
// been painted, and ends the program when the value is "exit" (for scripts/bench).
void reportStartupWhenShown(QObject* context) {
    if (!qEnvironmentVariableIsSet("ZENTUVO_REPORT_STARTUP"))
        return;
    QTimer::singleShot(0, context, [] {
        std::printf("startup_ms %.0f ms\n", msSinceProcessStart());
        std::fflush(stdout);
        if (qEnvironmentVariable("ZENTUVO_REPORT_STARTUP") == QLatin1String("exit"))
            QCoreApplication::quit();
    });
}

// Sources handed to the program: the window comes to the front, playlists open the import
// window filled in, other files play.
void openSources(MainWindow& window, MainController& controller, const QStringList& sources) {
    window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.show();
    window.raise();
    window.activateWindow();
    // A dialog open on the window stays above it.
    if (QWidget* dialog = QApplication::activeModalWidget()) {
        dialog->raise();
        dialog->activateWindow();
    }
    for (const QString& source : sources) {
        if (isPlaylistSource(source))
            controller.importPlaylist(source);
        else
            controller.files().playFile(source);
    }
}

} // namespace

int runApplication(int argc, char** argv) {
    // The player draws into X11 windows only: on a Wayland session use XWayland.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zentuvo"));
    QApplication::setApplicationVersion(kVersion);
    applyApplicationTheme();

    QtMessageService messages;
    QtDesktopService desktop;
    AppContext app(messages, desktop);
    // A program already running on the same data takes the command line and comes forward.
    const AppPaths paths = currentAppPaths();
    const QStringList sources =
        commandLineSources(QApplication::arguments().mid(1), QDir::currentPath());
    SingleInstance instance(SingleInstance::serverName(paths.folder));
    if (instance.handOver(sources))
        return 0;
    if (!instance.listen())
        qWarning("zentuvo: later starts cannot reach this program");
    if (prepareStart(app, playerLibraryUsable, playerInstallDir(), paths) != StartResult::Continue)
        return 1;

    SplashWindow splash;
    splash.setCaptions(app);
    splash.showCentred();
    MainWindow window(app);
    MainController controller(app, window, [] { return createVlcPlayer(); });
    splash.close();
    QuitOnClose quitOnClose(controller.recorder());
    window.installEventFilter(&quitOnClose);
    window.show();
    reportStartupWhenShown(&window);
    QObject::connect(&instance, &SingleInstance::argumentsReceived, &window,
                     [&](const QStringList& handed) { openSources(window, controller, handed); });
    if (!sources.isEmpty())
        QTimer::singleShot(0, &window, [&] { openSources(window, controller, sources); });
    const int code = QApplication::exec();
    controller.shutdown();
    return code;
}

} // namespace zentuvo
