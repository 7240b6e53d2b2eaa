#pragma once

#include <QString>

namespace zentuvo {

// Compares texts as the catalogue's NOCASE order does: A-Z as a-z, otherwise by character
// (code point order, as SQLite compares the UTF-8 bytes). Negative, 0 or positive.
int compareNocase(const QString& a, const QString& b);

} // namespace zentuvo
