#include "playback/LiveStream.h"

#include <QUrl>

namespace zentuvo {

namespace {

enum class Carrier { None, Http, Datagram };

// How the address carries one continuous live stream, if it does: over HTTP(S), or UDP/RTP.
Carrier continuousCarrier(const QUrl& url, const QString& mrl) {
    const QString scheme = url.scheme().toLower();
    const Carrier carrier = scheme == u"http" || scheme == u"https" ? Carrier::Http
                            : scheme == u"udp" || scheme == u"rtp"  ? Carrier::Datagram
                                                                    : Carrier::None;
    if (carrier == Carrier::None)
        return carrier;
    // A playlist of segments names itself somewhere in its address (".m3u8", "/hls/",
    // "?type=m3u8", ".mpd").
    const QString address = mrl.toLower();
    for (const char* segmented : {"m3u8", ".m3u", "/hls", ".mpd", "/dash"}) {
        if (address.contains(QLatin1String(segmented)))
            return Carrier::None;
    }
    return carrier;
}

} // namespace

QStringList liveStreamOptions(const QString& mrl) {
    if (continuousCarrier(QUrl(mrl.trimmed()), mrl) == Carrier::None)
        return {};
    return {QStringLiteral(":no-ts-trust-pcr")};
}

bool readsAsLiveTransportStream(const QString& mrl) {
    const QUrl url(mrl.trimmed());
    if (continuousCarrier(url, mrl) != Carrier::Http)
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
