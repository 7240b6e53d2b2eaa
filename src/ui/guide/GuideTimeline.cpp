#include "ui/guide/GuideTimeline.h"

#include <QDateTime>
#include <QLocale>
#include <QTimeZone>

namespace zentuvo {

namespace {

qint64 floorDiv(qint64 a, qint64 b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

} // namespace

qint64 GuideTimeline::xOf(qint64 t) const {
    return floorDiv((t - origin_) * halfHourWidth_, kHalfHour);
}

qint64 GuideTimeline::timeAt(qint64 x) const {
    return origin_ + floorDiv(x * kHalfHour, halfHourWidth_);
}

std::vector<qint64> GuideTimeline::columnStarts(qint64 from, qint64 to) {
    std::vector<qint64> out;
    for (qint64 t = floorDiv(from, kHalfHour) * kHalfHour; t < to; t += kHalfHour)
        out.push_back(t);
    return out;
}

QString GuideTimeline::columnCaption(qint64 t) {
    return QDateTime::fromSecsSinceEpoch(t).toLocalTime().toString(QStringLiteral("HH:mm"));
}

QString GuideTimeline::dayCaption(qint64 t, const QLocale& locale) {
    return locale.toString(QDateTime::fromSecsSinceEpoch(t).toLocalTime().date(),
                           QStringLiteral("ddd d MMM"));
}

qint64 GuideTimeline::localDayStart(qint64 t) {
    const QDate day = QDateTime::fromSecsSinceEpoch(t).toLocalTime().date();
    return day.startOfDay().toSecsSinceEpoch();
}

} // namespace zentuvo
