// The recorder window and the record button, over a stand-in player program that
// behaves as the address tells it (grows a file, ends, refuses, stays silent, ignores a
// polite request to end).
#include "data/ChannelKey.h"
#include "data/Database.h"
#include "data/MyList.h"
#include "record/RecordFiles.h"
#include "record/RecordLauncher.h"
#include "record/RecordWindow.h"
#include "record_print.h"
#include "support/FakeMainWindow.h"
#include "support/TestSupport.h"
#include "ui/MainWindowApi.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>

using namespace zentuvo;
using namespace zentuvo::test;

namespace {

const char* kFakePlayer = R"(#!/bin/sh
dir=$(dirname "$0")
: > "$dir/args"
for a in "$@"; do printf '%s\n' "$a" >> "$dir/args"; done
out=""; url=""
for a in "$@"; do
  case "$a" in file/ts:*) out="${a#file/ts:}";; fake:*) url="$a";; esac
done
case "$url" in
  fake:grow) while :; do head -c 4096 /dev/zero >> "$out"; sleep 0.05; done;;
  fake:end) head -c 1000 /dev/zero > "$out"; exit 0;;
  fake:refuse) : > "$out"
    echo "[0000000000000001] dummy interface: using the dummy interface module..." >&2
    echo "[0000000000000002] access stream error: HTTP 404 error" >&2
    echo "[0000000000000003] main input error: Your input can't be opened" >&2
    exit 0;;
  fake:silent) : > "$out"; exec sleep 600;;
  fake:stubborn) trap '' TERM; head -c 188 /dev/zero > "$out"; while :; do sleep 0.05; done;;
esac
exit 3
)";

QList<FixtureChannel> recorderChannels() {
    auto ch = [](const char* code, const char* name, const char* url, const char* ua = "",
                 const char* ref = "") {
        return FixtureChannel{code, name, "Italy", "News", "", "", url, ua, ref};
    };
    return {ch("Grow.it", "Grow", "fake:grow"),
            ch("Ends.it", "Ends", "fake:end"),
            ch("Refused.it", "Refused", "fake:refuse"),
            ch("Silent.it", "Silent", "fake:silent"),
            ch("Stubborn.it", "Stubborn", "fake:stubborn"),
            ch("Own.it", "Own headers", "fake:grow", "OwnAgent/2.0 (TV)", "https://own.example/"),
            ch("NoUrl.it", "No address", "")};
}

// A process that has ended but was not reaped yet counts as gone.
bool alive(qint64 pid) {
    if (pid <= 0 || ::kill(pid_t(pid), 0) != 0)
        return false;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray line = stat.readAll();
    return line.mid(line.lastIndexOf(')') + 2, 1) != "Z";
}

class RecordWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        const QString dir = player.path();
        QFile script(dir + "/vlc");
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(kFakePlayer);
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        t.app->VlcInstallDir = dir;
        recorded = t.folder.file("Recorded");
        ASSERT_TRUE(QDir().mkpath(recorded));
        t.app->RecordFolder = recorded;
    }

    QString key(const QString& code) {
        Connection c(t.app->ChannelConnectionString);
        auto q = c.prepare("SELECT channelID FROM tab_channels WHERE code = ?");
        q.bind(1, code);
        return q.next() ? ChannelKey::catalogue(q.integer(0)) : QString();
    }

    std::unique_ptr<RecordWindow> open(const QString& code) {
        main.tag = key(code);
        auto w = std::make_unique<RecordWindow>(*t.app, main);
        w->setToday([] { return QDate(2026, 12, 6); });
        return w;
    }

    // The arguments the stand-in program was started with, once it has written them all.
    QStringList args() {
        QStringList seen;
        const auto complete = [&] {
            QFile f(player.filePath("args"));
            if (!f.open(QIODevice::ReadOnly))
                return false;
            seen = QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
            return !seen.isEmpty() && seen.last() == "--play-and-exit";
        };
        if (!QTest::qWaitFor(complete, 3000))
            ADD_FAILURE() << "the stand-in program wrote no complete argument list";
        return seen;
    }

    TestApp t{recorderChannels()};
    QTemporaryDir player;
    QString recorded;
    FakeMain main{true};
};

} // namespace

TEST_F(RecordWindowTest, LoadsThePlayingChannel) {
    auto w = open("Grow.it");
    EXPECT_EQ(w->windowTitle(), "Zentuvo Recording");
    EXPECT_EQ(w->objectName(), "frmRecord");
    EXPECT_TRUE(w->windowFlags() & Qt::Tool);
    EXPECT_EQ(w->lblStatus->text(), "Grow");
    EXPECT_EQ(w->lblFileSize->text(), "");
    EXPECT_EQ(w->lblProgress->text(), "|");
    EXPECT_FALSE(w->blnIsRecording());
    EXPECT_TRUE(w->cmdRecord->isEnabled());
    EXPECT_EQ(w->cmdRecord->text(), "Record");
    EXPECT_EQ(w->cmdClose->text(), "Close");
    EXPECT_EQ(w->TimerProgress->interval(), 1000);
    EXPECT_EQ(w->TimerStatus->interval(), 5000);
    EXPECT_TRUE(w->TimerProgress->isActive());
    EXPECT_TRUE(w->TimerStatus->isActive());
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST_F(RecordWindowTest, RecordsIntoANumberedFileAndShowsProgress) {
    QFile(recorded + "/20261206_1.txt").open(QIODevice::WriteOnly); // blocks number 1
    auto w = open("Grow.it");
    w->cmdRecord->click();
    ASSERT_TRUE(w->blnIsRecording());
    const QString file = recorded + "/20261206_2.ts";
    EXPECT_EQ(w->strDumpFile(), file);
    EXPECT_FALSE(w->cmdRecord->isEnabled());
    EXPECT_EQ(w->lblStatus->text(), "Recording Grow on " + file);
    EXPECT_EQ(args(),
              (QStringList{"-I", "dummy", "--no-dbus", "--aout=adummy", "fake:grow", "--sout",
                           "file/ts:" + file,
                           RecorderCommand::plainUserAgentOption(t.app->PlayerUserAgentOption),
                           "--play-and-exit"}));

    // The spinner turns once a second: | / - \ and round again.
    QStringList seen;
    for (int i = 0; i < 5; ++i) {
        w->onTimerProgress();
        seen << w->lblProgress->text();
    }
    EXPECT_EQ(seen, (QStringList{"/", "-", "\\", "|", "/"}));
    w->lblProgress->setText("x");
    w->onTimerProgress();
    EXPECT_EQ(w->lblProgress->text(), "|");

    ASSERT_TRUE(QTest::qWaitFor([&] { return RecordFiles::FileSize(file) > 20000; }, 5000));
    w->onTimerStatus();
    const qint64 size = RecordFiles::FileSize(file);
    EXPECT_TRUE(w->lblFileSize->text().startsWith("KB: ")) << w->lblFileSize->text().toStdString();
    EXPECT_NE(w->lblFileSize->text(), "KB: 0");
    EXPECT_GT(size, 0);

    const qint64 pid = w->recorder().processId();
    EXPECT_TRUE(alive(pid));
    EXPECT_TRUE(w->StopRecording());
    EXPECT_FALSE(alive(pid));
    EXPECT_FALSE(w->blnIsRecording());
    EXPECT_GT(RecordFiles::FileSize(file), 0);
}

TEST_F(RecordWindowTest, ClosingAsksAndNoKeepsRecording) {
    auto w = open("Grow.it");
    w->show();
    w->cmdRecord->click();
    const qint64 pid = w->recorder().processId();
    ASSERT_TRUE(alive(pid));

    t.messages.answerNext(MsgAnswer::No);
    EXPECT_FALSE(w->close());
    ASSERT_EQ(t.messages.shown.size(), 1);
    const MessageRequest& q = t.messages.shown.first();
    EXPECT_EQ(q.text, "Stop recording? ");
    EXPECT_EQ(q.title, "Stop recording");
    EXPECT_EQ(q.icon, MsgIcon::Question);
    EXPECT_EQ(q.buttons, MsgButtons::YesNo);
    EXPECT_EQ(q.defaultAnswer, MsgAnswer::No);
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(w->blnIsRecording());
    EXPECT_TRUE(alive(pid));

    t.messages.answerNext(MsgAnswer::Yes);
    EXPECT_TRUE(w->cmdClose->isEnabled());
    w->cmdClose->click();
    EXPECT_FALSE(w->isVisible());
    EXPECT_FALSE(alive(pid));
    EXPECT_FALSE(w->blnIsRecording());
    EXPECT_EQ(t.messages.shown.size(), 2);
}

TEST_F(RecordWindowTest, ClosingWithoutRecordingDoesNotAsk) {
    auto w = open("Grow.it");
    w->show();
    EXPECT_TRUE(w->close());
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST_F(RecordWindowTest, AStreamThatEndsIsNoticed) {
    auto w = open("Ends.it");
    QSignalSpy ended(&w->recorder(), &Recorder::ended);
    w->cmdRecord->click();
    ASSERT_TRUE(ended.wait(5000));
    const QString file = recorded + "/20261206_1.ts";
    EXPECT_FALSE(w->blnIsRecording());
    EXPECT_EQ(w->lblStatus->text(), "Recording Ends on " + file + " ended.");
    EXPECT_EQ(w->lblFileSize->text(), "KB: 1");
    w->onTimerProgress();
    EXPECT_EQ(w->lblProgress->text(), "|");
    EXPECT_TRUE(w->cmdRecord->isEnabled());
    w->show();
    EXPECT_TRUE(w->close()); // no question any more
    EXPECT_TRUE(t.messages.shown.isEmpty());
    EXPECT_EQ(RecordFiles::FileSize(file), 1000);
}

TEST_F(RecordWindowTest, ARefusedAddressShowsThePlayersErrorAndLeavesNoFile) {
    auto w = open("Refused.it");
    QSignalSpy ended(&w->recorder(), &Recorder::ended);
    w->cmdRecord->click();
    ASSERT_TRUE(ended.wait(5000));
    EXPECT_EQ(w->lblStatus->text(), "Recording Refused ended: no data was received.\n"
                                    "HTTP 404 error; Your input can't be opened");
    EXPECT_FALSE(QFile::exists(recorded + "/20261206_1.ts"));
    EXPECT_EQ(w->lblFileSize->text(), "");
    // The next try takes number 1 again.
    w->cmdRecord->click();
    EXPECT_EQ(w->strDumpFile(), recorded + "/20261206_1.ts");
}

TEST_F(RecordWindowTest, AFileThatStopsGrowingShowsAsStalled) {
    auto w = open("Silent.it");
    qint64 now = 0;
    w->recorder().setClock([&now] { return now; });
    w->cmdRecord->click();
    const QString file = recorded + "/20261206_1.ts";
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(file); }, 5000));
    now = 10000;
    w->onTimerStatus();
    EXPECT_EQ(w->lblStatus->text(), "Recording Silent on " + file);
    EXPECT_EQ(w->lblFileSize->text(), "KB: 0");
    now = 16000;
    w->onTimerStatus();
    EXPECT_EQ(w->lblStatus->text(), "Recording Silent on " + file + "\nStalled: no data for 16 s.");
    // Stopping removes the empty file.
    EXPECT_TRUE(w->StopRecording());
    EXPECT_FALSE(QFile::exists(file));
}

TEST_F(RecordWindowTest, APlayerThatIgnoresTheRequestIsKilledAfterThreeSeconds) {
    auto w = open("Stubborn.it");
    w->cmdRecord->click();
    const QString file = recorded + "/20261206_1.ts";
    ASSERT_TRUE(QTest::qWaitFor([&] { return RecordFiles::FileSize(file) > 0; }, 5000));
    const qint64 pid = w->recorder().processId();
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(w->StopRecording());
    EXPECT_GE(clock.elapsed(), 2900);
    EXPECT_LT(clock.elapsed(), 6000);
    EXPECT_FALSE(alive(pid));
    EXPECT_TRUE(QFile::exists(file)); // what it wrote stays
}

TEST_F(RecordWindowTest, AMissingPlayerProgramIsReportedAndNothingRuns) {
    t.app->VlcInstallDir = t.folder.file("no player here");
    auto w = open("Grow.it");
    w->cmdRecord->click();
    EXPECT_TRUE(t.messages.saw("Error starting recording"));
    EXPECT_EQ(t.messages.shown.last().icon, MsgIcon::Exclamation);
    EXPECT_FALSE(w->blnIsRecording());
    EXPECT_TRUE(w->cmdRecord->isEnabled());
    EXPECT_TRUE(w->lblStatus->text().startsWith("Recording did not start: "));
    t.messages.clear();
    w->show();
    EXPECT_TRUE(w->close());
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST_F(RecordWindowTest, AChannelWithoutAddressIsNotRecorded) {
    auto w = open("NoUrl.it");
    w->cmdRecord->click();
    EXPECT_TRUE(t.messages.saw("Error starting recording"));
    EXPECT_FALSE(w->blnIsRecording());
    EXPECT_FALSE(QFile::exists(player.filePath("args")));
}

TEST_F(RecordWindowTest, AnUnknownKeyKindIsReportedAtLoad) {
    main.tag = "5 XX";
    RecordWindow w(*t.app, main);
    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_EQ(t.messages.shown.first().text, "Error: I can't find channel type (which list?)");
    EXPECT_EQ(t.messages.shown.first().icon, MsgIcon::Critical);
    EXPECT_EQ(w.channelName(), "");
    EXPECT_EQ(w.lblStatus->text(), "");
}

TEST_F(RecordWindowTest, TheChannelsOwnHeadersGoToThePlayer) {
    auto w = open("Own.it");
    w->cmdRecord->click();
    ASSERT_TRUE(w->blnIsRecording());
    const QStringList a = args();
    EXPECT_TRUE(a.contains(":http-user-agent=OwnAgent/2.0 (TV)"));
    EXPECT_TRUE(a.contains(":http-referrer=https://own.example/"));
    EXPECT_FALSE(a.contains(RecorderCommand::plainUserAgentOption(t.app->PlayerUserAgentOption)));
}

TEST_F(RecordWindowTest, AMyListChannelIsLookedUpInMyList) {
    cMyList mine;
    mine.Name = "Mine";
    mine.streamUrl = "fake:grow";
    ASSERT_TRUE(mine.Save(t.app->data()));
    main.tag = ChannelKey::myList(mine.channelID);
    RecordWindow w(*t.app, main);
    EXPECT_EQ(w.lblStatus->text(), "Mine");
    w.cmdRecord->click();
    EXPECT_TRUE(w.blnIsRecording());
    EXPECT_TRUE(args().contains("fake:grow"));
}

TEST_F(RecordWindowTest, RecordButtonRefusesWhenNoChannelPlays) {
    RecordLauncher launcher(*t.app, main);
    for (const QString& tag : {QString(), QStringLiteral("-1"), ChannelKey::kFile}) {
        main.tag = tag;
        t.messages.clear();
        launcher.imgButtonRecord_Click();
        ASSERT_EQ(t.messages.shown.size(), 1) << tag.toStdString();
        EXPECT_EQ(t.messages.shown.first().text, "No playing channel to record.");
        EXPECT_EQ(t.messages.shown.first().icon, MsgIcon::Exclamation);
        EXPECT_EQ(launcher.window(), nullptr);
    }
}

TEST_F(RecordWindowTest, RecordButtonOpensOneWindowThatKeepsItsChannel) {
    RecordLauncher launcher(*t.app, main);
    main.tag = key("Grow.it");
    launcher.imgButtonRecord_Click();
    RecordWindow* first = launcher.window();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->parentWidget(), &main.widget);
    main.tag = key("Ends.it");
    launcher.imgButtonRecord_Click();
    EXPECT_EQ(launcher.window(), first);
    EXPECT_EQ(first->channelName(), "Grow");

    // Closed, it goes; the next opening loads what plays then.
    QPointer<RecordWindow> gone = first;
    first->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(gone.isNull());
    launcher.imgButtonRecord_Click();
    ASSERT_NE(launcher.window(), nullptr);
    EXPECT_EQ(launcher.window()->channelName(), "Ends");
    EXPECT_TRUE(t.messages.shown.isEmpty());
}

TEST_F(RecordWindowTest, ShutdownEndsTheRecordingWithoutAsking) {
    RecordLauncher launcher(*t.app, main);
    main.tag = key("Grow.it");
    launcher.imgButtonRecord_Click();
    launcher.window()->cmdRecord->click();
    const qint64 pid = launcher.window()->recorder().processId();
    ASSERT_TRUE(alive(pid));
    const QString file = launcher.window()->strDumpFile();
    ASSERT_TRUE(QTest::qWaitFor([&] { return RecordFiles::FileSize(file) > 0; }, 5000));
    launcher.EndRecordingForShutdown();
    EXPECT_FALSE(alive(pid));
    EXPECT_EQ(launcher.window(), nullptr);
    EXPECT_TRUE(t.messages.shown.isEmpty());
    EXPECT_GT(RecordFiles::FileSize(file), 0);
}

TEST_F(RecordWindowTest, ClosingTheMainWindowNeverLeavesThePlayerRunning) {
    qint64 pid = 0;
    {
        RecordLauncher launcher(*t.app, main);
        main.tag = key("Grow.it");
        launcher.imgButtonRecord_Click();
        launcher.window()->cmdRecord->click();
        pid = launcher.window()->recorder().processId();
        ASSERT_TRUE(alive(pid));
    }
    EXPECT_FALSE(alive(pid));
}

TEST_F(RecordWindowTest, TheRecordingLineFitsTheWindow) {
    // A deep recording folder: the line must wrap inside the window, not run off it.
    recorded = t.folder.file("Recorded/Channels I keep/evening news and documentaries");
    ASSERT_TRUE(QDir().mkpath(recorded));
    t.app->RecordFolder = recorded;
    auto w = open("Own.it");
    w->show();
    w->cmdRecord->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return RecordFiles::FileSize(w->strDumpFile()) > 0; }, 5000));
    w->onTimerProgress();
    w->onTimerStatus();
    QCoreApplication::processEvents();
    EXPECT_LE(w->lblStatus->heightForWidth(w->lblStatus->width()), w->lblStatus->height());
    EXPECT_LE(w->width(), 480);
    EXPECT_TRUE(w->lblFileSize->isVisible());
    EXPECT_TRUE(w->lblProgress->isVisible());
    if (const QByteArray shot = qgetenv("ZENTUVO_SCREENSHOT"); !shot.isEmpty())
        w->grab().save(QString::fromLocal8Bit(shot));
}

// Run in a process of its own by the test below: records until it is killed.
TEST_F(RecordWindowTest, DISABLED_RecordUntilKilled) {
    auto w = open("Grow.it");
    w->cmdRecord->click();
    std::printf("PID %lld\n", static_cast<long long>(w->recorder().processId()));
    std::fflush(stdout);
    QTest::qWait(30000);
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
    ASSERT_TRUE(alive(pid));
    ::kill(pid_t(program.processId()), SIGKILL);
    program.waitForFinished(5000);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !alive(pid); }, 3000));
}
