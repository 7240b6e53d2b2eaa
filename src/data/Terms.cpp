#include "data/Terms.h"

#include "data/Database.h"

namespace zentuvo {

QHash<QString, QString> readTerms(const QString& channelDb, int languageID) {
    Connection db(channelDb, Connection::Mode::ReadOnly);
    auto q =
        db.prepare(QStringLiteral("SELECT code, term FROM tab_languageTerms WHERE languageID = ?"));
    q.bind(1, languageID);
    QHash<QString, QString> terms;
    while (q.next()) {
        if (!q.isNull(1))
            terms.insert(q.text(0), q.text(1));
    }
    return terms;
}

QString readLanguageName(const QString& channelDb, int languageID) {
    Connection db(channelDb, Connection::Mode::ReadOnly);
    auto q = db.prepare(QStringLiteral("SELECT name FROM tab_language WHERE languageID = ?"));
    q.bind(1, languageID);
    return q.next() ? q.text(0) : QString();
}

} // namespace zentuvo
