#include "data/StoredValue.h"

#include "data/ErrorReporter.h"

#include <array>

namespace zentuvo {

namespace {

// The value of an upper-case hexadecimal digit, or -1.
int hexDigit(char16_t c) {
    static constexpr auto kDigits = [] {
        std::array<signed char, 128> t{};
        t.fill(-1);
        for (int d = 0; d < 10; ++d)
            t[size_t('0' + d)] = static_cast<signed char>(d);
        for (int d = 0; d < 6; ++d)
            t[size_t('A' + d)] = static_cast<signed char>(10 + d);
        return t;
    }();
    return c < 128 ? int(kDigits[c]) : -1;
}

} // namespace

// Works straight on the text's characters: the search deciphers every description of the
// catalogue, so this runs for every row.
std::optional<QByteArray> hexToBytes(const QString& text, int separatorLength) {
    if (separatorLength < 0)
        return std::nullopt;
    const qsizetype step = separatorLength + 2;
    const qsizetype size = text.size();
    const qsizetype n = size == 2 ? 1 : (size + 1) / step;
    QByteArray out(n, Qt::Uninitialized);
    const QChar* in = text.constData();
    char* bytes = out.data();
    for (qsizetype i = 0; i < n; ++i) {
        const qsizetype p = i * step;
        if (p + 1 >= size)
            return std::nullopt;
        const int hi = hexDigit(in[p].unicode());
        const int lo = hexDigit(in[p + 1].unicode());
        if (hi < 0 || lo < 0)
            return std::nullopt;
        bytes[i] = char(hi * 16 + lo);
    }
    return out;
}

QString bytesToHex(const QByteArray& bytes) {
    static constexpr char digits[] = "0123456789ABCDEF";
    QString out;
    out.reserve(bytes.size() * 3);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (i)
            out += u' ';
        const auto b = static_cast<unsigned char>(bytes[i]);
        out += QLatin1Char(digits[b >> 4]);
        out += QLatin1Char(digits[b & 15]);
    }
    return out;
}

StoredValueCipher::StoredValueCipher(ErrorReporter* errors) : errors_(errors) {
    cipher_.setKey(QByteArray(kCatalogueKey));
}

QString StoredValueCipher::encrypt(const QString& plain) {
    QByteArray bytes = plain.toUtf8();
    cipher_.encryptBytes(bytes);
    return bytesToHex(bytes);
}

std::optional<QString> StoredValueCipher::tryDecrypt(const QString& stored, QString* error) {
    QByteArray bytes = hexToBytes(stored).value_or(QByteArray());
    if (!cipher_.decryptBytes(bytes, {}, error))
        return std::nullopt;
    return QString::fromUtf8(bytes);
}

QString StoredValueCipher::decryptStreamAddress(const QString& stored) {
    QString error;
    if (auto plain = tryDecrypt(stored, &error))
        return *plain;
    if (errors_)
        errors_->reportNotice(QStringLiteral("Error in DecryptByte: ") + error);
    return {};
}

} // namespace zentuvo
