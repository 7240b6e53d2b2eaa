#include "data/ChannelInfo.h"

#include "data/Database.h"
#include "data/ErrorReporter.h"
#include "data/StoredValue.h"

namespace zentuvo {

void DataContext::reportError(const QString& routine, const QString& description) const {
    if (errors)
        errors->reportError(QStringLiteral("Error in %1: %2").arg(routine, description));
}

QString GetCountryCHname(const DataContext& ctx, int countryID) {
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

std::optional<cChannel> GetChannelInfo(const DataContext& ctx, int channelID) {
    try {
        cChannel ch;
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
                return ctx.cipher->DecryptStreamAddress(q.text(name));
            };
            ch.Name = q.text("name");
            ch.url = plain("streamUrl");
            ch.HomePage = plain("homePage");
            ch.Description = plain("description");
            ch.Country = q.text("countryName");
            ch.userAgent = q.text("userAgent");
            ch.referrer = q.text("referrer");
        }
        return ch;
    } catch (const DbError& e) {
        ctx.reportError(QStringLiteral("GetChannelInfo"), e.description());
        return std::nullopt;
    }
}

std::optional<cChannel> GetMyListChannelInfo(const DataContext& ctx, int channelID) {
    try {
        cChannel ch;
        int countryID = 0;
        bool found = false;
        {
            Connection db(ctx.myListDb, Connection::Mode::ReadOnly);
            auto q = db.prepare(QStringLiteral("SELECT * FROM tab_mylist WHERE channelID = ?"));
            q.bind(1, channelID);
            if (q.next()) {
                found = true;
                ch.Name = q.text("name");
                ch.url = q.text("streamUrl");
                ch.HomePage = q.text("homePage");
                countryID = int(q.integer("countryID"));
                ch.Description = q.text("description");
            }
        }
        if (found)
            ch.Country = GetCountryCHname(ctx, countryID);
        return ch;
    } catch (const DbError& e) {
        ctx.reportError(QStringLiteral("GetMyListChannelInfo"), e.description());
        return std::nullopt;
    }
}

std::optional<cChannel> lookupChannel(const DataContext& ctx, ChannelRef channel) {
    switch (channel.kind()) {
    case ChannelRef::Kind::Catalogue:
        return GetChannelInfo(ctx, channel.number());
    case ChannelRef::Kind::MyList:
        return GetMyListChannelInfo(ctx, channel.number());
    case ChannelRef::Kind::File:
    case ChannelRef::Kind::None:
        break;
    }
    return std::nullopt;
}

} // namespace zentuvo
