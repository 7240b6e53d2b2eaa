#pragma once

#include "common/Translator.h"
#include "data/DataContext.h"
#include "data/MyList.h"
#include "data/StoredValue.h"

#include <QString>

namespace zentuvo {

class MessageService;
class DesktopService;

inline const QString kVersion = QStringLiteral("6.1");
inline const QString kBuild = QStringLiteral("14-264");
inline const QString kPlayerDownloadPage = QStringLiteral("https://www.videolan.org/vlc/");

// The program-wide state: created once at start-up and handed to whoever needs it.
class AppState {
public:
    AppState(MessageService& messages, DesktopService& desktop);
    AppState(const AppState&) = delete;
    AppState& operator=(const AppState&) = delete;

    MessageService& messages;
    DesktopService& desktop;

    QString AppFolder;
    QString IniFileName;
    QString ChannelArchivePath;
    QString ChannelConnectionString;
    QString MyListArchivePath;
    QString MyListConnectionString;

    int LanguageID = 1;
    int DefaultCountryID = 0;
    int VideoSizeMode = 0;
    int RememberCountryFlag = 0;

    QString PlayerUserAgentOption;
    QString VlcInstallDir;
    QString RecordFolder;

    StoredValueCipher BlowfishCipher;
    cViewFilter ViewFilter;
    cMyList CurrentMyList;
    Translator translator;

    // What database operations need, from the paths above.
    DataContext data();

    QString Translate(const QString& key);
    QString GetLangNameByID(int languageID);

    // A configured address of section "links" of the settings file ("HomePage",
    // "SupportMail", "SubmitMail"); "" when none is configured.
    QString link(const QString& key) const;
};

} // namespace zentuvo
