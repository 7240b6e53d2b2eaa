#pragma once

#include <QString>

namespace zentuvo {

class AppContext;

// The status text of a player state number, as the status lines show it, in English.
QString playerStateText(int state);
// The same in the user's language (terms "_player_state<N>", "_player_stateError").
QString playerStateText(AppContext& app, int state);
// The start of a preview player's status line: "- Preview - " in the user's language.
QString previewStatusPrefix(AppContext& app);

} // namespace zentuvo
