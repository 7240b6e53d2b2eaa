#include "common/Shell.h"

#include "common/Messages.h"

#include <QFileInfo>
#include <QUrl>

namespace zentuvo {

namespace {

// An address has a scheme of two or more letters ("https:", "mailto:"); anything else,
// including "C:/...", is taken for a file.
bool isAddress(const QString& text) {
    const qsizetype colon = text.indexOf(u':');
    if (colon < 2)
        return false;
    for (qsizetype i = 0; i < colon; ++i) {
        const QChar c = text[i];
        if (!(c.isLetterOrNumber() || c == u'+' || c == u'-' || c == u'.'))
            return false;
    }
    return text[0].isLetter();
}

} // namespace

void shellOpen(DesktopService& desktop, const QString& operation, const QString& file) {
    Q_UNUSED(operation); // "Open" is the only operation the program asks for
    const QString target = file.trimmed();
    if (target.isEmpty())
        return;
    if (isAddress(target))
        desktop.openUrl(target);
    else
        desktop.openFile(QFileInfo(target).absoluteFilePath());
}

QString mailToAddress(const QString& address, const QString& subject, const QString& body) {
    // The address is encoded too: a "?", "&", "#" or "%" in a configured address would
    // otherwise start or change the query (an added "cc" or "bcc", a cut body).
    QString text = QStringLiteral("mailto:") +
                   QString::fromLatin1(QUrl::toPercentEncoding(address.trimmed(), "@,+!$'*=;:"));
    QStringList query;
    if (!subject.isEmpty())
        query << QStringLiteral("subject=") + QString::fromLatin1(QUrl::toPercentEncoding(subject));
    if (!body.isEmpty())
        query << QStringLiteral("body=") + QString::fromLatin1(QUrl::toPercentEncoding(body));
    if (!query.isEmpty())
        text += u'?' + query.join(u'&');
    return text;
}

} // namespace zentuvo
