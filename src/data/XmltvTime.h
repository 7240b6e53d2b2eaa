#pragma once

#include <QStringView>
#include <QtGlobal>
#include <optional>

namespace zentuvo {

// Reads an XMLTV time, "YYYYMMDDhhmmss +hhmm" or without seconds "YYYYMMDDhhmm", the offset
// with either sign and optional (missing = UTC), blanks around the parts allowed. Gives the
// UTC seconds since 1970-01-01, or nothing for an invalid time (a non-digit, month 13,
// February 30, hour 24, minute 60, an offset beyond 14:59...). Pure and cheap.
std::optional<qint64> parseXmltvTime(QStringView text);

} // namespace zentuvo
