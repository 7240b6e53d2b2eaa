#include "ui/widgets/PlayerStateText.h"

#include "app/AppContext.h"

namespace zentuvo {

QString playerStateText(int state) {
    switch (state) {
    case 0:
        return QStringLiteral("Idle/Close");
    case 1:
        return QStringLiteral("Opening");
    case 2:
        return QStringLiteral("Buffering");
    case 3:
        return QStringLiteral("Playing");
    case 4:
        return QStringLiteral("Paused");
    case 5:
        return QStringLiteral("Stopping");
    case 6:
        return QStringLiteral("6 - Idle");
    case 7:
        return QStringLiteral("7 - Idle");
    case 8:
        return QStringLiteral("Ended");
    default:
        return QStringLiteral("ERROR");
    }
}

QString playerStateText(AppContext& app, int state) {
    const QString key = state >= 0 && state <= 8 ? QStringLiteral("_player_state%1").arg(state)
                                                 : QStringLiteral("_player_stateError");
    return app.translate(key);
}

QString previewStatusPrefix(AppContext& app) {
    return QStringLiteral("- ") + app.translate(QStringLiteral("_player_preview")) +
           QStringLiteral(" - ");
}

} // namespace zentuvo
