#include "app/Preferences.h"

#include "app/IniFile.h"

namespace zentuvo {

QString Preferences::link(const QString& key) const {
    if (settingsFile_.isEmpty())
        return {};
    return IniFile(settingsFile_).read(QStringLiteral("links"), key).value_or(QString());
}

} // namespace zentuvo
