#pragma once

#include <QString>

namespace zentuvo {

class AppContext;

inline const QString kPreferences = QStringLiteral("preferences");
inline const QString kIniName = QStringLiteral("Zentuvo.ini");

// The program's folder: $ZENTUVO_HOME when set, else the folder of the executable.
QString defaultAppFolder();

// Finds the databases and the settings file in appFolder and reads every preference.
// False (after its message) when a database file is missing or a value cannot be read.
bool readSettings(AppContext& app, const QString& appFolder);

int readDefaultCountry(AppContext& app);
void saveDefaultCountry(AppContext& app);
int readDefaultVideoSize(AppContext& app);
void saveDefaultVideoSize(AppContext& app);
int readRememberCountry(AppContext& app);
void saveRememberCountry(AppContext& app);
// Writes LanguageID as "language".
void saveLanguage(AppContext& app);

// ":http-user-agent=" + the browser identification, blanks replaced by "+".
QString buildPlayerUserAgentOption();

// appFolder/Recorded when that folder exists, else appFolder. Nothing is created.
QString chooseRecordFolder(const QString& appFolder);

// The settings file a new installation starts with; written only when absent.
bool writeDefaultSettingsFile(const QString& path);

enum class StartResult { Continue, PlayerMissing, SettingsFailed };

// The start-up steps before any window: take the player's folder (playerInstallDir(), or
// what a test gives; blank means there is none: say so, open its download page and stop),
// read the settings (else stop), build the player options and choose the recording folder.
StartResult prepareStart(AppContext& app, const QString& playerDir, const QString& appFolder);

} // namespace zentuvo
