#pragma once

#include "data/DataContext.h"

#include <QString>

namespace zentuvo {

// One row of the user's own channel list.
class cMyList {
public:
    qint32 channelID = 0;
    qint32 countryID = 0;
    qint32 TypeID = 0;
    QString Codec;
    QString Name;
    QString HomePage;
    QString streamUrl;
    qint32 Rank = 0; // a 16-bit value
    qint32 Kbps = 0;
    QString Notes;
    QString Description;

    // Reads the row channelID; with no such row every field keeps its value. False after
    // an error (reported as "Error in Load: ...").
    bool Load(const DataContext& ctx);
    // Inserts a new row and sets channelID to its number. False after an error.
    bool Save(const DataContext& ctx);
    // Writes every field to the row channelID. False after an error.
    bool Update(const DataContext& ctx);
};

} // namespace zentuvo
