#pragma once

#include <QString>

namespace zentuvo {

// Flips the favourite mark of a catalogue channel and gives the new mark (a channel that is
// not in the catalogue counts as unmarked: the result is true and nothing is written).
// Throws DbError.
bool toggleFavourite(const QString& channelDb, int channelID);

} // namespace zentuvo
