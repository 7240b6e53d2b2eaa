#include "data/Catalogue.h"

#include "data/CatalogueCopy.h"
#include "data/Csv.h"
#include "data/Database.h"
#include "data/Schema.h"
#include "data/StoredValue.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSaveFile>

namespace zentuvo {

namespace {

struct Channel {
    QString code, name, country, genre, homePage, description, streamUrl, userAgent, referrer;
};

struct Language {
    int id = 0;
    QString code, name;
};

struct SourceData {
    QStringList countries;
    QHash<QString, QString> countryCodes; // name -> ISO code, where the source gives one
    QStringList genres;
    QList<Channel> channels;
    QList<Language> languages;
    QList<QStringList> termRows; // code, then one text per language (in `languages` order)
};

class SourceError {
public:
    QString text;
};

CsvTable load(const QString& path, const QStringList& required) {
    QString error;
    auto table = readCsvFile(path, &error);
    if (!table)
        throw SourceError{error};
    for (const auto& name : required) {
        if (table->column(name) < 0)
            throw SourceError{QStringLiteral("%1: no column '%2'").arg(path, name)};
    }
    return *table;
}

SourceData readSource(const QString& dataDir) {
    const QDir dir(dataDir);
    SourceData data;
    const auto countries = load(dir.filePath(QStringLiteral("catalogue/countries.csv")), {"name"});
    const int codeColumn = countries.column("code");
    for (const auto& row : countries.rows) {
        data.countries << row[countries.column("name")];
        if (codeColumn >= 0 && !row[codeColumn].isEmpty())
            data.countryCodes.insert(row[countries.column("name")], row[codeColumn]);
    }
    const auto genres = load(dir.filePath(QStringLiteral("catalogue/genres.csv")), {"name"});
    for (const auto& row : genres.rows)
        data.genres << row[genres.column("name")];

    const QStringList columns{"id",          "name",       "country",    "genre",   "homepage",
                              "description", "stream_url", "user_agent", "referrer"};
    const auto channels = load(dir.filePath(QStringLiteral("catalogue/channels.csv")), columns);
    QList<int> at;
    for (const auto& c : columns)
        at << channels.column(c);
    QSet<QString> codes;
    for (const auto& row : channels.rows) {
        const Channel ch{row[at[0]], row[at[1]], row[at[2]], row[at[3]], row[at[4]],
                         row[at[5]], row[at[6]], row[at[7]], row[at[8]]};
        if (ch.code.isEmpty() || codes.contains(ch.code))
            throw SourceError{
                QStringLiteral("channels.csv: empty or repeated id '%1'").arg(ch.code)};
        codes.insert(ch.code);
        if (!data.countries.contains(ch.country))
            throw SourceError{QStringLiteral("channels.csv: %1 has unknown country '%2'")
                                  .arg(ch.code, ch.country)};
        if (!data.genres.contains(ch.genre))
            throw SourceError{
                QStringLiteral("channels.csv: %1 has unknown genre '%2'").arg(ch.code, ch.genre)};
        data.channels << ch;
    }

    const auto languages =
        load(dir.filePath(QStringLiteral("terms/languages.csv")), {"languageID", "code", "name"});
    for (const auto& row : languages.rows) {
        bool ok = false;
        Language lang{row[languages.column("languageID")].toInt(&ok), row[languages.column("code")],
                      row[languages.column("name")]};
        if (!ok || lang.id <= 0)
            throw SourceError{
                QStringLiteral("languages.csv: bad languageID for %1").arg(lang.code)};
        data.languages << lang;
    }
    QStringList termColumns{"code"};
    for (const auto& lang : data.languages)
        termColumns << lang.code;
    const auto terms = load(dir.filePath(QStringLiteral("terms/terms.csv")), termColumns);
    for (const auto& row : terms.rows) {
        QStringList out;
        for (const auto& c : termColumns)
            out << row[terms.column(c)];
        data.termRows << out;
    }
    return data;
}

// Numbers by name: names already numbered keep their number, new names get the next free.
QHash<QString, int> numberNames(Connection& db, const QString& table, const QString& idColumn,
                                const QString& nameColumn, const QStringList& names) {
    QHash<QString, int> ids;
    int next = 1;
    {
        auto q =
            db.prepare(QStringLiteral("SELECT %1, %2 FROM %3").arg(idColumn, nameColumn, table));
        while (q.next()) {
            ids.insert(q.text(1), int(q.integer(0)));
            next = std::max(next, int(q.integer(0)) + 1);
        }
    }
    QSet<QString> wanted(names.cbegin(), names.cend());
    auto del = db.prepare(QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(table, idColumn));
    for (auto it = ids.begin(); it != ids.end();) {
        if (!wanted.contains(it.key())) {
            del.bind(1, it.value()).run();
            del.reset();
            it = ids.erase(it);
        } else {
            ++it;
        }
    }
    auto ins = db.prepare(
        QStringLiteral("INSERT INTO %1 (%2, %3) VALUES (?, ?)").arg(table, idColumn, nameColumn));
    for (const auto& name : names) {
        if (ids.contains(name))
            continue;
        ids.insert(name, next);
        ins.bind(1, next++).bind(2, name).run();
        ins.reset();
    }
    return ids;
}

void writeTerms(Connection& db, const SourceData& data) {
    db.exec(QStringLiteral("DELETE FROM tab_languageTerms; DELETE FROM tab_language;"));
    auto lang =
        db.prepare(QStringLiteral("INSERT INTO tab_language (languageID, name) VALUES (?, ?)"));
    for (const auto& l : data.languages) {
        lang.bind(1, l.id).bind(2, l.name).run();
        lang.reset();
    }
    auto term = db.prepare(
        QStringLiteral("INSERT INTO tab_languageTerms (code, languageID, term) VALUES (?, ?, ?)"));
    for (const auto& row : data.termRows) {
        for (qsizetype i = 0; i < data.languages.size(); ++i) {
            if (row[i + 1].isEmpty())
                continue; // a missing translation falls back to the base language
            term.bind(1, row[0]).bind(2, data.languages[i].id).bind(3, row[i + 1]).run();
            term.reset();
        }
    }
}

void bindOptional(Statement& q, int index, const QString& s) {
    if (s.isEmpty())
        q.bindNull(index);
    else
        q.bind(index, s);
}

// Stores the countries' codes (added as a column to a catalogue made before they were kept).
void writeCountryCodes(Connection& db, const SourceData& data) {
    addMissingColumns(db, QStringLiteral("tab_country"),
                      {{QStringLiteral("code"), QStringLiteral("TEXT")}});
    auto q = db.prepare(QStringLiteral("UPDATE tab_country SET code = ? WHERE countryName = ?"));
    for (const QString& name : data.countries) {
        bindOptional(q, 1, data.countryCodes.value(name));
        q.bind(2, name).run();
        q.reset();
    }
}

// Binds the channel columns 1..10: name, streamUrl, homePage, description, countryID,
// typeID, code, userAgent, referrer (9 values) in that order.
void bindChannel(Statement& q, StoredValueCipher& cipher, const Channel& ch,
                 const QHash<QString, int>& countries, const QHash<QString, int>& genres) {
    q.bind(1, ch.name);
    q.bind(2, ch.streamUrl.isEmpty() ? QString() : cipher.encrypt(ch.streamUrl));
    if (ch.homePage.isEmpty())
        q.bindNull(3);
    else
        q.bind(3, cipher.encrypt(ch.homePage));
    if (ch.description.isEmpty())
        q.bindNull(4);
    else
        q.bind(4, cipher.encrypt(ch.description));
    q.bind(5, countries.value(ch.country));
    q.bind(6, genres.value(ch.genre));
    q.bind(7, ch.code);
    bindOptional(q, 8, ch.userAgent);
    bindOptional(q, 9, ch.referrer);
}

CatalogueResult fail(const QString& text) {
    CatalogueResult r;
    r.error = text;
    return r;
}

} // namespace

CatalogueResult buildCatalogue(const QString& dataDir, const QString& outFile, int replicate) {
    try {
        const SourceData data = readSource(dataDir);
        const QString temp = outFile + QStringLiteral(".building");
        QFile::remove(temp);
        CatalogueResult result;
        {
            Connection db(temp, Connection::Mode::Create);
            db.exec(QStringLiteral("PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF;"));
            Connection::Transaction tx(db);
            createCatalogueSchema(db);
            const auto countries =
                numberNames(db, "tab_country", "countryID", "countryName", data.countries);
            writeCountryCodes(db, data);
            const auto genres = numberNames(db, "tab_type", "typeID", "description", data.genres);
            StoredValueCipher cipher;
            auto ins = db.prepare(QStringLiteral(
                "INSERT INTO tab_channels (name, streamUrl, homePage, description, countryID, "
                "typeID, code, userAgent, referrer, fav) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, 0)"));
            for (int copy = 0; copy < std::max(1, replicate); ++copy) {
                for (Channel ch : data.channels) {
                    if (copy > 0) {
                        ch.name += QStringLiteral(" %1").arg(copy + 1);
                        ch.code += QStringLiteral("#%1").arg(copy + 1);
                    }
                    bindChannel(ins, cipher, ch, countries, genres);
                    ins.run();
                    ins.reset();
                    ++result.channels;
                }
            }
            writeTerms(db, data);
            db.exec(QStringLiteral(
                "INSERT INTO tab_options (code, options) VALUES ('RememberCountry', '1')"));
            storeCatalogueVersion(db, sourceVersion(dataDir, replicate));
            tx.commit();
        }
        QFile::remove(outFile);
        if (!QFile::rename(temp, outFile))
            return fail(QStringLiteral("cannot write %1").arg(outFile));
        result.terms = int(data.termRows.size());
        result.ok = true;
        return result;
    } catch (const SourceError& e) {
        return fail(e.text);
    } catch (const DbError& e) {
        return fail(e.description());
    }
}

CatalogueResult updateCatalogue(const QString& dataDir, const QString& dbFile) {
    try {
        const SourceData data = readSource(dataDir);
        Connection db(dbFile);
        Connection::Transaction tx(db);
        createCatalogueSchema(db);
        const auto countries =
            numberNames(db, "tab_country", "countryID", "countryName", data.countries);
        writeCountryCodes(db, data);
        const auto genres = numberNames(db, "tab_type", "typeID", "description", data.genres);

        QHash<QString, qint64> existing;
        {
            auto q = db.prepare(QStringLiteral("SELECT channelID, code FROM tab_channels"));
            while (q.next())
                existing.insert(q.text(1), q.integer(0));
        }
        StoredValueCipher cipher;
        auto upd = db.prepare(QStringLiteral(
            "UPDATE tab_channels SET name = ?, streamUrl = ?, homePage = ?, description = ?, "
            "countryID = ?, typeID = ?, code = ?, userAgent = ?, referrer = ? "
            "WHERE channelID = ?"));
        auto ins = db.prepare(QStringLiteral(
            "INSERT INTO tab_channels (name, streamUrl, homePage, description, countryID, "
            "typeID, code, userAgent, referrer, fav) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, 0)"));
        QSet<QString> listed;
        CatalogueResult result;
        for (const auto& ch : data.channels) {
            listed.insert(ch.code);
            auto found = existing.constFind(ch.code);
            Statement& q = found != existing.cend() ? upd : ins;
            bindChannel(q, cipher, ch, countries, genres);
            if (found != existing.cend())
                q.bind(10, *found);
            q.run();
            q.reset();
            ++result.channels;
        }
        auto del = db.prepare(QStringLiteral("DELETE FROM tab_channels WHERE channelID = ?"));
        for (auto it = existing.cbegin(); it != existing.cend(); ++it) {
            if (!listed.contains(it.key())) {
                del.bind(1, it.value()).run();
                del.reset();
            }
        }
        writeTerms(db, data);
        storeCatalogueVersion(db, sourceVersion(dataDir));
        tx.commit();
        result.terms = int(data.termRows.size());
        result.ok = true;
        return result;
    } catch (const SourceError& e) {
        return fail(e.text);
    } catch (const DbError& e) {
        return fail(e.description());
    }
}

namespace {

void writeFile(const QString& path, const QString& text) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0 || !file.commit())
        throw SourceError{QStringLiteral("cannot write %1: %2").arg(path, file.errorString())};
}

} // namespace

CatalogueResult exportCatalogue(const QString& dbFile, const QString& outDir) {
    try {
        Connection db(dbFile, Connection::Mode::ReadOnly);
        const QDir out(outDir);
        if (!out.mkpath(QStringLiteral("catalogue")) || !out.mkpath(QStringLiteral("terms")))
            return fail(QStringLiteral("cannot create folders in %1").arg(outDir));
        StoredValueCipher cipher;
        auto plain = [&](const Statement& q, const char* column) {
            if (q.isNull(QString::fromLatin1(column)))
                return QString();
            const QString stored = q.text(QString::fromLatin1(column));
            if (stored.isEmpty())
                return QString();
            QString error;
            auto text = cipher.tryDecrypt(stored, &error);
            if (!text)
                throw SourceError{QStringLiteral("channel %1: %2 does not decipher: %3")
                                      .arg(q.text("code"), QString::fromLatin1(column), error)};
            return *text;
        };
        CatalogueResult result;
        QString channels = csvLine({"id", "name", "country", "genre", "homepage", "description",
                                    "stream_url", "user_agent", "referrer"});
        auto q = db.prepare(
            QStringLiteral("SELECT c.*, k.countryName, t.description AS genre FROM tab_channels c "
                           "LEFT JOIN tab_country k ON c.countryID = k.countryID "
                           "LEFT JOIN tab_type t ON c.typeID = t.typeID ORDER BY c.channelID"));
        while (q.next()) {
            channels += csvLine({q.text("code"), q.text("name"), q.text("countryName"),
                                 q.text("genre"), plain(q, "homePage"), plain(q, "description"),
                                 plain(q, "streamUrl"), q.text("userAgent"), q.text("referrer")});
            ++result.channels;
        }
        writeFile(out.filePath(QStringLiteral("catalogue/channels.csv")), channels);

        auto names = [&](const QString& sql) {
            QString text = csvLine({"name"});
            auto s = db.prepare(sql);
            while (s.next())
                text += csvLine({s.text(0)});
            return text;
        };
        writeFile(
            out.filePath(QStringLiteral("catalogue/countries.csv")),
            names(QStringLiteral("SELECT countryName FROM tab_country ORDER BY countryName")));
        writeFile(out.filePath(QStringLiteral("catalogue/genres.csv")),
                  names(QStringLiteral("SELECT description FROM tab_type ORDER BY description")));

        QList<Language> languages;
        QString langText = csvLine({"languageID", "code", "name"});
        {
            auto s = db.prepare(QStringLiteral("SELECT languageID, name FROM tab_language "
                                               "ORDER BY languageID"));
            while (s.next()) {
                Language l{int(s.integer(0)), QStringLiteral("l%1").arg(s.integer(0)), s.text(1)};
                languages << l;
                langText += csvLine({QString::number(l.id), l.code, l.name});
            }
        }
        writeFile(out.filePath(QStringLiteral("terms/languages.csv")), langText);
        QStringList header{"code"};
        for (const auto& l : languages)
            header << l.code;
        QString terms = csvLine(header);
        QMap<QString, QHash<int, QString>> byCode;
        {
            auto s =
                db.prepare(QStringLiteral("SELECT code, languageID, term FROM tab_languageTerms"));
            while (s.next())
                byCode[s.text(0)].insert(int(s.integer(1)), s.text(2));
        }
        for (auto it = byCode.cbegin(); it != byCode.cend(); ++it) {
            QStringList row{it.key()};
            for (const auto& l : languages)
                row << it.value().value(l.id);
            terms += csvLine(row);
            ++result.terms;
        }
        writeFile(out.filePath(QStringLiteral("terms/terms.csv")), terms);
        result.ok = true;
        return result;
    } catch (const SourceError& e) {
        return fail(e.text);
    } catch (const DbError& e) {
        return fail(e.description());
    }
}

} // namespace zentuvo
