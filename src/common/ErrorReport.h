#pragma once

#include "common/Messages.h"
#include "data/Database.h"
#include "data/VbConvert.h"

#include <QString>
#include <exception>

namespace zentuvo {

// The description that an "Error in ..." message shows for a failure.
inline QString errorDescription(const std::exception& e) {
    if (const auto* db = dynamic_cast<const DbError*>(&e))
        return db->description();
    if (const auto* conversion = dynamic_cast<const ConversionError*>(&e))
        return conversion->description();
    return QString::fromLocal8Bit(e.what());
}

// Runs a step of the named routine; a failure it throws is shown as
// "Error in <routine>: <description>" with the critical icon. True when the step ran to its
// end.
template <typename Step>
bool reportErrors(MessageService& messages, const char* routine, Step&& step) {
    try {
        step();
        return true;
    } catch (const std::exception& e) {
        messages.critical(
            QStringLiteral("Error in %1: %2").arg(QLatin1String(routine), errorDescription(e)));
        return false;
    }
}

} // namespace zentuvo
