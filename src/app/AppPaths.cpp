#include "app/AppPaths.h"

namespace zentuvo {

AppPaths AppPaths::inFolder(const QString& folder) {
    const auto file = [&](const QString& name) { return folder + u'/' + name; };
    return AppPaths{folder, file(QStringLiteral("ch.dat")), file(QStringLiteral("mylist.dat")),
                    file(QStringLiteral("Zentuvo.ini"))};
}

} // namespace zentuvo
