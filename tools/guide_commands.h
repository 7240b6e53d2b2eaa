#pragma once

#include <QStringList>

// The programme guide commands of zentuvo-catalogue ("guide-import", "guide-now",
// "guide-sources"): the exit
// status, or -1 when args name another command. Usage mistakes give 2.
int runGuideCommand(const QStringList& args);
