#include "app/PlaybackErrors.h"

#include <QRegularExpression>

namespace zentuvo {

namespace {

struct Rule {
    const char* termKey;
    const char* pattern; // matched case-insensitively against every line
};

// The more telling reasons first: an HTTP 404 is also a "connection failure".
const Rule kRules[] = {
    {"_player_errNotFound", R"(\bHTTP\b.*\b404\b|\b404 Not Found\b)"},
    {"_player_errRefused", R"(connection refused)"},
    {"_player_errNoHost",
     R"(cannot resolve|name or service not known|name resolution|no address associated)"},
    {"_player_errTimedOut", R"(timed out)"},
    {"_player_errUnreadable", R"(no suitable demux|unidentified format)"},
};

} // namespace

PlaybackErrorReason playbackErrorReason(const QStringList& libraryLines) {
    for (const Rule& rule : kRules) {
        const QRegularExpression pattern(QLatin1String(rule.pattern),
                                         QRegularExpression::CaseInsensitiveOption);
        for (const QString& line : libraryLines) {
            if (pattern.match(line).hasMatch())
                return {QLatin1String(rule.termKey), QString()};
        }
    }
    for (const QString& line : libraryLines) {
        if (!line.trimmed().isEmpty())
            return {QString(), line.trimmed()};
    }
    return {};
}

} // namespace zentuvo
