#pragma once

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

} // namespace zentuvo
