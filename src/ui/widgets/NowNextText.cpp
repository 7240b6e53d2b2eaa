#include "ui/widgets/NowNextText.h"

#include "app/AppContext.h"

#include <QDateTime>
#include <algorithm>

namespace zentuvo {

namespace {

QString clockText(qint64 t) {
    return QDateTime::fromSecsSinceEpoch(t).toLocalTime().toString(QStringLiteral("HH:mm"));
}

} // namespace

NowNext nowNextAt(const NowNext& entry, qint64 t) {
    NowNext out;
    for (const GuideProgramme* p : {&entry.now, &entry.next}) {
        if (p->start == 0 || p->stop <= t)
            continue; // absent, or over by t
        if (p->start <= t) {
            if (!out.hasNow())
                out.now = *p;
        } else if (!out.hasNext()) {
            out.next = *p;
        }
    }
    return out;
}

int programmeProgress(const GuideProgramme& programme, qint64 t) {
    if (programme.start == 0)
        return -1;
    const qint64 length = programme.stop - programme.start;
    if (length <= 0)
        return 1000;
    return int(std::clamp<qint64>((t - programme.start) * 1000 / length, 0, 1000));
}

QString programmeSpan(const GuideProgramme& programme) {
    return clockText(programme.start) + QChar(0x2013) + clockText(programme.stop) + u' ' +
           programme.title;
}

QStringList nowNextLines(AppContext& app, const NowNext& entry) {
    QStringList lines;
    if (entry.hasNow())
        lines << app.translate(QStringLiteral("_frmMain_tipNow")).arg(programmeSpan(entry.now));
    if (entry.hasNext())
        lines << app.translate(QStringLiteral("_frmMain_tipNext")).arg(programmeSpan(entry.next));
    return lines;
}

} // namespace zentuvo
