#include "ui/widgets/HealthMarks.h"

#include "app/AppContext.h"
#include "app/HealthText.h"

#include <QLocale>

namespace zentuvo {

QIcon healthIcon(HealthState state) {
    static const QIcon icons[] = {QIcon(QStringLiteral(":/icons/health_unknown.svg")),
                                  QIcon(QStringLiteral(":/icons/health_online.svg")),
                                  QIcon(QStringLiteral(":/icons/health_offline.svg")),
                                  QIcon(QStringLiteral(":/icons/health_unchecked.svg"))};
    const int at = int(state);
    return at >= 0 && at < 4 ? icons[at] : icons[0];
}

QString healthTip(AppContext& app, const ChannelHealth& health) {
    if (health.state == HealthState::Unknown)
        return app.translate(QStringLiteral("_health_stateUnknown"));
    const auto translate = [&app](const QString& key) { return app.translate(key); };
    QString text = healthStateText(health.state, translate);
    const QString reason = healthReasonText(health, translate);
    if (!reason.isEmpty())
        text += QStringLiteral(": ") + reason;
    const QString when = QLocale().toString(health.checkedAt.toLocalTime(), QLocale::ShortFormat);
    return text + QStringLiteral(" - ") +
           app.translate(QStringLiteral("_health_checkedAt")).arg(when);
}

} // namespace zentuvo
