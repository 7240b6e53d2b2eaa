#pragma once

#include <QString>

namespace zentuvo {

// The text that names a channel wherever one travels: the decimal channel number, one
// blank and a kind, "CH_ID" (catalogue) or "MY_ID" (My List); "-1 FL" for a local file.
namespace ChannelKey {

inline const QString kCatalogue = QStringLiteral("CH_ID");
inline const QString kMyList = QStringLiteral("MY_ID");
inline const QString kFile = QStringLiteral("-1 FL");

inline QString catalogue(qint64 channelID) {
    return QString::number(channelID) + u' ' + kCatalogue;
}
inline QString myList(qint64 channelID) {
    return QString::number(channelID) + u' ' + kMyList;
}

// The leading number of the key rounded to 32 bits; 0 when there is none or it does not
// fit.
int number(const QString& key);
// All text after the first blank; "" when there is no blank.
QString kind(const QString& key);

} // namespace ChannelKey
} // namespace zentuvo
