#pragma once

#include <QString>

namespace zentuvo {

// The status text of a player state number, as the status lines show it.
QString playerStateText(int state);

} // namespace zentuvo
