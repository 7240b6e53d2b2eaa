#pragma once

#include "playback/TsPacket.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QSet>
#include <functional>
#include <utility>

namespace zentuvo {

// Where a live MPEG transport stream joined at any point may start: at the first key frame
// of its picture. Until then only the programme tables pass (so the demuxer knows the
// streams); the pictures that cannot be decoded without an earlier key frame, and the sound
// beside them, are dropped, so the player's clock starts with the first picture it can show
// instead of playing out the time before it.
//
// Fed the bytes in arrival order in pieces of any size; returns what to hand on. Opens for
// good at a video packet that marks a random access point (the adaptation field's flag, or
// a sequence header / IDR / IRAP unit at the start of its PES), when the tables name no
// picture stream, or when no key frame came in kGiveUpPictures picture starts. Packets that
// come before the first programme map are kept, so that a key frame among them still counts. Bytes
// that are no transport stream at all are handed on whole, and state() says so.
class TsStartGate {
public:
    enum class State { Searching, Open, NotTransportStream };

    static constexpr int kPacket = ts::kPacket;
    // Picture starts without a key frame before the gate gives up and opens (10 s at 30 fps).
    static constexpr int kGiveUpPictures = 300;
    // Bytes without programme tables before the gate stops looking.
    static constexpr qsizetype kGiveUpBytes = 2 * 1024 * 1024;
    // Packets kept from before the first programme map, at most.
    static constexpr qsizetype kEarlyBytes = 1024 * 1024;

    QByteArray feed(QByteArrayView bytes);
    // Shown every whole packet the gate looks at, dropped or not.
    void setLookout(std::function<void(const unsigned char* packet)> lookout) {
        lookout_ = std::move(lookout);
    }
    // The stream ended: what is still held back. Bytes too few to hold three packets are no
    // transport stream either.
    QByteArray finish();
    State state() const { return state_; }

private:
    enum class Verdict { Drop, Pass, OpenHere };
    Verdict look(const unsigned char* packet);
    // Whether the packet starts a key frame of a picture stream; count: towards giving up.
    bool opensPicture(const unsigned char* packet, bool count);
    // Where in the packets kept before the first programme map a key frame starts; -1 (and
    // the packets dropped) if none does.
    qsizetype keyFrameInEarly();
    void readPat(const unsigned char* section, qsizetype size);
    void readPmt(int pid, const unsigned char* section, qsizetype size);
    bool startsKeyFrame(int streamType, const unsigned char* payload, qsizetype size) const;

    State state_ = State::Searching;
    QByteArray pending_; // bytes not yet looked at (less than a packet once in sync)
    QByteArray early_;   // packets from before the first programme map
    bool synced_ = false;
    qsizetype seen_ = 0; // bytes looked at while searching
    QSet<int> pmtPids_;
    QSet<int> pmtsRead_;
    QHash<int, int> videoTypes_; // picture stream's PID -> its stream type
    int pictureStarts_ = 0;
    std::function<void(const unsigned char*)> lookout_;
};

} // namespace zentuvo
