#include "app/Settings.h"

#include "app/AppContext.h"
#include "app/DataLocation.h"
#include "app/IniFile.h"
#include "app/ScheduleSettings.h"
#include "common/Messages.h"
#include "data/Database.h"
#include "data/OptionsTable.h"
#include "data/Schema.h"
#include "data/VbConvert.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace zentuvo {

namespace {

const QString kLanguage = QStringLiteral("language");
const QString kDefaultCountry = QStringLiteral("DefaultCountry");
const QString kDefaultVideoSize = QStringLiteral("DefaultVideoSize");
const QString kRememberCountry = QStringLiteral("RememberCountry");
const QString kMyListGroup = QStringLiteral("MyListGroup");
const QString kHideOffline = QStringLiteral("HideOffline");
const QString kCheckShownList = QStringLiteral("CheckShownList");
const QString kSearchTitles = QStringLiteral("SearchProgrammeTitles");
const QString kGuideRefreshHours = QStringLiteral("GuideRefreshHours");
const QString kUngrouped = QStringLiteral("ungrouped");
const QString kGroupPrefix = QStringLiteral("group:");

void writeOrThrow(AppContext& app, const QString& key, int value) {
    if (!IniFile(app.paths().settingsFile).write(kPreferences, key, QString::number(value)))
        throw DbError(
            QStringLiteral("cannot write the settings file %1").arg(app.paths().settingsFile));
}

} // namespace

QString defaultAppFolder() {
    const QString home = qEnvironmentVariable("ZENTUVO_HOME");
    QString folder = home.isEmpty() ? QCoreApplication::applicationDirPath() : home;
    folder = QDir::cleanPath(QDir(folder).absolutePath());
    return folder;
}

bool readSettings(AppContext& app, const QString& appFolder) {
    return readSettings(app, AppPaths::inFolder(appFolder));
}

bool readSettings(AppContext& app, const AppPaths& paths) {
    try {
        app.setPaths(paths);
        if (!QFileInfo(app.paths().catalogue).isFile()) {
            const QString path = QDir::toNativeSeparators(app.paths().catalogue);
            app.messages.critical(
                QStringLiteral("Channel archive file does not exist.\n%1\nBuild the program "
                               "(scripts/run) or create it with: zentuvo-catalogue build --data "
                               "data --out %1")
                    .arg(path));
            return false;
        }
        // An empty, cut, foreign or locked file would otherwise open as an empty catalogue.
        if (const QString fault = checkCatalogueFile(app.paths().catalogue); !fault.isEmpty()) {
            app.messages.critical(QStringLiteral("Channel archive file %1 cannot be used: %2.")
                                      .arg(QDir::toNativeSeparators(app.paths().catalogue), fault));
            return false;
        }
        if (!QFileInfo(app.paths().myList).isFile()) {
            const QString path = QDir::toNativeSeparators(app.paths().myList);
            app.messages.critical(
                QStringLiteral("MyList archive file does not exist.\n%1\nBuild the program "
                               "(scripts/run) or create it with: zentuvo-layout --data data "
                               "--app %2")
                    .arg(path,
                         QDir::toNativeSeparators(QFileInfo(app.paths().myList).absolutePath())));
            return false;
        }
        // A list kept by an earlier version gains the columns of the playlist fields here,
        // keeping every row.
        QString fault = checkMyListFile(app.paths().myList);
        if (fault.isEmpty())
            fault = upgradeMyListFile(app.paths().myList);
        if (!fault.isEmpty()) {
            app.messages.critical(QStringLiteral("MyList archive file %1 cannot be used: %2.")
                                      .arg(QDir::toNativeSeparators(app.paths().myList), fault));
            return false;
        }
        const IniFile ini(app.paths().settingsFile);
        // A settings file that exists but cannot be read counts as missing; it is not
        // overwritten either (IniFile::write refuses a file it cannot read).
        if (!ini.exists() || !QFileInfo(app.paths().settingsFile).isReadable()) {
            app.messages.critical(QStringLiteral("I cannot read ini file.\r\nCheck presence of "
                                                 "file .ini in program directory!\r\n") +
                                  QDir::toNativeSeparators(app.paths().settingsFile));
            app.preferences().setLanguage(1);
            return true;
        }
        const auto language = ini.read(kPreferences, kLanguage);
        app.preferences().setLanguage(language ? toInt16Strict(*language) : 1);
        app.preferences().setRememberCountry(readRememberCountry(app));
        app.preferences().setDefaultCountry(readDefaultCountry(app));
        app.preferences().setVideoSizeMode(readDefaultVideoSize(app));
        app.preferences().setMyListGroup(readMyListGroup(app));
        readChannelCheckOptions(app);
        readSearchTitles(app);
        readGuideRefreshHours(app);
        readScheduleMargins(app);
        return true;
    } catch (const ConversionError& e) {
        app.messages.critical(QStringLiteral("Error n° %1 %2\r in ReadSettings")
                                  .arg(e.number())
                                  .arg(e.description()));
        return false;
    }
}

int readDefaultCountry(AppContext& app) {
    try {
        const auto value = IniFile(app.paths().settingsFile).read(kPreferences, kDefaultCountry);
        if (!value) {
            writeOrThrow(app, kDefaultCountry, 0);
            return 0;
        }
        return toInt16Strict(*value);
    } catch (const ConversionError& e) {
        app.messages.critical(QStringLiteral("Error in ReadDefaultCountry: ") + e.description());
    } catch (const DbError& e) {
        app.messages.critical(QStringLiteral("Error in ReadDefaultCountry: ") + e.description());
    }
    return 0;
}

void saveDefaultCountry(AppContext& app) {
    try {
        writeOrThrow(app, kDefaultCountry, app.preferences().defaultCountry());
    } catch (const DbError& e) {
        app.messages.critical(QStringLiteral("Error in SetDefaultCountry: ") + e.description());
    }
}

MyListGroupFilter readMyListGroup(AppContext& app) {
    const QString value =
        IniFile(app.paths().settingsFile).read(kPreferences, kMyListGroup).value_or(QString());
    if (value == kUngrouped)
        return MyListGroupFilter::noGroup();
    if (value.startsWith(kGroupPrefix) && value.size() > kGroupPrefix.size())
        return MyListGroupFilter::ofGroup(value.mid(kGroupPrefix.size()));
    return MyListGroupFilter::all();
}

void saveMyListGroup(AppContext& app) {
    const MyListGroupFilter group = app.preferences().myListGroup();
    QString value;
    if (group.kind == MyListGroupFilter::Kind::NoGroup)
        value = kUngrouped;
    // Quoted, so that blanks at either end stay; a name that would break the line is not kept.
    else if (group.kind == MyListGroupFilter::Kind::Group && !group.group.contains(u'\n') &&
             !group.group.contains(u'\r'))
        value = u'"' + kGroupPrefix + group.group + u'"';
    if (!IniFile(app.paths().settingsFile).write(kPreferences, kMyListGroup, value))
        app.messages.critical(QStringLiteral("Error in SetMyListGroup: cannot write the settings "
                                             "file %1")
                                  .arg(app.paths().settingsFile));
}

void readChannelCheckOptions(AppContext& app) {
    const IniFile ini(app.paths().settingsFile);
    app.preferences().setHideOffline(ini.read(kPreferences, kHideOffline) == QStringLiteral("1"));
    app.preferences().setCheckShownList(ini.read(kPreferences, kCheckShownList) ==
                                        QStringLiteral("1"));
}

void saveChannelCheckOptions(AppContext& app) {
    const IniFile ini(app.paths().settingsFile);
    const auto flag = [](bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); };
    if (!ini.write(kPreferences, kHideOffline, flag(app.preferences().hideOffline())) ||
        !ini.write(kPreferences, kCheckShownList, flag(app.preferences().checkShownList())))
        app.messages.critical(QStringLiteral("Error in SetChannelCheckOptions: cannot write the "
                                             "settings file %1")
                                  .arg(app.paths().settingsFile));
}

void readSearchTitles(AppContext& app) {
    app.preferences().setSearchTitles(
        IniFile(app.paths().settingsFile).read(kPreferences, kSearchTitles) == QStringLiteral("1"));
}

void saveSearchTitles(AppContext& app) {
    if (!IniFile(app.paths().settingsFile)
             .write(kPreferences, kSearchTitles,
                    app.preferences().searchTitles() ? QStringLiteral("1") : QStringLiteral("0")))
        app.messages.critical(QStringLiteral("Error in SetSearchTitles: cannot write the settings "
                                             "file %1")
                                  .arg(app.paths().settingsFile));
}

void readGuideRefreshHours(AppContext& app) {
    bool ok = false;
    const int hours = IniFile(app.paths().settingsFile)
                          .read(kPreferences, kGuideRefreshHours)
                          .value_or(QString())
                          .trimmed()
                          .toInt(&ok);
    app.preferences().setGuideRefreshHours(ok && hours >= 1 && hours <= 720 ? hours : 12);
}

void saveGuideRefreshHours(AppContext& app) {
    if (!IniFile(app.paths().settingsFile)
             .write(kPreferences, kGuideRefreshHours,
                    QString::number(app.preferences().guideRefreshHours())))
        app.messages.critical(QStringLiteral("Error in SetGuideRefreshHours: cannot write the "
                                             "settings file %1")
                                  .arg(app.paths().settingsFile));
}

int readDefaultVideoSize(AppContext& app) {
    try {
        const auto value = IniFile(app.paths().settingsFile).read(kPreferences, kDefaultVideoSize);
        const int mode = value ? toInt16Strict(*value) : 0;
        return mode >= 0 && mode <= 2 ? mode : 0;
    } catch (const ConversionError& e) {
        app.messages.critical(QStringLiteral("Error in ReadDefaultVideoSize: ") + e.description());
        return 0;
    }
}

void saveDefaultVideoSize(AppContext& app) {
    try {
        writeOrThrow(app, kDefaultVideoSize, app.preferences().videoSizeMode());
    } catch (const DbError& e) {
        app.messages.critical(QStringLiteral("Error in SetDefaultVideoSize: ") + e.description());
    }
}

void saveLanguage(AppContext& app) {
    try {
        writeOrThrow(app, kLanguage, app.preferences().language());
    } catch (const DbError& e) {
        app.messages.critical(QStringLiteral("Error in cmdOK_Click: ") + e.description());
    }
}

int readRememberCountry(AppContext& app) {
    try {
        const std::optional<QString> flag = readOption(app.paths().catalogue, kRememberCountry);
        return flag && !flag->isNull() ? roundToInt32(leadingNumber(*flag)) : 0;
    } catch (const DbError& e) {
        app.messages.critical(QStringLiteral("Error in ReadRememberCountry: ") + e.description());
    } catch (const ConversionError& e) {
        app.messages.critical(QStringLiteral("Error in ReadRememberCountry: ") + e.description());
    }
    return 0;
}

void saveRememberCountry(AppContext& app) {
    try {
        writeOption(app.paths().catalogue, kRememberCountry,
                    QString::number(app.preferences().rememberCountry()));
    } catch (const DbError& e) {
        app.messages.critical(QStringLiteral("Error in SetRememberCountry: ") + e.description());
    }
}

QString programUserAgent() {
    return QStringLiteral("Mozilla/5.0 (X11; U; Linux i686; en-US; rv:1.9.0.6) Gecko/2009020911 "
                          "Ubuntu/8.10 (intrepid) Firefox/3.0.6");
}

QString buildPlayerUserAgentOption() {
    QString option = QStringLiteral(":http-user-agent=") + programUserAgent();
    return option.replace(u' ', u'+');
}

QString chooseRecordFolder(const QString& appFolder) {
    const QString recorded = appFolder + QStringLiteral("/Recorded");
    return QFileInfo(recorded).isDir() ? recorded : appFolder;
}

QString chooseRecordFolder(const AppPaths& paths, const std::optional<QString>& configured) {
    if (configured && !configured->trimmed().isEmpty())
        return QDir::cleanPath(QDir(paths.folder).absoluteFilePath(configured->trimmed()));
    return paths.portable() ? chooseRecordFolder(paths.folder) : paths.userRecordFolder;
}

bool writeDefaultSettingsFile(const QString& path) {
    if (QFileInfo::exists(path))
        return true;
    const IniFile ini(path);
    return ini.write(kPreferences, kLanguage, QStringLiteral("1")) &&
           ini.write(kPreferences, kDefaultCountry, QStringLiteral("-1")) &&
           ini.write(kPreferences, kDefaultVideoSize, QStringLiteral("2")) &&
           ini.write(QStringLiteral("links"), QStringLiteral("HomePage"), QString()) &&
           ini.write(QStringLiteral("links"), QStringLiteral("SupportMail"), QString()) &&
           ini.write(QStringLiteral("links"), QStringLiteral("SubmitMail"), QString());
}

StartResult prepareStart(AppContext& app, const std::function<bool()>& playerLibraryUsable,
                         const QString& playerDir, const QString& appFolder) {
    return prepareStart(app, playerLibraryUsable, playerDir, AppPaths::inFolder(appFolder));
}

StartResult prepareStart(AppContext& app, const std::function<bool()>& playerLibraryUsable,
                         const QString& playerDir, const AppPaths& paths) {
    app.preferences().setPlayerInstallDir(playerDir.trimmed());
    if (!playerLibraryUsable || !playerLibraryUsable()) {
        app.messages.critical(
            QStringLiteral("VLC is not installed! Please download and install VLC from ") +
            kPlayerDownloadPage);
        app.desktop.openUrl(kPlayerDownloadPage);
        return StartResult::PlayerMissing;
    }
    if (const QString fault = prepareUserData(paths); !fault.isEmpty())
        qWarning("zentuvo: the user's files: %s", qPrintable(fault));
    if (!readSettings(app, paths)) {
        app.messages.critical(QStringLiteral("Error in Main reading settings!"));
        return StartResult::SettingsFailed;
    }
    app.preferences().setPlayerUserAgentOption(buildPlayerUserAgentOption());
    app.preferences().setRecordFolder(chooseRecordFolder(
        app.paths(), IniFile(app.paths().settingsFile).read(kPreferences, kRecordFolderKey)));
    return StartResult::Continue;
}

} // namespace zentuvo
