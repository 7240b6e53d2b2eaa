#pragma once

#include <QDateTime>
#include <QString>

namespace zentuvo {

class AppContext;

// [preferences] ScheduleMarginBefore and ScheduleMarginAfter: whole minutes, 0 to
// kMaxScheduleMargin; a missing or unreadable value keeps the default (1 and 2).
inline constexpr int kMaxScheduleMargin = 120;
struct ScheduleMargins {
    int before = 1;
    int after = 2;
};
// The margins a settings file holds.
ScheduleMargins scheduleMarginsIn(const QString& settingsFile);
void readScheduleMargins(AppContext& app);
// False (after a message) when the settings file cannot be written.
bool saveScheduleMargins(AppContext& app);

// The names of scheduled recordings' files.
namespace ScheduleFiles {

// The text with every character a file name cannot hold on some desktop (/ \ : * ? " < > |
// and control characters) as "_", blanks at either end and dots at the end taken away, cut
// at 80 characters; "_" for an empty result.
QString safePart(const QString& text);

// "<channel> - <programme> - yyyy-MM-dd HH-mm.ts" at the local time start, without the
// programme part when title is empty.
QString fileName(const QString& channel, const QString& title, const QDateTime& start);

// folder + "/" + name when no such entry exists, else the first free
// "<name without .ts> (N).ts" from N = 2 up. "" when none up to 999 is free.
QString freePath(const QString& folder, const QString& name);

} // namespace ScheduleFiles
} // namespace zentuvo
