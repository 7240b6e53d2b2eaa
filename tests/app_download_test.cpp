// The playlist download against playlist_http_server.py on 127.0.0.1: success and redirects,
// each failure with small limits, cancelling. The guide refresh's download and import.
#include "app/GuideRefresh.h"
#include "app/PlaylistDownload.h"
#include "data/GuideStore.h"
#include "local_http_server.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using namespace zentuvo;
using zentuvo::test::LocalHttpServer;
using namespace std::chrono_literals;
using Failure = PlaylistDownload::Failure;

namespace {

const QByteArray kPlaylist = "#EXTM3U\n#EXTINF:-1,Alpha\nhttp://127.0.0.1/alpha.ts\n";
const QString kAgent = QStringLiteral("ZentuvoTest/1.0 (download)");

// Everything one download emitted.
struct Outcome {
    int finishedCount = 0, failedCount = 0;
    QByteArray body;
    QUrl finalAddress;
    Failure reason{};
    QString detail;
    qint64 received = -2, total = -2; // the last progress
};

class PlaylistDownloadTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        server = std::make_unique<LocalHttpServer>(ZENTUVO_PLAYLIST_SERVER,
                                                   QStringList{"--big", "1048576"});
    }
    static void TearDownTestSuite() { server.reset(); }

    void SetUp() override {
        ASSERT_NE(server->port(), 0) << "the playlist server does not listen";
        download.setConnectTimeout(1s);
        download.setIdleTimeout(1s);
        download.setSizeLimit(64 * 1024);
        QObject::connect(&download, &PlaylistDownload::finished,
                         [this](const QByteArray& body, const QUrl& address) {
                             ++out.finishedCount;
                             out.body = body;
                             out.finalAddress = address;
                         });
        QObject::connect(&download, &PlaylistDownload::failed,
                         [this](Failure reason, const QString& detail) {
                             ++out.failedCount;
                             out.reason = reason;
                             out.detail = detail;
                         });
        QObject::connect(&download, &PlaylistDownload::progress,
                         [this](qint64 received, qint64 total) {
                             out.received = received;
                             out.total = total;
                         });
    }

    bool waitForEnd() {
        return QTest::qWaitFor([this] { return out.finishedCount + out.failedCount > 0; }, 10000);
    }

    static inline std::unique_ptr<LocalHttpServer> server;
    PlaylistDownload download{kAgent};
    Outcome out;
};

TEST_F(PlaylistDownloadTest, GetsThePlaylistAfterRelativeRedirectsWithTheUserAgent) {
    for (const QString path : {"/list.m3u", "/hop"}) {
        SCOPED_TRACE(path.toStdString());
        out = {};
        download.start(server->url(path));
        ASSERT_TRUE(waitForEnd());
        EXPECT_EQ(out.finishedCount, 1);
        EXPECT_EQ(out.failedCount, 0);
        EXPECT_EQ(out.body, kPlaylist);
        EXPECT_EQ(out.finalAddress, server->url("/list.m3u"));
        EXPECT_EQ(out.received, kPlaylist.size());
        EXPECT_EQ(out.total, kPlaylist.size());
        EXPECT_FALSE(download.isRunning());
    }
    const QStringList expected{"/list.m3u\t" + kAgent, "/hop\t" + kAgent, "/dir/hop2\t" + kAgent,
                               "/list.m3u\t" + kAgent};
    EXPECT_EQ(server->requests(), expected);
}

TEST_F(PlaylistDownloadTest, EachFailureComesOnceWithItsReason) {
    download.setMaxRedirects(3);
    // A path on the server or a whole address, the reason, a part of the detail.
    const std::tuple<const char*, Failure, const char*> cases[] = {
        {"/missing", Failure::HttpStatus, "404 Not Found"},
        {"/silent", Failure::ConnectTimeout, "headers"},
        {"/stall", Failure::IdleTimeout, "no data"},
        {"/big", Failure::TooLarge, "announced 1048576"},
        {"/big-chunked", Failure::TooLarge, "more than 65536"},
        {"/loop", Failure::Network, ""},
        {"ftp://127.0.0.1/list.m3u", Failure::Network, "not an http or https address"},
        {"127.0.0.1/list.m3u", Failure::Network, "not an http or https address"},
    };
    for (const auto& [where, reason, detail] : cases) {
        SCOPED_TRACE(where);
        out = {};
        const QString address = QString::fromUtf8(where);
        download.start(address.startsWith(u'/') ? server->url(address) : QUrl(address));
        EXPECT_EQ(out.failedCount, 0) << "a failure inside start()";
        ASSERT_TRUE(waitForEnd());
        EXPECT_EQ(out.finishedCount, 0);
        EXPECT_EQ(out.failedCount, 1);
        EXPECT_EQ(out.reason, reason);
        EXPECT_FALSE(out.detail.isEmpty());
        EXPECT_TRUE(out.detail.contains(QString::fromUtf8(detail))) << out.detail.toStdString();
        EXPECT_FALSE(download.isRunning());
    }
}

TEST_F(PlaylistDownloadTest, CancelStopsTheDownloadOnce) {
    download.setIdleTimeout(20s);
    download.start(server->url("/stall"));
    ASSERT_TRUE(QTest::qWaitFor([this] { return out.received > 0; }, 10000));
    EXPECT_EQ(out.total, 10000);
    download.cancel();
    EXPECT_EQ(out.failedCount, 1);
    EXPECT_EQ(out.reason, Failure::Cancelled);
    download.cancel();
    EXPECT_EQ(out.failedCount, 1);

    // A new start while one runs cancels that one first; the new one then ends on its own.
    download.start(server->url("/stall"));
    download.start(server->url("/list.m3u"));
    EXPECT_EQ(out.failedCount, 2);
    EXPECT_EQ(out.reason, Failure::Cancelled);
    ASSERT_TRUE(QTest::qWaitFor([this] { return out.finishedCount > 0; }, 10000));
    EXPECT_EQ(out.finishedCount, 1);
    EXPECT_EQ(out.failedCount, 2);
    EXPECT_EQ(out.body, kPlaylist);
}

class GuideRefreshTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        server = std::make_unique<LocalHttpServer>(ZENTUVO_PLAYLIST_SERVER,
                                                   QStringList{"--big", "1048576"});
    }
    static void TearDownTestSuite() { server.reset(); }

    void SetUp() override {
        ASSERT_NE(server->port(), 0) << "the playlist server does not listen";
        refresh.setIdleTimeout(1s);
        setup.guideDb = dir.filePath("guide.dat");
        setup.cacheFolder = dir.filePath("cache");
        setup.targets = {{ChannelRef::myList(3), "ALPHA.tv", "A"}};
        QObject::connect(&refresh, &GuideRefresh::finished,
                         [this](const GuideImportOutcome& outcome) {
                             ++finishedCount;
                             last = outcome;
                         });
        QObject::connect(&refresh, &GuideRefresh::importProgress,
                         [this](qint64, qint64 total) { importTotal = total; });
    }

    // Runs a refresh to its end; false when it does not end.
    bool refreshFrom(const QString& source) {
        finishedCount = 0;
        refresh.start(source, setup);
        return QTest::qWaitFor([this] { return finishedCount > 0; }, 10000);
    }

    static inline std::unique_ptr<LocalHttpServer> server;
    QTemporaryDir dir;
    GuideRefreshSetup setup;
    GuideRefresh refresh{kAgent};
    int finishedCount = 0;
    GuideImportOutcome last;
    qint64 importTotal = 0;
};

TEST_F(GuideRefreshTest, DownloadsImportsAndNotesFailures) {
    const QString guideAddress = server->url("/guide.xml").toString();
    // The source, the error noted.
    const std::pair<QString, const char*> cases[] = {
        {guideAddress, ""},
        {server->url("/missing").toString(), "404 Not Found"},
        {server->url("/stall").toString(), "nothing received for 1 s"},
        {server->url("/list.m3u").toString(), "not XML"},
        {dir.filePath("none.xml"), "No such file or directory"},
    };
    for (const auto& [source, error] : cases) {
        ASSERT_TRUE(refreshFrom(source)) << source.toStdString();
        EXPECT_EQ(finishedCount, 1);
        EXPECT_EQ(last.error, QString::fromLatin1(error)) << source.toStdString();
        EXPECT_FALSE(refresh.isRunning());
        EXPECT_TRUE(QDir(setup.cacheFolder).isEmpty()) << "the download is removed";
    }
    const auto sources = guideSources(setup.guideDb);
    ASSERT_EQ(sources.size(), 5u);
    EXPECT_EQ(sources[0].address, guideAddress);
    EXPECT_EQ(sources[0].programmesKept, 1);
    EXPECT_EQ(sources[0].lastError, QString());
    EXPECT_EQ(sources[1].lastError, "404 Not Found");
    EXPECT_TRUE(server->requests().contains("/guide.xml\t" + kAgent));
    EXPECT_EQ(
        programmeAt(setup.guideDb, ChannelRef::myList(3),
                    QDateTime::fromString("2026-12-06T10:30:00Z", Qt::ISODate).toSecsSinceEpoch())
            ->title,
        "Morning");
    // A file source is imported as it is.
    QFile file(dir.filePath("copy.xml"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("<tv>") + QByteArray(300 * 1024, ' ') + "</tv>");
    file.close();
    ASSERT_TRUE(refreshFrom(file.fileName()));
    EXPECT_EQ(last.error, QString());
    EXPECT_EQ(importTotal, file.size());
}

TEST_F(GuideRefreshTest, CancelEndsOnceAndKeepsTheGuide) {
    refresh.start(server->url("/stall").toString(), setup);
    ASSERT_TRUE(
        QTest::qWaitFor([] { return server->requests().join(u'\n').contains("/stall"); }, 10000));
    refresh.cancel();
    ASSERT_TRUE(QTest::qWaitFor([this] { return finishedCount > 0; }, 10000));
    EXPECT_TRUE(last.cancelled);
    EXPECT_EQ(last.error, "cancelled");
    QCoreApplication::processEvents();
    EXPECT_EQ(finishedCount, 1);
    EXPECT_EQ(guideSources(setup.guideDb).at(0).lastError, "cancelled");
}

} // namespace
