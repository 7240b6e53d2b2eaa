#include "data/Database.h"
#include "data/GuideImport.h"
#include "data/GuideMatch.h"
#include "data/GuideNowNext.h"
#include "data/GuideStore.h"
#include "data/Schema.h"
#include "data/XmltvReader.h"
#include "data/XmltvSkim.h"
#include "support/TestSupport.h"

#include <QBuffer>
#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zentuvo;
using namespace zentuvo::test;

namespace {

qint64 at(const char* isoUtc) {
    return QDateTime::fromString(QString::fromLatin1(isoUtc), Qt::ISODate).toSecsSinceEpoch();
}

QString hhmm(qint64 seconds) {
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC).toString(QStringLiteral("HHmm"));
}

// A guide of the given channel and programme elements.
QByteArray guideOf(const QByteArray& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tv>\n" + body + "</tv>\n";
}

QByteArray programme(const char* channel, const char* start, const char* stop, const char* title) {
    QByteArray p = QByteArray("<programme channel=\"") + channel + "\" start=\"" + start + "\"";
    if (*stop)
        p += QByteArray(" stop=\"") + stop + "\"";
    return p + "><title>" + title + "</title></programme>\n";
}

// A catalogue (code, name: one.it Uno, two.de Zwei, three.fr Trois) and a My List (tvgId,
// name: ONE.IT First, "" Zwei!) in a temporary folder, and the guide file beside them.
struct GuideFiles {
    QTemporaryDir dir;
    QString catalogue = dir.filePath("ch.dat");
    QString myList = dir.filePath("mylist.dat");
    QString guide = dir.filePath("guide.dat");
    std::vector<GuideTarget> targets;
    qint64 progress = 0; // the last count of bytes read told

    GuideFiles() {
        {
            Connection db(catalogue, Connection::Mode::Create);
            createCatalogueSchema(db);
            db.exec("INSERT INTO tab_channels (channelID, code, name) VALUES "
                    "(1, 'one.it', 'Uno'), (2, 'two.de', 'Zwei'), (3, 'three.fr', 'Trois')");
        }
        createMyListDatabase(myList, nullptr);
        Connection db(myList);
        db.exec("INSERT INTO tab_mylist (channelID, tvgId, name) VALUES (7, 'ONE.IT', 'First'), "
                "(8, '', 'Zwei!')");
        targets = loadGuideTargets(catalogue, myList);
    }

    GuideImportOutcome import(QByteArray bytes, const QString& address = "a",
                              const std::atomic_bool* cancel = nullptr) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        GuideImportOptions options;
        options.cancel = cancel;
        options.progress = [this](qint64 bytes) { progress = bytes; };
        return importGuide(guide, address, buffer, targets, options);
    }

    // The channel's programmes of 2026-12-06 as "HHmm-HHmm title".
    QStringList day(ChannelRef channel) const {
        QStringList out;
        for (const GuideProgramme& p : guideProgrammes(guide, {channel}, at("2026-12-06T00:00:00Z"),
                                                       at("2026-12-07T00:00:00Z")))
            out << hhmm(p.start) + u'-' + hhmm(p.stop) + u' ' + p.title;
        return out;
    }
};

TEST(GuideMatch, MatchesByIdThenByNameFirstComeFirst) {
    const std::vector<GuideTarget> targets{
        {ChannelRef::catalogue(1), "one.it", "Uno"},
        {ChannelRef::catalogue(2), "", "ZDF-info HD"},
        {ChannelRef::myList(5), "ONE.IT", "something else"},
        {ChannelRef::myList(6), "", "uno"},
        {ChannelRef::myList(7), "nothing.here", "Drei!"},
        {ChannelRef::catalogue(3), "late.de", "Late"},
        {ChannelRef::catalogue(4), "", "Nobody"},
    };
    GuideMatcher matcher(targets);
    for (const auto& [id, names] :
         std::vector<std::pair<QString, QStringList>>{{"one.it", {"Uno"}},
                                                      {"zdf", {"zdfinfo  hd"}},
                                                      {"drei1", {"D R E I"}},
                                                      {"drei2", {"Drei"}},
                                                      {"bylate", {"LATE"}},
                                                      {"late.de", {"Other"}}})
        matcher.addChannel({id, names, {}});
    matcher.finish();
    const char* expected[] = {"one.it", "zdf", "one.it", "one.it", "drei1", "late.de", nullptr};
    for (int i = 0; i < int(targets.size()); ++i)
        EXPECT_EQ(matcher.guideOf(i), expected[i] ? QString(expected[i]) : QString()) << i;
    EXPECT_EQ(matcher.targetsOf("one.it"), QList<int>({0, 2, 3}));
    EXPECT_EQ(matcher.matchedCount(), 6);
    EXPECT_EQ(guideNameKey("  Rai-1, \"HD\"! "), "rai1hd");
}

TEST(GuideImport, MakesCleanTimelinesInUtc) {
    const ChannelRef one = ChannelRef::catalogue(1);
    // What the case shows, the programmes, the day they make.
    const std::tuple<const char*, QByteArray, QStringList> cases[] = {
        {"offsets",
         programme("one.it", "20261206120000 +0545", "20261206130000 +0545", "A") +
             programme("one.it", "20261206040000 -0330", "20261206050000 -0330", "B") +
             programme("one.it", "20261206090000", "20261206100000", "C"),
         {"0615-0715 A", "0730-0830 B", "0900-1000 C"}},
        {"missing stops, the last one dropped",
         programme("one.it", "20261206100000 +0000", "", "A") +
             programme("one.it", "20261206110000 +0000", "", "B"),
         {"1000-1100 A"}},
        {"overlap, duplicate, out of order",
         programme("one.it", "20261206120000 +0000", "20261206140000 +0000", "Long") +
             programme("one.it", "20261206100000 +0000", "20261206110000 +0000", "Early") +
             programme("one.it", "20261206130000 +0000", "20261206133000 +0000", "Mid") +
             programme("one.it", "20261206130000 +0000", "20261206150000 +0000", "Again"),
         {"1000-1100 Early", "1200-1300 Long", "1300-1330 Mid"}},
    };
    for (const auto& [what, programmes, expected] : cases) {
        GuideFiles files;
        const GuideImportOutcome r = files.import(guideOf(programmes));
        EXPECT_EQ(r.error, QString()) << what;
        EXPECT_EQ(files.day(one), expected) << what;
        EXPECT_EQ(r.programmesKept, expected.size()) << what;
    }
}

TEST(GuideImport, KeepsOnlyMatchedChannelsForEachOfOurs) {
    GuideFiles files;
    const QByteArray body =
        "<channel id=\"zwei\"><display-name>ZWEI</display-name>"
        "<icon src=\"http://127.0.0.1/z.png\"/></channel>\n"
        "<channel id=\"one.it\"><display-name>Uno</display-name></channel>\n" +
        programme("one.it", "20261206100000 +0000", "20261206110000 +0000", "One") +
        programme("zwei", "20261206100000 +0000", "20261206110000 +0000", "Two") +
        programme("other", "20261206100000 +0000", "20261206110000 +0000", "Other") +
        programme("other", "20261206110000 +0000", "20261206120000 +0000", "Other");
    const GuideImportOutcome r = files.import(gzipped(guideOf(body)));
    EXPECT_EQ(r.error, QString());
    // one.it feeds catalogue 1 and My List 7 (by id); zwei feeds catalogue 2 and My List 8
    // (by name).
    EXPECT_EQ(r.channelsMatched, 4);
    EXPECT_EQ(r.programmesKept, 2); // each once, though it feeds two of ours
    EXPECT_EQ(files.day(ChannelRef::myList(7)), QStringList({"1000-1100 One"}));
    EXPECT_EQ(files.day(ChannelRef::myList(8)), QStringList({"1000-1100 Two"}));
    EXPECT_EQ(guideChannelsWithId(files.guide, "one.IT"),
              QList<ChannelRef>({ChannelRef::catalogue(1), ChannelRef::myList(7)}));
    const auto sources = guideSources(files.guide);
    ASSERT_EQ(sources.size(), 1u);
    EXPECT_EQ(sources[0].programmesKept, 2);
    EXPECT_EQ(sources[0].lastError, QString());
}

TEST(GuideImport, AFailingSourceKeepsWhatItGaveBefore) {
    GuideFiles files;
    const ChannelRef one = ChannelRef::catalogue(1);
    const QByteArray good =
        guideOf(programme("one.it", "20261206100000 +0000", "20261206110000 +0000", "Kept") +
                programme("one.it", "20261206110000 +0000", "20261206120000 +0000", "Kept too"));
    ASSERT_EQ(files.import(good).error, QString());
    ASSERT_EQ(files.import(good, "b").error, QString());
    std::atomic_bool cancelled = true;
    const QByteArray packed = gzipped(good);
    // What fails, the bytes, the cancel flag, the source's error.
    const std::tuple<const char*, QByteArray, const std::atomic_bool*, const char*> cases[] = {
        {"truncated gzip", packed.left(packed.size() / 2), nullptr, "truncated"},
        {"not XML", "hello", nullptr, "not XML"},
        {"cancelled", good, &cancelled, "cancelled"},
    };
    for (const auto& [what, bytes, cancel, error] : cases) {
        const GuideImportOutcome r = files.import(bytes, "a", cancel);
        EXPECT_EQ(r.error, error) << what;
        EXPECT_EQ(files.day(one), QStringList({"1000-1100 Kept", "1100-1200 Kept too"})) << what;
        EXPECT_EQ(guideSources(files.guide)[0].lastError, error) << what;
        EXPECT_EQ(guideSources(files.guide)[1].lastError, QString()) << what;
    }
    QFile missing(files.dir.filePath("missing.xml"));
    missing.open(QIODevice::ReadOnly);
    EXPECT_FALSE(importGuide(files.guide, "a", missing, files.targets).error.isEmpty());
    EXPECT_EQ(files.day(one).size(), 2);
    // A guide of no programmes is a success that empties the source.
    const GuideImportOutcome empty = files.import(guideOf(""));
    EXPECT_EQ(empty.error, QString());
    EXPECT_EQ(empty.programmesKept, 0);
    EXPECT_EQ(guideSources(files.guide)[0].lastError, QString());
    EXPECT_EQ(guideSources(files.guide)[1].programmesKept, 2);
}

TEST(GuideQueries, NowNextAcrossMidnightAndTitleSearch) {
    GuideFiles files;
    ASSERT_EQ(
        files
            .import(guideOf(
                programme("one.it", "20261206230000 +0000", "20261207003000 +0000", "Late Show") +
                programme("one.it", "20261207003000 +0000", "20261207020000 +0000", "Night Film") +
                programme("one.it", "20261207030000 +0000", "20261207040000 +0000", "Early News") +
                programme("two.de", "20261208030000 +0000", "20261208040000 +0000",
                          "Tomorrow's film")))
            .error,
        QString());
    // The time, the programmes running and next then ("" none).
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"2026-12-06T22:59:59Z", "", "Late Show"},
        {"2026-12-06T23:59:59Z", "Late Show", "Night Film"},
        {"2026-12-07T00:30:00Z", "Night Film", "Early News"},
        {"2026-12-07T02:30:00Z", "", "Early News"},
        {"2026-12-07T04:00:00Z", "", ""},
    };
    for (const auto& [time, now, next] : cases) {
        const GuideNowNext snapshot = GuideNowNext::build(files.guide, at(time));
        const NowNext* found = snapshot.find(ChannelRef::catalogue(1));
        EXPECT_EQ(found ? found->now.title : QString(), now) << time;
        EXPECT_EQ(found ? found->next.title : QString(), next) << time;
        const auto running = programmeAt(files.guide, ChannelRef::catalogue(1), at(time));
        EXPECT_EQ(running ? running->title : QString(), now) << time;
    }
    EXPECT_EQ(GuideNowNext::build(files.guide, at("2026-12-07T22:00:00Z")).size(), 1);
    EXPECT_EQ(channelsWithTitle(files.guide, "FILM", at("2026-12-07T00:00:00Z")),
              QList<ChannelRef>({ChannelRef::catalogue(1), ChannelRef::myList(7)}));
    EXPECT_EQ(channelsWithTitle(files.guide, "film", at("2026-12-07T12:00:00Z")),
              QList<ChannelRef>({ChannelRef::catalogue(2)}));
    EXPECT_EQ(readableEpisode("1.4.0/2"), "S2 E5");
    EXPECT_EQ(readableEpisode(" . 4/12 . "), "E5");
    EXPECT_EQ(readableEpisode(".."), "");
}

// The skim in front of the parser drops only what it plainly understands.
TEST(XmltvSkim, DropsOnlyPlainProgrammesOfUnwantedChannels) {
    // The text, what is left of it when dropped (nullptr: kept whole).
    const std::pair<const char*, const char*> cases[] = {
        {"<programme channel=\"x\" start=\"1\">\n<title>a</title></programme >\n", "\n\n"},
        {"<programme channel='y'><title>b</title></programme>", nullptr},
        {"<programme start=\"1\"\n channel=\"x\"/>", nullptr},
        {"<programme channel=\"&#120;\"></programme>", nullptr},
        {"<programme channel=\"x\"><![CDATA[</programme>]]></programme>", nullptr},
        {"<programme channel=\"x\"><!-- </programme> --></programme>", nullptr},
        {"<!-- <programme channel=\"x\"></programme> -->", nullptr},
        {"<![CDATA[<programme channel=\"x\"></programme>]]>", nullptr},
        {"<programme channel=\"x\">cut", nullptr},
        {"<programmes channel=\"x\"></programmes>", nullptr},
    };
    for (const auto& [text, left] : cases) {
        QByteArray in = QByteArray("<tv>") + text + "</tv>";
        QBuffer buffer(&in);
        buffer.open(QIODevice::ReadOnly);
        XmltvSkim skim(buffer, [](const QString& id) { return id == u"y"; });
        skim.start();
        const QByteArray out = skim.readAll();
        EXPECT_EQ(out, left ? QByteArray("<tv>") + left + "</tv>" : in) << text;
        EXPECT_EQ(skim.dropped(), left ? 1 : 0) << text;
    }
    // A document type that may declare entities goes through whole.
    QByteArray subset = "<!DOCTYPE tv [<!ENTITY e \"x\">]><tv><programme channel=\"x\">"
                        "</programme></tv>";
    QBuffer buffer(&subset);
    buffer.open(QIODevice::ReadOnly);
    XmltvSkim skim(buffer, [](const QString&) { return false; });
    skim.start();
    EXPECT_EQ(skim.readAll(), subset);
}

TEST(GuideImport, UnusualProgrammesOfUnwantedChannelsStillParse) {
    // Past the first read of the file, where the skim starts dropping.
    QByteArray body;
    for (int i = 0; i < 4000; ++i)
        body += programme("x", "20261206100000", "", "Filler");
    body += "<!-- <programme channel=\"one.it\"> -->\n"
            "<programme channel=\"x\" start=\"20261206100000\"><title><![CDATA[</programme>]]>"
            "</title></programme>\n"
            "<programme channel=\"x\" start=\"20261206110000\"><!-- </programme> --></programme>\n"
            "<programme channel=\"o&#110;e.it\" start=\"20261206120000\" stop=\"20261206130000\">"
            "<title>Entity</title></programme>\n"
            "<programme channel='x'\nstart=\"20261206130000\"><title>Skipped</title></programme>\n";
    GuideFiles files;
    const GuideImportOutcome r = files.import(guideOf(body));
    EXPECT_EQ(r.error, QString());
    EXPECT_EQ(files.day(ChannelRef::catalogue(1)), QStringList({"1200-1300 Entity"}));
    EXPECT_GT(files.progress, 0);
    EXPECT_LE(files.progress, guideOf(body).size());
    XmltvSink sink;
    sink.wantChannel = [](const QString& id) { return id == u"one.it"; };
    int kept = 0;
    sink.programme = [&](XmltvProgramme) { ++kept; };
    QByteArray broken = guideOf(body + "<programme channel=\"x\"></tv>");
    QBuffer buffer(&broken);
    buffer.open(QIODevice::ReadOnly);
    const XmltvRead read = readXmltv(buffer, sink);
    EXPECT_EQ(read.skipped, 4004);
    EXPECT_EQ(kept, 1);
    // The lines of dropped programmes still count.
    EXPECT_TRUE(read.error.startsWith("line 4009:")) << read.error.toStdString();
}

TEST(GuideTool, ImportsAndTellsWhatRuns) {
    GuideFiles files;
    const QString good = files.dir.filePath("good.xml.gz"), bad = files.dir.filePath("bad.xml");
    writeFile(good, gzipped(guideOf(
                        "<channel id=\"three.fr\"><display-name>Trois</display-name></channel>\n"
                        "<programme channel=\"three.fr\" start=\"20261206100000 +0100\" "
                        "stop=\"20261206110000 +0100\"><title lang=\"fr\">Journal</title>"
                        "<title lang=\"de\">Nachrichten</title></programme>\n")));
    writeFile(bad, "not a guide");
    int rc = 0;
    const QString out = runCatalogueTool({"guide-import", "--guide", files.guide, "--catalogue",
                                          files.catalogue, "--mylist", files.myList, good},
                                         &rc, "de_DE.UTF-8");
    EXPECT_EQ(rc, 0);
    EXPECT_TRUE(out.startsWith(good + ": channels matched 1, programmes kept 1, "))
        << out.toStdString();
    runCatalogueTool({"guide-import", "--guide", files.guide, "--catalogue", files.catalogue, good,
                      bad, "http://127.0.0.1:1/g.xml"},
                     &rc, "de_DE.UTF-8");
    EXPECT_EQ(rc, 1);
    // The channel, the time, the line telling what runs then.
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"THREE.fr", "2026-12-06T09:30:00Z",
         "2026-12-06T09:00:00Z\t2026-12-06T10:00:00Z\tNachrichten"},
        {"three.fr", "2026-12-06T10:30:00+01:00",
         "2026-12-06T09:00:00Z\t2026-12-06T10:00:00Z\tNachrichten"},
        {"three.fr", "2026-12-06T10:00:00Z", ""},
        {"nobody", "2026-12-06T09:30:00Z", ""},
    };
    for (const auto& [channel, time, expected] : cases) {
        EXPECT_EQ(
            runCatalogueTool(
                {"guide-now", "--guide", files.guide, "--channel", channel, "--at", time}, &rc, "C")
                .trimmed(),
            expected)
            << channel << " " << time;
        EXPECT_EQ(rc, 0);
    }
    runCatalogueTool({"guide-now", "--guide", files.guide}, &rc);
    EXPECT_EQ(rc, 2);
}

} // namespace
