#pragma once

#include "data/Blowfish.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace zentuvo {

class ErrorReporter;

// The key with which the catalogue's stream addresses, home pages and descriptions are
// stored.
inline constexpr char kCatalogueKey[] = "qoztavemrulpixenbwodsa";

// Two upper-case hexadecimal digits per byte, pairs separated by `separatorLength`
// characters of any kind. A text of exactly two characters is one byte. Returns nothing
// when a pair holds anything but 0-9 or A-F; an empty or one-character text gives no bytes.
std::optional<QByteArray> hexToBytes(const QString& text, int separatorLength = 1);

// Each byte as two upper-case hexadecimal digits, pairs separated by one blank.
QString bytesToHex(const QByteArray& bytes);

// Enciphers and deciphers the catalogue's stored values with the catalogue key.
class StoredValueCipher {
public:
    explicit StoredValueCipher(ErrorReporter* errors = nullptr);

    // The stored form of a plain text (UTF-8 bytes, framed, enciphered, hexadecimal).
    QString encrypt(const QString& plain);

    // The plain text of a stored value, or nothing with a description of the failure.
    std::optional<QString> tryDecrypt(const QString& stored, QString* error = nullptr);

    // The plain text of a stored value; a value that does not decipher gives the empty
    // text after the message "Error in DecryptByte: " + description (no icon).
    QString decryptStreamAddress(const QString& stored);

private:
    Blowfish cipher_;
    ErrorReporter* errors_;
};

} // namespace zentuvo
