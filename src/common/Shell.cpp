#include "common/Shell.h"

#include "app/AppState.h"
#include "common/Messages.h"

#include <QDir>
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

void ShellOpen(DesktopService& desktop, const QString& operation, const QString& file) {
    Q_UNUSED(operation); // "Open" is the only operation the program asks for
    const QString target = file.trimmed();
    if (target.isEmpty())
        return;
    if (isAddress(target))
        desktop.openUrl(target);
    else
        desktop.openFile(QFileInfo(target).absoluteFilePath());
}

void OpenHomePage(AppState& app) {
    const QString page = app.link(QStringLiteral("HomePage")).trimmed();
    if (page.isEmpty()) {
        HelpManual(app);
        return;
    }
    ShellOpen(app.desktop, QStringLiteral("Open"), page);
}

void OpenPlayerDownloadPage(AppState& app) {
    ShellOpen(app.desktop, QStringLiteral("Open"), kPlayerDownloadPage);
}

void HelpManual(AppState& app) {
    const QString path = QDir(app.AppFolder).filePath(kManualFile);
    if (!QFileInfo(path).isFile()) {
        app.messages.critical(QStringLiteral("Error in HelpManual: the manual %1 is missing")
                                  .arg(QDir::toNativeSeparators(path)));
        return;
    }
    if (!app.desktop.openFile(path))
        app.messages.critical(
            QStringLiteral("Error in HelpManual: no program is registered to show %1")
                .arg(QDir::toNativeSeparators(path)));
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

bool OpenMailTo(AppState& app, const QString& linkKey, const QString& subject,
                const QString& body) {
    const QString address = app.link(linkKey).trimmed();
    if (address.isEmpty()) {
        app.messages.information(
            QStringLiteral("No mail address is configured. Add one as \"%1\" in section "
                           "[links] of Zentuvo.ini.")
                .arg(linkKey));
        return false;
    }
    ShellOpen(app.desktop, QStringLiteral("Open"), mailToAddress(address, subject, body));
    return true;
}

} // namespace zentuvo
