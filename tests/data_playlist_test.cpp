#include "data/Playlist.h"

#include <gtest/gtest.h>

using namespace zentuvo;

namespace {

// An entry as "line:name <url>" and its other fields that are set.
QString shown(const PlaylistEntry& e) {
    QString s = QStringLiteral("%1:%2 <%3>").arg(e.line).arg(e.name, e.url);
    const std::pair<const char*, const QString*> fields[] = {
        {"id", &e.tvgId}, {"tn", &e.tvgName},   {"logo", &e.logo},   {"c", &e.country},
        {"g", &e.group},  {"ua", &e.userAgent}, {"ref", &e.referrer}};
    for (const auto& [key, value] : fields)
        if (!value->isEmpty())
            s += QStringLiteral(" %1=%2").arg(QLatin1String(key), *value);
    return s;
}

QStringList shown(const PlaylistRead& read) {
    QStringList list;
    for (const auto& e : read.entries)
        list << shown(e);
    return list;
}

struct ReadCase {
    const char* what;
    QByteArray bytes;
    QStringList entries;
    QList<int> unreadable = {};
    QUrl base = {};
};

} // namespace

TEST(Playlist, ReadsWhatPeoplesPlaylistsHold) {
    const QUrl base("http://example.org/lists/all.m3u");
    const ReadCase cases[] = {
        {"CRLF, #EXTM3U with attributes",
         "#EXTM3U url-tvg=\"http://e/g.xml\"\r\n#EXTINF:-1 tvg-id=\"r1\" "
         "tvg-logo=\"http://l/1.png\" "
         "tvg-country=\"IT\",Rai 1\r\nhttp://s/1.m3u8\r\n\r\n#EXTINF:0,Two\r\nhttp://s/2\r\n",
         {"3:Rai 1 <http://s/1.m3u8> id=r1 logo=http://l/1.png c=IT", "6:Two <http://s/2>"}},
        {"CR only, no final line end",
         "#EXTM3U\r#EXTINF:-1,One\rhttp://s/1\r#EXTINF:-1,Two\rhttp://s/2",
         {"3:One <http://s/1>", "5:Two <http://s/2>"}},
        {"BOM, no #EXTM3U",
         "\xEF\xBB\xBF#EXTINF:-1,Espa\xC3\xB1"
         "a\nhttp://s/e\n",
         {QString::fromUtf8("2:España <http://s/e>")}},
        {"Latin-1 bytes",
         "#EXTM3U\n#EXTINF:-1 group-title=\"Espa\xF1"
         "a\",T\xE9l\xE9\nhttp://s/t\n",
         {QString::fromUtf8("3:Télé <http://s/t> g=España")}},
        {"quoted values with commas, '=' and blanks; any case; title with commas",
         "#EXTINF:-1 TVG-NAME=\"A, B = C\" tvg-logo='http://l/x.png?a=1,2' tvg-id=plain "
         "Group-Title=\"Films, Series\",Title, with, commas\nhttp://s/a\n",
         {"2:Title, with, commas <http://s/a> id=plain tn=A, B = C logo=http://l/x.png?a=1,2 "
          "g=Films, Series"}},
        {"empty title: the tvg-name",
         "#EXTINF:-1 tvg-name=\"Name only\",\nhttp://s/b\n",
         {"2:Name only <http://s/b> tn=Name only"}},
        {"#EXTINF without address, before another and at the end without line end",
         "#EXTM3U\n#EXTINF:-1,Lost\n#EXTINF:-1,Found\nhttp://s/f\n#EXTINF:-1,Last",
         {"4:Found <http://s/f>"},
         {2, 5}},
        {"addresses without #EXTINF",
         "http://s/dir/My%20Channel.ts?token=1\nrtmp://s/\n",
         {"1:My Channel.ts <http://s/dir/My%20Channel.ts?token=1>", "2:rtmp://s/ <rtmp://s/>"}},
        {"relative addresses with a base",
         "#EXTINF:-1,R\nstreams/one.m3u8\n/root.ts\n",
         {"2:R <http://example.org/lists/streams/one.m3u8>",
          "3:root.ts <http://example.org/root.ts>"},
         {},
         base},
        {"relative addresses without a base",
         "#EXTINF:-1,R\nstreams/one.m3u8\nhttp://s/ok\n",
         {"3:ok <http://s/ok>"},
         {2}},
        {"#EXTGRP when there is no group-title",
         "#EXTINF:-1,News\n#EXTGRP:Info\nhttp://s/n\n#EXTINF:-1 group-title=\"Sport\",S\n"
         "#EXTGRP:Other\nhttp://s/s\n#EXTINF:-1,None\nhttp://s/x\n",
         {"3:News <http://s/n> g=Info", "6:S <http://s/s> g=Sport", "8:None <http://s/x>"}},
        {"#KODIPROP, unknown directives, other #EXTVLCOPT, comments",
         "#EXTM3U\n#KODIPROP:inputstream=adaptive\n#EXTINF:-1,K\n#EXTX-ODD:1\n# comment, x\n"
         "#EXTVLCOPT:network-caching=1000\nhttp://s/k\n",
         {"7:K <http://s/k>"}},
        {"binary garbage: the entry is unreadable, a comment is skipped",
         "#EXTINF:-1,G\nhttp://s/g\n\x01\x02\xFF garbage\n#EXTINF:-1,H\nhttp://s/\x7F"
         "bad\n"
         "#EXTINF:-1,\x02\nhttp://s/i\n#\x03\n#EXTINF:-1,J\nhttp://s/j\n",
         {"2:G <http://s/g>", "10:J <http://s/j>"},
         {3, 5, 6}},
        {"headers after '|', percent-encoded, any case; other '|' stay in the address",
         "#EXTINF:-1,P\nhttp://s/p|x|user-agent=Mozilla%2F5.0&REFERRER=http%3A%2F%2Fr%2F&Origin=o\n"
         "#EXTINF:-1,Q\nhttp://s/q|a b\n",
         {"2:P <http://s/p|x> ua=Mozilla/5.0 ref=http://r/", "4:Q <http://s/q|a b>"}},
        {"#EXTVLCOPT and attribute headers, only for their own entry",
         "#EXTINF:-1,V\n#EXTVLCOPT:http-user-agent=VLC/3\n#EXTVLCOPT:http-referrer=http://r/\n"
         "http://s/v\n#EXTINF:-1 user-agent=A2 http-referrer=\"http://r2/\",W\nhttp://s/w\n"
         "#EXTINF:-1,X\nhttp://s/x\n",
         {"4:V <http://s/v> ua=VLC/3 ref=http://r/", "6:W <http://s/w> ua=A2 ref=http://r2/",
          "8:X <http://s/x>"}},
    };
    for (const ReadCase& c : cases) {
        const PlaylistRead read = readPlaylist(c.bytes, c.base);
        EXPECT_EQ(shown(read), c.entries) << c.what;
        EXPECT_EQ(read.unreadableLines, c.unreadable) << c.what;
        EXPECT_EQ(read.unreadable, c.unreadable.size()) << c.what;
        EXPECT_FALSE(read.cancelled) << c.what;
    }
}

TEST(Playlist, WritesWhatItReadsBack) {
    std::vector<PlaylistEntry> entries = {
        {"Rai 1, HD", "http://s/1.m3u8", "rai1.it", "Rai 1", "http://l/1.png", "IT", "A, B = C",
         "Mozilla/5.0 (X11)", "http://r/", 0},
        {"Only name", "rtmp://s/app/2", "", "", "", "", "", "", "", 0},
        {"Bar", "http://s/q|x=1", "", "", "", "", "", "Agent & Co", "http://r/?a=1&b=2", 0},
        {"", "http://s/3", "", "", "", "", "", "", "", 0},
    };
    const PlaylistRead back = readPlaylist(writePlaylist(entries));
    ASSERT_EQ(back.entries.size(), entries.size());
    EXPECT_EQ(back.unreadable, 0);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        entries[i].line = back.entries[i].line;
        EXPECT_EQ(shown(back.entries[i]), shown(entries[i]));
    }
    // A double quote in an attribute becomes a single one; line ends become blanks.
    const PlaylistEntry odd{"Two\nlines", "http://s/o", "", "Say \"hi\"", "", "", "", "", "", 0};
    const QByteArray written = writePlaylist({odd});
    EXPECT_EQ(written, "#EXTM3U\n#EXTINF:-1 tvg-name=\"Say 'hi'\",Two lines\nhttp://s/o\n");
}

TEST(Playlist, CountsEveryUnreadableListsTheFirstTenAndStopsWhenCalledOff) {
    QByteArray bytes;
    for (int i = 0; i < 11; ++i)
        bytes += "#EXTINF:-1,No address\n";
    bytes += "http://s/last\n";
    const PlaylistRead read = readPlaylist(bytes);
    EXPECT_EQ(read.unreadable, 10);
    EXPECT_EQ(read.unreadableLines, (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    ASSERT_EQ(read.entries.size(), 1u);

    const QByteArray more = bytes + "\x01\n";
    std::atomic<qint64> progress = -1;
    const PlaylistRead eleven = readPlaylist(more, {}, nullptr, &progress);
    EXPECT_EQ(eleven.unreadable, 11);
    EXPECT_EQ(eleven.unreadableLines, read.unreadableLines);
    EXPECT_EQ(progress.load(), more.size());

    const std::atomic_bool cancel = true;
    const PlaylistRead cancelled = readPlaylist(bytes, {}, &cancel);
    EXPECT_TRUE(cancelled.cancelled);
    EXPECT_TRUE(cancelled.entries.empty());
}

TEST(Playlist, ReadsAFiftyMegabyteListWhole) {
    QByteArray bytes("#EXTM3U\n");
    int n = 0;
    while (bytes.size() < 50 * 1024 * 1024) {
        bytes += "#EXTINF:-1 tvg-id=\"C" + QByteArray::number(n) +
                 ".xx\" tvg-logo=\"http://127.0.0.1:9/logos/" + QByteArray::number(n) +
                 ".png\" group-title=\"Group " + QByteArray::number(n % 300) + "\",Channel " +
                 QByteArray::number(n) + ", news and more and more\nhttp://127.0.0.1:9/live/" +
                 QByteArray::number(n) + ".ts\n";
        ++n;
    }
    std::atomic<qint64> progress{0};
    const PlaylistRead read = readPlaylist(bytes, {}, nullptr, &progress);
    ASSERT_EQ(int(read.entries.size()), n);
    EXPECT_EQ(read.unreadable, 0);
    EXPECT_EQ(read.entries.back().line, 2 * n + 1);
    EXPECT_EQ(read.entries.back().group, QString("Group %1").arg((n - 1) % 300));
    EXPECT_EQ(progress.load(), bytes.size());
}
