#include "playback/TsClockSpan.h"

namespace zentuvo {

namespace {
constexpr int kPacket = 188;
constexpr qint64 kWrap = qint64(1) << 33;
} // namespace

void TsClockSpan::feed(QByteArrayView bytes) {
    qsizetype at = 0;
    if (!pending_.isEmpty()) {
        const qsizetype missing = kPacket - pending_.size();
        pending_.append(bytes.first(std::min(missing, bytes.size())));
        at = std::min(missing, bytes.size());
        if (pending_.size() < kPacket)
            return;
        look(reinterpret_cast<const unsigned char*>(pending_.constData()));
        pending_.clear();
    }
    for (; at + kPacket <= bytes.size(); at += kPacket)
        look(reinterpret_cast<const unsigned char*>(bytes.data()) + at);
    pending_.append(bytes.sliced(at));
}

void TsClockSpan::look(const unsigned char* p) {
    // A packet in sync with an adaptation field of at least 7 bytes that says it holds a PCR.
    if (p[0] != 0x47 || !(p[3] & 0x20) || p[4] < 7 || !(p[5] & 0x10))
        return;
    const int pid = ((p[1] & 0x1F) << 8) | p[2];
    if (pid_ < 0)
        pid_ = pid;
    if (pid != pid_)
        return;
    const qint64 base = (qint64(p[6]) << 25) | (qint64(p[7]) << 17) | (qint64(p[8]) << 9) |
                        (qint64(p[9]) << 1) | (p[10] >> 7);
    if (last_ >= 0) {
        const qint64 step = (base - last_ + kWrap) % kWrap;
        if (step <= kJumpMs * 90)
            ticks_ += step;
    }
    last_ = base;
}

} // namespace zentuvo
