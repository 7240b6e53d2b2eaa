#include "playback/TsClockShift.h"

#include "playback/TsPacket.h"

#include <algorithm>
#include <utility>

namespace zentuvo {

namespace {

using ts::hasPcr;
using ts::kClockWrap;
using ts::kTicksPerMs;
using ts::pcrOf;
using ts::ticksBetween;

// A PTS or DTS field of five bytes.
qint64 stampOf(const unsigned char* s) {
    return (qint64(s[0] & 0x0E) << 29) | (qint64(s[1]) << 22) | (qint64(s[2] & 0xFE) << 14) |
           (qint64(s[3]) << 7) | (s[4] >> 1);
}

// The decoding time of a picture or sound PES that starts in this packet; -1 if none.
qint64 pesTimeOf(const unsigned char* p) {
    if (p[0] != ts::kSync || !ts::startsUnit(p))
        return -1;
    const auto [d, size] = ts::payloadOf(p);
    if (size < 19)
        return -1;
    const bool media = (d[3] >= 0xC0 && d[3] <= 0xEF) || d[3] == 0xBD;
    if (d[0] != 0 || d[1] != 0 || d[2] != 1 || !media || !(d[7] & 0x80))
        return -1;
    return (d[7] & 0x40) ? stampOf(d + 14) : stampOf(d + 9); // the DTS if given, else the PTS
}

} // namespace

void TsClockShift::watch(const unsigned char* p) {
    if (decided_ || p[0] != ts::kSync)
        return;
    watched_ += kPacket;
    const int pid = ts::pidOf(p);
    if (hasPcr(p) && (pcrPid_ < 0 || pid == pcrPid_)) {
        const qint64 pcr = pcrOf(p);
        // Packets shown twice, or again after later ones, do not set the clock back.
        if (lastPcr_ < 0 || ticksBetween(lastPcr_, pcr) >= 0) {
            pcrPid_ = pid;
            lastPcr_ = pcr;
            if (firstPcr_ < 0)
                firstPcr_ = pcr;
        }
    }
    const qint64 time = pesTimeOf(p);
    if (time >= 0 && lastPcr_ >= 0) {
        const qint64 lead = ticksBetween(lastPcr_, time); // negative: behind it already
        if (leadPid_ < 0 || lead < smallestLead_)
            smallestLead_ = lead;
        if (pid != leadPid_ && leadPid_ >= 0)
            twoStreams_ = true;
        leadPid_ = pid;
    }
    if ((firstPcr_ >= 0 && ticksBetween(firstPcr_, lastPcr_) >= kLookMs * kTicksPerMs) ||
        watched_ >= kLookBytes)
        decide();
}

QByteArray TsClockShift::feed(QByteArrayView bytes) {
    QByteArray out = std::exchange(pending_, {});
    out.append(bytes);
    const qsizetype whole = out.size() / kPacket * kPacket;
    pending_ = out.sliced(whole);
    out.truncate(whole);
    if (!decided_) {
        const auto* data = reinterpret_cast<const unsigned char*>(out.constData());
        for (qsizetype at = 0; at < whole && !decided_; at += kPacket) {
            watch(data + at);
            // The first picture or sound to hand on, and the leads of two streams known.
            if (twoStreams_ && pesTimeOf(data + at) >= 0)
                decide();
        }
        if (!decided_) {
            held_.append(out);
            return {};
        }
        out.prepend(std::exchange(held_, {}));
    }
    shiftAll(out);
    return out;
}

QByteArray TsClockShift::finish() {
    QByteArray out = std::exchange(held_, {});
    if (!decided_)
        decide();
    shiftAll(out);
    return out + std::exchange(pending_, {});
}

void TsClockShift::decide() {
    decided_ = true;
    if (leadPid_ >= 0)
        shift_ = std::clamp<qint64>(smallestLead_ + (kLibraryHoldMs - kSlackMs) * kTicksPerMs, 0,
                                    kMaxShiftMs * kTicksPerMs);
}

void TsClockShift::shiftAll(QByteArray& packets) const {
    if (shift_ == 0)
        return;
    auto* data = reinterpret_cast<unsigned char*>(packets.data());
    for (qsizetype at = 0; at + kPacket <= packets.size(); at += kPacket) {
        if (hasPcr(data + at))
            shift(data + at);
    }
}

void TsClockShift::shift(unsigned char* p) const {
    const qint64 base = (pcrOf(p) + shift_) % kClockWrap;
    p[6] = static_cast<unsigned char>(base >> 25);
    p[7] = static_cast<unsigned char>(base >> 17);
    p[8] = static_cast<unsigned char>(base >> 9);
    p[9] = static_cast<unsigned char>(base >> 1);
    p[10] = static_cast<unsigned char>(((base & 1) << 7) | (p[10] & 0x7F));
}

} // namespace zentuvo
