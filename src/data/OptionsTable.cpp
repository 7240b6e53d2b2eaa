#include "data/OptionsTable.h"

#include "data/Database.h"

namespace zentuvo {

std::optional<QString> readOption(const QString& channelDb, const QString& code) {
    Connection db(channelDb, Connection::Mode::ReadOnly);
    auto q = db.prepare(QStringLiteral("SELECT options FROM tab_options WHERE code = ?"));
    q.bind(1, code);
    if (!q.next())
        return std::nullopt;
    return q.isNull(0) ? QString() : q.text(0);
}

void writeOption(const QString& channelDb, const QString& code, const QString& value) {
    Connection db(channelDb);
    auto q = db.prepare(QStringLiteral("SELECT options FROM tab_options WHERE code = ?"));
    q.bind(1, code);
    const bool exists = q.next();
    auto write = db.prepare(
        exists ? QStringLiteral("UPDATE tab_options SET options = ? WHERE code = ?")
               : QStringLiteral("INSERT INTO tab_options (options, code) VALUES (?, ?)"));
    write.bind(1, value).bind(2, code).run();
}

} // namespace zentuvo
