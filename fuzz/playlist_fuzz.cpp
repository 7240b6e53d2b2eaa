// Any bytes as an M3U playlist: the reader must never crash, and whatever it reads must write
// and read back to the same entries (a double quote in an attribute comes back as a single
// one) and write again to the same bytes.
#include "data/Playlist.h"

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition) {
    if (!condition)
        std::abort();
}

void roundTrip(const QByteArray& bytes, const QUrl& base) {
    const zentuvo::PlaylistRead read = zentuvo::readPlaylist(bytes, base);
    check(!read.cancelled && read.unreadable >= 0);
    check(read.unreadableLines.size() == std::min(read.unreadable, 10));
    for (qsizetype i = 1; i < read.unreadableLines.size(); ++i)
        check(read.unreadableLines[i] > read.unreadableLines[i - 1]);
    for (const auto& e : read.entries)
        check(!e.url.isEmpty() && e.line >= 1);

    const QByteArray written = zentuvo::writePlaylist(read.entries);
    const zentuvo::PlaylistRead again = zentuvo::readPlaylist(written);
    check(again.unreadable == 0 && again.entries.size() == read.entries.size());
    const auto unquoted = [](QString s) { return s.replace(u'"', u'\''); };
    for (std::size_t i = 0; i < read.entries.size(); ++i) {
        zentuvo::PlaylistEntry expected = read.entries[i];
        expected.tvgId = unquoted(expected.tvgId);
        expected.tvgName = unquoted(expected.tvgName);
        expected.logo = unquoted(expected.logo);
        expected.country = unquoted(expected.country);
        expected.group = unquoted(expected.group);
        expected.line = again.entries[i].line;
        check(again.entries[i] == expected);
    }
    check(zentuvo::writePlaylist(again.entries) == written);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    roundTrip(bytes, QUrl());
    roundTrip(bytes, QUrl(QStringLiteral("http://example.org/lists/all.m3u")));
    return 0;
}
