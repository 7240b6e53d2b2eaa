#pragma once

#include "app/AppPaths.h"
#include "data/MyListRepository.h"

#include <QString>
#include <functional>
#include <optional>

namespace zentuvo {

class AppContext;

inline const QString kPreferences = QStringLiteral("preferences");
inline const QString kIniName = QStringLiteral("Zentuvo.ini");
// [preferences] RecordFolder: where recordings go instead of the default folder.
inline const QString kRecordFolderKey = QStringLiteral("RecordFolder");

// The program's folder: $ZENTUVO_HOME when set, else the folder of the executable.
QString defaultAppFolder();

// Finds the databases and the settings file in appFolder and reads every preference.
// False (after its message) when a database file is missing or a value cannot be read.
bool readSettings(AppContext& app, const QString& appFolder);
// The same with the files where paths says (AppPaths::inFolder(appFolder) above).
bool readSettings(AppContext& app, const AppPaths& paths);

int readDefaultCountry(AppContext& app);
void saveDefaultCountry(AppContext& app);
// MyListGroup: "" (or none) for all groups, "ungrouped" for the channels without a group,
// "group:" + the name for one group. A value that is neither reads as all groups.
MyListGroupFilter readMyListGroup(AppContext& app);
void saveMyListGroup(AppContext& app);
// HideOffline and CheckShownList of [preferences]: "1" or "0" (missing: off).
void readChannelCheckOptions(AppContext& app);
void saveChannelCheckOptions(AppContext& app);
// SearchProgrammeTitles of [preferences]: "1" or "0" (missing: off).
void readSearchTitles(AppContext& app);
void saveSearchTitles(AppContext& app);
// GuideRefreshHours of [preferences]: whole hours from 1 to 720 (missing or other: 12).
void readGuideRefreshHours(AppContext& app);
void saveGuideRefreshHours(AppContext& app);
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
// The recording folder: the configured one (a relative path counts from the data folder)
// when given; else the user's (AppPaths::userRecordFolder, made at the first recording) for
// an installed program, chooseRecordFolder(paths.folder) for a portable one.
QString chooseRecordFolder(const AppPaths& paths, const std::optional<QString>& configured);

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
// The same where paths says; an installed program's user files are made or refreshed first
// (prepareUserData), what fails there is told on the standard error and reading goes on.
StartResult prepareStart(AppContext& app, const std::function<bool()>& playerLibraryUsable,
                         const QString& playerDir, const AppPaths& paths);

} // namespace zentuvo
