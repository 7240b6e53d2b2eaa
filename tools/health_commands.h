#pragma once

#include <QStringList>

// The stream check command of zentuvo-catalogue ("check"): the exit status, or -1 when args
// name another command. Usage mistakes give 2.
int runHealthCommand(const QStringList& args);
