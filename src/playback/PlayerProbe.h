#pragma once

#include "playback/Player.h"

#include <functional>
#include <memory>
#include <vector>

namespace zentuvo {

// What measurements (bench/) ask of a player besides playing: how it was set up, and what
// it has shown. No window of the program uses it.
struct PlayerProbeOptions {
    // Only the player library's own defaults (no caching or title options of ours): to
    // compare against.
    bool libraryDefaults = false;
    // Draw the picture into memory instead of a window, counting the pictures shown and
    // announcing the first one when it is shown.
    bool pictureProbe = false;
    // With pictureProbe: also take the sound into memory (48 kHz, one channel) and note when
    // a bright picture follows a dark one and when a tone follows silence (syncMarks()).
    bool syncProbe = false;
};

// When the marks of a test stream (a bright picture and a tone starting together) were
// presented, in microseconds of the monotonic clock: a picture when it was handed to the
// screen, a tone at the time its first loud sample was due to play. With each picture its
// brightness (the mean of its sampled pixels, 0-255), which may tell the marks apart.
struct SyncMarks {
    std::vector<qint64> pictures;
    std::vector<int> levels;
    std::vector<qint64> tones;
};

// A live stream the player reads itself: how much of it waits for the player (the stream's
// own time received less the time played, in ms), the lead the player keeps it near, and the
// rate it plays at to do so. leadMs is negative for other items, aimMs while settling.
struct LiveLead {
    double leadMs = -1;
    double aimMs = -1;
    double rate = 1.0;
};

class PlayerProbe {
public:
    virtual ~PlayerProbe() = default;

    // Pictures shown, and lost (too late to be shown), since the item started; -1 when
    // unknown.
    virtual int displayedPictures() const = 0;
    virtual int lostPictures() const = 0;
    // Different pictures the probe has shown since the item started, counted as they are
    // shown (pictureProbe only; the counts above are the library's, updated now and then).
    virtual int probedPictures() const = 0;
    // Called on the GUI thread when the first picture of the item started last is on its
    // way to the screen: shown (with pictureProbe) or its video output created (without).
    // An empty function ends the calls.
    virtual void setFirstPictureHandler(std::function<void()> handler) = 0;
    // The marks noted since the last call (syncProbe only).
    virtual SyncMarks takeSyncMarks() = 0;
    virtual LiveLead liveLead() const = 0;
};

// A player over the player library and its probe; the probe lives as long as the player.
struct ProbedPlayer {
    std::unique_ptr<Player> player;
    PlayerProbe* probe = nullptr;
};

ProbedPlayer createProbedVlcPlayer(const PlayerProbeOptions& options = {});

} // namespace zentuvo
