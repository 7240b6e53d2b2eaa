#include "app/PlayerLocation.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace zentuvo {

QString playerInstallDir(const std::function<bool()>& playerUsable) {
    const QString vlc = QStandardPaths::findExecutable(QStringLiteral("vlc"));
    if (vlc.isEmpty() || (playerUsable && !playerUsable()))
        return {};
    return QFileInfo(vlc).absolutePath();
}

} // namespace zentuvo
