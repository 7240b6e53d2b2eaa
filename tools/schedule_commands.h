#pragma once

#include <QStringList>

// zentuvo-catalogue schedule: -1 when args is no schedule command, 2 for wrong usage, else
// the exit status.
int runScheduleCommand(const QStringList& args);
