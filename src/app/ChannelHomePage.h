#pragma once

#include "data/ChannelRef.h"

namespace zentuvo {

class AppContext;

// Opens the home page of a catalogue channel in the web
// browser. A channel without a home page (or one that is not found) gets the message
// "_frmMain_msgNoHomePage" + " '" + name + "'" instead.
void visitChannelHomePage(AppContext& app, ChannelRef channel);

} // namespace zentuvo
