#pragma once

#include "playback/TsPacket.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

namespace zentuvo {

// How much of a transport stream's own time has passed through: the programme clock
// references of the first stream that carries them, summed step by step (so that their wrap
// after 26.5 hours counts as a step), leaving out jumps of more than kJumpMs either way (a
// sender's restart or splice, which is no time received).
class TsClockSpan {
public:
    static constexpr qint64 kJumpMs = 10000;

    // The stream's bytes in order, from a packet's first byte on.
    void feed(QByteArrayView bytes);
    qint64 spanMs() const { return ticks_ / ts::kTicksPerMs; }

private:
    void look(const unsigned char* packet);

    QByteArray pending_;
    int pid_ = -1;
    qint64 last_ = -1; // the last reference, in 90 kHz ticks
    qint64 ticks_ = 0;
};

} // namespace zentuvo
