// The player's own reading of live streams (LiveInput) and the rate that keeps its lead
// steady (DriftSteer): the part of VlcPlayer that goes with them.
#include "playback/LiveStream.h"
#include "playback/VlcPlayerImpl.h"

#include <utility>

namespace zentuvo {

// Ends our reading of the stream before the library's player stops (its stop waits for a
// read that only the abort ends) and puts the next one, if any, in its place.
void VlcPlayer::Impl::dropInput(std::shared_ptr<LiveInput> next) {
    std::shared_ptr<LiveInput> old;
    {
        const std::lock_guard lock(errorMutex);
        old = std::exchange(input, std::move(next));
    }
    if (old) {
        old->abort();
        retired = std::move(old); // goes once the library's input has ended
    }
}

MediaPtr VlcPlayer::Impl::newMedia(const Item& entry) {
    QString path;
    switch (classifyAddress(entry.mrl, &path)) {
    case AddressKind::Location:
        if (!probeOptions.libraryDefaults && readsAsLiveTransportStream(entry.mrl) &&
            !readByLibrary.contains(entry.mrl)) {
            auto reading = std::make_shared<LiveInput>(liveInputRequest(entry.mrl, entry.options));
            MediaPtr media(libvlc_media_new_callbacks(instance.get(), &LiveInput::open,
                                                      &LiveInput::read, &LiveInput::seek,
                                                      &LiveInput::close, reading->opaque()));
            if (media) {
                libvlc_media_add_option(media.get(), ":demux=ts");
                dropInput(std::move(reading));
            }
            return media;
        }
        dropInput(nullptr);
        return MediaPtr(libvlc_media_new_location(instance.get(), entry.mrl.trimmed().toUtf8()));
    case AddressKind::LocalPath:
        dropInput(nullptr);
        return MediaPtr(libvlc_media_new_path(instance.get(), path.toUtf8()));
    case AddressKind::Unusable:
        break;
    }
    dropInput(nullptr);
    return nullptr;
}

QStringList VlcPlayer::Impl::ownOptions(const Item& entry) const {
    if (probeOptions.libraryDefaults)
        return {};
    // Our reading moved the clock references up to the pictures (TsClockShift): the library
    // may trust them. Streams it reads itself start from the pictures' times instead.
    if (input)
        return {QStringLiteral(":ts-trust-pcr")};
    return liveStreamOptions(entry.mrl);
}

// The stream's own time received less the time played: what waits for the player, in our
// reading and in the library's buffers; negative when the library tells no time yet.
double VlcPlayer::Impl::leadMs() const {
    const libvlc_time_t played = libvlc_media_player_get_time(mp.get());
    if (!input || played <= 0)
        return -1;
    return double(input->receivedMs() - played);
}

void VlcPlayer::Impl::restartSteer() {
    steer = DriftSteer();
    ranDrySeen = ranDry;
    steerClock.start();
    // The rate stays with the library's player from one item to the next.
    if (libvlc_media_player_get_rate(mp.get()) != 1.f)
        libvlc_media_player_set_rate(mp.get(), 1.f);
    if (input)
        steerTimer->start();
    else
        steerTimer->stop();
}

void VlcPlayer::Impl::steerRate() {
    if (const int dry = ranDry; dry != ranDrySeen) {
        ranDrySeen = dry;
        const double before = steer.rate();
        steer.ranDry(steerClock.elapsed());
        if (steer.rate() != before)
            libvlc_media_player_set_rate(mp.get(), float(steer.rate()));
        return;
    }
    const double lead = leadMs();
    if (state != PlayerState::Playing || lead < 0)
        return;
    const double before = steer.rate();
    const double rate = steer.next(steerClock.elapsed(), lead);
    if (rate != before)
        libvlc_media_player_set_rate(mp.get(), float(rate));
}

LiveLead VlcPlayer::liveLead() const {
    if (!d->input)
        return {};
    return {d->leadMs(), d->steer.aimMs(), d->steer.rate()};
}

} // namespace zentuvo
