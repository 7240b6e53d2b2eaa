// The logo cache against logo_http_server.py on 127.0.0.1: one download per address, the
// disk copy read by a later cache without a request, failures not tried again, the disk
// size limit; and where a channel's logo address comes from.
#include "app/LogoCache.h"
#include "data/ChannelLogos.h"
#include "data/Database.h"
#include "data/GuideStore.h"
#include "local_http_server.h"
#include "support/TestSupport.h"

#include <QImage>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <memory>

using namespace zentuvo;
using namespace zentuvo::test;

namespace {

class LogoCacheTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        root = std::make_unique<QTemporaryDir>();
        server = std::make_unique<LocalHttpServer>(ZENTUVO_LOGO_SERVER,
                                                   QStringList{"--root", root->path()});
    }
    static void TearDownTestSuite() {
        server.reset();
        root.reset();
    }
    void SetUp() override { ASSERT_NE(server->port(), 0) << "the logo server does not listen"; }

    // A PNG in the server's folder, its address; noise makes it about 3 bytes a pixel.
    static QString picture(const QString& name, QSize size, bool noise = false) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(QColor(30, 120, 200));
        for (int i = 0; noise && i < size.width() * size.height(); ++i)
            image.setPixel(i % size.width(), i / size.width(),
                           QRandomGenerator::global()->generate());
        image.save(root->filePath(name));
        return server->url(u'/' + name).toString();
    }
    // How many requests asked for the server's file.
    static int requests(const QString& name) { return int(server->requests().count(u'/' + name)); }
    // The logo once the cache has it (null when it failed or took too long).
    static QImage fetched(LogoCache& cache, const QString& address) {
        if (const QImage now = cache.logo(address); !now.isNull())
            return now;
        waitUntil([&] { return cache.pending() == 0; }, 15000);
        return cache.logo(address);
    }
    QString folder() const { return cacheDir_.filePath("logos"); }

    static inline std::unique_ptr<QTemporaryDir> root;
    static inline std::unique_ptr<LocalHttpServer> server;
    QTemporaryDir cacheDir_;
};

TEST_F(LogoCacheTest, ALogoIsDownloadedOnceScaledAndALaterCacheReadsItFromDisk) {
    const QString address = picture("wide.png", {200, 100});
    {
        LogoCache cache(folder(), "ZentuvoTest");
        QSignalSpy ready(&cache, &LogoCache::logoReady);
        EXPECT_TRUE(cache.logo(address).isNull()); // not at once: it is fetched
        EXPECT_EQ(fetched(cache, address).size(), QSize(64, 32));
        ASSERT_EQ(ready.count(), 1);
        EXPECT_EQ(ready.value(0).value(0).toString(), address);
    }
    LogoCache later(folder(), "ZentuvoTest");
    EXPECT_EQ(fetched(later, address).size(), QSize(64, 32));
    EXPECT_EQ(requests("wide.png"), 1);
}

TEST_F(LogoCacheTest, FailuresAreNotTriedAgainAndLocalFilesNeedNoServer) {
    writeFile(root->filePath("text.png"), "no picture");
    const QString local = root->filePath("local.png");
    picture("local.png", {16, 16});
    // The logo's address, whether the server is asked, whether a picture comes.
    const std::tuple<QString, bool, bool> cases[] = {
        {server->url("/missing.png").toString(), true, false},
        {server->url("/text.png").toString(), true, false},
        {"ftp://127.0.0.1/a.png", false, false},
        {local, false, true},
        {QUrl::fromLocalFile(local).toString(), false, true},
    };
    LogoCache cache(folder(), "ZentuvoTest");
    for (const auto& [address, served, ok] : cases) {
        SCOPED_TRACE(address.toStdString());
        EXPECT_EQ(!fetched(cache, address).isNull(), ok);
        EXPECT_EQ(cache.hasFailed(address), !ok);
        cache.logo(address); // asked again
        EXPECT_EQ(cache.pending(), 0);
        if (served) {
            EXPECT_EQ(requests(QUrl(address).fileName()), 1);
        }
    }
}

TEST_F(LogoCacheTest, TheDiskCopiesStayUnderTheLimitTheOldestDroppedFirst) {
    QStringList addresses;
    for (int i = 0; i < 4; ++i) // about 120 kB each
        addresses << picture(QString("big%1.png").arg(i), {200, 200}, true);
    {
        LogoCache cache(folder(), "ZentuvoTest");
        cache.setMaximumDiskSize(300 * 1024);
        for (const QString& a : addresses)
            ASSERT_FALSE(fetched(cache, a).isNull());
    }
    LogoCache later(folder(), "ZentuvoTest");
    for (const QString& a : addresses)
        ASSERT_FALSE(fetched(later, a).isNull());
    EXPECT_EQ(requests("big0.png"), 2); // dropped, downloaded again
    EXPECT_EQ(requests("big3.png"), 1); // the newest, kept
}

TEST(ChannelLogos, MyListsOwnLogoComesBeforeTheGuideIconOfTheFirstSourceWithOne) {
    QTemporaryDir dir;
    const QString guide = dir.filePath("guide.dat");
    const QString myList = dir.filePath("mylist.dat");
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
    EXPECT_EQ(readChannelLogos(myList, guide),
              (QHash<quint64, QString>{
                  {ChannelRef::catalogue(5).key(), "http://127.0.0.1/c5-second.png"},
                  {ChannelRef::myList(1).key(), "http://127.0.0.1/m1-own.png"},
                  {ChannelRef::myList(2).key(), "http://127.0.0.1/m2-guide.png"},
                  {ChannelRef::myList(4).key(), "/logos/m4.png"},
              }));
    // Without a guide file, and with a My List from before logos were kept.
    execSql(myList, "CREATE TABLE old (channelID INTEGER); DROP TABLE tab_mylist; "
                    "ALTER TABLE old RENAME TO tab_mylist");
    EXPECT_TRUE(readChannelLogos(myList, dir.filePath("none.dat")).isEmpty());
}

} // namespace
