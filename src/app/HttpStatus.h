#pragma once

#include <QNetworkReply>
#include <QNetworkRequest>
#include <QString>

namespace zentuvo {

// The HTTP status of a reply; 0 when there was none.
inline int httpStatus(const QNetworkReply* reply) {
    return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
}

// "404 Not Found", or the bare code when the server gave no reason phrase.
inline QString httpStatusText(const QNetworkReply* reply) {
    const QString phrase =
        reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString().trimmed();
    const QString code = QString::number(httpStatus(reply));
    return phrase.isEmpty() ? code : code + u' ' + phrase;
}

} // namespace zentuvo
