// The recorder window and the record button over a stand-in player program that behaves as
// the address tells it: grows a file, stays silent, or ignores a polite request to end. What
// only the real player can show (a valid file, a stream that ends, a refused address, the
// headers on the wire) is in record_vlc_test.cpp.
#include "data/ChannelRef.h"
#include "record/RecordFiles.h"
#include "support/FakeMainWindow.h"
#include "support/TestWidgets.h"
#include "ui/record/QuitOnClose.h"
#include "ui/record/RecordLauncher.h"
#include "ui/record/RecordWindow.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <csignal>
#include <cstdio>

using namespace zentuvo;
using namespace zentuvo::test;

namespace {

const char* kFakePlayer = R"(#!/bin/sh
for a in "$@"; do
  case "$a" in file/ts:*) out="${a#file/ts:}";; fake:*) url="$a";; esac
done
case "$url" in
  fake:grow) while :; do head -c 4096 /dev/zero >> "$out"; sleep 0.05; done;;
  fake:silent) : > "$out"; exec sleep 600;;
  fake:stubborn) trap '' TERM; head -c 188 /dev/zero > "$out"; while :; do sleep 0.05; done;;
esac
exit 3
)";

QList<FixtureChannel> recorderChannels() {
    auto ch = [](const char* code, const char* name, const char* url) {
        return FixtureChannel{code, name, "Italy", "News", "", "", url, "", ""};
    };
    return {ch("Grow.it", "Grow", "fake:grow"), ch("Silent.it", "Silent", "fake:silent"),
            ch("Stubborn.it", "Stubborn", "fake:stubborn"), ch("NoUrl.it", "No address", "")};
}

class RecordWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        writeFile(player.filePath("vlc"), kFakePlayer);
        QFile::setPermissions(player.filePath("vlc"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        t.app->preferences().setPlayerInstallDir(player.path());
        recorded = t.folder.file("Recorded");
        ASSERT_TRUE(QDir().mkpath(recorded));
        t.app->preferences().setRecordFolder(recorded);
    }
    // The first recording of the day.
    QString file() const { return recorded + "/20261206_1.ts"; }
    // Waits until the stubborn player has written, and gives its process.
    qint64 stubbornStarted(RecordWindow* w) {
        EXPECT_TRUE(waitUntil([&] { return RecordFiles::fileSize(file()) > 0; }));
        clock.start();
        return w->recorder().processId();
    }
    // The stubborn player is given three seconds, then killed; what it wrote stays.
    void expectKilledAfterGrace(qint64 pid) {
        EXPECT_GE(clock.elapsed(), 2900);
        EXPECT_FALSE(processAlive(pid));
        EXPECT_TRUE(QFile::exists(file()));
    }
    std::unique_ptr<RecordWindow> open(const QString& code) {
        playing = catalogueRef(*t.app, code);
        auto w = std::make_unique<RecordWindow>(*t.app, main, playing);
        w->setToday([] { return QDate(2026, 12, 6); });
        return w;
    }
    // Opens the recorder through the record button and starts recording.
    RecordWindow* record(RecordLauncher& launcher, const QString& code) {
        playing = catalogueRef(*t.app, code);
        launcher.record(playing);
        launcher.window()->setToday([] { return QDate(2026, 12, 6); });
        launcher.window()->cmdRecord->click();
        return launcher.window();
    }

    TestApp t{recorderChannels()};
    QTemporaryDir player;
    QString recorded;
    FakeMain main{true};
    ChannelRef playing; // what the main player plays
    QElapsedTimer clock;
};

} // namespace

TEST_F(RecordWindowTest, AFileThatStopsGrowingShowsAsStalledAndIsRemovedEmpty) {
    auto w = open("Silent.it");
    qint64 now = 0;
    w->recorder().setClock([&now] { return now; });
    w->cmdRecord->click();
    ASSERT_TRUE(waitUntil([&] { return QFile::exists(file()); }));
    now = 16000;
    w->updateStatus();
    EXPECT_EQ(w->lblStatus->text(),
              "Recording Silent on " + file() + "\nStalled: no data for 16 s.");
    QSignalSpy stopped(w.get(), &RecordWindow::recordingStopped);
    w->stopRecording();
    ASSERT_TRUE(stopped.count() == 1 || stopped.wait(5000));
    EXPECT_TRUE(stopped.first().at(0).toBool());
    EXPECT_FALSE(QFile::exists(file()));
}

TEST_F(RecordWindowTest, StoppingReturnsAtOnceAndTheWindowKeepsWorkingUntilThePlayerHasEnded) {
    auto w = open("Stubborn.it");
    w->show();
    w->cmdRecord->click();
    const qint64 pid = stubbornStarted(w.get());
    QSignalSpy stopped(w.get(), &RecordWindow::recordingStopped);
    // Closing asks first, No by default: No keeps the recording.
    t.messages.answerNext(MsgAnswer::No);
    EXPECT_FALSE(w->close());
    EXPECT_EQ(t.messages.shown.value(0).defaultAnswer, MsgAnswer::No);
    EXPECT_TRUE(processAlive(pid));
    t.messages.clear();
    // Yes starts the stop and the window stays until it is done.
    t.messages.answerNext(MsgAnswer::Yes);
    w->cmdClose->click();
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_TRUE(processAlive(pid));
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(stopped.isEmpty());
    ASSERT_TRUE(stopped.wait(7000));
    EXPECT_LT(clock.elapsed(), 6000);
    expectKilledAfterGrace(pid);
    EXPECT_TRUE(stopped.first().at(0).toBool());
    ASSERT_TRUE(waitUntil([&] { return !w->isVisible(); }, 1000));
    EXPECT_EQ(t.messages.texts(), QStringList{"Stop recording? "});
}

TEST_F(RecordWindowTest, WithoutAPlayerProgramOrAnAddressNothingRuns) {
    const QString playerDir = t.app->preferences().playerInstallDir();
    const QString noProgram = "Recording needs the vlc program: install the vlc package";
    const QByteArray path = qgetenv("PATH");
    QTemporaryDir emptyBin;
    // The channel, what is missing, the player's folder, the message.
    const std::tuple<const char*, const char*, QString, QString> cases[] = {
        {"Grow.it", "no program in the player's folder", t.folder.file("no player here"),
         noProgram},
        // No folder was found at start-up: the recorder looks on the PATH, which has none.
        {"Grow.it", "no folder and no program on the PATH", "", noProgram},
        {"NoUrl.it", "no address", playerDir, "Error starting recording"},
    };
    qputenv("PATH", emptyBin.path().toUtf8());
    for (const auto& [code, what, dir, message] : cases) {
        SCOPED_TRACE(what);
        t.app->preferences().setPlayerInstallDir(dir);
        t.messages.clear();
        auto w = open(code);
        w->cmdRecord->click();
        EXPECT_TRUE(waitUntil([&] { return t.messages.saw(message); }))
            << t.messages.texts().join(" | ").toStdString();
        EXPECT_TRUE(w->cmdRecord->isEnabled());
        EXPECT_TRUE(w->lblStatus->text().startsWith("Recording did not start: "));
        if (message == noProgram) {
            EXPECT_EQ(t.messages.texts(), QStringList{noProgram});
            EXPECT_EQ(w->lblStatus->text(), "Recording did not start: " + noProgram);
        }
        EXPECT_TRUE(QDir(recorded).isEmpty());
        w->show();
        EXPECT_TRUE(w->close()); // without asking
    }
    qputenv("PATH", path);
}

TEST_F(RecordWindowTest, RecordButtonRefusesWithoutAChannelAndOpensOneWindowForThePlayingOne) {
    auto owner = std::make_unique<RecordLauncher>(*t.app, main);
    RecordLauncher& launcher = *owner;
    for (const ChannelRef none : {ChannelRef(), ChannelRef::fromText("-1"), ChannelRef::file()}) {
        launcher.record(none);
        EXPECT_EQ(launcher.window(), nullptr);
    }
    EXPECT_EQ(t.messages.texts(), QStringList(3, "No playing channel to record."));
    t.messages.clear();
    playing = catalogueRef(*t.app, "Grow.it");
    launcher.record(playing);
    RecordWindow* first = launcher.window();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->parentWidget(), &main.widget);
    playing = catalogueRef(*t.app, "Silent.it");
    launcher.record(playing);
    EXPECT_EQ(launcher.window(), first);
    EXPECT_EQ(first->channelName(), "Grow");
    // Closed, it goes; the next opening loads what plays then.
    QPointer<RecordWindow> gone = first;
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(gone.isNull());
    launcher.record(playing);
    ASSERT_NE(launcher.window(), nullptr);
    EXPECT_EQ(launcher.window()->channelName(), "Silent");
    // Closing the main window (the launcher goes with it) never leaves the player running.
    launcher.window()->cmdRecord->click();
    const qint64 pid = launcher.window()->recorder().processId();
    ASSERT_TRUE(processAlive(pid));
    owner.reset();
    EXPECT_FALSE(processAlive(pid));
    // A reference to no list says so.
    playing = ChannelRef::fromText("5 XX"); // names no list
    EXPECT_EQ(RecordWindow(*t.app, main, playing).channelName(), "");
    EXPECT_EQ(t.messages.texts(), QStringList{"Error: I can't find channel type (which list?)"});
}

TEST_F(RecordWindowTest, ShutdownEndsTheRecordingWithoutBlockingAndThenTellsSo) {
    RecordLauncher launcher(*t.app, main);
    const qint64 pid = stubbornStarted(record(launcher, "Stubborn.it"));
    bool done = false;
    launcher.endRecordingThen([&] { done = true; });
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_FALSE(done);
    EXPECT_TRUE(processAlive(pid));
    ASSERT_TRUE(waitUntil([&] { return done; }, 7000));
    expectKilledAfterGrace(pid);
    EXPECT_TRUE(t.messages.shown.isEmpty()); // nothing asked
    ASSERT_TRUE(waitUntil([&] { return launcher.window() == nullptr; }, 2000));
    // With nothing recording it is done at once.
    bool again = false;
    launcher.endRecordingThen([&] { again = true; });
    EXPECT_TRUE(again);
}

TEST_F(RecordWindowTest, QuittingWhileRecordingAsksOnceAndNoKeepsEverythingAsItWas) {
    RecordLauncher launcher(*t.app, main);
    RecordWindow* w = record(launcher, "Grow.it");
    ASSERT_TRUE(waitUntil([&] { return RecordFiles::fileSize(file()) > 20000; }));
    EXPECT_EQ(w->lblStatus->text(), "Recording Grow on " + file());
    w->updateStatus();
    EXPECT_TRUE(QRegularExpression("^KB: [1-9]").match(w->lblFileSize->text()).hasMatch())
        << w->lblFileSize->text().toStdString();
    const qint64 pid = w->recorder().processId();
    int quits = 0;
    QuitOnClose quitOnClose(launcher, [&quits] { ++quits; });
    main.widget.installEventFilter(&quitOnClose);
    main.widget.show();

    // No: the main window stays, the recording goes on, nothing quits.
    t.messages.answerNext(MsgAnswer::No);
    EXPECT_FALSE(main.widget.close());
    EXPECT_EQ(t.messages.texts(), QStringList{"Stop recording? "});
    EXPECT_TRUE(main.widget.isVisible());
    EXPECT_TRUE(w->isRecording());
    EXPECT_TRUE(processAlive(pid));
    EXPECT_EQ(quits, 0);

    // Yes: asked once more (no second question when the recorder window closes with the
    // main window), the recording ends with its file, then the program quits.
    t.messages.clear();
    t.messages.answerNext(MsgAnswer::Yes);
    EXPECT_TRUE(main.widget.close());
    if (launcher.window())
        launcher.window()->close(); // as the main window closes every other window
    ASSERT_TRUE(QTest::qWaitFor([&] { return quits == 1; }, 7000));
    EXPECT_EQ(t.messages.texts(), QStringList{"Stop recording? "});
    EXPECT_FALSE(processAlive(pid));
    EXPECT_GT(RecordFiles::fileSize(file()), 0);
    main.widget.removeEventFilter(&quitOnClose);
}

// Run in a process of its own by the test below: records until it is killed.
TEST_F(RecordWindowTest, DISABLED_RecordUntilKilled) {
    RecordLauncher launcher(*t.app, main);
    std::printf("PID %lld\n",
                static_cast<long long>(record(launcher, "Grow.it")->recorder().processId()));
    std::fflush(stdout);
    QTest::qWait(30000); // the time it records is the scenario: the test above kills it first
}

TEST_F(RecordWindowTest, ThePlayerDoesNotOutliveAProgramThatDies) {
    QProcess program;
    // Its temporary folders go where this test cleans up: it gets no chance to.
    QTemporaryDir leftovers;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TMPDIR", leftovers.path());
    program.setProcessEnvironment(env);
    program.start(QCoreApplication::applicationFilePath(),
                  {"--gtest_also_run_disabled_tests",
                   "--gtest_filter=RecordWindowTest.DISABLED_RecordUntilKilled"});
    qint64 pid = 0;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            while (program.canReadLine()) {
                const QByteArray line = program.readLine().trimmed();
                if (line.startsWith("PID "))
                    pid = line.mid(4).toLongLong();
            }
            return pid > 0;
        },
        20000));
    ASSERT_TRUE(processAlive(pid));
    ::kill(pid_t(program.processId()), SIGKILL);
    program.waitForFinished(5000);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !processAlive(pid); }, 3000));
}
