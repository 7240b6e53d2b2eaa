#pragma once

#include <QString>
#include <QStringList>

namespace zentuvo {

// Player options for an address that carries one continuous live transport stream (HTTP(S),
// UDP, RTP: the provider's ".../1234.ts" form, multicast television) which the player library
// reads itself (our own reading moves the clock references instead: TsClockShift), put before
// the item's own options so that those still win: ":no-ts-trust-pcr", so that the clock starts from
// the pictures' own times instead of the stream's clock references, which a sender may place up to
// a second ahead of them (after a zap the first picture would stand still that long). None for
// segmented streams (HLS, DASH), files and other protocols. Measured in bench/zap_bench.cpp (zaps)
// and bench/sync_bench.cpp (an hour from a drifting sender).
QStringList liveStreamOptions(const QString& mrl);

// Whether the player reads the address itself (LiveInput) to start it at its first key
// frame: a continuous live stream over HTTP(S) whose address names no segmented playlist and
// no file of another container (".mp4", ".mkv", ".mp3", ...).
bool readsAsLiveTransportStream(const QString& mrl);

} // namespace zentuvo
