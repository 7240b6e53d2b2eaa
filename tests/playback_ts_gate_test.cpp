// Where a live transport stream joined midway starts: packets made by hand.
#include "playback/TsClockShift.h"
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

// A packet with only a clock reference (in 90 kHz ticks) and the reserved bits set.
QByteArray withPcr(int pid, qint64 base) {
    QByteArray p = packet(pid, false, {});
    p[3] = 0x20; // adaptation field only
    p[4] = 7;
    p[5] = 0x10; // a PCR
    for (int i = 0; i < 4; ++i)
        p[6 + i] = char((base >> (25 - 8 * i)) & 0xFF);
    p[10] = char(((base & 1) << 7) | 0x7E);
    return p;
}

qint64 pcrIn(const QByteArray& p) {
    const auto* b = reinterpret_cast<const unsigned char*>(p.constData());
    return (qint64(b[6]) << 25) | (qint64(b[7]) << 17) | (qint64(b[8]) << 9) | (qint64(b[9]) << 1) |
           (b[10] >> 7);
}

// The start of a picture (kVideo) or sound (kAudio) PES with this decoding time in ticks.
QByteArray pesAt(int pid, qint64 time) {
    auto stamp = [time](int marker) {
        QByteArray s(5, 0);
        s[0] = char((marker << 4) | ((time >> 29) & 0x0E) | 1);
        s[1] = char((time >> 22) & 0xFF);
        s[2] = char(((time >> 14) & 0xFE) | 1);
        s[3] = char((time >> 7) & 0xFF);
        s[4] = char(((time << 1) & 0xFE) | 1);
        return s;
    };
    return packet(pid, true,
                  QByteArray::fromHex(pid == kVideo ? "000001e0000080c00a" : "000001c0000080c00a") +
                      stamp(3) + stamp(1)); // a PTS and a DTS, the same
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

// The clock references move up to the pictures and sound by the smallest lead seen, less what
// leaves each stream its slack of the library's hold.
TEST(TsClockShift, MovesEveryReferenceByTheSmallestLeadLessTheSlack) {
    constexpr qint64 ms = 90;
    const qint64 wrap = qint64(1) << 33;
    const qint64 start = wrap - 200 * ms; // the references wrap on the way
    // Pictures 700 ms ahead of the reference before them, sound 380 ms.
    const QByteArray joined = withPcr(kVideo, start) + pesAt(kVideo, start + 700 * ms) +
                              pesAt(kAudio, start + 380 * ms) + packet(kVideo, false, "x");
    const QByteArray later = withPcr(kVideo, start + 40 * ms) + pesAt(kVideo, start + 740 * ms) +
                             withPcr(kVideo, (start + 400 * ms) % wrap) + "tail";
    const qint64 shift = (380 + TsClockShift::kLibraryHoldMs - TsClockShift::kSlackMs) * ms;
    for (const qsizetype piece : {qsizetype(1), qsizetype(100), qsizetype(188), qsizetype(4096)}) {
        TsClockShift clock;
        QByteArray out;
        const QByteArray all = joined + later;
        for (qsizetype at = 0; at < all.size(); at += piece)
            out += clock.feed(QByteArrayView(all).sliced(at, std::min(piece, all.size() - at)));
        out += clock.finish();
        ASSERT_EQ(out.size(), all.size()) << piece;
        EXPECT_EQ(clock.shiftTicks(), shift) << piece;
        // Only the references changed, their reserved bits and extension kept.
        for (const qsizetype at : {qsizetype(0), qsizetype(4 * 188), qsizetype(6 * 188)}) {
            const QByteArray before = all.mid(at, 188), after = out.mid(at, 188);
            EXPECT_EQ(pcrIn(after), (pcrIn(before) + shift) % wrap) << piece << " at " << at;
            EXPECT_EQ(before.left(6) + before.mid(11), after.left(6) + after.mid(11));
            EXPECT_EQ(after[10] & 0x7F, 0x7E);
        }
        EXPECT_EQ(out.mid(188, 4 * 188 - 188), all.mid(188, 4 * 188 - 188)) << piece;
        EXPECT_TRUE(out.endsWith("tail"));
    }
}

TEST(TsClockShift, DecidesAtTheFirstStartHandedOnOnceTwoStreamsAreKnown) {
    constexpr qint64 ms = 90;
    // The gate shows it what it drops: a picture 700 ms ahead, then sound 400 ms ahead.
    TsClockShift clock;
    for (const QByteArray& p : {withPcr(kVideo, 0), pesAt(kVideo, 700 * ms)})
        clock.watch(reinterpret_cast<const unsigned char*>(p.constData()));
    // One stream known: the tables and a key frame are held.
    EXPECT_TRUE(clock.feed(pat() + pesAt(kVideo, 740 * ms)).isEmpty());
    EXPECT_FALSE(clock.decided());
    // The sound's start decides: everything held goes on.
    EXPECT_EQ(clock.feed(pesAt(kAudio, 400 * ms)).size(), 3 * 188);
    EXPECT_EQ(clock.shiftTicks(), (400 + 150) * ms);

    // A start already behind its reference moves nothing; one stream alone decides once its
    // references span kLookMs.
    TsClockShift late;
    EXPECT_TRUE(late.feed(withPcr(kAudio, 1000 * ms) + pesAt(kAudio, 800 * ms)).isEmpty());
    EXPECT_TRUE(late.feed(withPcr(kAudio, 1499 * ms)).isEmpty());
    EXPECT_EQ(late.feed(withPcr(kAudio, 1500 * ms)).size(), 4 * 188);
    EXPECT_EQ(late.shiftTicks(), 0);
    // No reference at all: nothing to move, all handed on at the end.
    TsClockShift none;
    EXPECT_TRUE(none.feed(pesAt(kVideo, 0) + "xy").isEmpty());
    EXPECT_EQ(none.finish(), pesAt(kVideo, 0) + "xy");
    EXPECT_EQ(none.shiftTicks(), 0);
}
