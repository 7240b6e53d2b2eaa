#pragma once
// A programme guide for a fixture program folder, written as an import of one source would.

#include "app/AppContext.h"
#include "data/GuideImport.h"
#include "data/GuideMatch.h"

#include <QBuffer>
#include <QDateTime>
#include <QList>

namespace zentuvo::test {

struct GuideRow {
    QString code; // the catalogue code of the channel
    qint64 start, stop;
    QString title;
    QByteArray extra = {}; // more of the programme's elements, as they are written
};

// Replaces the source's programmes with these; true when the import took them.
inline bool writeGuide(const AppContext& app, const QList<GuideRow>& rows,
                       const QString& source = QStringLiteral("test")) {
    const auto when = [](qint64 t) {
        return QDateTime::fromSecsSinceEpoch(t, Qt::UTC)
                   .toString(QStringLiteral("yyyyMMddHHmmss"))
                   .toLatin1() +
               " +0000";
    };
    QByteArray xml = "<?xml version=\"1.0\"?>\n<tv>\n";
    for (const GuideRow& r : rows)
        xml += "<programme channel=\"" + r.code.toUtf8() + "\" start=\"" + when(r.start) +
               "\" stop=\"" + when(r.stop) + "\"><title>" + r.title.toHtmlEscaped().toUtf8() +
               "</title>" + r.extra + "</programme>\n";
    xml += "</tv>\n";
    QBuffer buffer(&xml);
    buffer.open(QIODevice::ReadOnly);
    return importGuide(app.paths().guideFile(), source, buffer,
                       loadGuideTargets(app.paths().catalogue, app.paths().myList))
        .error.isEmpty();
}

// "HH:mm" of a time in local time, as the lists show it.
inline QString clockAt(qint64 t) {
    return QDateTime::fromSecsSinceEpoch(t).toLocalTime().toString(QStringLiteral("HH:mm"));
}

} // namespace zentuvo::test
