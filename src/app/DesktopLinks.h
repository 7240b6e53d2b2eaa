#pragma once

#include <QString>

namespace zentuvo {

class AppContext;

// The product's home page ("HomePage" in section "links" of the settings file); the manual
// when no home page is configured.
void openHomePage(AppContext& app);

// The player's download page.
void openPlayerDownloadPage(AppContext& app);

// The manual, Zentuvo.html next to the program. Reports "Error in HelpManual: ..." when it
// is missing or nothing can show it.
void openManual(AppContext& app);

// Prepares a mail to a configured address ("SupportMail" or "SubmitMail" in section
// "links") with subject and body. With no address configured it says so (information icon)
// and returns false.
bool openMailTo(AppContext& app, const QString& linkKey, const QString& subject = {},
                const QString& body = {});

} // namespace zentuvo
