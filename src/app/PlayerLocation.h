#pragma once

#include <QString>
#include <functional>

namespace zentuvo {

// Where the player is installed: the folder of the `vlc` program found on PATH, given only
// when the player library can also start (playerUsable, when given, says so: its plugins
// are installed). The empty text when there is no usable player.
QString playerInstallDir(const std::function<bool()>& playerUsable = {});

} // namespace zentuvo
