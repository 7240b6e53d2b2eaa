// The recorder against a live-like stream on 127.0.0.1: how long from Record to the first
// bytes in the file, and how much processor time the player process takes while it records.
// Prints "name value unit" lines.
#include "bench_support.h"
#include "record/RecordFiles.h"
#include "record/Recorder.h"
#include "record_loopback.h"

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <unistd.h>
#include <vector>

using namespace zentuvo;
using namespace zentuvo::bench;

namespace {

// user + system clock ticks of a process, -1 when it cannot be read.
qint64 cpuTicks(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    // Fields after the command name, which is in parentheses and may hold blanks.
    const QList<QByteArray> f = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (f.size() < 13)
        return -1;
    return f[11].toLongLong() + f[12].toLongLong(); // utime, stime
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    test::LoopbackStream stream(60);
    if (!stream.ok()) {
        std::fprintf(stderr, "%s\n", qPrintable(stream.error()));
        return 1;
    }
    test::PlayerFolder player;
    const QString program = RecorderCommand::program(player.installDir());
    const QStringList options{QStringLiteral(":http-user-agent=Zentuvo+bench")};

    constexpr int kRuns = 5;
    std::vector<qint64> firstBytes;
    for (int run = 0; run < kRuns; ++run) {
        const QString file = RecordFiles::nextFileName(player.outputDir(), QDate::currentDate());
        Recorder recorder;
        QElapsedTimer clock;
        clock.start();
        if (!recorder.start(
                program, RecorderCommand::arguments(stream.url("/live.ts"), file, options), file)) {
            std::fprintf(stderr, "start failed: %s\n", qPrintable(recorder.startError()));
            return 1;
        }
        if (!waitFor([&] { return RecordFiles::fileSize(file) > 0; }, 15000)) {
            std::fprintf(stderr, "no data: %s\n", qPrintable(recorder.playerError()));
            return 1;
        }
        firstBytes.push_back(clock.elapsed());
        recorder.stopAndWait();
    }
    std::sort(firstBytes.begin(), firstBytes.end());
    std::printf("record_first_bytes_ms %lld ms\n", static_cast<long long>(firstBytes[kRuns / 2]));
    std::printf("record_first_bytes_max_ms %lld ms\n", static_cast<long long>(firstBytes.back()));

    // Ten seconds of steady recording.
    const QString file = RecordFiles::nextFileName(player.outputDir(), QDate::currentDate());
    Recorder recorder;
    if (!recorder.start(program, RecorderCommand::arguments(stream.url("/live.ts"), file, options),
                        file) ||
        !waitFor([&] { return RecordFiles::fileSize(file) > 0; }, 15000))
        return 1;
    const qint64 pid = recorder.processId();
    const qint64 ticks0 = cpuTicks(pid);
    const qint64 size0 = RecordFiles::fileSize(file);
    QElapsedTimer clock;
    clock.start();
    waitFor([&] { return clock.elapsed() >= 10000; }, 11000);
    const qint64 ticks1 = cpuTicks(pid);
    const double seconds = double(clock.elapsed()) / 1000.0;
    const qint64 size1 = RecordFiles::fileSize(file);
    recorder.stopAndWait();
    const double cpu = double(ticks1 - ticks0) / double(::sysconf(_SC_CLK_TCK)) / seconds * 100.0;
    std::printf("record_cpu_percent %.1f %%\n", cpu);
    std::printf("record_write_kbit_per_s %.0f kbit/s\n",
                double(size1 - size0) * 8.0 / 1000.0 / seconds);
    return 0;
}
