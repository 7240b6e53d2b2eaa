#pragma once

#include <QLocale>
#include <QString>
#include <QtGlobal>
#include <vector>

namespace zentuvo {

// Where times lie along the guide's grid: x grows with UTC time at a fixed number of pixels
// per half hour from the origin (the time at x = 0), so a clock change moves no programme.
// The columns start at every half hour of UTC, which are the local half hours in every time
// zone whose offset is a whole or half hour; their captions are local times.
class GuideTimeline {
public:
    static constexpr qint64 kHalfHour = 1800;

    GuideTimeline(qint64 origin = 0, int halfHourWidth = 180)
        : origin_(origin), halfHourWidth_(halfHourWidth) {}

    qint64 origin() const { return origin_; }
    int halfHourWidth() const { return halfHourWidth_; }

    // x of time t, and the time at x (rounded down to the second).
    qint64 xOf(qint64 t) const;
    qint64 timeAt(qint64 x) const;

    // The column starts (UTC seconds) whose columns overlap [from, to).
    static std::vector<qint64> columnStarts(qint64 from, qint64 to);
    // A column's caption: its local time as "HH:mm".
    static QString columnCaption(qint64 t);
    // The local day of t, e.g. "Mon 7 Dec", in the language of locale.
    static QString dayCaption(qint64 t, const QLocale& locale);

    // The start of the local day holding t (UTC seconds).
    static qint64 localDayStart(qint64 t);

private:
    qint64 origin_;
    int halfHourWidth_;
};

} // namespace zentuvo
