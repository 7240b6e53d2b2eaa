#pragma once

#include "data/ChannelRef.h"
#include "data/DataContext.h"

#include <QString>
#include <optional>

namespace zentuvo {

// A channel as the players, the recorder and the property window see it, in plain text.
struct ChannelInfo {
    QString name;
    QString country;
    QString url;
    QString homePage;
    QString typology;
    QString description;
    qint16 width = 0;
    qint16 height = 0;
    // HTTP headers some catalogue streams need; empty when the stream needs none.
    QString userAgent;
    QString referrer;
};

// The name of a country, or "" (also after an error, which is reported).
QString countryName(const DataContext& ctx, int countryID);

// A catalogue channel; an empty record when no row matches, nothing after an error.
std::optional<ChannelInfo> channelInfo(const DataContext& ctx, int channelID);

// A My List channel; an empty record when no row matches, nothing after an error.
std::optional<ChannelInfo> myListChannelInfo(const DataContext& ctx, int channelID);

// The catalogue or My List channel a reference names, as the two lookups above give it;
// nothing for a reference of another kind.
std::optional<ChannelInfo> lookupChannel(const DataContext& ctx, ChannelRef channel);

} // namespace zentuvo
