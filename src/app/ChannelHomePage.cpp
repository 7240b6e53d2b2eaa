#include "app/ChannelHomePage.h"

#include "app/AppContext.h"
#include "common/ErrorReport.h"
#include "common/Messages.h"
#include "common/Shell.h"
#include "data/ChannelInfo.h"

#include <exception>

namespace zentuvo {

void visitChannelHomePage(AppContext& app, ChannelRef ref) {
    reportErrors(app.messages, "VisitChannelHomePage", [&] {
        // A failed lookup has been reported; it counts as a channel without a home page.
        const ChannelInfo channel = channelInfo(app.data(), ref.number()).value_or(ChannelInfo{});
        if (channel.homePage.trimmed().isEmpty()) {
            app.messages.information(app.translate(QStringLiteral("_frmMain_msgNoHomePage")) +
                                     QStringLiteral(" '") + channel.name + u'\'');
            return;
        }
        shellOpen(app.desktop, QStringLiteral("Open"), channel.homePage);
    });
}

} // namespace zentuvo
