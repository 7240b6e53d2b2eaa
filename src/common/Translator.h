#pragma once

#include <QHash>
#include <QString>

namespace zentuvo {

class MessageService;

// Looks up interface texts by term key in the catalogue's term table. Language 1 is the
// base language and the fallback of every term:
//   key in the base language only, base language chosen -> the base text;
//   key missing in the base language                     -> "_";
//   translation missing in another language              -> "-" + the base text.
// The terms of a language are read once, on its first lookup.
class Translator {
public:
    Translator() = default;
    void setDatabase(const QString& channelDb);
    void setMessages(MessageService* messages) { messages_ = messages; }

    QString translate(const QString& key, int languageID);
    QString languageName(int languageID);
    // Every term whose key starts with `prefix`, by the rest of its key, in the language
    // (the base text where it has no translation).
    QHash<QString, QString> translatePrefixed(const QString& prefix, int languageID);

    // Forgets what was read, so that the next lookup reads the table again.
    void clearCache() { cache_.clear(); }

private:
    const QHash<QString, QString>* terms(int languageID);

    QString db_;
    MessageService* messages_ = nullptr;
    QHash<int, QHash<QString, QString>> cache_;
};

} // namespace zentuvo
