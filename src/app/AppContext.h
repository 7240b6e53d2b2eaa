#pragma once

#include "app/AppPaths.h"
#include "app/Preferences.h"
#include "common/Translator.h"
#include "data/DataContext.h"
#include "data/StoredValue.h"

#include <QString>

namespace zentuvo {

class MessageService;
class DesktopService;

inline const QString kVersion = QStringLiteral("6.1");
inline const QString kBuild = QStringLiteral("14-264");
inline const QString kPlayerDownloadPage = QStringLiteral("https://www.videolan.org/vlc/");

// What the parts of the program share, made once at start-up: the services (messages, the
// desktop, the translator and the cipher of stored values), where the files are, and the
// preferences.
class AppContext {
public:
    AppContext(MessageService& messages, DesktopService& desktop);
    AppContext(const AppContext&) = delete;
    AppContext& operator=(const AppContext&) = delete;

    MessageService& messages;
    DesktopService& desktop;

    const AppPaths& paths() const { return paths_; }
    // Start-up only: where the files are, once they have been found.
    void setPaths(const AppPaths& paths);

    Preferences& preferences() { return preferences_; }
    const Preferences& preferences() const { return preferences_; }

    StoredValueCipher& cipher() { return cipher_; }

    // What database operations need, from the paths above.
    DataContext data();

    // An interface text in the preferred language.
    QString translate(const QString& key);
    // The display names of the catalogue's genres in the preferred language, by stored name
    // (terms "_genre_<name>"); a genre missing here is shown as stored.
    QHash<QString, QString> genreNames();
    // The name of a language of the catalogue.
    QString languageName(int languageID);

private:
    AppPaths paths_;
    Preferences preferences_;
    StoredValueCipher cipher_;
    Translator translator_;
};

} // namespace zentuvo
