#include "app/PlayerOptions.h"

#include "data/ChannelInfo.h"

namespace zentuvo {

QStringList playerHeaderOptions(const QString& programUserAgentOption, const ChannelInfo& channel) {
    QStringList options;
    // The program's user agent is kept with "+" for its blanks. The player library takes
    // each option whole, blanks included, but refuses a user agent in the "+" form, and then
    // sends none at all: the player gets it with its blanks.
    if (channel.userAgent.isEmpty())
        options << QString(programUserAgentOption).replace(u'+', u' ');
    else
        options << QStringLiteral(":http-user-agent=") + channel.userAgent;
    if (!channel.referrer.isEmpty())
        options << QStringLiteral(":http-referrer=") + channel.referrer;
    return options;
}

} // namespace zentuvo
