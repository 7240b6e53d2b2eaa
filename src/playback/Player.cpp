#include "playback/Player.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace zentuvo {

Player::Player(QObject* parent) : QObject(parent) {
    // The players of the player library announce their state through queued calls.
    qRegisterMetaType<PlayerState>();
}

AddressKind classifyAddress(const QString& mrl, QString* path) {
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://\\S"));
    const QString text = mrl.trimmed();
    if (scheme.match(text).hasMatch())
        return AddressKind::Location;
    if (text.isEmpty())
        return AddressKind::Unusable;
    // A bare text is a local file only when it names one (relative to the working folder).
    const QFileInfo file(text);
    if (file.isAbsolute() || file.exists()) {
        if (path)
            *path = file.absoluteFilePath();
        return AddressKind::LocalPath;
    }
    return AddressKind::Unusable;
}

} // namespace zentuvo
