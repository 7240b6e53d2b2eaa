#pragma once

#include <QStringList>

// The playlist commands of zentuvo-catalogue ("import-playlist", "export-playlist"): the exit
// status, or -1 when args name another command. Usage mistakes give 2.
int runPlaylistCommand(const QStringList& args);
