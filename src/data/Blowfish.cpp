#include "data/Blowfish.h"

#include "data/BlowfishTables.h"

#include <QRandomGenerator>

namespace zentuvo {

namespace {

std::uint32_t getWord(const QByteArray& b, qsizetype at) {
    const auto* u = reinterpret_cast<const unsigned char*>(b.constData()) + at;
    return (std::uint32_t(u[0]) << 24) | (std::uint32_t(u[1]) << 16) | (std::uint32_t(u[2]) << 8) |
           std::uint32_t(u[3]);
}

void putWord(std::uint32_t w, QByteArray& b, qsizetype at) {
    b[at] = char(w >> 24);
    b[at + 1] = char(w >> 16);
    b[at + 2] = char(w >> 8);
    b[at + 3] = char(w);
}

void putLittle(std::uint32_t w, QByteArray& b, qsizetype at) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = char(w >> (8 * i));
}

std::uint32_t getLittle(const QByteArray& b, qsizetype at) {
    const auto* u = reinterpret_cast<const unsigned char*>(b.constData()) + at;
    return std::uint32_t(u[0]) | (std::uint32_t(u[1]) << 8) | (std::uint32_t(u[2]) << 16) |
           (std::uint32_t(u[3]) << 24);
}

} // namespace

Blowfish::Blowfish(Arrangement arrangement) : arrangement_(arrangement) {
    resetTables();
}

void Blowfish::resetTables() {
    p_ = blowfish_tables::kInitP;
    for (int k = 0; k < 1024; ++k) {
        if (arrangement_ == Arrangement::Standard)
            s_[k / 256][k % 256] = blowfish_tables::kInitS[k];
        else
            s_[k % 4][k / 4] = blowfish_tables::kInitS[k];
    }
}

std::uint32_t Blowfish::f(std::uint32_t x) const {
    return ((s_[0][x >> 24] + s_[1][(x >> 16) & 0xFF]) ^ s_[2][(x >> 8) & 0xFF]) + s_[3][x & 0xFF];
}

void Blowfish::encryptBlock(std::uint32_t& left, std::uint32_t& right) const {
    std::uint32_t l = left, r = right;
    for (int i = 0; i < 16; i += 2) {
        l ^= p_[i];
        r ^= f(l);
        r ^= p_[i + 1];
        l ^= f(r);
    }
    l ^= p_[16];
    r ^= p_[17];
    left = r;
    right = l;
}

void Blowfish::decryptBlock(std::uint32_t& left, std::uint32_t& right) const {
    std::uint32_t l = right ^ p_[16];
    std::uint32_t r = left ^ p_[17];
    for (int k = 14; k >= 0; k -= 2) {
        l ^= f(r);
        r ^= p_[k + 1];
        r ^= f(l);
        l ^= p_[k];
    }
    left = l;
    right = r;
}

void Blowfish::setKey(const QByteArray& key) {
    if (keyed_ && key == key_)
        return;
    // A new key starts from the initial tables, so the result depends on the key alone.
    resetTables();
    key_ = key;
    keyed_ = true;
    if (!key.isEmpty()) {
        qsizetype j = 0;
        for (auto& word : p_) {
            std::uint32_t data = 0;
            for (int b = 0; b < 4; ++b) {
                data = (data << 8) | static_cast<unsigned char>(key[j]);
                j = (j + 1) % key.size();
            }
            word ^= data;
        }
    }
    std::uint32_t l = 0, r = 0;
    for (int i = 0; i < 18; i += 2) {
        encryptBlock(l, r);
        p_[i] = l;
        p_[i + 1] = r;
    }
    for (auto& box : s_) {
        for (int i = 0; i < 256; i += 2) {
            encryptBlock(l, r);
            box[i] = l;
            box[i + 1] = r;
        }
    }
}

void Blowfish::encryptBytes(QByteArray& bytes, const QByteArray& key) {
    if (!key.isEmpty())
        setKey(key);
    const auto length = static_cast<std::uint32_t>(bytes.size());
    qsizetype total = bytes.size() + 12;
    if (total % 8)
        total += 8 - total % 8;
    QByteArray framed(total, '\0');
    auto* rng = QRandomGenerator::system();
    putLittle(rng->generate(), framed, 0);
    putLittle(rng->generate(), framed, 4);
    putLittle(length, framed, 8);
    std::copy(bytes.cbegin(), bytes.cend(), framed.begin() + 12);
    std::uint32_t pl = 0, pr = 0;
    for (qsizetype at = 0; at < total; at += 8) {
        std::uint32_t l = getWord(framed, at) ^ pl;
        std::uint32_t r = getWord(framed, at + 4) ^ pr;
        encryptBlock(l, r);
        putWord(l, framed, at);
        putWord(r, framed, at + 4);
        pl = l;
        pr = r;
    }
    bytes = framed;
}

bool Blowfish::decryptBytes(QByteArray& bytes, const QByteArray& key, QString* error) {
    if (!key.isEmpty())
        setKey(key);
    const qsizetype n = bytes.size();
    if (n < 12 || n % 8 != 0) {
        if (error)
            *error =
                n == 0
                    ? QStringLiteral("Nothing to decipher")
                    : QStringLiteral("Enciphered length %1 is not a whole number of blocks").arg(n);
        return false;
    }
    std::uint32_t pl = 0, pr = 0;
    for (qsizetype at = 0; at < n; at += 8) {
        std::uint32_t l = getWord(bytes, at), r = getWord(bytes, at + 4);
        const std::uint32_t cl = l, cr = r;
        decryptBlock(l, r);
        l ^= pl;
        r ^= pr;
        pl = cl;
        pr = cr;
        putWord(l, bytes, at);
        putWord(r, bytes, at + 4);
    }
    const std::uint32_t length = getLittle(bytes, 8);
    if (length <= std::uint32_t(n) && n - qsizetype(length) >= 12 && n - qsizetype(length) < 20)
        bytes = bytes.mid(12, length);
    return true;
}

} // namespace zentuvo
