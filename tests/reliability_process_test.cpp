// A recording whose player process fails from outside: killed, or its folder removed (a
// full disk ends the player the same way: a failed write, a line on stderr, an exit). A stand-in
// player (a shell script that appends to the output file) takes the place of the player program;
// the recorder must report the end, and never crash or hang. A missing player program is in
// record_window_test.cpp.
#include "record/Recorder.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>

using namespace zentuvo;

namespace {

struct StandIn {
    QTemporaryDir dir;
    QString script = dir.filePath("player.sh");
    StandIn() {
        QFile f(script);
        f.open(QIODevice::WriteOnly);
        f.write("#!/bin/sh\n"
                "out=\"$1\"\n"
                "while :; do\n"
                "  printf 'data\\n' >> \"$out\" || { echo \"cannot write $out\" >&2; exit 1; }\n"
                "  sleep 0.05\n"
                "done\n");
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
};

TEST(FailingRecorder, APlayerKilledOrItsFolderRemovedEndsTheRecording) {
    for (const bool killed : {true, false}) {
        SCOPED_TRACE(killed ? "killed from outside" : "folder removed");
        StandIn player;
        const QString folder = player.dir.filePath("Recorded");
        ASSERT_TRUE(QDir().mkpath(folder));
        const QString out = folder + "/rec.ts";
        Recorder recorder;
        QSignalSpy ended(&recorder, &Recorder::ended);
        ASSERT_TRUE(recorder.start(player.script, {out}, out))
            << recorder.startError().toStdString();
        ASSERT_TRUE(QTest::qWaitFor([&] { return recorder.sampleSize() > 0; }, 5000));
        if (killed)
            ASSERT_EQ(::kill(pid_t(recorder.processId()), SIGKILL), 0);
        else
            ASSERT_TRUE(QDir(folder).removeRecursively());
        ASSERT_TRUE(ended.wait(5000));
        EXPECT_FALSE(recorder.isRunning());
        if (killed) {
            EXPECT_GT(QFileInfo(out).size(), 0); // what was recorded stays
        } else {
            EXPECT_EQ(recorder.sampleSize(), -1);
            EXPECT_TRUE(ended.first().at(0).toString().contains("rec.ts"))
                << ended.first().at(0).toString().toStdString();
        }
        EXPECT_TRUE(recorder.stopAndWait());
    }
}

TEST(FailingRecorder, APlayerThatFallsSilentIsStartedAgainIntoTheSameFile) {
    QTemporaryDir dir;
    const QString script = dir.filePath("silent.sh"), out = dir.filePath("rec.ts");
    QFile f(script);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\nprintf 'data\\n' >> \"$1\"\nexec sleep 30\n"); // then nothing
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
    Recorder recorder;
    qint64 now = 0;
    recorder.setClock([&] { return now; });
    recorder.setReconnectDelays({1, 1, 1});
    QSignalSpy started(&recorder, &Recorder::started), tries(&recorder, &Recorder::reconnecting),
        back(&recorder, &Recorder::reconnected);
    ASSERT_TRUE(recorder.start(script, {out}, out));
    // The watch begins with the start; the line may be written before that is told.
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return started.count() == 1 && recorder.sampleSize() > 0; }, 5000));
    now += StallWatch::kStallMs - 1;
    recorder.sampleSize();
    QTest::qWait(50);
    EXPECT_EQ(tries.count(), 0);
    now += 1;
    recorder.sampleSize(); // silent for kStallMs: ended, to be started again
    ASSERT_TRUE(tries.wait(5000));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            recorder.sampleSize();
            return back.count() == 1;
        },
        5000));
    QFile written(out);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), "data\ndata\n");
    EXPECT_TRUE(recorder.stopAndWait());
}

} // namespace
