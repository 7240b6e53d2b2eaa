#include "data/ChannelProperties.h"

#include "data/Database.h"
#include "data/StoredValue.h"

namespace zentuvo {

std::optional<ChannelProperties> readChannelProperties(const QString& channelDb,
                                                       StoredValueCipher& cipher, int channelID) {
    Connection db(channelDb, Connection::Mode::ReadOnly);
    auto q = db.prepare(
        QStringLiteral("SELECT name, homePage, description FROM tab_channels WHERE channelID = ?"));
    q.bind(1, channelID);
    if (!q.next())
        return std::nullopt;
    const auto plain = [&](int column) {
        return q.isNull(column) ? QString() : cipher.decryptStreamAddress(q.text(column));
    };
    ChannelProperties p;
    p.name = q.text(0);
    p.homePage = plain(1);
    p.description = plain(2);
    return p;
}

} // namespace zentuvo
