#include "playback/TsClockSpan.h"

#include "playback/TsPacket.h"

namespace zentuvo {

using ts::kPacket;

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
    if (!ts::hasPcr(p))
        return;
    const int pid = ts::pidOf(p);
    if (pid_ < 0)
        pid_ = pid;
    if (pid != pid_)
        return;
    const qint64 base = ts::pcrOf(p);
    if (last_ >= 0) {
        const qint64 step = ts::ticksBetween(last_, base);
        if (step >= 0 && step <= kJumpMs * ts::kTicksPerMs)
            ticks_ += step;
    }
    last_ = base;
}

} // namespace zentuvo
