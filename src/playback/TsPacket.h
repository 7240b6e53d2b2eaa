#pragma once

// The fields of an MPEG transport stream packet that our live reading looks at
// (ISO/IEC 13818-1), shared by TsStartGate, TsClockShift and TsClockSpan.
#include <QtGlobal>
#include <utility>

namespace zentuvo::ts {

constexpr int kPacket = 188;
constexpr unsigned char kSync = 0x47;
// Clock references and time stamps count 90 kHz ticks in 33 bits.
constexpr qint64 kClockWrap = qint64(1) << 33;
constexpr qint64 kTicksPerMs = 90;

inline int pidOf(const unsigned char* p) {
    return ((p[1] & 0x1F) << 8) | p[2];
}

inline bool startsUnit(const unsigned char* p) {
    return p[1] & 0x40;
}

// The packet's payload and its size (0 for none).
inline std::pair<const unsigned char*, qsizetype> payloadOf(const unsigned char* p) {
    const int control = (p[3] >> 4) & 0x3;
    const qsizetype payload = (control & 0x2) ? 5 + p[4] : 4;
    if (!(control & 0x1) || payload >= kPacket)
        return {p + kPacket, 0};
    return {p + payload, kPacket - payload};
}

// Whether a packet in sync carries a programme clock reference in its adaptation field.
inline bool hasPcr(const unsigned char* p) {
    return p[0] == kSync && (p[3] & 0x20) && p[4] >= 7 && (p[5] & 0x10);
}

// The reference's base in ticks; only for a packet that hasPcr().
inline qint64 pcrOf(const unsigned char* p) {
    return (qint64(p[6]) << 25) | (qint64(p[7]) << 17) | (qint64(p[8]) << 9) | (qint64(p[9]) << 1) |
           (p[10] >> 7);
}

// From one clock value to a later one across the wrap: the shorter way, negative backwards.
inline qint64 ticksBetween(qint64 from, qint64 to) {
    const qint64 forward = ((to - from) % kClockWrap + kClockWrap) % kClockWrap;
    return forward > kClockWrap / 2 ? forward - kClockWrap : forward;
}

} // namespace zentuvo::ts
