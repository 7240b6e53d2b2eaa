#pragma once

#include "data/ChannelHealth.h"

#include <QIcon>
#include <QString>

namespace zentuvo {

class AppContext;

// How a channel's check shows in a list: a dot in the colour of its state (a ring while it has
// not been checked), and a tooltip with the state, the reason and when it was checked.
QIcon healthIcon(HealthState state);
QString healthTip(AppContext& app, const ChannelHealth& health);

} // namespace zentuvo
