#include "app/DataLocation.h"

#include "app/Settings.h"
#include "data/CatalogueCopy.h"
#include "data/Database.h"
#include "data/Schema.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>

#ifndef ZENTUVO_INSTALLED_DATA_DIR
#define ZENTUVO_INSTALLED_DATA_DIR "../share/zentuvo"
#endif

namespace zentuvo {

namespace {

const QString kCatalogueName = QStringLiteral("ch.dat");

QString cleanFolder(const QString& folder) {
    return QDir::cleanPath(QDir(folder).absolutePath());
}

// The installed catalogue has another version than the user's copy (or there is no copy).
bool catalogueChanged(const QString& installed, const QString& user, QStringList& faults) {
    if (!QFileInfo::exists(user))
        return true;
    QString installedVersion;
    try {
        installedVersion = catalogueVersion(installed);
    } catch (const DbError& e) {
        faults << QStringLiteral("%1: %2").arg(installed, e.description());
        return false;
    }
    try {
        return catalogueVersion(user) != installedVersion;
    } catch (const DbError&) {
        return true; // an unreadable copy: try a fresh one (the refresh keeps it on failure)
    }
}

} // namespace

UserFolders standardUserFolders() {
    const auto at = [](QStandardPaths::StandardLocation location) {
        return QStandardPaths::writableLocation(location);
    };
    return UserFolders{
        at(QStandardPaths::GenericDataLocation), at(QStandardPaths::GenericConfigLocation),
        at(QStandardPaths::GenericCacheLocation), at(QStandardPaths::MoviesLocation)};
}

QString installedDataFolder(const QString& programFolder) {
    return cleanFolder(programFolder + u'/' + QStringLiteral(ZENTUVO_INSTALLED_DATA_DIR));
}

AppPaths chooseAppPaths(const QString& programFolder, const QString& zentuvoHome,
                        const QString& installedData, const UserFolders& user) {
    if (!zentuvoHome.isEmpty())
        return AppPaths::inFolder(cleanFolder(zentuvoHome));
    const QString program = cleanFolder(programFolder);
    if (QFileInfo(QDir(program).filePath(kCatalogueName)).isFile() ||
        !QFileInfo(QDir(installedData).filePath(kCatalogueName)).isFile())
        return AppPaths::inFolder(program);
    const auto ours = [](const QString& base, const QString& name) {
        return cleanFolder(base) + u'/' + name;
    };
    AppPaths paths = AppPaths::inFolder(ours(user.data, QStringLiteral("zentuvo")));
    paths.settingsFile = ours(user.config, QStringLiteral("zentuvo/") + kIniName);
    paths.cacheFolder = ours(user.cache, QStringLiteral("zentuvo"));
    paths.installedData = cleanFolder(installedData);
    paths.manual = QDir(paths.installedData).filePath(QStringLiteral("Zentuvo.html"));
    paths.userRecordFolder = ours(user.videos, QStringLiteral("Zentuvo"));
    return paths;
}

AppPaths currentAppPaths() {
    const QString program = QCoreApplication::applicationDirPath();
    return chooseAppPaths(program, qEnvironmentVariable("ZENTUVO_HOME"),
                          installedDataFolder(program), standardUserFolders());
}

QString prepareUserData(const AppPaths& paths) {
    if (paths.portable())
        return QString();
    QStringList faults;
    const QString settingsFolder = QFileInfo(paths.settingsFile).absolutePath();
    for (const QString& folder : {paths.folder, settingsFolder}) {
        if (!QDir().mkpath(folder))
            return QStringLiteral("cannot create the folder %1").arg(folder);
    }
    const QString installed = QDir(paths.installedData).filePath(kCatalogueName);
    if (catalogueChanged(installed, paths.catalogue, faults)) {
        if (const QString fault = refreshCatalogueCopy(installed, paths.catalogue);
            !fault.isEmpty())
            faults << QStringLiteral("%1: %2").arg(paths.catalogue, fault);
    }
    QString error;
    if (!createMyListDatabase(paths.myList, &error))
        faults << QStringLiteral("%1: %2").arg(paths.myList, error);
    const QString installedIni = QDir(paths.installedData).filePath(kIniName);
    if (!QFileInfo::exists(paths.settingsFile)) {
        const bool made = QFileInfo::exists(installedIni)
                              ? QFile::copy(installedIni, paths.settingsFile) &&
                                    QFile::setPermissions(paths.settingsFile,
                                                          QFile::permissions(paths.settingsFile) |
                                                              QFile::ReadOwner | QFile::WriteOwner)
                              : writeDefaultSettingsFile(paths.settingsFile);
        if (!made)
            faults << QStringLiteral("cannot write %1").arg(paths.settingsFile);
    }
    return faults.join(QStringLiteral("; "));
}

} // namespace zentuvo
