#pragma once

#include <QHash>
#include <QString>

namespace zentuvo {

// The catalogue's interface texts (tab_languageTerms) and language names (tab_language).

// Every term of a language by its key; a NULL term counts as missing. Throws DbError.
QHash<QString, QString> readTerms(const QString& channelDb, int languageID);

// The name of a language; "" when there is no such language. Throws DbError.
QString readLanguageName(const QString& channelDb, int languageID);

} // namespace zentuvo
