#pragma once

#include <QString>

namespace zentuvo {

class AppState;

// Opens the home page of a catalogue channel, named by its key ("12 CH_ID"), in the web
// browser. A channel without a home page (or one that is not found) gets the message
// "_frmMain_msgNoHomePage" + " '" + name + "'" instead.
void VisitChannelHomePage(AppState& app, const QString& channelKey);

} // namespace zentuvo
