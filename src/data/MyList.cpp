#include "data/MyList.h"

#include "data/Database.h"
#include "data/VbConvert.h"

namespace zentuvo {

bool cMyList::Load(const DataContext& ctx) {
    try {
        Connection db(ctx.myListDb, Connection::Mode::ReadOnly);
        auto q = db.prepare(QStringLiteral("SELECT * FROM tab_mylist WHERE channelID = ?"));
        q.bind(1, channelID);
        if (q.next()) {
            channelID = qint32(q.integer("channelID"));
            countryID = qint32(q.integer("countryID"));
            TypeID = qint32(q.integer("typeID"));
            Codec = q.text("codec");
            Name = q.text("name");
            HomePage = q.text("homePage");
            streamUrl = q.text("streamUrl");
            const qint64 rank = q.integer("rank");
            if (rank < -32768 || rank > 32767)
                throw DbError(QStringLiteral("Overflow"));
            Rank = qint32(rank);
            Kbps = qint32(q.integer("kbps"));
            Description = q.text("description");
            Notes = q.text("notes");
        }
        return true;
    } catch (const DbError& e) {
        ctx.reportError(QStringLiteral("Load"), e.description());
        return false;
    }
}

namespace {

// Binds the ten data columns in the order countryID, typeID, name, codec, homePage,
// streamUrl, kbps, description, notes, rank.
void bindFields(Statement& q, const cMyList& r) {
    q.bind(1, r.countryID)
        .bind(2, r.TypeID)
        .bind(3, r.Name)
        .bind(4, r.Codec)
        .bind(5, r.HomePage)
        .bind(6, r.streamUrl)
        .bind(7, r.Kbps)
        .bind(8, r.Description)
        .bind(9, r.Notes)
        .bind(10, r.Rank);
}

} // namespace

bool cMyList::Save(const DataContext& ctx) {
    try {
        Connection db(ctx.myListDb);
        auto q = db.prepare(QStringLiteral(
            "INSERT INTO tab_mylist (countryID, typeID, name, codec, homePage, streamUrl, kbps, "
            "description, notes, rank) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        bindFields(q, *this);
        q.run();
        channelID = qint32(db.lastInsertId());
        return true;
    } catch (const DbError& e) {
        ctx.reportError(QStringLiteral("Save"), e.description());
        return false;
    }
}

bool cMyList::Update(const DataContext& ctx) {
    try {
        Connection db(ctx.myListDb);
        auto q = db.prepare(QStringLiteral(
            "UPDATE tab_mylist SET countryID = ?, typeID = ?, name = ?, codec = ?, homePage = ?, "
            "streamUrl = ?, kbps = ?, description = ?, notes = ?, rank = ? WHERE channelID = ?"));
        bindFields(q, *this);
        q.bind(11, channelID);
        q.run();
        return true;
    } catch (const DbError& e) {
        ctx.reportError(QStringLiteral("Update"), e.description());
        return false;
    }
}

} // namespace zentuvo
