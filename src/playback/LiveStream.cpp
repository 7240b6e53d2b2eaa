#include "playback/LiveStream.h"

#include <QUrl>

namespace zentuvo {

QStringList liveStreamOptions(const QString& mrl) {
    const QUrl url(mrl.trimmed());
    const QString scheme = url.scheme().toLower();
    if (scheme != u"http" && scheme != u"https" && scheme != u"udp" && scheme != u"rtp")
        return {};
    // A playlist of segments names itself somewhere in its address (".m3u8", "/hls/",
    // "?type=m3u8", ".mpd").
    const QString address = mrl.toLower();
    for (const char* segmented : {"m3u8", ".m3u", "/hls", ".mpd", "/dash"}) {
        if (address.contains(QLatin1String(segmented)))
            return {};
    }
    return {QStringLiteral(":no-ts-trust-pcr")};
}

bool readsAsLiveTransportStream(const QString& mrl) {
    const QUrl url(mrl.trimmed());
    const QString scheme = url.scheme().toLower();
    if ((scheme != u"http" && scheme != u"https") || liveStreamOptions(mrl).isEmpty())
        return false;
    const QString path = url.path().toLower();
    for (const char* other : {".mp4", ".m4v", ".m4a", ".mkv", ".webm", ".avi", ".mov", ".flv",
                              ".mp3", ".aac", ".ogg", ".oga", ".opus", ".flac", ".wav"}) {
        if (path.endsWith(QLatin1String(other)))
            return false;
    }
    return true;
}

} // namespace zentuvo
