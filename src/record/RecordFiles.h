#pragma once

#include <QDate>
#include <QLocale>
#include <QString>

namespace zentuvo {

// Naming and measuring of recording files. No widgets, no process.
namespace RecordFiles {

inline constexpr qint64 kMegabyte = 1048576;

// The next free output path: folder + "/" + yyyyMMdd + "_" + N + ".ts" with the smallest
// N from 1 up for which nothing named date_N.* (any extension) exists in the folder. Any
// entry blocks a number, a folder as well as a file, since the player could not write
// over either. "" when no number up to 32767 is free.
QString nextFileName(const QString& folder, const QDate& date);

// True when a file (not a folder) matches the path; the file name part may hold the
// wildcards "*" and "?".
bool fileExists(const QString& path);

// The length of the file in bytes, 64-bit; -1 when fileExists is false.
qint64 fileSize(const QString& file);

// The size line: "KB: " + kilobytes without decimals below 1 MiB, "MB: " + megabytes with
// one decimal from 1 MiB on, in the number format of the locale. A missing file (a
// negative size) shows as "KB: 0".
QString fileSizeText(qint64 size, const QLocale& locale);

// Removes the file when it exists and is empty (a recording that never received data).
// True when it removed one.
bool removeIfEmpty(const QString& file);

} // namespace RecordFiles
} // namespace zentuvo
