#include "app/PlayerLocation.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace zentuvo {

QString playerInstallDir() {
    const QString vlc = QStandardPaths::findExecutable(QStringLiteral("vlc"));
    return vlc.isEmpty() ? QString() : QFileInfo(vlc).absolutePath();
}

} // namespace zentuvo
