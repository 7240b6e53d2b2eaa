#pragma once

#include <QString>
#include <optional>

namespace zentuvo {

// The catalogue's option rows (tab_options): one text per code, such as "RememberCountry".

// The text stored for a code: nothing without a row, a null string for a NULL value.
// Throws DbError.
std::optional<QString> readOption(const QString& channelDb, const QString& code);

// Stores the text for a code, over the existing row or in a new one. Throws DbError.
void writeOption(const QString& channelDb, const QString& code, const QString& value);

} // namespace zentuvo
