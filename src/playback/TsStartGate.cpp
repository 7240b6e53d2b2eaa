#include "playback/TsStartGate.h"

#include <algorithm>
#include <utility>

namespace zentuvo {

namespace {

using ts::kSync;
using ts::payloadOf;
using ts::pidOf;

// Stream types of pictures in a programme map table (ISO/IEC 13818-1 and its amendments).
bool isVideoType(int type) {
    switch (type) {
    case 0x01: // MPEG-1
    case 0x02: // MPEG-2
    case 0x10: // MPEG-4 part 2
    case 0x1B: // H.264
    case 0x24: // H.265
    case 0x42: // AVS
    case 0xEA: // VC-1
        return true;
    default:
        return false;
    }
}

} // namespace

QByteArray TsStartGate::feed(QByteArrayView bytes) {
    if (state_ != State::Searching)
        return bytes.toByteArray();
    pending_.append(bytes);
    QByteArray out;
    if (!synced_) {
        // Three sync bytes a packet apart, the first within the first packet's length: that
        // is where the packets begin.
        const auto* p = reinterpret_cast<const unsigned char*>(pending_.constData());
        for (qsizetype at = 0; at < kPacket && at + 2 * kPacket < pending_.size(); ++at) {
            if (p[at] == kSync && p[at + kPacket] == kSync && p[at + 2 * kPacket] == kSync) {
                seen_ += at;
                pending_.remove(0, at);
                synced_ = true;
                break;
            }
        }
        if (!synced_) {
            if (pending_.size() <= 3 * kPacket)
                return out;
            state_ = State::NotTransportStream;
            return std::exchange(pending_, {});
        }
    }
    qsizetype at = 0;
    for (; at + kPacket <= pending_.size(); at += kPacket) {
        const auto* p = reinterpret_cast<const unsigned char*>(pending_.constData()) + at;
        if (lookout_)
            lookout_(p);
        const Verdict verdict = p[0] == kSync ? look(p) : Verdict::Drop;
        if (verdict == Verdict::Pass) {
            out.append(pending_.constData() + at, kPacket);
            // The first programme map came after a key frame: start there.
            if (const qsizetype key = keyFrameInEarly(); key >= 0) {
                state_ = State::Open;
                out.append(QByteArrayView(early_).sliced(key));
                out.append(QByteArrayView(pending_).sliced(at + kPacket));
                early_.clear();
                pending_.clear();
                return out;
            }
        } else if (verdict == Verdict::OpenHere) {
            state_ = State::Open;
            out.append(pending_.constData() + at, pending_.size() - at);
            pending_.clear();
            return out;
        }
    }
    seen_ += at;
    pending_.remove(0, at);
    if (seen_ >= kGiveUpBytes && pmtsRead_.isEmpty()) {
        state_ = State::Open; // no tables in sight: let the demuxer make of it what it can
        out.append(std::exchange(pending_, {}));
    }
    return out;
}

QByteArray TsStartGate::finish() {
    if (state_ == State::Searching && !synced_ && !pending_.isEmpty())
        state_ = State::NotTransportStream;
    return std::exchange(pending_, {});
}

qsizetype TsStartGate::keyFrameInEarly() {
    if (early_.isEmpty() || pmtsRead_.isEmpty())
        return -1;
    for (qsizetype at = 0; at + kPacket <= early_.size(); at += kPacket) {
        if (opensPicture(reinterpret_cast<const unsigned char*>(early_.constData()) + at, false))
            return at;
    }
    early_.clear();
    return -1;
}

TsStartGate::Verdict TsStartGate::look(const unsigned char* p) {
    const int pid = pidOf(p);
    if (pid == 0 || pmtPids_.contains(pid)) {
        const auto [data, size] = payloadOf(p);
        if (ts::startsUnit(p) && size > 1 && 1 + data[0] < size) {
            const unsigned char* section = data + 1 + data[0];
            const qsizetype left = size - 1 - data[0];
            if (pid == 0)
                readPat(section, left);
            else
                readPmt(pid, section, left);
        }
        // All the tables read and none names a picture: sound only, nothing to wait for.
        if (!pmtPids_.isEmpty() && pmtsRead_ == pmtPids_ && videoTypes_.isEmpty())
            return Verdict::OpenHere;
        return Verdict::Pass;
    }
    if (pid < 0x20)
        return Verdict::Pass; // the other tables (service names, time)
    if (pmtsRead_.isEmpty()) {
        // Which stream is the picture is not known yet: kept, in case its key frame is here.
        if (early_.size() >= kEarlyBytes)
            early_.remove(0, early_.size() / 2 / kPacket * kPacket);
        early_.append(reinterpret_cast<const char*>(p), kPacket);
        return Verdict::Drop;
    }
    return opensPicture(p, true) ? Verdict::OpenHere : Verdict::Drop;
}

bool TsStartGate::opensPicture(const unsigned char* p, bool count) {
    const auto video = videoTypes_.constFind(pidOf(p));
    if (video == videoTypes_.constEnd())
        return false;
    if ((p[3] & 0x20) && p[4] > 0 && (p[5] & 0x40))
        return true; // the random access flag
    if (!ts::startsUnit(p))
        return false;
    const auto [data, size] = payloadOf(p);
    return startsKeyFrame(video.value(), data, size) ||
           (count && ++pictureStarts_ > kGiveUpPictures);
}

void TsStartGate::readPat(const unsigned char* s, qsizetype size) {
    if (size < 8 || s[0] != 0x00)
        return;
    const qsizetype end = std::min<qsizetype>(3 + (((s[1] & 0x0F) << 8) | s[2]) - 4, size);
    for (qsizetype at = 8; at + 4 <= end; at += 4) {
        const int program = (s[at] << 8) | s[at + 1];
        if (program != 0) // 0 names the network table
            pmtPids_.insert(((s[at + 2] & 0x1F) << 8) | s[at + 3]);
    }
}

void TsStartGate::readPmt(int pid, const unsigned char* s, qsizetype size) {
    if (size < 12 || s[0] != 0x02)
        return;
    const qsizetype end = std::min<qsizetype>(3 + (((s[1] & 0x0F) << 8) | s[2]) - 4, size);
    qsizetype at = 12 + (((s[10] & 0x0F) << 8) | s[11]);
    for (; at + 5 <= end; at += 5 + (((s[at + 3] & 0x0F) << 8) | s[at + 4])) {
        const int type = s[at];
        if (isVideoType(type))
            videoTypes_.insert(((s[at + 1] & 0x1F) << 8) | s[at + 2], type);
    }
    pmtsRead_.insert(pid);
}

// Whether a PES starting in this payload opens with a unit a decoder can start from.
bool TsStartGate::startsKeyFrame(int streamType, const unsigned char* d, qsizetype size) const {
    if (size < 9 || d[0] != 0 || d[1] != 0 || d[2] != 1)
        return false;
    for (qsizetype at = 9 + d[8]; at + 3 < size; ++at) {
        if (d[at] != 0 || d[at + 1] != 0 || d[at + 2] != 1)
            continue;
        const unsigned char unit = d[at + 3];
        switch (streamType) {
        case 0x1B: { // H.264: IDR slice or sequence parameter set
            const int type = unit & 0x1F;
            if (type == 5 || type == 7)
                return true;
            break;
        }
        case 0x24: { // H.265: IRAP slices, VPS, SPS
            const int type = (unit >> 1) & 0x3F;
            if ((type >= 16 && type <= 21) || type == 32 || type == 33)
                return true;
            break;
        }
        case 0x01:
        case 0x02: // a sequence header
            if (unit == 0xB3)
                return true;
            break;
        default:
            break;
        }
    }
    return false;
}

} // namespace zentuvo
