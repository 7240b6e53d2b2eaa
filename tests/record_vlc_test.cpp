// Real recordings by the player's command-line program of a live-like stream served on
// 127.0.0.1, checked with ffprobe; and seeking in a file with the real player.
#include "app/RecordingScheduler.h"
#include "playback/VlcPlayer.h"
#include "playback_fake_view.h"
#include "record/RecordFiles.h"
#include "record/ScheduledRun.h"
#include "record_loopback.h"
#include "support/FakeMainWindow.h"
#include "support/FakePlayer.h"
#include "support/TestWidgets.h"
#include "ui/main/FilePlayback.h"
#include "ui/main/PlayerControl.h"
#include "ui/record/RecordLauncher.h"
#include "ui/record/RecordWindow.h"

#include <QElapsedTimer>

using namespace zentuvo;
using namespace zentuvo::test;

namespace {

class RecordVlcTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { stream = new LoopbackStream(40, 3.0); }
    static void TearDownTestSuite() {
        delete stream;
        stream = nullptr;
    }

    void SetUp() override {
        ASSERT_TRUE(stream->ok()) << stream->error().toStdString();
        auto ch = [](const char* code, const char* name, const QString& url, const char* ua = "",
                     const char* ref = "") {
            return FixtureChannel{code, name, "Italy", "News", "", "", url, ua, ref};
        };
        t = std::make_unique<TestApp>(
            QList<FixtureChannel>{ch("Live.it", "Live One", stream->url("/live.ts")),
                                  ch("Ends.it", "Ends Soon", stream->url("/ends.ts"),
                                     "OwnAgent/2.0 (TV)", "https://own.example/"),
                                  ch("Missing.it", "Missing", stream->url("/missing.ts")),
                                  ch("Drops.it", "Drops", stream->url("/drops.ts"))});
        t->app->preferences().setPlayerInstallDir(player.installDir());
        t->app->preferences().setRecordFolder(player.outputDir());
        launcher = std::make_unique<RecordLauncher>(*t->app, main);
    }
    void TearDown() override { launcher.reset(); }

    // Opens the recorder through the record button and starts recording.
    RecordWindow* record(const QString& code) {
        playing = catalogueRef(*t->app, code);
        launcher->record(playing);
        RecordWindow* w = launcher->window();
        ended = std::make_unique<QSignalSpy>(&w->recorder(), &Recorder::ended);
        w->cmdRecord->click();
        return w;
    }

    static LoopbackStream* stream;
    PlayerFolder player;
    std::unique_ptr<TestApp> t;
    FakeMain main{true};
    ChannelRef playing; // what the main player plays
    std::unique_ptr<RecordLauncher> launcher;
    std::unique_ptr<QSignalSpy> ended;
};

LoopbackStream* RecordVlcTest::stream = nullptr;

} // namespace

TEST_F(RecordVlcTest, RecordsALiveStreamIntoAValidFileAndShutdownEndsItWithoutAsking) {
    RecordWindow* w = record("Live.it");
    ASSERT_TRUE(w->isRecording()) << w->lblStatus->text().toStdString();
    const QString file = w->dumpFile();
    EXPECT_EQ(QFileInfo(file).path(), player.outputDir());
    ASSERT_TRUE(QTest::qWaitFor([&] { return RecordFiles::fileSize(file) > 100 * 1024; }, 20000));
    const qint64 pid = w->recorder().processId();
    QElapsedTimer clock;
    clock.start();
    launcher->endRecordingForShutdown();
    EXPECT_LT(clock.elapsed(), 3000); // it ended when asked, it was not killed
    EXPECT_FALSE(processAlive(pid));
    EXPECT_EQ(launcher->window(), nullptr);
    EXPECT_TRUE(t->messages.shown.isEmpty());
    EXPECT_GT(RecordFiles::fileSize(file), 100 * 1024);
    QString errors;
    const QStringList streams = probeStreams(file, &errors);
    EXPECT_TRUE(streams.contains("video") && streams.contains("audio")) << errors.toStdString();
    // The stream was asked for with the program's user agent, blanks and all.
    const QString agent =
        t->app->preferences().playerUserAgentOption().section(u'=', 1).replace(u'+', u' ');
    EXPECT_TRUE(stream->requests().contains("/live.ts\t" + agent + "\t"))
        << stream->requests().join(" | ").toStdString();
}

TEST_F(RecordVlcTest, AStreamThatEndsIsNoticedAndTheFileIsValid) {
    RecordWindow* w = record("Ends.it");
    ASSERT_TRUE(w->isRecording());
    w->recorder().setReconnectDelays({100, 100, 100});
    QSignalSpy tries(&w->recorder(), &Recorder::reconnecting);
    const QString file = w->dumpFile();
    ASSERT_TRUE(ended->wait(30000));
    EXPECT_EQ(tries.count(), 3); // three tries found it gone for good
    EXPECT_FALSE(w->isRecording());
    EXPECT_TRUE(w->lblStatus->text().startsWith("Recording Ends Soon on " + file + " ended."))
        << w->lblStatus->text().toStdString();
    w->updateProgress();
    EXPECT_EQ(w->lblProgress->text(), "|"); // the spinner rests
    EXPECT_TRUE(probeStreams(file).contains("video"));
    // The channel's own headers went with the request, in place of the program's.
    EXPECT_TRUE(stream->requests().contains("/ends.ts\tOwnAgent/2.0 (TV)\thttps://own.example/"))
        << stream->requests().join(" | ").toStdString();
    // Closing asks nothing now.
    w->show();
    EXPECT_TRUE(w->close());
    EXPECT_TRUE(t->messages.shown.isEmpty());
}

TEST_F(RecordVlcTest, AStreamThatDropsAndComesBackGoesOnIntoTheSameFile) {
    RecordWindow* w = record("Drops.it");
    ASSERT_TRUE(w->isRecording());
    w->recorder().setReconnectDelays({100, 100, 100});
    QSignalSpy tries(&w->recorder(), &Recorder::reconnecting);
    const QString file = w->dumpFile();
    ASSERT_TRUE(tries.wait(20000)); // the first connection drops three seconds in
    EXPECT_TRUE(w->lblStatus->text().endsWith("\nReconnecting (1/3)"))
        << w->lblStatus->text().toStdString();
    const QByteArray before = readFile(file);
    EXPECT_GT(before.size(), 0);
    QSignalSpy back(&w->recorder(), &Recorder::reconnected);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            w->updateStatus();
            return back.count() > 0;
        },
        20000));
    EXPECT_EQ(w->lblStatus->text(), "Recording Drops on " + file);
    EXPECT_TRUE(w->isRecording());
    EXPECT_EQ(ended->count(), 0);
    launcher->endRecordingForShutdown();
    const QByteArray after = readFile(file);
    EXPECT_GT(after.size(), before.size());
    EXPECT_TRUE(after.startsWith(before)); // appended, not written anew
    EXPECT_EQ(stream->requests().filter("/drops.ts\t").size(), 2);
    EXPECT_TRUE(probeStreams(file).contains("video"));
}

TEST_F(RecordVlcTest, ARefusedAddressShowsThePlayersErrorAndLeavesNoFile) {
    RecordWindow* w = record("Missing.it");
    const QString file = w->dumpFile();
    ASSERT_TRUE(ended->wait(20000));
    const QString status = w->lblStatus->text();
    EXPECT_TRUE(status.startsWith("Recording Missing ended: no data was received.\n"))
        << status.toStdString();
    EXPECT_TRUE(status.contains("404")) << status.toStdString();
    EXPECT_FALSE(QFile::exists(file));
}

TEST_F(RecordVlcTest, AFolderThePlayerCannotWriteIsReported) {
    const QString locked = player.outputDir() + "/locked";
    ASSERT_TRUE(QDir().mkpath(locked));
    ASSERT_TRUE(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner |
                                                  QFile::ReadOther | QFile::ExeOther));
    t->app->preferences().setRecordFolder(locked);
    RecordWindow* w = record("Live.it");
    ASSERT_TRUE(ended->wait(20000));
    EXPECT_TRUE(
        w->lblStatus->text().contains("cannot create " + w->dumpFile() + ": Permission denied"))
        << w->lblStatus->text().toStdString();
}

TEST_F(RecordVlcTest, SeekingAFileWithTheRealPlayer) {
    // A file whose name would not survive as an address: blanks, "#" and "%".
    const QString file = player.outputDir() + "/clip #1 100%.ts";
    ASSERT_TRUE(QFile::copy(makeTestStream(40), file));
    VlcPlayerOptions options;
    options.headless = true;
    VlcPlayer vlc(options);
    QWidget window;
    auto* txtMessages = new QLineEdit(&window);
    auto* SliderPlayFile = new QSlider(Qt::Horizontal, &window);
    auto* SliderVolume = new QSlider(Qt::Horizontal, &window);
    SliderVolume->setRange(0, 10);
    FakePlayer preview;
    FakePlayerView view;
    PlayerControl control(*t->app, vlc, preview, view);
    FilePlayback files(*t->app, control, vlc, {nullptr, txtMessages, SliderPlayFile, SliderVolume});
    files.playFile(file);
    EXPECT_TRUE(t->messages.shown.isEmpty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return vlc.state() == PlayerState::Playing; }, 10000))
        << "state " << int(vlc.state());
    ASSERT_TRUE(QTest::qWaitFor([&] { return vlc.position() > 0; }, 5000));
    EXPECT_LT(vlc.position(), 0.2);
    SliderPlayFile->setPageStep(10);
    QTest::keyClick(SliderPlayFile, Qt::Key_PageUp);
    ASSERT_EQ(SliderPlayFile->value(), 10);
    ASSERT_TRUE(QTest::qWaitFor([&] { return vlc.position() >= 0.45; }, 5000))
        << "position " << vlc.position();
    EXPECT_LT(vlc.position(), 0.7);
    vlc.stop();
}

// A scheduled recording: its own player from its start to its end, without a window.
TEST_F(RecordVlcTest, AScheduledRecordingRunsItsOwnPlayerFromItsStartToItsEnd) {
    t->app->preferences().setScheduleMarginBefore(0);
    t->app->preferences().setScheduleMarginAfter(0);
    RecordingScheduler scheduler(*t->app, ScheduledRun::factory(*t->app));
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    scheduler.schedule(catalogueRef(*t->app, "Live.it"), "Live One", "News: late", now, now + 6);
    ASSERT_TRUE(scheduler.isRecording());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !scheduler.isRecording(); }, 30000));
    const ScheduledRecording r = scheduler.recordings().front();
    EXPECT_EQ(r.state, ScheduleState::Done) << r.reason.toStdString();
    EXPECT_EQ(QFileInfo(r.file).fileName(),
              "Live One - News_ late - " +
                  QDateTime::fromSecsSinceEpoch(now).toString("yyyy-MM-dd HH-mm") + ".ts");
    EXPECT_TRUE(probeStreams(r.file).contains("video"));
}
