#pragma once

#include "data/ChannelHealth.h"

#include <QString>
#include <functional>

namespace zentuvo {

// Looks a term key up in the user's language (AppContext::translate, or a Translator).
using TermLookup = std::function<QString(const QString& key)>;

// The state as the user reads it: "Online", "Offline", "Could not check"; "" when unknown.
QString healthStateText(HealthState state, const TermLookup& translate);

// The reason of a result as the user reads it ("HTTP 404", "connection refused", …); "" when
// it has none (online).
QString healthReasonText(const ChannelHealth& health, const TermLookup& translate);

// The state as one fixed English word for the command line and logs: "online", "offline",
// "unchecked", "unknown".
QString healthStateName(HealthState state);

} // namespace zentuvo
