#pragma once

#include "playback/TsPacket.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>

namespace zentuvo {

// Moves a live transport stream's clock references up towards its pictures and sound. A
// sender places the references some way ahead of the times of the pictures and sound they go
// with (its mux delay: ffmpeg puts pictures 0.7 s and sound 0.35-0.45 s ahead), and the
// player library, which starts its clock at the first reference and holds kLibraryHoldMs on
// top, would stand still that long before the first picture is due. From the first kLookMs
// of the stream this takes the smallest lead of any picture or sound over the reference
// before it, and adds to every reference as much as leaves each stream kSlackMs of the
// library's hold (the same amount for the whole stream, so the clock's pace is the sender's).
//
// watch() is shown every packet from the join on (also those dropped before the first key
// frame); feed() is given the bytes to hand on, in order from a packet's first byte, in pieces
// of any size, and returns whole packets: none until it has decided, which it does at the
// first picture or sound handed on once it saw the leads of two streams, else after kLookMs.
class TsClockShift {
public:
    static constexpr int kPacket = ts::kPacket;
    static constexpr qint64 kLibraryHoldMs = 300; // what libVLC holds of an input of ours
    static constexpr qint64 kSlackMs = 150;
    static constexpr qint64 kLookMs = 500;
    static constexpr qint64 kMaxShiftMs = 3000; // more is no mux delay but a sender's fault
    static constexpr qsizetype kLookBytes = 2 * 1024 * 1024;

    void watch(const unsigned char* packet);
    QByteArray feed(QByteArrayView bytes);
    // The stream ended: decides with what it saw and hands on the rest.
    QByteArray finish();
    // The shift in 90 kHz ticks, once decided (0 before).
    qint64 shiftTicks() const { return shift_; }
    bool decided() const { return decided_; }

private:
    void decide();
    void shiftAll(QByteArray& packets) const;
    void shift(unsigned char* packet) const;

    QByteArray pending_; // less than a packet
    QByteArray held_;    // whole packets, while looking
    qsizetype watched_ = 0;
    bool decided_ = false;
    qint64 shift_ = 0;
    int pcrPid_ = -1;
    qint64 firstPcr_ = -1;
    qint64 lastPcr_ = -1;
    qint64 smallestLead_ = 0; // in 90 kHz ticks, once leadPid_ is set
    int leadPid_ = -1;
    bool twoStreams_ = false; // leads of two streams seen (the picture's and the sound's)
};

} // namespace zentuvo
