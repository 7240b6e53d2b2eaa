// The logo cache against logo_http_server.py on 127.0.0.1: one download per address, the
// disk copy read by a later cache without a request, failures not tried again, the disk
// size limit; and where a channel's logo address comes from.
#include "app/LogoCache.h"
#include "data/ChannelLogos.h"
#include "data/Database.h"
#include "data/GuideStore.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <memory>

using namespace zentuvo;
using namespace zentuvo::test;

namespace {

class LogoServer {
public:
    explicit LogoServer(const QString& root) {
        server_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        server_.start(QStringLiteral("python3"),
                      {ZENTUVO_LOGO_SERVER, "--root", root, "--log", log()});
        while (port_ == 0 && server_.waitForReadyRead(10000)) {
            const QByteArray line = server_.readLine().trimmed();
            if (line.startsWith("PORT "))
                port_ = line.mid(5).toInt();
        }
    }
    ~LogoServer() {
        server_.closeWriteChannel(); // the server ends when its input closes
        if (!server_.waitForFinished(3000))
            server_.kill();
        server_.waitForFinished(3000);
    }
    int port() const { return port_; }
    QString url(const QString& path) const {
        return QStringLiteral("http://127.0.0.1:%1/%2").arg(port_).arg(path);
    }
    // How many requests asked for path.
    int requests(const QString& path) const {
        QFile f(log());
        if (!f.open(QIODevice::ReadOnly))
            return 0;
        return int(QString::fromUtf8(f.readAll()).split(u'\n').count(u'/' + path));
    }

private:
    QString log() const { return dir_.filePath(QStringLiteral("requests.log")); }
    QTemporaryDir dir_;
    QProcess server_;
    int port_ = 0;
};

class LogoCacheTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        root = std::make_unique<QTemporaryDir>();
        server = std::make_unique<LogoServer>(root->path());
    }
    static void TearDownTestSuite() {
        server.reset();
        root.reset();
    }
    void SetUp() override { ASSERT_NE(server->port(), 0) << "the logo server does not listen"; }

    // A PNG in the server's folder; noise makes it about 3 bytes a pixel.
    static QString picture(const QString& name, QSize size, bool noise = false) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(QColor(30, 120, 200));
        if (noise)
            for (int y = 0; y < size.height(); ++y)
                for (int x = 0; x < size.width(); ++x)
                    image.setPixel(x, y, QRandomGenerator::global()->generate());
        image.save(root->filePath(name));
        return server->url(name);
    }
    // The logo once the cache has it (null when it failed or took too long).
    static QImage fetched(LogoCache& cache, const QString& address) {
        if (const QImage now = cache.logo(address); !now.isNull())
            return now;
        waitUntil([&] { return cache.pending() == 0; }, 15000);
        return cache.logo(address);
    }
    QString folder() const { return cacheDir_.filePath(QStringLiteral("logos")); }

    static inline std::unique_ptr<QTemporaryDir> root;
    static inline std::unique_ptr<LogoServer> server;
    QTemporaryDir cacheDir_;
};

TEST_F(LogoCacheTest, ALogoIsDownloadedOnceScaledAndALaterCacheReadsItFromDisk) {
    const QString address = picture(QStringLiteral("wide.png"), {200, 100});
    {
        LogoCache cache(folder(), QStringLiteral("ZentuvoTest"));
        QSignalSpy ready(&cache, &LogoCache::logoReady);
        EXPECT_TRUE(cache.logo(address).isNull()); // not at once: it is fetched
        const QImage logo = fetched(cache, address);
        EXPECT_EQ(logo.size(), QSize(64, 32));
        EXPECT_EQ(ready.count(), 1);
        EXPECT_EQ(ready.value(0).value(0).toString(), address);
        EXPECT_FALSE(cache.logo(address).isNull());
    }
    EXPECT_EQ(server->requests(QStringLiteral("wide.png")), 1);
    LogoCache later(folder(), QStringLiteral("ZentuvoTest"));
    EXPECT_EQ(fetched(later, address).size(), QSize(64, 32));
    EXPECT_EQ(server->requests(QStringLiteral("wide.png")), 1);
}

TEST_F(LogoCacheTest, FailuresAreNotTriedAgainAndLocalFilesNeedNoServer) {
    QFile text(root->filePath(QStringLiteral("text.png")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("no picture");
    text.close();
    picture(QStringLiteral("local.png"), {16, 16});
    struct Case {
        QString address;
        QString served; // the path the server sees; "" for none
        bool ok;
    } const cases[] = {
        {server->url(QStringLiteral("missing.png")), QStringLiteral("missing.png"), false},
        {server->url(QStringLiteral("text.png")), QStringLiteral("text.png"), false},
        {QStringLiteral("ftp://127.0.0.1/a.png"), {}, false},
        {root->filePath(QStringLiteral("local.png")), {}, true},
        {QUrl::fromLocalFile(root->filePath(QStringLiteral("local.png"))).toString(), {}, true},
    };
    LogoCache cache(folder(), QStringLiteral("ZentuvoTest"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.address.toStdString());
        EXPECT_EQ(!fetched(cache, c.address).isNull(), c.ok);
        EXPECT_EQ(cache.hasFailed(c.address), !c.ok);
        cache.logo(c.address); // asked again
        EXPECT_EQ(cache.pending(), 0);
        if (!c.served.isEmpty()) {
            EXPECT_EQ(server->requests(c.served), 1);
        }
    }
}

TEST_F(LogoCacheTest, TheDiskCopiesStayUnderTheLimitTheOldestDroppedFirst) {
    QStringList addresses;
    for (int i = 0; i < 4; ++i) // about 120 kB each
        addresses << picture(QStringLiteral("big%1.png").arg(i), {200, 200}, true);
    {
        LogoCache cache(folder(), QStringLiteral("ZentuvoTest"));
        cache.setMaximumDiskSize(300 * 1024);
        for (const QString& a : addresses)
            ASSERT_FALSE(fetched(cache, a).isNull());
    }
    LogoCache later(folder(), QStringLiteral("ZentuvoTest"));
    for (const QString& a : addresses)
        ASSERT_FALSE(fetched(later, a).isNull());
    EXPECT_EQ(server->requests(QStringLiteral("big0.png")), 2); // dropped, downloaded again
    EXPECT_EQ(server->requests(QStringLiteral("big3.png")), 1); // the newest, kept
}

TEST(ChannelLogos, MyListsOwnLogoComesBeforeTheGuideIconOfTheFirstSourceWithOne) {
    QTemporaryDir dir;
    const QString guide = dir.filePath(QStringLiteral("guide.dat"));
    const QString myList = dir.filePath(QStringLiteral("mylist.dat"));
    createGuideDatabase(guide);
    // kind 1: catalogue, 2: My List; sources 1 and 2.
    execSql(guide, "INSERT INTO guide_channel (kind, number, sourceID, guideId, icon) VALUES "
                   "(1, 5, 1, 'a', NULL), (1, 5, 2, 'a', 'http://127.0.0.1/c5-second.png'), "
                   "(1, 5, 3, 'a', 'http://127.0.0.1/c5-third.png'), (1, 6, 1, 'b', ''), "
                   "(2, 1, 1, 'c', 'http://127.0.0.1/m1-guide.png'), "
                   "(2, 2, 1, 'd', 'http://127.0.0.1/m2-guide.png')");
    Connection(myList, Connection::Mode::Create)
        .exec("CREATE TABLE tab_mylist (channelID INTEGER PRIMARY KEY, logo TEXT)");
    execSql(myList, "INSERT INTO tab_mylist VALUES (1, ' http://127.0.0.1/m1-own.png '), "
                    "(2, ''), (3, NULL), (4, '/logos/m4.png')");
    const QHash<quint64, QString> logos = readChannelLogos(myList, guide);
    const QHash<quint64, QString> expected{
        {ChannelRef::catalogue(5).key(), "http://127.0.0.1/c5-second.png"},
        {ChannelRef::myList(1).key(), "http://127.0.0.1/m1-own.png"},
        {ChannelRef::myList(2).key(), "http://127.0.0.1/m2-guide.png"},
        {ChannelRef::myList(4).key(), "/logos/m4.png"},
    };
    EXPECT_EQ(logos, expected);
    // Without a guide file, and with a My List from before logos were kept.
    execSql(myList, "CREATE TABLE old (channelID INTEGER); DROP TABLE tab_mylist; "
                    "ALTER TABLE old RENAME TO tab_mylist");
    EXPECT_TRUE(readChannelLogos(myList, dir.filePath(QStringLiteral("none.dat"))).isEmpty());
}

} // namespace
