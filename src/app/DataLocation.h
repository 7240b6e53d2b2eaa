#pragma once

#include "app/AppPaths.h"

#include <QString>

namespace zentuvo {

// Where the program keeps its data. A program whose own folder holds the catalogue runs from
// that folder (portable), as does one started with $ZENTUVO_HOME, from there. An installed
// program keeps the user's files in the user's folders and copies the installed catalogue
// and settings file there.

// The user's base folders (without our own sub-folder), as the desktop's conventions give
// them: $XDG_DATA_HOME (~/.local/share), $XDG_CONFIG_HOME (~/.config), $XDG_CACHE_HOME
// (~/.cache) and the videos folder (xdg-user-dir VIDEOS, ~/Videos).
struct UserFolders {
    QString data, config, cache, videos;
};
UserFolders standardUserFolders();

// The installed data folder (share/zentuvo) of a program installed in programFolder (bin),
// after the install layout the program was built for.
QString installedDataFolder(const QString& programFolder);

// The choice, in this order:
//  - zentuvoHome given: that folder, portable;
//  - programFolder holds ch.dat, or installedData holds none: programFolder, portable;
//  - else the user's: data in user.data/zentuvo, the settings file in user.config/zentuvo,
//    the cache in user.cache/zentuvo, recordings in user.videos/Zentuvo, the manual in
//    installedData.
AppPaths chooseAppPaths(const QString& programFolder, const QString& zentuvoHome,
                        const QString& installedData, const UserFolders& user);

// chooseAppPaths for this process: the executable's folder, $ZENTUVO_HOME, the installed
// data beside the executable and the user's folders.
AppPaths currentAppPaths();

// Installed program only (nothing for a portable one): makes the user's data and settings
// folders and files. The catalogue is copied from the installed one at the first start and
// again whenever the installed one has another version, keeping the user's favourites and
// options (refreshCatalogueCopy); My List is created empty; the settings file is copied
// from the installed one, or written with defaults. The installed folder is only read.
// "" when all is ready, else what went wrong; what was made stays, a failed refresh leaves
// the user's catalogue as it was.
QString prepareUserData(const AppPaths& paths);

} // namespace zentuvo
