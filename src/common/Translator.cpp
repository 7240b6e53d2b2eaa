#include "common/Translator.h"

#include "common/Messages.h"
#include "data/Database.h"
#include "data/Terms.h"

namespace zentuvo {

void Translator::setDatabase(const QString& channelDb) {
    if (channelDb != db_)
        cache_.clear();
    db_ = channelDb;
}

const QHash<QString, QString>* Translator::terms(int languageID) {
    auto found = cache_.constFind(languageID);
    if (found != cache_.cend())
        return &*found;
    return &*cache_.insert(languageID, readTerms(db_, languageID));
}

QString Translator::translate(const QString& key, int languageID) {
    try {
        const auto* base = terms(1);
        const QString baseTerm = base->value(key, QStringLiteral("_"));
        if (languageID == 1)
            return baseTerm;
        const auto* chosen = terms(languageID);
        auto found = chosen->constFind(key);
        return found != chosen->cend() ? *found : QStringLiteral("-") + baseTerm;
    } catch (const DbError& e) {
        if (messages_)
            messages_->critical(QStringLiteral("Error translating: ") + e.description());
        return {};
    }
}

QHash<QString, QString> Translator::translatePrefixed(const QString& prefix, int languageID) {
    QHash<QString, QString> found;
    try {
        const auto* base = terms(1);
        const auto* chosen = terms(languageID);
        for (auto it = base->cbegin(); it != base->cend(); ++it) {
            if (it.key().startsWith(prefix))
                found.insert(it.key().mid(prefix.size()), chosen->value(it.key(), it.value()));
        }
    } catch (const DbError& e) {
        if (messages_)
            messages_->critical(QStringLiteral("Error translating: ") + e.description());
    }
    return found;
}

QString Translator::languageName(int languageID) {
    try {
        return readLanguageName(db_, languageID);
    } catch (const DbError& e) {
        if (messages_)
            messages_->critical(QStringLiteral("Error in GetLangNameByID: ") + e.description());
        return {};
    }
}

} // namespace zentuvo
