#pragma once

#include "data/ChannelRef.h"

#include <QHash>
#include <QString>

namespace zentuvo {

// Where channels' logos come from, keyed by ChannelRef::key(). Every function opens its own
// connection, so it may run on any thread; they throw DbError.

// The icon address of each channel a guide source matched (the first source that matched it
// and gave one); no entry for a channel without. A missing guide file gives none.
QHash<quint64, QString> guideIcons(const QString& guideDb);

// The logo address (a playlist's tvg-logo) of each My List channel that has one.
QHash<quint64, QString> myListLogos(const QString& myListDb);

// Each channel's logo: its My List logo where it has one, else its guide icon.
QHash<quint64, QString> channelLogos(const QHash<quint64, QString>& myListLogos,
                                     const QHash<quint64, QString>& guideIcons);

// channelLogos() over the files ("" for a file not to read).
QHash<quint64, QString> readChannelLogos(const QString& myListDb, const QString& guideDb);

} // namespace zentuvo
