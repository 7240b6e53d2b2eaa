// The guide's sources refreshed one after the other: due ones, all of them, a failing one
// among them, and cancelling.
#include "app/GuideUpdates.h"
#include "data/GuideSources.h"
#include "data/GuideStore.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace zentuvo;

namespace {

QByteArray guideOf(const char* title) {
    const qint64 now = QDateTime::currentSecsSinceEpoch() / 3600 * 3600;
    const auto time = [](qint64 t) {
        return QDateTime::fromSecsSinceEpoch(t, Qt::UTC).toString("yyyyMMddHHmmss").toLatin1();
    };
    return "<tv><programme channel=\"one.it\" start=\"" + time(now) + " +0000\" stop=\"" +
           time(now + 3600) + " +0000\"><title>" + title + "</title></programme></tv>";
}

class GuideUpdatesTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"a.xml", "b.xml", "c.xml"}) {
            files << dir.filePath(name);
            write(files.last(), guideOf(name));
            addGuideSource(guideDb, files.last());
        }
        QObject::connect(&updates, &GuideUpdates::sourceStarted,
                         [this](int position, int count, const QString& address) {
                             started << QStringLiteral("%1/%2 %3")
                                            .arg(position)
                                            .arg(count)
                                            .arg(QFileInfo(address).fileName());
                         });
    }
    static void write(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    // Starts a run with `start` and waits for its end; the sources it started.
    QStringList run(const std::function<void()>& start) {
        started.clear();
        changed.clear();
        finished.clear();
        start();
        EXPECT_TRUE(updates.isRunning());
        EXPECT_TRUE(QTest::qWaitFor([&] { return finished.count() > 0; }, 10000));
        EXPECT_FALSE(updates.isRunning());
        return started;
    }

    QTemporaryDir dir;
    QString guideDb = dir.filePath("guide.dat");
    QStringList files;
    QStringList started;
    const QStringList all{"1/3 a.xml", "2/3 b.xml", "3/3 c.xml"};
    GuideUpdates updates{QStringLiteral("ZentuvoTest/1.0"), [this] {
                             GuideRefreshSetup setup;
                             setup.guideDb = guideDb;
                             setup.cacheFolder = dir.filePath("cache");
                             setup.targets = {{ChannelRef::catalogue(1), "one.it", "Uno"}};
                             return setup;
                         }};
    QSignalSpy finished{&updates, &GuideUpdates::finished};
    QSignalSpy changed{&updates, &GuideUpdates::guideChanged};
};

TEST_F(GuideUpdatesTest, RunsDueSourcesInTurnAndAFailingOneKeepsItsProgrammes) {
    EXPECT_EQ(run([&] { updates.refreshDue(12); }), all);
    EXPECT_EQ(changed.count(), 3);

    // b fails now: the others still run, b keeps what it gave and tells why.
    write(files[1], "not a guide");
    write(files[2], guideOf("c2"));
    EXPECT_EQ(run([&] { updates.refreshAll(); }), all);
    EXPECT_EQ(changed.count(), 2);
    const auto sources = guideSources(guideDb);
    EXPECT_EQ(sources[1].lastError, "not XML");
    EXPECT_EQ(sources[1].programmesKept, 1) << "b keeps its programmes";
    EXPECT_EQ(
        programmeAt(guideDb, ChannelRef::catalogue(1), QDateTime::currentSecsSinceEpoch())->title,
        "a.xml");

    // Refreshed a moment ago: none is due; the run ends at once.
    EXPECT_TRUE(run([&] { updates.refreshDue(12); }).isEmpty());
    EXPECT_EQ(finished.count(), 1);
}

TEST_F(GuideUpdatesTest, CancelStopsTheRunAndDropsTheQueue) {
    // Cancelled while the sources are read: nothing starts.
    updates.refreshAll();
    updates.cancel();
    EXPECT_EQ(finished.count(), 1);
    EXPECT_FALSE(updates.isRunning());
    // Cancelled as the first source starts: the others never run.
    QObject::connect(&updates, &GuideUpdates::sourceStarted, &updates, &GuideUpdates::cancel);
    EXPECT_EQ(run([&] { updates.refreshAll(); }), QStringList{"1/3 a.xml"});
    QCoreApplication::processEvents();
    EXPECT_EQ(finished.count(), 1);
    const auto sources = guideSources(guideDb);
    for (size_t i : {1u, 2u}) {
        EXPECT_EQ(sources[i].lastRefresh, 0);
        EXPECT_EQ(sources[i].lastError, QString());
    }
}

} // namespace
