// zentuvo-layout: run by the build to lay out the data files next to the program. The
// catalogue is built when absent and refreshed when present, so favourites survive a
// rebuild; My List and the settings file are created only when absent.
#include "app/Settings.h"
#include "data/Catalogue.h"
#include "data/Schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>

using namespace zentuvo;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const qsizetype d = args.indexOf("--data"), a = args.indexOf("--app");
    if (d < 0 || a < 0 || d + 1 >= args.size() || a + 1 >= args.size()) {
        std::fputs("usage: zentuvo-layout --data DIR --app DIR\n", stderr);
        return 2;
    }
    const QString data = args[d + 1];
    const QDir appDir(args[a + 1]);
    const QString channels = appDir.filePath("ch.dat");
    const auto r = QFileInfo::exists(channels) ? updateCatalogue(data, channels)
                                               : buildCatalogue(data, channels);
    if (!r.ok) {
        std::fprintf(stderr, "zentuvo-layout: %s: %s\n", qPrintable(channels), qPrintable(r.error));
        return 1;
    }
    QString error;
    if (!createMyListDatabase(appDir.filePath("mylist.dat"), &error)) {
        std::fprintf(stderr, "zentuvo-layout: mylist.dat: %s\n", qPrintable(error));
        return 1;
    }
    if (!writeDefaultSettingsFile(appDir.filePath(kIniName))) {
        std::fputs("zentuvo-layout: cannot write Zentuvo.ini\n", stderr);
        return 1;
    }
    const QString manual = QDir(data).filePath("Zentuvo.html");
    if (QFileInfo::exists(manual)) {
        QFile::remove(appDir.filePath("Zentuvo.html"));
        QFile::copy(manual, appDir.filePath("Zentuvo.html"));
    }
    return 0;
}
