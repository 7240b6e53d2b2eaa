// The M3U writer: the form that readPlaylist reads back to the same entries.
#include "data/Playlist.h"

namespace zentuvo {

namespace {

// A field on one line: line ends and other control characters (the tab aside) become blanks.
QByteArray oneLine(const QString& text) {
    QByteArray bytes = text.toUtf8();
    for (char& c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && u != '\t') || u == 0x7f)
            c = ' ';
    }
    return bytes;
}

void appendAttribute(QByteArray& out, const char* name, const QString& value) {
    if (value.isEmpty())
        return;
    QByteArray bytes = oneLine(value);
    // A double-quoted value cannot hold a double quote: it becomes a single one.
    bytes.replace('"', '\'');
    out += ' ';
    out += name;
    out += "=\"";
    out += bytes;
    out += '"';
}

} // namespace

QByteArray writePlaylist(const std::vector<PlaylistEntry>& entries) {
    QByteArray out;
    out.reserve(qsizetype(entries.size()) * 160 + 8);
    out += "#EXTM3U\n";
    for (const PlaylistEntry& e : entries) {
        out += "#EXTINF:-1";
        appendAttribute(out, "tvg-id", e.tvgId);
        appendAttribute(out, "tvg-name", e.tvgName);
        appendAttribute(out, "tvg-logo", e.logo);
        appendAttribute(out, "tvg-country", e.country);
        appendAttribute(out, "group-title", e.group);
        out += ',';
        out += oneLine(e.name);
        out += '\n';
        // An address holding a '|' could read as "address|headers": then the headers follow
        // it in that form, percent-encoded, so that the reader splits at this last '|'.
        const bool headersAfterBar = e.url.contains(u'|');
        if (!headersAfterBar && !e.userAgent.isEmpty())
            out += "#EXTVLCOPT:http-user-agent=" + oneLine(e.userAgent) + '\n';
        if (!headersAfterBar && !e.referrer.isEmpty())
            out += "#EXTVLCOPT:http-referrer=" + oneLine(e.referrer) + '\n';
        out += oneLine(e.url);
        if (headersAfterBar)
            out += "|User-Agent=" + QUrl::toPercentEncoding(oneLine(e.userAgent)) +
                   "&Referer=" + QUrl::toPercentEncoding(oneLine(e.referrer));
        out += '\n';
    }
    return out;
}

} // namespace zentuvo
