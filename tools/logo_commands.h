#pragma once

#include <QStringList>

// The channel logo command of zentuvo-catalogue ("logos"): the exit status, or -1 when args
// name another command. Usage mistakes give 2.
int runLogoCommand(const QStringList& args);
