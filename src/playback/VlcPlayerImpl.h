#pragma once

// The inside of VlcPlayer, shared by its files (VlcPlayer.cpp, VlcProbe.cpp). Not for use
// elsewhere.
#include "playback/DriftSteer.h"
#include "playback/LiveInput.h"
#include "playback/VlcPlayer.h"

#include <QElapsedTimer>
#include <QList>
#include <QSet>
#include <QTimer>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>
#include <vlc/vlc.h>

namespace zentuvo {

struct InstanceRelease {
    void operator()(libvlc_instance_t* p) const { libvlc_release(p); }
};
struct MediaPlayerRelease {
    void operator()(libvlc_media_player_t* p) const { libvlc_media_player_release(p); }
};
struct MediaRelease {
    void operator()(libvlc_media_t* p) const { libvlc_media_release(p); }
};
using MediaPtr = std::unique_ptr<libvlc_media_t, MediaRelease>;

struct VlcPlayer::Impl {
    struct Item {
        QString mrl;
        QString name;
        QStringList options;
    };

    VlcPlayer* q = nullptr;
    VlcPlayerOptions options;
    PlayerProbeOptions probeOptions;
    std::shared_ptr<libvlc_instance_t> instance;
    std::unique_ptr<libvlc_media_player_t, MediaPlayerRelease> mp;

    // GUI thread only.
    QList<Item> items;
    bool loaded = false; // a media is set on the library's player
    quintptr window = 0;
    int volume = 100;
    // The number of the state last announced; -1 before the first.
    int lastAnnounced = -1;
    int current = -1; // the item last started
    // Addresses whose first bytes were no transport stream: the library reads them itself.
    QSet<QString> readByLibrary;
    std::function<void()> onFirstPicture; // the probe's handler

    // Written by the library's threads, read anywhere.
    std::atomic<PlayerState> state{PlayerState::Idle};
    std::atomic<bool> failed{false}; // the error event came: sticky until the next start
    std::atomic<bool> inputPlaying{false};
    std::atomic<bool> cacheFull{false};
    std::atomic<int> ranDry{0}; // returns to buffering after the start
    int ranDrySeen = 0;         // of them, seen by the rate's steering (GUI thread)
    std::atomic<bool> pictureSeen{false};
    std::atomic<bool> pictureDue{false};
    std::atomic<int> probed{0}; // different pictures the probe has shown since the start
    std::atomic<bool> deliveryPending{false};
    // Where the library's log stood at the start, and its error lines since then, taken
    // when the input failed.
    std::atomic<quint64> logMark{0};
    mutable std::mutex errorMutex;
    QStringList errorLines;
    // Our own reading of a live stream, when the item is one; set on the GUI thread, looked
    // at by the library's threads when the input fails.
    std::shared_ptr<LiveInput> input;
    std::atomic<bool> replayByLibrary{false}; // its first bytes were no transport stream
    std::shared_ptr<LiveInput> retired;       // aborted, kept until the library's input has ended
    // The rate that keeps our reading's lead steady (GUI thread), looked at each second.
    DriftSteer steer;
    QTimer* steerTimer = nullptr;
    QElapsedTimer steerClock;

    // The picture probe's frame and the digest of the last one shown, touched by the video
    // output thread only.
    std::vector<unsigned char> frame;
    std::uint64_t shownDigest = 0;
    bool brightShown = false;
    // The sync probe's sound: samples of silence in a row so far (audio output thread).
    int quietSamples = 0;
    std::mutex marksMutex;
    SyncMarks marks;

    void attachEvents(bool attach);
    void resetForStart();
    void fail();
    void notify();
    void deliver();
    void notePicture();
    void setMedia(libvlc_media_t* media);
    MediaPtr newMedia(const Item& entry);
    // Our options for the item newMedia() made, put before its own.
    QStringList ownOptions(const Item& entry) const;
    void dropInput(std::shared_ptr<LiveInput> next);
    void steerRate();
    double leadMs() const;
    void restartSteer();

    static void onEvent(const libvlc_event_t* event, void* opaque);
    static unsigned probeSetup(void** opaque, char* chroma, unsigned* width, unsigned* height,
                               unsigned* pitches, unsigned* lines);
    static void probeCleanup(void* opaque);
    static void* probeLock(void* opaque, void** planes);
    static void probeDisplay(void* opaque, void* picture);
    static constexpr unsigned kProbeSoundRate = 48000;
    static void probeSound(void* opaque, const void* samples, unsigned count, int64_t pts);
    void noteSyncPicture();
};

} // namespace zentuvo
