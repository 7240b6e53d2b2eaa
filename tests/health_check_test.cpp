// Stream checks against health_http_server.py on 127.0.0.1 and 127.0.0.2: one check per kind
// of answer, then the scheduler's limits per host and its cancel.
#include "app/ChannelCheck.h"
#include "app/Settings.h"
#include "app/StreamCheck.h"
#include "local_http_server.h"
#include "support/TestSupport.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>
#include <memory>

using namespace zentuvo;
using namespace zentuvo::test;
using namespace std::chrono_literals;

namespace {

// The health server: its sockets ("LISTEN host port", "REFUSED port") and its counters.
class HealthServer : public LocalHttpServer {
public:
    HealthServer()
        : LocalHttpServer(ZENTUVO_HEALTH_SERVER, {"--hosts", "127.0.0.1,127.0.0.2", "--delay-min",
                                                  "100", "--delay-max", "150"}) {
        for (const QByteArray& line : startLines()) {
            const QList<QByteArray> words = line.split(' ');
            if (words[0] == "LISTEN" && words.size() == 3)
                ports_.insert(QString::fromLatin1(words[1]), words[2].toInt());
            else if (words[0] == "REFUSED" && words.size() == 2)
                refused_ = words[1].toInt();
        }
    }
    bool ready() const { return ports_.size() == 2 && refused_ > 0; }
    QString url(const QString& path, const QString& host = QStringLiteral("127.0.0.1")) const {
        return QStringLiteral("http://%1:%2%3").arg(host).arg(ports_.value(host)).arg(path);
    }
    int refusedPort() const { return refused_; }
    // The server's counters: requests, max_inflight, max_host_inflight, max_connections.
    QHash<QString, qint64> stats() {
        QHash<QString, qint64> values;
        for (const QByteArray& word : ask("STATS").split(' ').mid(1)) {
            const qsizetype at = word.indexOf('=');
            values.insert(QString::fromLatin1(word.left(at)), word.mid(at + 1).toLongLong());
        }
        return values;
    }
    void resetStats() { ask("RESET"); }

private:
    QHash<QString, int> ports_;
    int refused_ = 0;
};

std::unique_ptr<HealthServer> server;

class StreamCheckTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server = std::make_unique<HealthServer>(); }
    static void TearDownTestSuite() { server.reset(); }
    void SetUp() override { ASSERT_TRUE(server->ready()) << "the health server does not listen"; }

    // Runs one check to its end; the number of finished() signals goes to `count`.
    ChannelHealth check(const StreamCheckRequest& request, std::chrono::milliseconds timeout,
                        int* count) {
        StreamCheck check;
        check.setTimeout(timeout);
        ChannelHealth result;
        QObject::connect(&check, &StreamCheck::finished, [&](const ChannelHealth& health) {
            result = health;
            ++*count;
        });
        check.start(request);
        EXPECT_TRUE(waitUntil([&] { return *count > 0; }, 15000)) << request.address.toStdString();
        return result;
    }
};

struct Case {
    const char* address; // a path on 127.0.0.1, or a whole address
    HealthState state;
    const char* reasonKey;
    const char* argument = "";
    const char* userAgent = "";
    const char* referrer = "";
};

} // namespace

TEST_F(StreamCheckTest, EachAnswerGivesItsStateAndReason) {
    const auto online = HealthState::Online, offline = HealthState::Offline,
               unchecked = HealthState::CouldNotCheck;
    const QString refused = QStringLiteral("http://127.0.0.1:%1/x").arg(server->refusedPort());
    const QByteArray refusedAddress = refused.toUtf8();
    const Case cases[] = {
        {"/stream.ts", online, ""},
        {"/nohead", online, ""},
        {"/htmlhead", offline, "_health_webPage"},
        {"/status/404", offline, "_health_http", "404"},
        {"/status/410", offline, "_health_http", "410"},
        {"/status/400", offline, "_health_http", "400"}, // HEAD refused, the GET says the same
        {"/status/403", offline, "_health_region", "403"},
        {"/status/451", offline, "_health_region", "451"},
        {"/status/500", offline, "_health_http", "500"},
        {"/hop/5", online, ""},
        {"/hop/6", offline, "_health_redirects", "5"},
        {"/loop", offline, "_health_redirectLoop"},
        {refusedAddress.constData(), offline, "_health_refused"},
        {"/master.m3u8", online, ""},
        {"/badseg.m3u8", offline, "_health_segmentHttp", "500"},
        {"/nomedia.m3u8", offline, "_health_noMedia"},
        {"/ua", offline, "_health_region", "403"},
        {"/ua", online, "", "", "ZentuvoTest/ua-1", "http://ref.test/"},
        {"rtmp://127.0.0.1/live/x", unchecked, "_health_otherScheme", "rtmp"},
        {"udp://@127.0.0.1:1234", unchecked, "_health_otherScheme", "udp"},
        {"no address", unchecked, "_health_badAddress"},
    };
    for (const Case& c : cases) {
        const QString address = QString::fromUtf8(c.address);
        StreamCheckRequest request{address.startsWith(u'/') ? server->url(address) : address,
                                   QString::fromUtf8(c.userAgent), QString::fromUtf8(c.referrer)};
        int count = 0;
        const QDateTime before = QDateTime::currentDateTimeUtc();
        const ChannelHealth result = check(request, 10s, &count);
        SCOPED_TRACE(c.address);
        EXPECT_EQ(result.state, c.state);
        EXPECT_EQ(result.reasonKey, QString::fromUtf8(c.reasonKey));
        EXPECT_EQ(result.reasonArgument, QString::fromUtf8(c.argument));
        EXPECT_GE(result.checkedAt, before.addMSecs(-1));
        EXPECT_EQ(count, 1);
    }
}

TEST_F(StreamCheckTest, SendsTheHeadersAndAsksForTheFirstBytesOnly) {
    int headless = 0, master = 0;
    check({server->url("/nohead"), "ZentuvoTest/ua-2", "http://ref.test/page"}, 10s, &headless);
    check({server->url("/master.m3u8"), "", ""}, 10s, &master);
    const QStringList log = server->requests();
    EXPECT_TRUE(log.contains("HEAD\t/nohead\tZentuvoTest/ua-2\thttp://ref.test/page\t"));
    EXPECT_TRUE(log.contains("GET\t/nohead\tZentuvoTest/ua-2\thttp://ref.test/page\tbytes=0-4095"));
    // Master playlist, its first variant, that variant's newest segment; no playlist ranged.
    const QString agent = programUserAgent();
    for (const QString& line :
         {"HEAD\t/master.m3u8\t" + agent + "\t\t", "GET\t/master.m3u8\t" + agent + "\t\t",
          "GET\t/low/media.m3u8\t" + agent + "\t\t",
          "GET\t/low/seg2.ts\t" + agent + "\t\tbytes=0-4095"})
        EXPECT_TRUE(log.contains(line)) << line.toStdString();
    EXPECT_FALSE(log.join('\n').contains("seg1.ts"));
}

TEST_F(StreamCheckTest, AStallTimesOutAsNotChecked) {
    int count = 0;
    QElapsedTimer clock;
    clock.start();
    const ChannelHealth result = check({server->url("/stall"), "", ""}, 300ms, &count);
    EXPECT_EQ(result.state, HealthState::CouldNotCheck);
    EXPECT_EQ(result.reasonKey, "_health_timedOut");
    EXPECT_GE(clock.elapsed(), 280); // a coarse timer may fire 5 % early
    EXPECT_EQ(count, 1);
}

TEST_F(StreamCheckTest, SchedulerKeepsToTwoPerHostAndCancelStops) {
    QList<StreamCheckRequest> requests;
    for (int i = 0; i < 8; ++i)
        for (const char* host : {"127.0.0.1", "127.0.0.2"})
            requests << StreamCheckRequest{
                server->url("/slow/" + QString::number(i), host), {}, {}};
    requests << StreamCheckRequest{"rtsp://127.0.0.1/x", {}, {}};
    ChannelCheckScheduler scheduler;
    QMap<int, ChannelHealth> results;
    QList<std::pair<int, int>> progress;
    int finished = 0;
    QObject::connect(
        &scheduler, &ChannelCheckScheduler::checked,
        [&](int index, const ChannelHealth& health) { results.insert(index, health); });
    QObject::connect(&scheduler, &ChannelCheckScheduler::progress, [&](int done, int total) {
        progress.append({done, total});
    });
    QObject::connect(&scheduler, &ChannelCheckScheduler::finished, [&] { ++finished; });

    server->resetStats();
    scheduler.start(requests);
    ASSERT_TRUE(waitUntil([&] { return finished > 0; }, 20000));
    auto stats = server->stats();
    EXPECT_EQ(stats["max_host_inflight"], 2);
    EXPECT_LE(stats["max_inflight"], 4);
    EXPECT_EQ(stats["requests"], 16);
    ASSERT_EQ(results.size(), requests.size());
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(results[i].state, HealthState::Online) << i;
    EXPECT_EQ(results[16].reasonKey, "_health_otherScheme");
    EXPECT_EQ(progress.size(), requests.size());
    EXPECT_EQ(progress.last(), std::make_pair(17, 17));
    EXPECT_FALSE(scheduler.isRunning());

    // Cancelled after its first result: nothing more comes, no more requests are made.
    results.clear();
    finished = 0;
    server->resetStats();
    scheduler.setMaxPerHost(1);
    scheduler.start(requests.mid(0, 16));
    ASSERT_TRUE(waitUntil([&] { return !results.isEmpty(); }, 20000));
    scheduler.cancel();
    EXPECT_FALSE(scheduler.isRunning());
    const qsizetype atCancel = results.size();
    waitUntil([] { return false; }, 400); // longer than the server's slowest answer
    EXPECT_EQ(results.size(), atCancel);
    EXPECT_EQ(finished, 0);
    stats = server->stats();
    EXPECT_EQ(stats["max_host_inflight"], 1);
    // What had been asked before the cancel (one per host in flight), nothing after.
    EXPECT_LE(stats["requests"], atCancel + 2);

    // The host with the most checks waiting goes first: both first checks go to 127.0.0.1,
    // although the list starts with 127.0.0.2.
    finished = 0;
    scheduler.setMaxRunning(2);
    scheduler.setMaxPerHost(2);
    QList<StreamCheckRequest> uneven{{server->url("/slow/lone", "127.0.0.2"), {}, {}}};
    for (int i = 0; i < 4; ++i)
        uneven << StreamCheckRequest{server->url("/slow/busy" + QString::number(i)), {}, {}};
    const qsizetype logged = server->requests().size();
    scheduler.start(uneven);
    ASSERT_TRUE(waitUntil([&] { return finished > 0; }, 20000));
    const QStringList firstTwo = server->requests().mid(logged, 2);
    ASSERT_EQ(firstTwo.size(), 2);
    for (const QString& line : firstTwo)
        EXPECT_TRUE(line.startsWith("HEAD\t/slow/busy")) << line.toStdString();
}

TEST_F(StreamCheckTest, CommandLineChecksBothListsAndKeepsTheResults) {
    const auto channel = [](const char* code, const QString& url, const char* agent = "",
                            const char* referrer = "") {
        return FixtureChannel{code, code, "Italy", "News", "", "", url, agent, referrer};
    };
    TestApp t({channel("Up.it", server->url("/stream.ts")),
               channel("Down.it", server->url("/status/404")),
               channel("Agent.it", server->url("/ua"), "ZentuvoTest/ua-1", "http://ref.test/")});
    const ChannelRef mine = addMyList(*t.app, "Mine", "rtsp://127.0.0.1/x");
    const auto run = [&](QStringList args, int* status) {
        QStringList lines =
            runCatalogueTool(QStringList{"check", "--catalogue", t.app->paths().catalogue} << args,
                             status)
                .split(u'\n', Qt::SkipEmptyParts);
        lines.sort();
        return lines;
    };
    int status = -1;
    EXPECT_EQ(run({"--mylist", t.app->paths().myList}, &status),
              (QStringList{QString::number(mine.number()) +
                               "\tunchecked\trtsp:// addresses cannot be checked",
                           "Agent.it\tonline\t", "Down.it\toffline\tHTTP 404", "Up.it\tonline\t"}));
    EXPECT_EQ(status, 0);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    EXPECT_EQ(readCatalogueHealthByCode(t.app->paths().healthFile(), now).size(), 3);
    EXPECT_EQ(readMyListHealth(t.app->paths().myList, now).value(mine.number()).state,
              HealthState::CouldNotCheck);

    EXPECT_EQ(run({"--id", "Down.it"}, &status), QStringList{"Down.it\toffline\tHTTP 404"});
    EXPECT_EQ(status, 0);
    run({"--id", "Nothing.it"}, &status);
    EXPECT_EQ(status, 1);
}
