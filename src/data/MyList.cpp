#include "data/MyList.h"

#include "data/Database.h"
#include "data/VbConvert.h"

namespace zentuvo {

bool MyListRecord::load(const DataContext& ctx) {
    try {
        Connection db(ctx.myListDb, Connection::Mode::ReadOnly);
        auto q = db.prepare(QStringLiteral("SELECT * FROM tab_mylist WHERE channelID = ?"));
        q.bind(1, channelID);
        if (q.next()) {
            channelID = qint32(q.integer("channelID"));
            countryID = qint32(q.integer("countryID"));
            typeID = qint32(q.integer("typeID"));
            codec = q.text("codec");
            name = q.text("name");
            homePage = q.text("homePage");
            streamUrl = q.text("streamUrl");
            const qint64 storedRank = q.integer("rank");
            if (storedRank < -32768 || storedRank > 32767)
                throw DbError(QStringLiteral("Overflow"));
            rank = qint32(storedRank);
            kbps = qint32(q.integer("kbps"));
            description = q.text("description");
            notes = q.text("notes");
            userAgent = q.text("userAgent");
            referrer = q.text("referrer");
            groupName = q.text("groupName");
            tvgId = q.text("tvgId");
            logo = q.text("logo");
        }
        return true;
    } catch (const DbError& e) {
        ctx.reportError(QStringLiteral("Load"), e.description());
        return false;
    }
}

namespace {

// Binds the fifteen data columns in the order countryID, typeID, name, codec, homePage,
// streamUrl, kbps, description, notes, rank, userAgent, referrer, groupName, tvgId, logo.
void bindFields(Statement& q, const MyListRecord& r) {
    q.bind(1, r.countryID)
        .bind(2, r.typeID)
        .bind(3, r.name)
        .bind(4, r.codec)
        .bind(5, r.homePage)
        .bind(6, r.streamUrl)
        .bind(7, r.kbps)
        .bind(8, r.description)
        .bind(9, r.notes)
        .bind(10, r.rank)
        .bind(11, r.userAgent)
        .bind(12, r.referrer)
        .bind(13, r.groupName)
        .bind(14, r.tvgId)
        .bind(15, r.logo);
}

} // namespace

bool MyListRecord::save(const DataContext& ctx) {
    try {
        Connection db(ctx.myListDb);
        auto q = db.prepare(QStringLiteral(
            "INSERT INTO tab_mylist (countryID, typeID, name, codec, homePage, streamUrl, kbps, "
            "description, notes, rank, userAgent, referrer, groupName, tvgId, logo) "
            "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        bindFields(q, *this);
        q.run();
        channelID = qint32(db.lastInsertId());
        return true;
    } catch (const DbError& e) {
        ctx.reportError(QStringLiteral("Save"), e.description());
        return false;
    }
}

bool MyListRecord::update(const DataContext& ctx) {
    try {
        Connection db(ctx.myListDb);
        auto q = db.prepare(QStringLiteral(
            "UPDATE tab_mylist SET countryID = ?, typeID = ?, name = ?, codec = ?, homePage = ?, "
            "streamUrl = ?, kbps = ?, description = ?, notes = ?, rank = ?, userAgent = ?, "
            "referrer = ?, groupName = ?, tvgId = ?, logo = ? WHERE channelID = ?"));
        bindFields(q, *this);
        q.bind(16, channelID);
        q.run();
        return true;
    } catch (const DbError& e) {
        ctx.reportError(QStringLiteral("Update"), e.description());
        return false;
    }
}

} // namespace zentuvo
