#pragma once

#include <QString>
#include <QStringList>

namespace zentuvo {

struct ChannelInfo;

// The player options for a channel's HTTP headers: the program's user agent
// (programUserAgentOption, ":http-user-agent=" with "+" for its blanks) or the channel's own,
// and the channel's referrer when it has one.
QStringList playerHeaderOptions(const QString& programUserAgentOption, const ChannelInfo& channel);

} // namespace zentuvo
