#include "data/Favourites.h"

#include "data/Database.h"

namespace zentuvo {

bool toggleFavourite(const QString& channelDb, int channelID) {
    Connection db(channelDb);
    bool wasFavourite = false;
    {
        auto q = db.prepare(QStringLiteral("SELECT fav FROM tab_channels WHERE channelID = ?"));
        q.bind(1, channelID);
        wasFavourite = q.next() && !q.isNull(0) && q.integer(0) != 0;
    }
    auto update = db.prepare(
        QStringLiteral("UPDATE tab_channels SET fav = ? WHERE (tab_channels.channelID = ? ) "));
    update.bind(1, wasFavourite ? 0 : 1).bind(2, channelID).run();
    return !wasFavourite;
}

} // namespace zentuvo
