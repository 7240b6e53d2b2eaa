#pragma once

#include <QString>
#include <optional>

namespace zentuvo {

// A settings file of sections and key=value lines. Section and key names compare without
// regard to case; values are trimmed and cut at 128 characters. Nothing is cached: every
// read goes to the file, every write rewrites it at once (atomically), keeping all other
// lines as they were. A write creates the file, the section or the key when missing; it
// fails, leaving the file alone, when the file is there but cannot be read.
class IniFile {
public:
    static constexpr int kMaxValueLength = 128;

    explicit IniFile(QString path) : path_(std::move(path)) {}
    const QString& path() const { return path_; }
    bool exists() const;

    // The value, or nothing when the file, the section or the key is missing or the value
    // is empty.
    std::optional<QString> read(const QString& section, const QString& key) const;
    bool write(const QString& section, const QString& key, const QString& value) const;

private:
    QString path_;
};

} // namespace zentuvo
