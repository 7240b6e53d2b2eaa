// The probe of VlcPlayer: what measurements ask of it (PlayerProbe), and the picture probe
// that draws into memory.
#include "playback/VlcPlayerImpl.h"

#include <cstdlib>
#include <cstring>
#include <optional>
#include <utility>

namespace zentuvo {

unsigned VlcPlayer::Impl::probeSetup(void** opaque, char* chroma, unsigned* width, unsigned* height,
                                     unsigned* pitches, unsigned* lines) {
    auto* d = static_cast<Impl*>(*opaque);
    std::memcpy(chroma, "RV32", 4);
    pitches[0] = (*width * 4 + 31) / 32 * 32;
    lines[0] = (*height + 31) / 32 * 32;
    d->frame.assign(std::size_t(pitches[0]) * lines[0], 0);
    return 1;
}

void VlcPlayer::Impl::probeCleanup(void* opaque) {
    std::vector<unsigned char>().swap(static_cast<Impl*>(opaque)->frame);
}

void* VlcPlayer::Impl::probeLock(void* opaque, void** planes) {
    planes[0] = static_cast<Impl*>(opaque)->frame.data();
    return nullptr;
}

void VlcPlayer::Impl::probeDisplay(void* opaque, void*) {
    // The output shows its last picture again now and then; only a new one counts.
    auto* d = static_cast<Impl*>(opaque);
    std::uint64_t digest = 1469598103934665603ull;
    for (std::size_t i = 0; i + 8 <= d->frame.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, d->frame.data() + i, 8);
        digest = (digest ^ word) * 1099511628211ull;
    }
    if (d->probed == 0 || digest != d->shownDigest)
        ++d->probed;
    d->shownDigest = digest;
    if (d->probeOptions.syncProbe)
        d->noteSyncPicture();
    d->notePicture();
}

// A picture whose sampled pixels are mostly bright, after a dark one, is a mark; its time is
// now, as the output hands it to the screen at its presentation time.
void VlcPlayer::Impl::noteSyncPicture() {
    long long sum = 0;
    std::size_t samples = 0;
    for (std::size_t i = 0; i + 4 <= frame.size(); i += 4 * 61, ++samples)
        sum += frame[i] + frame[i + 1] + frame[i + 2];
    const int level = samples > 0 ? int(sum / (3 * static_cast<long long>(samples))) : 0;
    const bool bright = level > 128;
    if (bright && !brightShown) {
        const std::lock_guard lock(marksMutex);
        marks.pictures.push_back(libvlc_clock());
        marks.levels.push_back(level);
    }
    brightShown = bright;
}

// The sound output hands over each block ahead of time with the time it is due to play; a
// loud sample after at least 10 ms of silence starts a tone.
void VlcPlayer::Impl::probeSound(void* opaque, const void* samples, unsigned count, int64_t pts) {
    auto* d = static_cast<Impl*>(opaque);
    const auto* s = static_cast<const std::int16_t*>(samples);
    constexpr int kQuiet = int(kProbeSoundRate / 100);
    for (unsigned i = 0; i < count; ++i) {
        if (std::abs(int(s[i])) < 4000) {
            ++d->quietSamples;
            continue;
        }
        if (d->quietSamples >= kQuiet) {
            const std::lock_guard lock(d->marksMutex);
            d->marks.tones.push_back(pts + qint64(i) * 1000000 / kProbeSoundRate);
        }
        d->quietSamples = 0;
    }
}

namespace {

std::optional<libvlc_media_stats_t> statsOf(libvlc_media_player_t* mp) {
    MediaPtr media(libvlc_media_player_get_media(mp));
    libvlc_media_stats_t stats{};
    if (!media || !libvlc_media_get_stats(media.get(), &stats))
        return std::nullopt;
    return stats;
}

} // namespace

int VlcPlayer::displayedPictures() const {
    const auto stats = statsOf(d->mp.get());
    return stats ? stats->i_displayed_pictures : -1;
}

qint64 VlcPlayer::progressCount() const {
    const auto stats = statsOf(d->mp.get());
    return stats ? qint64(stats->i_displayed_pictures) + stats->i_played_abuffers : -1;
}

int VlcPlayer::probedPictures() const {
    return d->probed.load();
}

int VlcPlayer::lostPictures() const {
    const auto stats = statsOf(d->mp.get());
    return stats ? stats->i_lost_pictures : -1;
}

void VlcPlayer::setFirstPictureHandler(std::function<void()> handler) {
    d->onFirstPicture = std::move(handler);
}

SyncMarks VlcPlayer::takeSyncMarks() {
    const std::lock_guard lock(d->marksMutex);
    return std::exchange(d->marks, SyncMarks{});
}

ProbedPlayer createProbedVlcPlayer(const PlayerProbeOptions& options) {
    auto player = std::make_unique<VlcPlayer>(VlcPlayerOptions{}, options);
    PlayerProbe* probe = player.get();
    return {std::move(player), probe};
}

} // namespace zentuvo
