#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>

namespace zentuvo {

// Blowfish (64-bit blocks, 16 rounds) in CBC mode with a zero start value, over a framed
// plain text: two random words, the length (little-endian), the bytes, zero padding.
// The catalogue uses its own arrangement of the initial S-box words: word k of the
// published table goes to S-box k mod 4, entry k div 4. The standard arrangement is kept
// for checking the cipher against the published test vectors.
class Blowfish {
public:
    enum class Arrangement { Standard, Catalogue };

    explicit Blowfish(Arrangement arrangement = Arrangement::Catalogue);

    // Sets the key; the key schedule runs only when the key text changes.
    void setKey(const QByteArray& key);
    const QByteArray& key() const { return key_; }

    void encryptBlock(std::uint32_t& left, std::uint32_t& right) const;
    void decryptBlock(std::uint32_t& left, std::uint32_t& right) const;

    // Frames and enciphers the bytes in place. An empty key keeps the current one.
    void encryptBytes(QByteArray& bytes, const QByteArray& key = {});

    // Deciphers in place and removes the framing. Returns false with a description when
    // the bytes cannot be deciphered (empty, or not whole blocks).
    bool decryptBytes(QByteArray& bytes, const QByteArray& key = {}, QString* error = nullptr);

    std::uint32_t sbox(int box, int entry) const { return s_[box][entry]; }

private:
    std::uint32_t f(std::uint32_t x) const;
    void resetTables();

    Arrangement arrangement_;
    QByteArray key_;
    bool keyed_ = false;
    std::array<std::uint32_t, 18> p_{};
    std::array<std::array<std::uint32_t, 256>, 4> s_{};
};

} // namespace zentuvo
