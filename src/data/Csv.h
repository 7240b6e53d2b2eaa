#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace zentuvo {

// RFC 4180 comma-separated values: fields quoted with double quotes when they hold a
// comma, quote or line break; quotes inside doubled; CRLF or LF line ends.
class CsvReader {
public:
    explicit CsvReader(const QByteArray& utf8);
    // The next record, or nothing at the end. A malformed record (an unclosed quote, text
    // after a closing quote) sets error() and ends reading.
    std::optional<QStringList> next();
    const QString& error() const { return error_; }
    int line() const { return line_; }

private:
    QString text_;
    qsizetype pos_ = 0;
    int line_ = 1;
    QString error_;
};

// A whole file read as a table with a header row: each record maps header -> field.
struct CsvTable {
    QStringList header;
    QList<QStringList> rows;
    int column(const QString& name) const { return int(header.indexOf(name)); }
};

// Reads a CSV file; nothing with a description on a read or format error, or when a row
// has a different number of fields than the header.
std::optional<CsvTable> readCsvFile(const QString& path, QString* error);

QString csvField(const QString& value);
QString csvLine(const QStringList& fields); // with CRLF

} // namespace zentuvo
