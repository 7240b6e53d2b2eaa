#pragma once

#include "data/ChannelRef.h"
#include "data/DataContext.h"

#include <QString>
#include <optional>

namespace zentuvo {

// A channel as the players, the recorder and the property window see it, in plain text.
struct cChannel {
    QString Name;
    QString Country;
    QString url;
    QString HomePage;
    QString Typology;
    QString Description;
    qint16 Width = 0;
    qint16 Height = 0;
    // HTTP headers some catalogue streams need; empty when the stream needs none.
    QString userAgent;
    QString referrer;
};

// The name of a country, or "" (also after an error, which is reported).
QString GetCountryCHname(const DataContext& ctx, int countryID);

// A catalogue channel; an empty record when no row matches, nothing after an error.
std::optional<cChannel> GetChannelInfo(const DataContext& ctx, int channelID);

// A My List channel; an empty record when no row matches, nothing after an error.
std::optional<cChannel> GetMyListChannelInfo(const DataContext& ctx, int channelID);

// The catalogue or My List channel a reference names, as the two lookups above give it;
// nothing for a reference of another kind.
std::optional<cChannel> lookupChannel(const DataContext& ctx, ChannelRef channel);

} // namespace zentuvo
