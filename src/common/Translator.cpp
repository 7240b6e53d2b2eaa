#include "common/Translator.h"

#include "common/Messages.h"
#include "data/Database.h"

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
    Connection db(db_, Connection::Mode::ReadOnly);
    auto q =
        db.prepare(QStringLiteral("SELECT code, term FROM tab_languageTerms WHERE languageID = ?"));
    q.bind(1, languageID);
    QHash<QString, QString> loaded;
    while (q.next()) {
        if (!q.isNull(1)) // a NULL term counts as missing
            loaded.insert(q.text(0), q.text(1));
    }
    return &*cache_.insert(languageID, std::move(loaded));
}

QString Translator::Translate(const QString& key, int languageID) {
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

QString Translator::GetLangNameByID(int languageID) {
    try {
        Connection db(db_, Connection::Mode::ReadOnly);
        auto q = db.prepare(QStringLiteral("SELECT name FROM tab_language WHERE languageID = ?"));
        q.bind(1, languageID);
        return q.next() ? q.text(0) : QString();
    } catch (const DbError& e) {
        if (messages_)
            messages_->critical(QStringLiteral("Error in GetLangNameByID: ") + e.description());
        return {};
    }
}

} // namespace zentuvo
