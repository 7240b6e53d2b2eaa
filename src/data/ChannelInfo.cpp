#include "data/ChannelInfo.h"

#include "data/Database.h"
#include "data/ErrorReporter.h"
#include "data/StoredValue.h"

namespace zentuvo {

void DataContext::reportError(const QString& routine, const QString& description) const {
    if (errors)
        errors->reportError(QStringLiteral("Error in %1: %2").arg(routine, description));
}

QString countryName(const DataContext& ctx, int countryID) {
    try {
        Connection db(ctx.channelDb, Connection::Mode::ReadOnly);
        auto q =
            db.prepare(QStringLiteral("SELECT countryName FROM tab_country WHERE countryID = ?"));
        q.bind(1, countryID);
        return q.next() ? q.text(0) : QString();
    } catch (const DbError& e) {
        ctx.reportError(QStringLiteral("GetCountryCHname"), e.description());
        return {};
    }
}

std::optional<ChannelInfo> channelInfo(const DataContext& ctx, int channelID) {
    try {
        ChannelInfo ch;
        Connection db(ctx.channelDb, Connection::Mode::ReadOnly);
        auto q = db.prepare(QStringLiteral(
            "SELECT tab_channels.*, tab_country.countryName FROM tab_channels INNER JOIN "
            "tab_country ON tab_channels.countryID = tab_country.countryID WHERE channelID = ?"));
        q.bind(1, channelID);
        if (q.next()) {
            auto plain = [&](const char* column) {
                const QString name = QString::fromLatin1(column);
                if (q.isNull(name) || !ctx.cipher)
                    return QString();
                return ctx.cipher->decryptStreamAddress(q.text(name));
            };
            ch.name = q.text("name");
            ch.url = plain("streamUrl");
            ch.homePage = plain("homePage");
            ch.description = plain("description");
            ch.country = q.text("countryName");
            ch.userAgent = q.text("userAgent");
            ch.referrer = q.text("referrer");
        }
        return ch;
    } catch (const DbError& e) {
        ctx.reportError(QStringLiteral("GetChannelInfo"), e.description());
        return std::nullopt;
    }
}

std::optional<ChannelInfo> myListChannelInfo(const DataContext& ctx, int channelID) {
    try {
        ChannelInfo ch;
        int countryID = 0;
        bool found = false;
        {
            Connection db(ctx.myListDb, Connection::Mode::ReadOnly);
            auto q = db.prepare(QStringLiteral("SELECT * FROM tab_mylist WHERE channelID = ?"));
            q.bind(1, channelID);
            if (q.next()) {
                found = true;
                ch.name = q.text("name");
                ch.url = q.text("streamUrl");
                ch.homePage = q.text("homePage");
                countryID = int(q.integer("countryID"));
                ch.description = q.text("description");
                ch.userAgent = q.text("userAgent");
                ch.referrer = q.text("referrer");
            }
        }
        if (found)
            ch.country = countryName(ctx, countryID);
        return ch;
    } catch (const DbError& e) {
        ctx.reportError(QStringLiteral("GetMyListChannelInfo"), e.description());
        return std::nullopt;
    }
}

std::optional<ChannelInfo> lookupChannel(const DataContext& ctx, ChannelRef channel) {
    switch (channel.kind()) {
    case ChannelRef::Kind::Catalogue:
        return channelInfo(ctx, channel.number());
    case ChannelRef::Kind::MyList:
        return myListChannelInfo(ctx, channel.number());
    case ChannelRef::Kind::File:
    case ChannelRef::Kind::None:
        break;
    }
    return std::nullopt;
}

} // namespace zentuvo
