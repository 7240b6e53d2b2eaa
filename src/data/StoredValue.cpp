#include "data/StoredValue.h"

#include "common/Messages.h"

namespace zentuvo {

namespace {

int hexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

} // namespace

std::optional<QByteArray> HexToBytes(const QString& text, int separatorLength) {
    if (separatorLength < 0)
        return std::nullopt;
    const qsizetype step = separatorLength + 2;
    const qsizetype n = text.size() == 2 ? 1 : (text.size() + 1) / step;
    QByteArray out(n, '\0');
    for (qsizetype i = 0; i < n; ++i) {
        const qsizetype p = i * step;
        if (p + 1 >= text.size())
            return std::nullopt;
        const int hi = hexDigit(text[p].unicode());
        const int lo = hexDigit(text[p + 1].unicode());
        if (hi < 0 || lo < 0)
            return std::nullopt;
        out[i] = char(hi * 16 + lo);
    }
    return out;
}

QString BytesToHex(const QByteArray& bytes) {
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

StoredValueCipher::StoredValueCipher(MessageService* messages) : messages_(messages) {
    cipher_.setKey(QByteArray(kCatalogueKey));
}

QString StoredValueCipher::encrypt(const QString& plain) {
    QByteArray bytes = plain.toUtf8();
    cipher_.EncryptByte(bytes);
    return BytesToHex(bytes);
}

std::optional<QString> StoredValueCipher::tryDecrypt(const QString& stored, QString* error) {
    QByteArray bytes = HexToBytes(stored).value_or(QByteArray());
    if (!cipher_.DecryptByte(bytes, {}, error))
        return std::nullopt;
    return QString::fromUtf8(bytes);
}

QString StoredValueCipher::DecryptStreamAddress(const QString& stored) {
    QString error;
    if (auto plain = tryDecrypt(stored, &error))
        return *plain;
    if (messages_)
        messages_->plain(QStringLiteral("Error in DecryptByte: ") + error);
    return {};
}

} // namespace zentuvo
