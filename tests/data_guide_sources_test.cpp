// The guide sources as the user manages them: adding, removing (with what they gave), which
// are due for a refresh, the span of the guide's data, and the command line over them.
#include "data/GuideImport.h"
#include "data/GuideSources.h"
#include "support/TestSupport.h"

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zentuvo;
using zentuvo::test::runCatalogueTool;

namespace {

qint64 at(const char* isoUtc) {
    return QDateTime::fromString(QString::fromLatin1(isoUtc), Qt::ISODate).toSecsSinceEpoch();
}

struct Guide {
    QTemporaryDir dir;
    QString file = dir.filePath("guide.dat");

    // Imports, as source http://127.0.0.1/<name>, one programme of channel from start to stop
    // ("YYYYMMDDhhmmss"); the error, "" when it took.
    QString import(const char* name, const char* channel, const char* start, const char* stop,
                   const char* title = "X") {
        QByteArray xml = QByteArray("<tv><programme channel=\"") + channel + "\" start=\"" + start +
                         " +0000\" stop=\"" + stop + " +0000\"><title>" + title +
                         "</title></programme></tv>";
        QBuffer buffer(&xml);
        buffer.open(QIODevice::ReadOnly);
        return importGuide(file, QStringLiteral("http://127.0.0.1/") + name, buffer,
                           {{ChannelRef::catalogue(1), "one.it", "Uno"},
                            {ChannelRef::catalogue(2), "two.de", "Zwei"}})
            .error;
    }
    // a.xml gives News on one.it, b.xml Film on two.de, from 2026-12-06 10:00.
    QString importTwo() { // in turn: a braced list is evaluated in order
        return QStringList{import("a.xml", "one.it", "20261206100000", "20261206110000", "News"),
                           import("b.xml", "two.de", "20261206100000", "20261206120000", "Film")}
            .join("");
    }
    QString titleAt(int channel, const char* time) const {
        const auto p = programmeAt(file, ChannelRef::catalogue(channel), at(time));
        return p ? p->title : QString();
    }
};

TEST(GuideSources, AddAndRemoveKeepOtherSourcesProgrammes) {
    Guide g;
    ASSERT_EQ(g.importTwo(), "");
    const std::pair<QString, bool> adds[] = {
        {" http://127.0.0.1/c.xml.gz ", true},
        {"http://127.0.0.1/a.xml", false}, // there already
        {"   ", false},
        {"local/guide.xml", true},
    };
    for (const auto& [text, added] : adds)
        EXPECT_EQ(addGuideSource(g.file, text), added) << text.toStdString();
    QStringList addresses;
    for (const GuideSource& s : guideSources(g.file))
        addresses << s.address;
    EXPECT_EQ(addresses, (QStringList{"http://127.0.0.1/a.xml", "http://127.0.0.1/b.xml",
                                      "http://127.0.0.1/c.xml.gz",
                                      QDir::current().absoluteFilePath("local/guide.xml")}));
    EXPECT_EQ(guideSources(g.file)[2].lastRefresh, 0);

    EXPECT_TRUE(removeGuideSource(g.file, "http://127.0.0.1/a.xml"));
    EXPECT_FALSE(removeGuideSource(g.file, "http://127.0.0.1/a.xml"));
    EXPECT_EQ(g.titleAt(1, "2026-12-06T10:30:00Z"), QString()) << "its programmes go";
    EXPECT_TRUE(guideChannelsWithId(g.file, "one.it").isEmpty()) << "and its channels";
    EXPECT_EQ(g.titleAt(2, "2026-12-06T10:30:00Z"), "Film") << "the other's stay";
    EXPECT_EQ(guideSources(g.file).size(), 3u);
}

TEST(GuideSources, DueAfterTheIntervalOrWhenNeverRefreshed) {
    const qint64 now = at("2026-12-07T12:00:00Z");
    const std::vector<GuideSource> sources{
        {1, "never", 0, {}, 0, 0},
        {2, "exactly 12 h", now - 12 * 3600, {}, 0, 0},
        {3, "a second short", now - 12 * 3600 + 1, {}, 0, 0},
        {4, "failed long ago", now - 40 * 3600, "404 Not Found", 0, 0},
        {5, "just now", now, {}, 0, 0},
    };
    const std::pair<int, QStringList> cases[] = {
        {12, {"never", "exactly 12 h", "failed long ago"}},
        {1, {"never", "exactly 12 h", "a second short", "failed long ago"}},
        {48, {"never"}},
    };
    for (const auto& [hours, expected] : cases) {
        QStringList due;
        for (const GuideSource& s : guideSourcesDue(sources, now, hours))
            due << s.address;
        EXPECT_EQ(due, expected) << hours;
    }
}

TEST(GuideSources, TimeSpanFollowsTheDataWithinLimits) {
    Guide g;
    const qint64 now = at("2026-12-07T12:00:00Z");
    const qint64 day = 86400;
    const GuideSpan none = guideTimeSpan(g.file, now);
    EXPECT_EQ(none.from, now - day);
    EXPECT_EQ(none.to, now + 8 * day);
    // The programme's start and stop, the span from and to.
    const std::tuple<const char*, const char*, qint64, qint64> cases[] = {
        {"20261206100000", "20261210060000", at("2026-12-06T10:00:00Z"),
         at("2026-12-10T06:00:00Z")},
        {"20261101000000", "20270301000000", now - 14 * day, now + 21 * day},  // clamped
        {"20261208000000", "20261208010000", now, at("2026-12-08T01:00:00Z")}, // holds now
        {"20261201000000", "20261202000000", at("2026-12-01T00:00:00Z"), now + 3600},
    };
    for (const auto& [start, stop, from, to] : cases) {
        ASSERT_EQ(g.import("a", "one.it", start, stop), "");
        const GuideSpan span = guideTimeSpan(g.file, now);
        EXPECT_EQ(span.from, from) << start;
        EXPECT_EQ(span.to, to) << stop;
    }
}

TEST(GuideTool, AddsRemovesAndListsSources) {
    Guide g;
    ASSERT_EQ(g.importTwo(), "");
    noteGuideFailure(g.file, "http://127.0.0.1/b.xml", "404 Not Found"); // keeps what it gave
    const auto when = [&](int i) {
        return QDateTime::fromSecsSinceEpoch(guideSources(g.file)[i].lastRefresh, Qt::UTC)
            .toString(Qt::ISODate);
    };
    int rc = 0;
    const QString out =
        runCatalogueTool({"guide-sources", "--guide", g.file, "--add", "http://127.0.0.1/c.xml",
                          "--add", "http://127.0.0.1/d.xml", "--remove", "http://127.0.0.1/d.xml"},
                         &rc);
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(out.split('\n', Qt::SkipEmptyParts),
              (QStringList{"http://127.0.0.1/a.xml\t" + when(0) + "\t1\t1\t",
                           "http://127.0.0.1/b.xml\t" + when(1) + "\t1\t1\t404 Not Found",
                           "http://127.0.0.1/c.xml\t\t0\t0\t"}));
    EXPECT_TRUE(runCatalogueTool(
                    {"guide-sources", "--guide", g.file, "--remove", "http://127.0.0.1/x"}, &rc)
                    .endsWith("http://127.0.0.1/x: no such guide source\n"));
    EXPECT_EQ(rc, 1);
    runCatalogueTool({"guide-sources", "--add", "http://127.0.0.1/c.xml"}, &rc);
    EXPECT_EQ(rc, 2);
}

} // namespace
