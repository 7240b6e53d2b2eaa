#include "data/Csv.h"

#include <QFile>

namespace zentuvo {

CsvReader::CsvReader(const QByteArray& utf8) : text_(QString::fromUtf8(utf8)) {
    if (text_.startsWith(QChar(0xFEFF)))
        pos_ = 1;
}

std::optional<QStringList> CsvReader::next() {
    if (!error_.isEmpty() || pos_ >= text_.size())
        return std::nullopt;
    QStringList fields;
    QString field;
    const qsizetype n = text_.size();
    bool quotedField = false;
    while (true) {
        if (pos_ >= n) {
            fields << field;
            return fields;
        }
        const QChar c = text_[pos_];
        if (c == u'"' && field.isEmpty() && !quotedField) {
            quotedField = true;
            ++pos_;
            while (true) {
                if (pos_ >= n) {
                    error_ = QStringLiteral("unclosed quote in the record at line %1").arg(line_);
                    return std::nullopt;
                }
                const QChar q = text_[pos_++];
                if (q == u'"') {
                    if (pos_ < n && text_[pos_] == u'"') {
                        field += u'"';
                        ++pos_;
                        continue;
                    }
                    break;
                }
                if (q == u'\n')
                    ++line_;
                field += q;
            }
            if (pos_ < n && text_[pos_] != u',' && text_[pos_] != u'\r' && text_[pos_] != u'\n') {
                error_ = QStringLiteral("text after a closing quote at line %1").arg(line_);
                return std::nullopt;
            }
            continue;
        }
        if (c == u',') {
            fields << field;
            field.clear();
            quotedField = false;
            ++pos_;
            continue;
        }
        if (c == u'\r' || c == u'\n') {
            ++pos_;
            if (c == u'\r' && pos_ < n && text_[pos_] == u'\n')
                ++pos_;
            ++line_;
            fields << field;
            return fields;
        }
        field += c;
        ++pos_;
    }
}

std::optional<CsvTable> readCsvFile(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    CsvReader reader(file.readAll());
    CsvTable table;
    auto header = reader.next();
    if (!header) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(
                path, reader.error().isEmpty() ? QStringLiteral("no header row") : reader.error());
        return std::nullopt;
    }
    table.header = *header;
    while (true) {
        const int line = reader.line();
        auto row = reader.next();
        if (!row)
            break;
        if (row->size() == 1 && row->first().isEmpty())
            continue; // blank line
        if (row->size() != table.header.size()) {
            if (error)
                *error = QStringLiteral("%1: line %2 has %3 fields, the header has %4")
                             .arg(path)
                             .arg(line)
                             .arg(row->size())
                             .arg(table.header.size());
            return std::nullopt;
        }
        table.rows << *row;
    }
    if (!reader.error().isEmpty()) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(path, reader.error());
        return std::nullopt;
    }
    return table;
}

QString csvField(const QString& value) {
    if (!value.contains(u',') && !value.contains(u'"') && !value.contains(u'\n') &&
        !value.contains(u'\r'))
        return value;
    QString quoted = value;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QString csvLine(const QStringList& fields) {
    QStringList out;
    out.reserve(fields.size());
    for (const auto& f : fields)
        out << csvField(f);
    return out.join(u',') + QStringLiteral("\r\n");
}

} // namespace zentuvo
