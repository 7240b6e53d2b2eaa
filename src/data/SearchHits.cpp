#include "data/CatalogueSearch.h"
#include "data/Database.h"
#include "data/StoredValue.h"

#include <QHash>

namespace zentuvo {

namespace {

QHash<qint64, QString> namesOf(Connection& db, const QString& sql) {
    QHash<qint64, QString> out;
    auto q = db.prepare(sql);
    while (q.next())
        out.insert(q.integer(0), q.isNull(1) ? QString() : q.text(1));
    return out;
}

} // namespace

SearchOutcome searchHitsOf(const QString& channelDb, const QString& myListDb,
                           const QList<ChannelRef>& channels) {
    SearchOutcome out;
    try {
        Connection catalogue(channelDb, Connection::Mode::ReadOnly);
        const QHash<qint64, QString> countries =
            namesOf(catalogue, QStringLiteral("SELECT countryID, countryName FROM tab_country"));
        const QHash<qint64, QString> genres =
            namesOf(catalogue, QStringLiteral("SELECT typeID, description FROM tab_type"));
        auto channel = catalogue.prepare(
            QStringLiteral("SELECT name, description, countryID, typeID FROM tab_channels "
                           "WHERE channelID = ? AND streamUrl <> ''"));
        std::optional<Connection> mine;
        std::optional<Statement> own;
        StoredValueCipher cipher;
        for (const ChannelRef ref : channels) {
            ++out.scanned;
            SearchHit hit;
            hit.channelID = ref.number();
            if (ref.kind() == ChannelRef::Kind::Catalogue) {
                channel.bind(1, qint64(ref.number()));
                const bool found = channel.next() && !channel.isNull(2) && !channel.isNull(3) &&
                                   countries.contains(channel.integer(2)) &&
                                   genres.contains(channel.integer(3));
                if (found) {
                    hit.name = channel.text(0);
                    if (!channel.isNull(1)) {
                        QString error;
                        if (auto plain = cipher.tryDecrypt(channel.text(1), &error))
                            hit.description = std::move(*plain);
                        else if (out.decipherFailures++ == 0)
                            out.decipherError = error;
                    }
                    hit.countryName = countries.value(channel.integer(2));
                    const QString genre = genres.value(channel.integer(3));
                    hit.genre = genre.isNull() ? QStringLiteral("?") : genre;
                }
                channel.reset();
                if (found)
                    out.hits.push_back(std::move(hit));
            } else if (ref.kind() == ChannelRef::Kind::MyList) {
                if (!own) {
                    mine.emplace(myListDb, Connection::Mode::ReadOnly);
                    own.emplace(mine->prepare(
                        QStringLiteral("SELECT countryID, name, description, groupName "
                                       "FROM tab_mylist WHERE channelID = ? AND streamUrl <> ''")));
                }
                own->bind(1, qint64(ref.number()));
                const bool found = own->next();
                if (found) {
                    hit.countryName = own->isNull(0) ? QString() : countries.value(own->integer(0));
                    hit.name = own->text(1);
                    hit.description = own->text(2);
                    hit.genre = own->text(3);
                    hit.myList = true;
                }
                own->reset();
                if (found)
                    out.hits.push_back(std::move(hit));
            }
        }
    } catch (const DbError& e) {
        out.error = e.description();
    }
    return out;
}

} // namespace zentuvo
