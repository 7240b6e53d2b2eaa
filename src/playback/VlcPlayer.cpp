// Everything that talks to libVLC lives in this file, in VlcInstance.cpp (the library's
// instances and log), VlcLive.cpp (our own reading of live streams) and VlcProbe.cpp (the probe).
#include "playback/LiveStream.h"
#include "playback/VlcInstance.h"
#include "playback/VlcPlayerImpl.h"
#include "playback/VlcRuntime.h"

#include <QGuiApplication>
#include <algorithm>
#include <mutex>

namespace zentuvo {

bool playerLibraryUsable() {
    const char* args[] = {"--quiet", "--no-video-title-show"};
    libvlc_instance_t* instance = libvlc_new(2, args);
    if (!instance)
        return false;
    libvlc_release(instance);
    return true;
}

QString playerLibraryVersion() {
    return QString::fromUtf8(libvlc_get_version());
}

namespace {

const libvlc_event_e kEvents[] = {
    libvlc_MediaPlayerNothingSpecial, libvlc_MediaPlayerOpening,
    libvlc_MediaPlayerBuffering,      libvlc_MediaPlayerPlaying,
    libvlc_MediaPlayerPaused,         libvlc_MediaPlayerStopped,
    libvlc_MediaPlayerEndReached,     libvlc_MediaPlayerEncounteredError,
    libvlc_MediaPlayerVout,
};

} // namespace

void VlcPlayer::Impl::attachEvents(bool attach) {
    libvlc_event_manager_t* events = libvlc_media_player_event_manager(mp.get());
    for (const libvlc_event_e type : kEvents) {
        if (attach)
            libvlc_event_attach(events, type, &Impl::onEvent, this);
        else
            libvlc_event_detach(events, type, &Impl::onEvent, this);
    }
}

// Runs on the library's threads (and on ours while a stop or a new media is set). Only
// atomics are touched here; the GUI thread learns of the change through notify().
void VlcPlayer::Impl::onEvent(const libvlc_event_t* event, void* opaque) {
    auto* d = static_cast<Impl*>(opaque);
    const bool failed = d->failed.load();
    switch (event->type) {
    case libvlc_MediaPlayerOpening:
        d->inputPlaying = false;
        d->cacheFull = false;
        if (!failed)
            d->state = PlayerState::Opening;
        break;
    case libvlc_MediaPlayerBuffering:
        // The library reports filling its cache after the input started; the picture
        // shows once the cache is full.
        if (d->cacheFull && event->u.media_player_buffering.new_cache < 100.f)
            ++d->ranDry; // it had started and went back to buffering
        d->cacheFull = event->u.media_player_buffering.new_cache >= 100.f;
        if (!failed && d->inputPlaying && d->state != PlayerState::Paused)
            d->state = d->cacheFull ? PlayerState::Playing : PlayerState::Buffering;
        break;
    case libvlc_MediaPlayerPlaying:
        d->inputPlaying = true;
        if (!failed)
            d->state = d->cacheFull ? PlayerState::Playing : PlayerState::Buffering;
        break;
    case libvlc_MediaPlayerPaused:
        if (!failed)
            d->state = PlayerState::Paused;
        break;
    case libvlc_MediaPlayerNothingSpecial:
    case libvlc_MediaPlayerStopped:
        // The library also reports "stopped" on its own once an input that reached its end
        // has gone: the end stays until our stop or the next start.
        d->inputPlaying = false;
        if (!failed && d->state != PlayerState::Ended)
            d->state = PlayerState::Idle;
        break;
    case libvlc_MediaPlayerEndReached:
        d->inputPlaying = false;
        if (!failed)
            d->state = PlayerState::Ended;
        break;
    case libvlc_MediaPlayerEncounteredError: {
        // An HTTP failure ends as "end reached" when polled: the error event is what tells.
        const std::lock_guard lock(d->errorMutex);
        if (d->input && d->input->notTransportStream()) {
            // deliver() starts it again, read by the library; till then the state stays.
            d->replayByLibrary = true;
            d->failed = true;
            break;
        }
        d->failed = true;
        d->inputPlaying = false;
        d->state = PlayerState::Error;
        d->errorLines = (d->input ? d->input->errorLines() : QStringList()) +
                        ErrorLog::instance().since(d->logMark);
        break;
    }
    case libvlc_MediaPlayerVout:
        if (!d->probeOptions.pictureProbe && event->u.media_player_vout.new_count > 0)
            d->notePicture();
        break;
    default:
        break;
    }
    d->notify();
}

// Hands the current state to the GUI thread; a delivery already on its way carries it.
void VlcPlayer::Impl::notify() {
    if (deliveryPending.exchange(true))
        return;
    QMetaObject::invokeMethod(
        q, [this] { deliver(); }, Qt::QueuedConnection);
}

void VlcPlayer::Impl::deliver() {
    deliveryPending = false;
    if (replayByLibrary.exchange(false) && current >= 0 && current < items.size()) {
        readByLibrary.insert(items[current].mrl);
        q->playItem(current);
        return;
    }
    const PlayerState now = state.load();
    if (int(now) != lastAnnounced) {
        if (now == PlayerState::Playing)
            libvlc_audio_set_volume(mp.get(), volume); // the sound output may be new
        lastAnnounced = int(now);
        emit q->stateChanged(now);
    }
    if (pictureDue.exchange(false) && onFirstPicture)
        onFirstPicture();
}

void VlcPlayer::Impl::notePicture() {
    if (!pictureSeen.exchange(true)) {
        pictureDue = true;
        notify();
    }
}

void VlcPlayer::Impl::resetForStart() {
    failed = false;
    replayByLibrary = false;
    inputPlaying = false;
    cacheFull = false;
    pictureSeen = false;
    pictureDue = false;
    probed = 0;
    logMark = ErrorLog::instance().mark();
    const std::lock_guard lock(errorMutex);
    errorLines.clear();
}

void VlcPlayer::Impl::fail() {
    failed = true;
    state = PlayerState::Error;
    notify();
}

void VlcPlayer::Impl::setMedia(libvlc_media_t* media) {
    // Stops what plays and waits for its input to end, so no event of it follows.
    libvlc_media_player_set_media(mp.get(), media);
    loaded = media != nullptr;
}

VlcPlayer::VlcPlayer(const VlcPlayerOptions& options, QObject* parent)
    : VlcPlayer(options, PlayerProbeOptions{}, parent) {}

VlcPlayer::VlcPlayer(const VlcPlayerOptions& options, const PlayerProbeOptions& probeOptions,
                     QObject* parent)
    : Player(parent), d(std::make_unique<Impl>()) {
    d->q = this;
    d->options = options;
    d->probeOptions = probeOptions;
    // The library draws only into X11 windows: anywhere else it must not get a window id.
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        d->options.headless = true;
    d->instance = sharedInstance(d->options.headless, d->probeOptions.libraryDefaults);
    d->mp.reset(libvlc_media_player_new(d->instance.get()));
    if (!d->mp)
        throw PlayerError("the player library cannot create a player");
    // Mouse and keys stay with our window.
    libvlc_video_set_mouse_input(d->mp.get(), 0);
    libvlc_video_set_key_input(d->mp.get(), 0);
    if (d->probeOptions.pictureProbe) {
        libvlc_video_set_callbacks(d->mp.get(), &Impl::probeLock, nullptr, &Impl::probeDisplay,
                                   d.get());
        libvlc_video_set_format_callbacks(d->mp.get(), &Impl::probeSetup, &Impl::probeCleanup);
        if (d->probeOptions.syncProbe) {
            libvlc_audio_set_callbacks(d->mp.get(), &Impl::probeSound, nullptr, nullptr, nullptr,
                                       nullptr, d.get());
            libvlc_audio_set_format(d->mp.get(), "S16N", Impl::kProbeSoundRate, 1);
        }
    }
    d->steerTimer = new QTimer(this);
    d->steerTimer->setInterval(1000);
    connect(d->steerTimer, &QTimer::timeout, this, [this] { d->steerRate(); });
    d->attachEvents(true);
}

VlcPlayer::~VlcPlayer() {
    // No event after this point; then the library's threads end with its player.
    d->attachEvents(false);
    d->dropInput(nullptr);
    d->mp.reset();
    d->retired.reset();
}

bool VlcPlayer::headless() const {
    return d->options.headless;
}

void VlcPlayer::setVideoWindow(quintptr xid) {
    d->window = xid;
    if (!d->options.headless && !d->probeOptions.pictureProbe)
        libvlc_media_player_set_xwindow(d->mp.get(), uint32_t(xid));
}

int VlcPlayer::playlistAdd(const QString& mrl, const QString& name, const QStringList& options) {
    d->items.append({mrl, name, options});
    return int(d->items.size()) - 1;
}

void VlcPlayer::playItem(int item) {
    if (item < 0 || item >= d->items.size()) {
        d->fail();
        return;
    }
    const Impl::Item& entry = d->items[item];
    d->current = item;
    MediaPtr media = d->newMedia(entry);
    if (!media) {
        d->setMedia(nullptr);
        d->retired.reset();
        d->fail();
        return;
    }
    // Ours first: the item's own options (a playlist's) still win.
    const QStringList ours = d->ownOptions(entry);
    for (const QString& option : ours + entry.options) {
        if (!option.trimmed().isEmpty())
            libvlc_media_add_option(media.get(), option.toUtf8());
    }
    // Without a window to draw into the library would open one of its own.
    if (!d->options.headless && !d->probeOptions.pictureProbe && d->window == 0)
        libvlc_media_add_option(media.get(), ":no-video");

    d->setMedia(media.get());
    d->retired.reset();
    d->resetForStart();
    d->state = PlayerState::Opening;
    libvlc_audio_set_volume(d->mp.get(), d->volume);
    d->restartSteer();
    if (libvlc_media_player_play(d->mp.get()) != 0) {
        d->fail();
        return;
    }
    d->notify();
}

bool VlcPlayer::isPlaying() const {
    const PlayerState s = d->state;
    return s == PlayerState::Opening || s == PlayerState::Buffering || s == PlayerState::Playing;
}

void VlcPlayer::stop() {
    d->dropInput(nullptr);
    d->steerTimer->stop();
    if (d->loaded) {
        d->state = PlayerState::Stopping;
        libvlc_media_player_stop(d->mp.get());
    }
    d->retired.reset();
    d->resetForStart();
    d->state = PlayerState::Idle;
    d->notify();
}

int VlcPlayer::itemCount() const {
    return int(d->items.size());
}

void VlcPlayer::clear() {
    d->items.clear();
    d->dropInput(nullptr);
    d->steerTimer->stop();
    if (d->loaded) {
        d->state = PlayerState::Stopping;
        d->setMedia(nullptr);
    }
    d->retired.reset();
    d->resetForStart();
    d->state = PlayerState::Idle;
    d->notify();
}

QString VlcPlayer::lastError() const {
    const std::lock_guard lock(d->errorMutex);
    return d->errorLines.join(u'\n');
}

PlayerState VlcPlayer::state() const {
    return d->state;
}

double VlcPlayer::position() const {
    const float p = libvlc_media_player_get_position(d->mp.get());
    return p < 0 ? 0.0 : double(p);
}

void VlcPlayer::setPosition(double position) {
    libvlc_media_player_set_position(d->mp.get(), float(std::clamp(position, 0.0, 1.0)));
}

qint64 VlcPlayer::length() const {
    return std::max<qint64>(libvlc_media_player_get_length(d->mp.get()), 0);
}

bool VlcPlayer::canPause() const {
    return libvlc_media_player_can_pause(d->mp.get()) != 0;
}

void VlcPlayer::setPaused(bool paused) {
    libvlc_media_player_set_pause(d->mp.get(), paused ? 1 : 0);
    if (!paused)
        d->restartSteer(); // the pause piled the stream up on purpose
}

qint64 VlcPlayer::playedTime() const {
    return std::max<qint64>(libvlc_media_player_get_time(d->mp.get()), 0);
}

void VlcPlayer::setVolume(int percent) {
    d->volume = std::clamp(percent, 0, kMaxVolume);
    libvlc_audio_set_volume(d->mp.get(), d->volume);
}

int VlcPlayer::volume() const {
    return d->volume;
}

std::optional<QSize> VlcPlayer::videoSize() const {
    unsigned width = 0, height = 0;
    if (libvlc_video_get_size(d->mp.get(), 0, &width, &height) != 0 || width == 0 || height == 0)
        return std::nullopt;
    return QSize(int(width), int(height));
}

QString VlcPlayer::versionInfo() const {
    return playerLibraryVersion();
}

std::unique_ptr<Player> createVlcPlayer(const VlcPlayerOptions& options, QObject* parent) {
    return std::make_unique<VlcPlayer>(options, parent);
}

} // namespace zentuvo
