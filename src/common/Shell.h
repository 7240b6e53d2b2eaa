#pragma once

#include <QString>

namespace zentuvo {

class AppState;
class DesktopService;

// Opens a web or mail address, or a file, with the program the desktop has registered for
// it. Every caller passes the operation "Open". The desktop's answer is not examined.
void ShellOpen(DesktopService& desktop, const QString& operation, const QString& file);

// The product's home page ("HomePage" in section "links" of the settings file); the manual
// when no home page is configured.
void OpenHomePage(AppState& app);

// The player's download page.
void OpenPlayerDownloadPage(AppState& app);

// The manual, Zentuvo.html next to the program. Reports "Error in HelpManual: ..." when it
// is missing or nothing can show it.
void HelpManual(AppState& app);

// Prepares a mail to a configured address ("SupportMail" or "SubmitMail" in section
// "links") with subject and body. With no address configured it says so (information icon)
// and returns false.
bool OpenMailTo(AppState& app, const QString& linkKey, const QString& subject = {},
                const QString& body = {});

// The "mailto:" text for an address, subject and body, each part encoded for a URL (the
// address too, but for its "@" and list separators).
QString mailToAddress(const QString& address, const QString& subject, const QString& body);

inline const QString kManualFile = QStringLiteral("Zentuvo.html");

} // namespace zentuvo
