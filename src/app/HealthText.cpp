#include "app/HealthText.h"

namespace zentuvo {

QString healthStateText(HealthState state, const TermLookup& translate) {
    switch (state) {
    case HealthState::Online:
        return translate(QStringLiteral("_health_stateOnline"));
    case HealthState::Offline:
        return translate(QStringLiteral("_health_stateOffline"));
    case HealthState::CouldNotCheck:
        return translate(QStringLiteral("_health_stateCouldNotCheck"));
    case HealthState::Unknown:
        break;
    }
    return {};
}

QString healthReasonText(const ChannelHealth& health, const TermLookup& translate) {
    if (health.reasonKey.isEmpty())
        return {};
    QString text = translate(health.reasonKey);
    if (text.contains(QLatin1String("%1")))
        text = text.arg(health.reasonArgument);
    return text;
}

QString healthStateName(HealthState state) {
    switch (state) {
    case HealthState::Online:
        return QStringLiteral("online");
    case HealthState::Offline:
        return QStringLiteral("offline");
    case HealthState::CouldNotCheck:
        return QStringLiteral("unchecked");
    case HealthState::Unknown:
        break;
    }
    return QStringLiteral("unknown");
}

} // namespace zentuvo
