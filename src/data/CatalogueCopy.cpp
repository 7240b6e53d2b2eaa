#include "data/CatalogueCopy.h"

#include "data/Database.h"
#include "data/OptionsTable.h"
#include "data/Schema.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace zentuvo {

QString sourceVersion(const QString& dataDir, int replicate) {
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const QDir dir(dataDir);
    for (const char* name : {"catalogue/channels.csv", "catalogue/countries.csv",
                             "catalogue/genres.csv", "terms/languages.csv", "terms/terms.csv"}) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        if (!file.open(QIODevice::ReadOnly))
            return QString();
        hash.addData(name);
        hash.addData(QByteArray::number(file.size()));
        if (!hash.addData(&file))
            return QString();
    }
    hash.addData(QByteArray::number(replicate));
    return QString::fromLatin1(hash.result().toHex());
}

void storeCatalogueVersion(Connection& db, const QString& version) {
    db.prepare(QStringLiteral("DELETE FROM tab_options WHERE code = ?"))
        .bind(1, kCatalogueVersionOption)
        .run();
    db.prepare(QStringLiteral("INSERT INTO tab_options (code, options) VALUES (?, ?)"))
        .bind(1, kCatalogueVersionOption)
        .bind(2, version)
        .run();
}

QString catalogueVersion(const QString& path) {
    const auto stored = readOption(path, kCatalogueVersionOption);
    if (stored && !stored->isEmpty())
        return *stored;
    const QFileInfo file(path);
    return QStringLiteral("file:%1:%2")
        .arg(file.size())
        .arg(file.lastModified().toMSecsSinceEpoch());
}

namespace {

// Carries the favourite marks and the option rows of the catalogue at oldFile into the open
// copy, in one transaction, and gives the copy the installed version.
void carryUserState(Connection& copy, const QString& oldFile, const QString& version) {
    if (QFileInfo::exists(oldFile)) {
        copy.prepare(QStringLiteral("ATTACH DATABASE ? AS old")).bind(1, oldFile).run();
        Connection::Transaction tx(copy);
        copy.exec(QStringLiteral(
            "UPDATE tab_channels SET fav = COALESCE((SELECT o.fav FROM old.tab_channels AS o "
            "WHERE o.code = tab_channels.code), 0) "
            "WHERE code IN (SELECT code FROM old.tab_channels)"));
        copy.prepare(QStringLiteral("DELETE FROM tab_options WHERE code IN "
                                    "(SELECT code FROM old.tab_options WHERE code <> ?)"))
            .bind(1, kCatalogueVersionOption)
            .run();
        copy.prepare(QStringLiteral("INSERT INTO tab_options (code, options) "
                                    "SELECT code, options FROM old.tab_options WHERE code <> ?"))
            .bind(1, kCatalogueVersionOption)
            .run();
        storeCatalogueVersion(copy, version);
        tx.commit();
        copy.exec(QStringLiteral("DETACH DATABASE old"));
        return;
    }
    storeCatalogueVersion(copy, version);
}

} // namespace

QString refreshCatalogueCopy(const QString& installedFile, const QString& userFile) {
    const QString temp = userFile + QStringLiteral(".new");
    const auto fail = [&](const QString& what) {
        QFile::remove(temp);
        return what;
    };
    try {
        const QString version = catalogueVersion(installedFile);
        QFile::remove(temp);
        if (!QFile::copy(installedFile, temp))
            return fail(QStringLiteral("cannot copy %1 to %2").arg(installedFile, temp));
        // The installed file may be read-only; the user's copy is the user's to change.
        QFile::setPermissions(temp,
                              QFile::permissions(temp) | QFile::ReadOwner | QFile::WriteOwner);
        {
            Connection copy(temp);
            carryUserState(copy, userFile, version);
        }
        if (const QString fault = checkCatalogueFile(temp); !fault.isEmpty())
            return fail(fault);
        if (std::rename(QFile::encodeName(temp).constData(),
                        QFile::encodeName(userFile).constData()) != 0)
            return fail(QStringLiteral("cannot rename %1 to %2").arg(temp, userFile));
        return QString();
    } catch (const DbError& e) {
        return fail(e.description());
    }
}

} // namespace zentuvo
