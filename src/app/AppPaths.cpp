#include "app/AppPaths.h"

#include <QFileInfo>

namespace zentuvo {

AppPaths AppPaths::inFolder(const QString& folder) {
    const auto file = [&](const QString& name) { return folder + u'/' + name; };
    AppPaths paths;
    paths.folder = folder;
    paths.catalogue = file(QStringLiteral("ch.dat"));
    paths.myList = file(QStringLiteral("mylist.dat"));
    paths.settingsFile = file(QStringLiteral("Zentuvo.ini"));
    paths.cacheFolder = file(QStringLiteral("cache"));
    paths.manual = file(QStringLiteral("Zentuvo.html"));
    return paths;
}

QString AppPaths::healthFile() const {
    const QString beside = catalogue.isEmpty() ? folder : QFileInfo(catalogue).path();
    return beside + QStringLiteral("/health.dat");
}

} // namespace zentuvo
