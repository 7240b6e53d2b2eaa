#pragma once

#include <QString>

namespace zentuvo {

// The folder of the player's `vlc` program found on PATH (only the recorder runs it); the
// empty text when there is none. Playback needs only the player library.
QString playerInstallDir();

} // namespace zentuvo
