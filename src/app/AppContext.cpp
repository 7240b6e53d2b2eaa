#include "app/AppContext.h"

#include "common/Messages.h"

namespace zentuvo {

AppContext::AppContext(MessageService& messages_, DesktopService& desktop_)
    : messages(messages_), desktop(desktop_), cipher_(&messages_) {
    translator_.setMessages(&messages);
}

void AppContext::setPaths(const AppPaths& paths) {
    paths_ = paths;
    preferences_.setSettingsFile(paths_.settingsFile);
    translator_.setDatabase(paths_.catalogue);
}

DataContext AppContext::data() {
    return DataContext{paths_.catalogue, paths_.myList, &cipher_, &messages};
}

QString AppContext::translate(const QString& key) {
    return translator_.translate(key, preferences_.language());
}

QHash<QString, QString> AppContext::genreNames() {
    return translator_.translatePrefixed(QStringLiteral("_genre_"), preferences_.language());
}

QString AppContext::languageName(int languageID) {
    return translator_.languageName(languageID);
}

} // namespace zentuvo
