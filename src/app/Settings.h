#pragma once

#include "data/MyListRepository.h"

#include <QString>
#include <functional>

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
// MyListGroup: "" (or none) for all groups, "ungrouped" for the channels without a group,
// "group:" + the name for one group. A value that is neither reads as all groups.
MyListGroupFilter readMyListGroup(AppContext& app);
void saveMyListGroup(AppContext& app);
int readDefaultVideoSize(AppContext& app);
void saveDefaultVideoSize(AppContext& app);
int readRememberCountry(AppContext& app);
void saveRememberCountry(AppContext& app);
// Writes LanguageID as "language".
void saveLanguage(AppContext& app);

// The browser identification the program sends as its user agent, blanks as they are.
QString programUserAgent();

// ":http-user-agent=" + programUserAgent(), blanks replaced by "+".
QString buildPlayerUserAgentOption();

// appFolder/Recorded when that folder exists, else appFolder. Nothing is created.
QString chooseRecordFolder(const QString& appFolder);

// The settings file a new installation starts with; written only when absent.
bool writeDefaultSettingsFile(const QString& path);

enum class StartResult { Continue, PlayerMissing, SettingsFailed };

// The start-up steps before any window: check that the player library can start
// (playerLibraryUsable; when it cannot, or none is given: say so, open its download page and
// stop), keep the folder of the `vlc` program (playerInstallDir(), or what a test gives; it
// may be blank: only recording needs it), read the settings (else stop), build the player
// options and choose the recording folder.
StartResult prepareStart(AppContext& app, const std::function<bool()>& playerLibraryUsable,
                         const QString& playerDir, const QString& appFolder);

} // namespace zentuvo
