#include "app/DesktopLinks.h"

#include "app/AppContext.h"
#include "common/Messages.h"
#include "common/Shell.h"

#include <QDir>
#include <QFileInfo>

namespace zentuvo {

void openHomePage(AppContext& app) {
    const QString page = app.preferences().link(QStringLiteral("HomePage")).trimmed();
    if (page.isEmpty()) {
        openManual(app);
        return;
    }
    shellOpen(app.desktop, QStringLiteral("Open"), page);
}

void openPlayerDownloadPage(AppContext& app) {
    shellOpen(app.desktop, QStringLiteral("Open"), kPlayerDownloadPage);
}

void openManual(AppContext& app) {
    const QString& path = app.paths().manual;
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

bool openMailTo(AppContext& app, const QString& linkKey, const QString& subject,
                const QString& body) {
    const QString address = app.preferences().link(linkKey).trimmed();
    if (address.isEmpty()) {
        app.messages.information(
            app.translate(QStringLiteral("_frmMain_msgNoMailAddress")).arg(linkKey));
        return false;
    }
    shellOpen(app.desktop, QStringLiteral("Open"), mailToAddress(address, subject, body));
    return true;
}

} // namespace zentuvo
