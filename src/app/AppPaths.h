#pragma once

#include <QString>

namespace zentuvo {

// Where the program's files are: fixed once the settings have been found at start-up.
struct AppPaths {
    QString folder;       // the program's folder, or $ZENTUVO_HOME
    QString catalogue;    // ch.dat
    QString myList;       // mylist.dat
    QString settingsFile; // Zentuvo.ini

    // The files of a program folder (the names may also be given with a folder of their own).
    static AppPaths inFolder(const QString& folder);
};

} // namespace zentuvo
