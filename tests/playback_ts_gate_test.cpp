// Where a live transport stream joined midway starts: packets made by hand.
#include "playback/TsClockSpan.h"
#include "playback/TsStartGate.h"

#include <gtest/gtest.h>

using namespace zentuvo;

namespace {

constexpr int kPmt = 0x100, kVideo = 0x101, kAudio = 0x102;

QByteArray packet(int pid, bool unitStart, const QByteArray& payload, bool randomAccess = false) {
    QByteArray p(TsStartGate::kPacket, char(0xFF));
    p[0] = 0x47;
    p[1] = char((unitStart ? 0x40 : 0) | (pid >> 8));
    p[2] = char(pid & 0xFF);
    int at = 4;
    if (randomAccess) {
        p[3] = 0x30; // adaptation field and payload
        p[4] = 1;
        p[5] = 0x40;
        at = 6;
    } else {
        p[3] = 0x10;
    }
    p.replace(at, payload.size(), payload);
    return p;
}

QByteArray pat() {
    return packet(0, true, QByteArray::fromHex("0000b00d0001c100000001e100deadbeef"));
}

// A programme of the given stream types: the first on kVideo, the second on kAudio.
QByteArray pmt(const QList<int>& types) {
    QByteArray streams;
    for (int i = 0; i < types.size(); ++i) {
        const int pid = i == 0 ? kVideo : kAudio;
        streams += char(types[i]);
        streams += char(0xE0 | (pid >> 8));
        streams += char(pid & 0xFF);
        streams += QByteArray::fromHex("f000");
    }
    QByteArray section = QByteArray::fromHex("0001c10000e101f000") + streams;
    const int length = int(section.size()) + 4;
    return packet(kPmt, true,
                  QByteArray::fromHex("0002") + char(0xB0 | (length >> 8)) + char(length & 0xFF) +
                      section + QByteArray::fromHex("deadbeef"));
}

// A PES of a picture whose first unit after the access unit delimiter has this header byte
// (H.264: 0x41 a slice, 0x65 an IDR slice, 0x67 a sequence parameter set).
QByteArray picture(int unit, bool randomAccess = false) {
    return packet(kVideo, true,
                  QByteArray::fromHex("000001e000008080052100010001000000010910000001") +
                      char(unit),
                  randomAccess);
}

QByteArray sound() {
    return packet(kAudio, true, QByteArray::fromHex("000001c000008080052100010001fff1"));
}

QByteArray fed(TsStartGate& gate, const QByteArray& bytes, qsizetype piece) {
    QByteArray out;
    for (qsizetype at = 0; at < bytes.size(); at += piece)
        out += gate.feed(bytes.mid(at, piece));
    return out;
}

} // namespace

TEST(TsStartGate, StartsAtTheFirstKeyFrameKeepingTheTables) {
    const QByteArray before = picture(0x41) + sound() + packet(kVideo, false, "x");
    const QByteArray after = sound() + picture(0x41);
    struct Case {
        const char* name;
        QByteArray key;
    } const cases[] = {
        {"random access flag", picture(0x41, true)},
        {"IDR slice", picture(0x65)},
        {"sequence parameter set", picture(0x67)},
    };
    for (const Case& c : cases) {
        const QByteArray stream = pat() + pmt({0x1B, 0x0F}) + before + c.key + after;
        // In any pieces, and after a few bytes of something else.
        for (const qsizetype piece : {qsizetype(1), qsizetype(7), qsizetype(188), stream.size()}) {
            TsStartGate gate;
            EXPECT_EQ(fed(gate, "junk" + stream, piece), pat() + pmt({0x1B, 0x0F}) + c.key + after)
                << c.name << " in pieces of " << piece;
            EXPECT_EQ(gate.state(), TsStartGate::State::Open) << c.name;
        }
    }
    // Joined after the programme table but before a key frame: the tables first, then from the
    // key frame on; with no key frame before the table, the packets before it go.
    TsStartGate late;
    EXPECT_EQ(late.feed(pat() + picture(0x41) + picture(0x65) + sound() + pmt({0x1B, 0x0F}) +
                        picture(0x41)),
              pat() + pmt({0x1B, 0x0F}) + picture(0x65) + sound() + picture(0x41));
    TsStartGate none;
    EXPECT_EQ(none.feed(pat() + picture(0x41) + sound() + pmt({0x1B, 0x0F}) + sound()),
              pat() + pmt({0x1B, 0x0F}));
    // A sequence header opens MPEG-2 pictures; an H.264 unit type means nothing there.
    TsStartGate mpeg2;
    EXPECT_EQ(mpeg2.feed(pat() + pmt({0x02}) + picture(0x67) + picture(0xB3)),
              pat() + pmt({0x02}) + picture(0xB3));
}

TEST(TsStartGate, OpensWithoutPicturesAndGivesUpAfterEnoughPictureStarts) {
    // Sound only: everything from its table on.
    TsStartGate radio;
    EXPECT_EQ(radio.feed(pat() + pmt({0x0F}) + sound()), pat() + pmt({0x0F}) + sound());
    EXPECT_EQ(radio.state(), TsStartGate::State::Open);

    TsStartGate gate;
    QByteArray stream = pat() + pmt({0x1B});
    for (int i = 0; i < TsStartGate::kGiveUpPictures; ++i)
        stream += picture(0x41);
    EXPECT_EQ(gate.feed(stream), pat() + pmt({0x1B}));
    EXPECT_EQ(gate.state(), TsStartGate::State::Searching);
    EXPECT_EQ(gate.feed(picture(0x41)), picture(0x41));
    EXPECT_EQ(gate.state(), TsStartGate::State::Open);
}

TEST(TsStartGate, AnythingElseIsHandedOnWhole) {
    const QByteArray playlist = "#EXTM3U\n#EXT-X-TARGETDURATION:6\n" + QByteArray(600, 'a');
    TsStartGate gate;
    EXPECT_TRUE(gate.feed(playlist.left(3 * TsStartGate::kPacket)).isEmpty());
    EXPECT_EQ(gate.state(), TsStartGate::State::Searching);
    EXPECT_EQ(gate.feed(playlist.mid(3 * TsStartGate::kPacket)), playlist);
    EXPECT_EQ(gate.state(), TsStartGate::State::NotTransportStream);
    // Too short to tell: at its end, no transport stream either.
    TsStartGate shortOne;
    EXPECT_TRUE(shortOne.feed("#EXTM3U\n").isEmpty());
    EXPECT_EQ(shortOne.finish(), "#EXTM3U\n");
    EXPECT_EQ(shortOne.state(), TsStartGate::State::NotTransportStream);
}

// The stream's own time that passed through, by its clock references.
TEST(TsClockSpan, SumsTheStepsOfOnePidAcrossTheWrapButNotAJump) {
    auto withPcr = [](int pid, qint64 base) {
        QByteArray p = packet(pid, false, {});
        p[3] = 0x20; // adaptation field only
        p[4] = 7;
        p[5] = 0x10; // a PCR
        for (int i = 0; i < 4; ++i)
            p[6 + i] = char((base >> (25 - 8 * i)) & 0xFF);
        p[10] = char((base & 1) << 7);
        return p;
    };
    const qint64 wrap = qint64(1) << 33;
    QByteArray stream = withPcr(kVideo, wrap - 90000) + sound();
    stream += withPcr(kVideo, 45000);                   // 1.5 s on, across the wrap
    stream += withPcr(kAudio, 0);                       // another PID's: not ours
    stream += withPcr(kVideo, 45000 + 90 * 10000);      // exactly the largest step: 10 s on
    stream += withPcr(kVideo, 45000 + 90 * 20001);      // a jump of 10.001 s: left out
    stream += withPcr(kVideo, 45000 + 90 * 20001 + 90); // and on from there
    TsClockSpan clock;
    for (qsizetype at = 0; at < stream.size(); at += 100)
        clock.feed(QByteArrayView(stream).sliced(at, std::min<qsizetype>(100, stream.size() - at)));
    EXPECT_EQ(clock.spanMs(), 1500 + 10000 + 1);
}
