#pragma once

#include "data/ChannelRef.h"

#include <QList>
#include <QString>
#include <optional>
#include <vector>

namespace zentuvo {

class Connection;

// The programme guide's file (guide.dat): the guide sources, the channels of ours each source
// matched (with the guide channel's id and icon), and the programmes kept for them. A channel
// matched by several sources shows the programmes of the first source added that matched it.
// The file is in WAL mode: readers go on while a refresh writes. Every function opens its own
// connection, so it may run on any thread; they throw DbError.

// One programme. The description is only filled where a function says so.
struct GuideProgramme {
    ChannelRef channel;
    qint64 start = 0; // UTC seconds since 1970
    qint64 stop = 0;
    QString title;
    QString subTitle;
    QString episode; // as the guide shows it on screen, else "S2 E5" (from xmltv_ns)
    QString category;
    QString description;
};

struct GuideSource {
    qint64 id = 0;
    QString address;
    qint64 lastRefresh = 0; // UTC seconds of the last successful import; 0 when never
    QString lastError;      // why the last import failed; "" when it succeeded
    int channelsMatched = 0;
    qint64 programmesKept = 0;
};

// Creates the file when missing and the guide's tables and indexes where missing.
void createGuideDatabase(const QString& path);
void createGuideSchema(Connection& db);
// Drops and rebuilds the programmes' indexes (an import writes its rows without them).
void dropGuideIndexes(Connection& db);
void createGuideIndexes(Connection& db);

// The sources, in the order they were added.
std::vector<GuideSource> guideSources(const QString& guideDb);

// The programmes of channels overlapping [from, to), by channel (in the order given), then
// start; without descriptions.
std::vector<GuideProgramme>
guideProgrammes(const QString& guideDb, const QList<ChannelRef>& channels, qint64 from, qint64 to);

// The channels with a programme overlapping [from, from + hours) whose title contains text
// (letter case aside), in kind and number order. Every source's programmes count here.
QList<ChannelRef> channelsWithTitle(const QString& guideDb, const QString& text, qint64 from,
                                    int hours = 24);

// The programme running on channel at time t, with its description; nothing when none runs.
std::optional<GuideProgramme> programmeAt(const QString& guideDb, ChannelRef channel, qint64 t);

// Our channels whose catalogue code or My List tvgId is id (letter case aside) and that a
// source matched: catalogue channels first.
QList<ChannelRef> guideChannelsWithId(const QString& guideDb, const QString& id);

// What a channel's kind is stored as, and back.
int guideKindCode(ChannelRef::Kind kind);
ChannelRef guideChannel(qint64 kindCode, qint64 number);

} // namespace zentuvo
