#pragma once

#include <QString>

namespace zentuvo {

// Where the program's files are: fixed once the settings have been found at start-up
// (chooseAppPaths in app/DataLocation.h).
struct AppPaths {
    QString folder;       // the data folder: the program's folder, $ZENTUVO_HOME or the user's
    QString catalogue;    // ch.dat
    QString myList;       // mylist.dat
    QString settingsFile; // Zentuvo.ini
    QString cacheFolder;  // what may be fetched again (logos, downloads); made when needed
    QString manual;       // Zentuvo.html
    // Installed program only: the installed data (share/zentuvo) whose catalogue and settings
    // file the user's copies come from, and the default recording folder. Both "" when the
    // program runs from its own folder (portable).
    QString installedData;
    QString userRecordFolder;

    // The programme guide's database (guide.dat in the data folder).
    QString guideFile() const { return folder + QStringLiteral("/guide.dat"); }

    // The scheduled recordings (schedule.dat in the data folder).
    QString scheduleFile() const { return folder + QStringLiteral("/schedule.dat"); }

    bool portable() const { return installedData.isEmpty(); }

    // health.dat beside the catalogue: the stream check results of its channels, by code.
    QString healthFile() const;

    // The files of a program folder (the names may also be given with a folder of their own).
    static AppPaths inFolder(const QString& folder);
};

} // namespace zentuvo
