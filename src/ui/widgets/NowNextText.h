#pragma once

#include "data/GuideNowNext.h"

#include <QString>
#include <QStringList>

namespace zentuvo {

class AppContext;

// What a channel's entry of a now/next snapshot says at time t (UTC seconds): a programme
// that has ended is gone and the one that runs at t is the running one, so at the exact end
// of a programme the next one is running. Programmes not started yet are next.
NowNext nowNextAt(const NowNext& entry, qint64 t);

// How far a programme has run at t, in thousandths (0 at its start, 1000 at its end); -1
// for an absent programme.
int programmeProgress(const GuideProgramme& programme, qint64 t);

// "20:30–21:15 Title" in local time.
QString programmeSpan(const GuideProgramme& programme);

// "Now: 20:30–21:15 Title" and "Next: 21:15–22:00 Title" in the user's language, one line
// for each programme the entry has.
QStringList nowNextLines(AppContext& app, const NowNext& entry);

} // namespace zentuvo
