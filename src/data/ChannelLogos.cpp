#include "data/ChannelLogos.h"

#include "data/Database.h"
#include "data/GuideStore.h"

#include <QFileInfo>

namespace zentuvo {

QHash<quint64, QString> guideIcons(const QString& guideDb) {
    QHash<quint64, QString> out;
    if (guideDb.isEmpty() || !QFileInfo::exists(guideDb))
        return out;
    Connection db(guideDb, Connection::Mode::ReadOnly);
    auto q = db.prepare(QStringLiteral("SELECT kind, number, icon FROM guide_channel "
                                       "WHERE icon IS NOT NULL AND icon <> '' "
                                       "ORDER BY kind, number, sourceID"));
    while (q.next()) {
        const quint64 key = guideChannel(q.integer(0), q.integer(1)).key();
        if (!out.contains(key))
            out.insert(key, q.text(2).trimmed());
    }
    return out;
}

QHash<quint64, QString> myListLogos(const QString& myListDb) {
    QHash<quint64, QString> out;
    if (myListDb.isEmpty())
        return out;
    Connection db(myListDb, Connection::Mode::ReadOnly);
    // A file written before logos were kept has no such column.
    auto has = db.prepare(QStringLiteral(
        "SELECT 1 FROM pragma_table_info('tab_mylist') WHERE name = 'logo' COLLATE NOCASE"));
    if (!has.next())
        return out;
    auto q = db.prepare(QStringLiteral(
        "SELECT channelID, logo FROM tab_mylist WHERE logo IS NOT NULL AND TRIM(logo) <> ''"));
    while (q.next())
        out.insert(ChannelRef::myList(qint32(q.integer(0))).key(), q.text(1).trimmed());
    return out;
}

QHash<quint64, QString> channelLogos(const QHash<quint64, QString>& myListLogos,
                                     const QHash<quint64, QString>& guideIcons) {
    QHash<quint64, QString> out = guideIcons;
    for (auto it = myListLogos.cbegin(); it != myListLogos.cend(); ++it)
        if (!it.value().isEmpty())
            out.insert(it.key(), it.value());
    return out;
}

QHash<quint64, QString> readChannelLogos(const QString& myListDb, const QString& guideDb) {
    return channelLogos(myListLogos(myListDb), guideIcons(guideDb));
}

} // namespace zentuvo
