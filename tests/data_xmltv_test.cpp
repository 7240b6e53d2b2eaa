#include "data/GzipDevice.h"
#include "data/XmltvReader.h"
#include "data/XmltvTime.h"
#include "support/TestSupport.h"

#include <QBuffer>
#include <QDateTime>
#include <gtest/gtest.h>

using namespace zentuvo;
using zentuvo::test::gzipped;

namespace {

TEST(XmltvTime, ReadsTimesAndRefusesInvalidOnes) {
    const std::pair<const char*, const char*> valid[] = {
        {"19700101000000 +0000", "1970-01-01T00:00:00Z"},
        {"20240229120000 +0000", "2024-02-29T12:00:00Z"},
        {"20000229000000 +0000", "2000-02-29T00:00:00Z"},
        {"20261206183000 +0530", "2026-12-06T13:00:00Z"},
        {"202612061830 +0545", "2026-12-06T12:45:00Z"},
        {"20261206183000 -0330", "2026-12-06T22:00:00Z"},
        {"20261231233059 -0100", "2027-01-01T00:30:59Z"},
        {"20261206183000", "2026-12-06T18:30:00Z"},
        {"202612061830", "2026-12-06T18:30:00Z"},
        {"  20261206183000   +0100 ", "2026-12-06T17:30:00Z"},
        {"20261206183000+0100", "2026-12-06T17:30:00Z"},
    };
    for (const auto& [text, utc] : valid) {
        const std::optional<qint64> got = parseXmltvTime(QString::fromUtf8(text));
        ASSERT_TRUE(got) << text;
        EXPECT_EQ(*got,
                  QDateTime::fromString(QString::fromLatin1(utc), Qt::ISODate).toSecsSinceEpoch())
            << text;
    }
    for (const char* text : {"", "2026120618300", "2026120618300a +0000", "20261306183000 +0000",
                             "20260006183000 +0000", "20261200183000 +0000", "20260230000000 +0000",
                             "20230229000000 +0000", "21000229000000 +0000", "20261206240000 +0000",
                             "20261206186000 +0000", "20261206183060 +0000", "20261206183000 +053",
                             "20261206183000 0530", "20261206183000 +05x0", "20261206183000 +0560",
                             "20261206183000 +1500", "20261206183000 UTC", "٢٠٢٦١٢٠٦١٨٣٠٠٠"})
        EXPECT_FALSE(parseXmltvTime(QString::fromUtf8(text))) << text;
}

struct Collected {
    XmltvRead read;
    QStringList channels;
    QStringList programmes;
};

QString utc(qint64 seconds) {
    return seconds == 0
               ? QStringLiteral("-")
               : QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC).toString(QStringLiteral("ddHHmm"));
}

Collected readGuide(QByteArray bytes, const QStringList& languages = {},
                    std::function<bool(const QString&)> want = {},
                    const std::atomic_bool* cancel = nullptr) {
    Collected c;
    XmltvSink sink;
    sink.wantChannel = std::move(want);
    sink.channel = [&](XmltvChannel ch) {
        c.channels
            << QStringLiteral("%1: %2 icon=%3").arg(ch.id, ch.displayNames.join(u'|'), ch.icon);
    };
    sink.programme = [&](XmltvProgramme p) {
        c.programmes << QStringLiteral("%1 %2-%3 %4 / %5 / %6 [%7] %8 %9")
                            .arg(p.channel, utc(p.start), utc(p.stop), p.title, p.subTitle,
                                 p.description, p.categories.join(u','), p.episodeXmltvNs,
                                 p.episodeOnscreen);
    };
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    c.read = readXmltv(buffer, sink, cancel, languages);
    return c;
}

const QByteArray guide = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE tv SYSTEM "xmltv.dtd">
<tv generator-info-name="test">
  <channel id="one.it"><display-name lang="it">Uno</display-name><display-name>1</display-name>
    <display-name></display-name><icon src="http://127.0.0.1/one.png"/><icon src="x"/><url>u</url></channel>
  <channel id="two.de"><display-name>Zwei &amp; Drei</display-name></channel>
  <programme start="20261206180000 +0100" stop="20261206183000 +0100" channel="one.it">
    <title lang="it">Notizie</title><title lang="en">News</title>
    <sub-title>&lt;Sera&gt;</sub-title><desc lang="en-GB"><![CDATA[Late <b>news</b>]]></desc>
    <category>News</category><category>Info</category>
    <episode-num system="xmltv_ns">1.4.0/1</episode-num><episode-num>S02E05</episode-num>
    <episode-num system="dd_progid">EP1</episode-num><rating><value>12</value></rating>
  </programme>
  <programme start="20261206183000 +0100" channel="two.de"><title>Film</title></programme>
  <programme start="bad" channel="two.de"><title>Lost</title></programme>
  <programme start="20261206190000 +0100" channel="three"><title>Other</title></programme>
</tv>
)";

TEST(XmltvReader, ReadsChannelsAndProgrammes) {
    // The title in the first language asked for that the guide has, else its first one.
    for (const auto& [languages, title] : {std::pair{QStringList{}, "Notizie"},
                                           {QStringList{"EN", "it"}, "News"},
                                           {QStringList{"fr", "it"}, "Notizie"}}) {
        const Collected got = readGuide(guide, languages);
        EXPECT_EQ(got.read.error, QString());
        EXPECT_EQ(got.channels, QStringList({"one.it: Uno|1 icon=http://127.0.0.1/one.png",
                                             "two.de: Zwei & Drei icon="}));
        const QString first = QStringLiteral("one.it 061700-061730 %1 / <Sera> / Late <b>news</b> "
                                             "[News,Info] 1.4.0/1 S02E05")
                                  .arg(title);
        EXPECT_EQ(got.programmes, QStringList({first, "two.de 061730-- Film /  /  []  ",
                                               "three 061800-- Other /  /  []  "}));
        EXPECT_EQ(got.read.channels, 2);
        EXPECT_EQ(got.read.programmes, 3);
        EXPECT_EQ(got.read.invalid, 1);
    }
}

TEST(XmltvReader, SkipsTheProgrammesOfUnwantedChannels) {
    QStringList asked;
    const Collected got = readGuide(guide, {}, [&](const QString& id) {
        asked << id;
        return id == u"two.de";
    });
    EXPECT_EQ(got.channels.size(), 2);
    EXPECT_EQ(got.programmes, QStringList({"two.de 061730-- Film /  /  []  "}));
    EXPECT_EQ(got.read.programmes, 1);
    EXPECT_EQ(got.read.skipped, 2);
    EXPECT_EQ(asked, QStringList({"one.it", "two.de", "three"})); // asked once per run of a channel
}

TEST(XmltvReader, StopsWhenCancelled) {
    std::atomic_bool cancel = false;
    XmltvSink sink;
    int seen = 0;
    sink.programme = [&](XmltvProgramme) {
        ++seen;
        cancel = true;
    };
    QByteArray bytes = guide;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const XmltvRead read = readXmltv(buffer, sink, &cancel);
    EXPECT_TRUE(read.cancelled);
    EXPECT_EQ(seen, 1);
}

TEST(XmltvReader, ReportsBrokenGuides) {
    const QByteArray packed = gzipped(guide);
    // What the guide is, its bytes, the start of the error, the programmes read.
    const std::tuple<const char*, QByteArray, const char*, int> cases[] = {
        {"no programmes", "<tv><channel id='a'/></tv>", "", 0},
        {"gzip", packed, "", 3},
        {"two gzip members", gzipped("<tv><channel id='a'/>") + gzipped("</tv>"), "", 0},
        {"empty", "", "not XML", 0},
        {"text", "hello, world", "not XML", 0},
        {"other root", "<html><body/></html>", "not XML", 0},
        {"cut XML", guide.left(guide.indexOf("<programme start=\"20261206183000")), "truncated", 1},
        {"cut gzip", packed.left(packed.size() / 2), "truncated", 0},
        {"gzip without its end", packed.chopped(6), "truncated", 3},
        {"corrupt gzip", QByteArray(packed).replace(2, 1, "\x07"), "gzip: ", 0},
        {"unclosed", "<tv><channel id='a'></tv>", "line 1: ", 0},
    };
    for (const auto& [what, bytes, error, programmes] : cases) {
        const Collected got = readGuide(bytes);
        if (*error)
            EXPECT_TRUE(got.read.error.startsWith(QLatin1String(error)))
                << what << " " << got.read.error.toStdString();
        else
            EXPECT_EQ(got.read.error, QString()) << what;
        EXPECT_EQ(got.read.programmes, programmes) << what;
    }
}

TEST(GzipDevice, InflatesInSmallReads) {
    QByteArray packed = gzipped(guide);
    QBuffer buffer(&packed);
    buffer.open(QIODevice::ReadOnly);
    GzipDevice device(buffer);
    QByteArray all;
    char part[7];
    for (qint64 n; (n = device.read(part, sizeof part)) > 0;)
        all.append(part, n);
    EXPECT_EQ(all, guide);
    EXPECT_FALSE(device.failed());
    EXPECT_TRUE(device.atEnd());
}

} // namespace
