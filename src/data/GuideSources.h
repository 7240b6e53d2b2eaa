#pragma once

#include "data/GuideStore.h"

#include <QString>
#include <vector>

namespace zentuvo {

// The guide sources as the user manages them, and what the guide's data spans. Like the
// rest of the guide file's functions these open their own connection and throw DbError.

// How a source is kept: an http(s) address as typed (blanks at the ends dropped), anything
// else as the absolute path of a file; "" for a blank text.
QString guideSourceAddress(const QString& text);

// Adds a source (guideSourceAddress of text) to the guide file, created when missing; false
// when it was there already or text is blank. Its programmes come with its first refresh.
bool addGuideSource(const QString& guideDb, const QString& text);

// Removes a source with the channels it matched and the programmes it gave, in one
// transaction; the other sources' stay. False when there is no such source.
bool removeGuideSource(const QString& guideDb, const QString& address);

// The sources due for a refresh at now (UTC seconds): never refreshed, or refreshed
// intervalHours or more before now; in the order given.
std::vector<GuideSource> guideSourcesDue(const std::vector<GuideSource>& sources, qint64 now,
                                         int intervalHours);

struct GuideSpan {
    qint64 from = 0; // UTC seconds
    qint64 to = 0;
};

// What the guide's programmes span (the first start to the last stop) kept within a sane
// range around now: from lies between 14 days before now and now, to between an hour after
// now and 21 days after it. Without programmes: the day before now to 8 days after it.
GuideSpan guideTimeSpan(const QString& guideDb, qint64 now);

} // namespace zentuvo
