#pragma once

#include <QString>

namespace zentuvo {

// Whether the player library can start (libVLC found with its plugins).
bool playerLibraryUsable();

// The libVLC version text, e.g. "3.0.21 Vetinari".
QString playerLibraryVersion();

} // namespace zentuvo
