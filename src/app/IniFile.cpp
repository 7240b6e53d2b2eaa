#include "app/IniFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

namespace zentuvo {

namespace {

// The section name of a "[name]" line, or nothing.
std::optional<QString> sectionOf(const QString& line) {
    const QString t = line.trimmed();
    if (t.startsWith(u'[') && t.endsWith(u']'))
        return t.mid(1, t.size() - 2).trimmed();
    return std::nullopt;
}

// The key of a "key=value" line, or nothing.
std::optional<QString> keyOf(const QString& line, QString* value = nullptr) {
    const QString t = line.trimmed();
    if (t.isEmpty() || t.startsWith(u';'))
        return std::nullopt;
    const qsizetype eq = t.indexOf(u'=');
    if (eq <= 0)
        return std::nullopt;
    if (value)
        *value = t.mid(eq + 1).trimmed();
    return t.left(eq).trimmed();
}

QStringList readLines(const QString& path, bool* readable = nullptr) {
    QFile file(path);
    if (readable)
        *readable = true;
    if (!file.open(QIODevice::ReadOnly)) {
        // A missing file reads as empty; one that is there but cannot be read does not.
        if (readable)
            *readable = !file.exists();
        return {};
    }
    QString text = QString::fromUtf8(file.readAll());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

bool IniFile::exists() const {
    return QFileInfo(path_).isFile();
}

std::optional<QString> IniFile::read(const QString& section, const QString& key) const {
    bool inSection = false;
    for (const QString& line : readLines(path_)) {
        if (auto name = sectionOf(line)) {
            inSection = name->compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        QString value;
        if (inSection) {
            auto k = keyOf(line, &value);
            if (k && k->compare(key, Qt::CaseInsensitive) == 0) {
                if (value.size() >= 2 && ((value.startsWith(u'"') && value.endsWith(u'"')) ||
                                          (value.startsWith(u'\'') && value.endsWith(u'\''))))
                    value = value.mid(1, value.size() - 2);
                value.truncate(kMaxValueLength);
                if (value.isEmpty())
                    return std::nullopt;
                return value;
            }
        }
    }
    return std::nullopt;
}

bool IniFile::write(const QString& section, const QString& key, const QString& value) const {
    bool readable = true;
    QStringList lines = readLines(path_, &readable);
    if (!readable)
        return false; // rewriting it would lose every other line
    const QString entry = key + u'=' + value;
    qsizetype sectionStart = -1, sectionEnd = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (auto name = sectionOf(lines[i])) {
            if (sectionStart >= 0 && sectionEnd < 0)
                sectionEnd = i;
            if (sectionStart < 0 && name->compare(section, Qt::CaseInsensitive) == 0)
                sectionStart = i;
            continue;
        }
        if (sectionStart >= 0 && sectionEnd < 0) {
            auto k = keyOf(lines[i]);
            if (k && k->compare(key, Qt::CaseInsensitive) == 0) {
                lines[i] = entry;
                sectionEnd = -2; // written
                break;
            }
        }
    }
    if (sectionEnd != -2) {
        if (sectionStart < 0) {
            lines << u'[' + section + u']' << entry;
        } else {
            qsizetype at = sectionEnd < 0 ? lines.size() : sectionEnd;
            while (at > sectionStart + 1 && lines[at - 1].trimmed().isEmpty())
                --at; // keep a blank line before the next section
            lines.insert(at, entry);
        }
    }
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = (lines.join(QStringLiteral("\n")) + u'\n').toUtf8();
    return file.write(bytes) == bytes.size() && file.commit();
}

} // namespace zentuvo
