#include "app/Settings.h"

#include "app/AppState.h"
#include "app/IniFile.h"
#include "common/Messages.h"
#include "data/Database.h"
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

QString absolute(const QString& appFolder, const QString& name) {
    return name.contains(u'/') ? name : appFolder + u'/' + name;
}

void writeOrThrow(AppState& app, const QString& key, int value) {
    if (!IniFile(app.IniFileName).write(kPreferences, key, QString::number(value)))
        throw DbError(QStringLiteral("cannot write the settings file %1").arg(app.IniFileName));
}

} // namespace

QString defaultAppFolder() {
    const QString home = qEnvironmentVariable("ZENTUVO_HOME");
    QString folder = home.isEmpty() ? QCoreApplication::applicationDirPath() : home;
    folder = QDir::cleanPath(QDir(folder).absolutePath());
    return folder;
}

bool ReadSettings(AppState& app, const QString& appFolder) {
    try {
        app.AppFolder = appFolder;
        app.ChannelArchivePath = absolute(appFolder, QStringLiteral("ch.dat"));
        if (!QFileInfo(app.ChannelArchivePath).isFile()) {
            app.messages.critical(QStringLiteral("Channel archive file does not exist."));
            return false;
        }
        // An empty, cut, foreign or locked file would otherwise open as an empty catalogue.
        if (const QString fault = checkCatalogueFile(app.ChannelArchivePath); !fault.isEmpty()) {
            app.messages.critical(
                QStringLiteral("Channel archive file %1 cannot be used: %2.")
                    .arg(QDir::toNativeSeparators(app.ChannelArchivePath), fault));
            return false;
        }
        app.ChannelConnectionString = app.ChannelArchivePath;
        app.MyListArchivePath = absolute(appFolder, QStringLiteral("mylist.dat"));
        if (!QFileInfo(app.MyListArchivePath).isFile()) {
            app.messages.critical(QStringLiteral("MyList archive file does not exist."));
            return false;
        }
        if (const QString fault = checkMyListFile(app.MyListArchivePath); !fault.isEmpty()) {
            app.messages.critical(QStringLiteral("MyList archive file %1 cannot be used: %2.")
                                      .arg(QDir::toNativeSeparators(app.MyListArchivePath), fault));
            return false;
        }
        app.MyListConnectionString = app.MyListArchivePath;
        app.IniFileName = appFolder + u'/' + kIniName;
        const IniFile ini(app.IniFileName);
        // A settings file that exists but cannot be read counts as missing; it is not
        // overwritten either (IniFile::write refuses a file it cannot read).
        if (!ini.exists() || !QFileInfo(app.IniFileName).isReadable()) {
            app.messages.critical(QStringLiteral("I cannot read ini file.\r\nCheck presence of "
                                                 "file .ini in program directory!"));
            app.LanguageID = 1;
            return true;
        }
        const auto language = ini.read(kPreferences, kLanguage);
        app.LanguageID = language ? toInt16Strict(*language) : 1;
        app.RememberCountryFlag = ReadRememberCountry(app);
        app.DefaultCountryID = ReadDefaultCountry(app);
        app.VideoSizeMode = ReadDefaultVideoSize(app);
        return true;
    } catch (const ConversionError& e) {
        app.messages.critical(QStringLiteral("Error n° %1 %2\r in ReadSettings")
                                  .arg(e.number())
                                  .arg(e.description()));
        return false;
    }
}

int ReadDefaultCountry(AppState& app) {
    try {
        const auto value = IniFile(app.IniFileName).read(kPreferences, kDefaultCountry);
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

void SetDefaultCountry(AppState& app) {
    try {
        writeOrThrow(app, kDefaultCountry, app.DefaultCountryID);
    } catch (const DbError& e) {
        app.messages.critical(QStringLiteral("Error in SetDefaultCountry: ") + e.description());
    }
}

int ReadDefaultVideoSize(AppState& app) {
    try {
        const auto value = IniFile(app.IniFileName).read(kPreferences, kDefaultVideoSize);
        const int mode = value ? toInt16Strict(*value) : 0;
        return mode >= 0 && mode <= 2 ? mode : 0;
    } catch (const ConversionError& e) {
        app.messages.critical(QStringLiteral("Error in ReadDefaultVideoSize: ") + e.description());
        return 0;
    }
}

void SetDefaultVideoSize(AppState& app) {
    try {
        writeOrThrow(app, kDefaultVideoSize, app.VideoSizeMode);
    } catch (const DbError& e) {
        app.messages.critical(QStringLiteral("Error in SetDefaultVideoSize: ") + e.description());
    }
}

void SetLanguageSetting(AppState& app) {
    try {
        writeOrThrow(app, kLanguage, app.LanguageID);
    } catch (const DbError& e) {
        app.messages.critical(QStringLiteral("Error in cmdOK_Click: ") + e.description());
    }
}

int ReadRememberCountry(AppState& app) {
    try {
        Connection db(app.ChannelConnectionString, Connection::Mode::ReadOnly);
        auto q = db.prepare(
            QStringLiteral("SELECT options FROM tab_options WHERE code = 'RememberCountry'"));
        if (q.next() && !q.isNull(0))
            return roundToInt32(leadingNumber(q.text(0)));
        return 0;
    } catch (const DbError& e) {
        app.messages.critical(QStringLiteral("Error in ReadRememberCountry: ") + e.description());
    } catch (const ConversionError& e) {
        app.messages.critical(QStringLiteral("Error in ReadRememberCountry: ") + e.description());
    }
    return 0;
}

void SetRememberCountry(AppState& app) {
    try {
        Connection db(app.ChannelConnectionString);
        const QString flag = QString::number(app.RememberCountryFlag);
        auto q = db.prepare(
            QStringLiteral("SELECT options FROM tab_options WHERE code = 'RememberCountry'"));
        const bool exists = q.next();
        auto write = db.prepare(
            exists ? QStringLiteral(
                         "UPDATE tab_options SET options = ? WHERE code = 'RememberCountry'")
                   : QStringLiteral(
                         "INSERT INTO tab_options (code, options) VALUES ('RememberCountry', ?)"));
        write.bind(1, flag).run();
    } catch (const DbError& e) {
        app.messages.critical(QStringLiteral("Error in SetRememberCountry: ") + e.description());
    }
}

QString buildPlayerUserAgentOption() {
    QString option = QStringLiteral(
        ":http-user-agent=Mozilla/5.0 (X11; U; Linux i686; en-US; rv:1.9.0.6) Gecko/2009020911 "
        "Ubuntu/8.10 (intrepid) Firefox/3.0.6");
    return option.replace(u' ', u'+');
}

QString chooseRecordFolder(const QString& appFolder) {
    const QString recorded = appFolder + QStringLiteral("/Recorded");
    return QFileInfo(recorded).isDir() ? recorded : appFolder;
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

StartResult prepareStart(AppState& app, const QString& playerDir, const QString& appFolder) {
    app.VlcInstallDir = playerDir;
    if (app.VlcInstallDir.trimmed().isEmpty()) {
        app.messages.critical(
            QStringLiteral("VLC is not installed! Please download and install VLC from ") +
            kPlayerDownloadPage);
        app.desktop.openUrl(kPlayerDownloadPage);
        return StartResult::PlayerMissing;
    }
    if (!ReadSettings(app, appFolder)) {
        app.messages.critical(QStringLiteral("Error in Main reading settings!"));
        return StartResult::SettingsFailed;
    }
    app.PlayerUserAgentOption = buildPlayerUserAgentOption();
    app.RecordFolder = chooseRecordFolder(app.AppFolder);
    return StartResult::Continue;
}

} // namespace zentuvo
