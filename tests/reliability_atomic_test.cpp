// Nothing the user saved is lost, and nothing half-written is left: a process saving My List
// rows is killed (SIGKILL) at arbitrary moments, and after each kill the file passes the
// database's integrity check, every row is whole, and every save reported done is there.
#include "app/Settings.h"
#include "data/Database.h"
#include "data/Schema.h"
#include "reliability_rows.h"
#include "support/TestSupport.h"

#include <QElapsedTimer>
#include <QMap>
#include <QProcess>
#include <QThread>

using namespace zentuvo;
using namespace zentuvo::test;

namespace {

struct Reported {
    QMap<int, int> saved;   // channelID -> row number n
    QMap<int, int> updated; // channelID -> row number n
};

void parse(const QByteArray& out, Reported& into) {
    for (const QByteArray& line : out.split('\n')) {
        const QList<QByteArray> parts = line.split(' ');
        // A line cut by the kill is incomplete and counts for nothing.
        if (parts.size() != 3 || !line.endsWith(parts[2]))
            continue;
        bool okN = false, okId = false;
        const int n = parts[1].toInt(&okN), id = parts[2].toInt(&okId);
        if (!okN || !okId)
            continue;
        if (parts[0] == "saved")
            into.saved[id] = n;
        else if (parts[0] == "updated")
            into.updated[id] = n;
    }
}

// Runs the writer until it has reported `saves` more saves, waits a little, kills it.
QByteArray runAndKill(const QString& db, int saves, int extraMicros) {
    QProcess writer;
    writer.setProcessChannelMode(QProcess::SeparateChannels);
    writer.start(QStringLiteral(ZENTUVO_MYLIST_WRITER), {db});
    EXPECT_TRUE(writer.waitForStarted(10000));
    QByteArray out;
    QElapsedTimer t;
    t.start();
    while (out.count("saved ") < saves && t.elapsed() < 30000 &&
           writer.state() == QProcess::Running) {
        writer.waitForReadyRead(100);
        out += writer.readAllStandardOutput();
    }
    // The kill lands a chosen time after a save: the moment is the scenario.
    QThread::usleep(static_cast<unsigned long>(extraMicros));
    writer.kill(); // SIGKILL: no handler, no clean-up, whatever it was doing
    writer.waitForFinished(10000);
    out += writer.readAllStandardOutput();
    EXPECT_EQ(writer.exitStatus(), QProcess::CrashExit)
        << "the writer ended by itself: " << writer.readAllStandardError().toStdString();
    return out;
}

TEST(AtomicMyList, KilledInTheMiddleOfSavesLeavesEveryRowWholeAndNothingReportedLost) {
    FixtureFolder folder;
    const QString db = folder.file("mylist.dat");
    Reported reported;
    const int rounds = 6;
    for (int round = 0; round < rounds; ++round) {
        parse(runAndKill(db, 15 + round * 4, (round * 1373) % 4000), reported);

        // What the program does at the next start: the check passes (rolling back what
        // the killed process left unfinished), and the start goes on.
        ASSERT_EQ(checkMyListFile(db), "") << "after round " << round;
        Connection c(db);
        auto integrity = c.prepare("PRAGMA integrity_check");
        ASSERT_TRUE(integrity.next());
        ASSERT_EQ(integrity.text(0), "ok") << "after round " << round;

        auto rows = c.prepare("SELECT channelID, name, codec, streamUrl, homePage, countryID, "
                              "typeID, kbps, rank, description, notes FROM tab_mylist");
        QMap<int, int> versionOf; // channelID -> version
        while (rows.next()) {
            const QString name = rows.text(1);
            ASSERT_TRUE(name.startsWith("row-")) << name.toStdString();
            const int n = name.mid(4).toInt();
            const int version = rows.text(2) == "v2" ? 2 : 1;
            const MyListRecord want = reliabilityRow(n, version);
            EXPECT_EQ(rows.text(2), want.codec);
            EXPECT_EQ(rows.text(3), want.streamUrl);
            EXPECT_EQ(rows.text(4), want.homePage);
            EXPECT_EQ(rows.integer(5), want.countryID);
            EXPECT_EQ(rows.integer(6), want.typeID);
            EXPECT_EQ(rows.integer(7), want.kbps);
            EXPECT_EQ(rows.integer(8), want.rank);
            EXPECT_TRUE(rows.text(9) == want.description) << "row " << n << " torn";
            EXPECT_EQ(rows.text(10), want.notes);
            versionOf[int(rows.integer(0))] = version;
        }
        for (auto it = reported.saved.cbegin(); it != reported.saved.cend(); ++it)
            EXPECT_TRUE(versionOf.contains(it.key())) << "saved row " << it.value() << " lost";
        for (auto it = reported.updated.cbegin(); it != reported.updated.cend(); ++it)
            EXPECT_EQ(versionOf.value(it.key()), 2) << "update of " << it.value() << " lost";
        // At most the one save under way when the kill came may be there unreported.
        EXPECT_LE(versionOf.size(), reported.saved.size() + round + 1);
    }
    EXPECT_GE(reported.saved.size(), 15 * rounds);
}

} // namespace
