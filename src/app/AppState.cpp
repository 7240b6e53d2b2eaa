#include "app/AppState.h"

#include "app/IniFile.h"
#include "common/Messages.h"

namespace zentuvo {

AppState::AppState(MessageService& messages_, DesktopService& desktop_)
    : messages(messages_), desktop(desktop_), BlowfishCipher(&messages_) {
    translator.setMessages(&messages);
}

DataContext AppState::data() {
    return DataContext{ChannelConnectionString, MyListConnectionString, &BlowfishCipher, &messages};
}

QString AppState::Translate(const QString& key) {
    translator.setDatabase(ChannelConnectionString);
    return translator.Translate(key, LanguageID);
}

QString AppState::GetLangNameByID(int languageID) {
    translator.setDatabase(ChannelConnectionString);
    return translator.GetLangNameByID(languageID);
}

QString AppState::link(const QString& key) const {
    if (IniFileName.isEmpty())
        return {};
    return IniFile(IniFileName).read(QStringLiteral("links"), key).value_or(QString());
}

} // namespace zentuvo
