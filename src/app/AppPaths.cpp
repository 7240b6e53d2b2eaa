#include "app/AppPaths.h"

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

} // namespace zentuvo
