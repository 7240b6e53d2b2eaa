#pragma once

#include <QString>

namespace zentuvo {

class DesktopService;

// Opens a web or mail address, or a file, with the program the desktop has registered for
// it. Every caller passes the operation "Open". The desktop's answer is not examined.
void shellOpen(DesktopService& desktop, const QString& operation, const QString& file);

// The "mailto:" text for an address, subject and body, each part encoded for a URL (the
// address too, but for its "@" and list separators).
QString mailToAddress(const QString& address, const QString& subject, const QString& body);

inline const QString kManualFile = QStringLiteral("Zentuvo.html");

} // namespace zentuvo
