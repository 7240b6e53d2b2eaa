#pragma once

#include "data/DataContext.h"

#include <QString>

namespace zentuvo {

// One row of the user's own channel list.
class MyListRecord {
public:
    qint32 channelID = 0;
    qint32 countryID = 0;
    qint32 typeID = 0;
    QString codec;
    QString name;
    QString homePage;
    QString streamUrl;
    qint32 rank = 0; // a 16-bit value
    qint32 kbps = 0;
    QString notes;
    QString description;
    // HTTP headers the stream needs ("" for none), the channel's group ("" for none), its
    // programme guide id and logo address, as a playlist gave them.
    QString userAgent;
    QString referrer;
    QString groupName;
    QString tvgId;
    QString logo;

    // Reads the row channelID; with no such row every field keeps its value. False after
    // an error (reported as "Error in Load: ...").
    bool load(const DataContext& ctx);
    // Inserts a new row and sets channelID to its number. False after an error.
    bool save(const DataContext& ctx);
    // Writes every field to the row channelID. False after an error.
    bool update(const DataContext& ctx);
};

} // namespace zentuvo
