#include "app/StreamAddress.h"

#include <QFileInfo>
#include <QStringList>

namespace zentuvo {

namespace {

const QStringList& knownSchemes() {
    static const QStringList schemes = {QStringLiteral("http"), QStringLiteral("https"),
                                        QStringLiteral("rtmp"), QStringLiteral("rtsp"),
                                        QStringLiteral("mms"),  QStringLiteral("mmsh"),
                                        QStringLiteral("udp"),  QStringLiteral("rtp"),
                                        QStringLiteral("srt"),  QStringLiteral("file")};
    return schemes;
}

} // namespace

bool isStreamAddress(const QString& text) {
    const QString address = text.trimmed();
    const qsizetype separator = address.indexOf(QStringLiteral("://"));
    if (separator > 0) {
        const QString rest = address.mid(separator + 3);
        return knownSchemes().contains(address.left(separator), Qt::CaseInsensitive) &&
               !rest.isEmpty() && !rest.at(0).isSpace();
    }
    const QFileInfo file(address);
    return !address.isEmpty() && file.isAbsolute() && file.isFile();
}

QString streamAddressSchemes() {
    QStringList shown;
    for (const QString& scheme : knownSchemes())
        shown << scheme + QStringLiteral("://");
    return shown.join(QStringLiteral(", "));
}

} // namespace zentuvo
