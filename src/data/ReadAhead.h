#pragma once

#include <QByteArray>
#include <QIODevice>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace zentuvo {

// A read-only sequential device that reads source ahead on a thread of its own (a few blocks
// at most), so that slow reading (inflating a gzip stream) and the work on what was read
// share the processor's cores. source belongs to the device's thread until the device is
// stopped or destroyed. A failed read of source (a negative count) fails this device's reads
// too, once what came before has been read, with source's error text. Opens itself.
class ReadAheadDevice : public QIODevice {
public:
    explicit ReadAheadDevice(QIODevice& source);
    ~ReadAheadDevice() override;
    ReadAheadDevice(const ReadAheadDevice&) = delete;
    ReadAheadDevice& operator=(const ReadAheadDevice&) = delete;

    bool isSequential() const override { return true; }
    bool atEnd() const override;
    // Ends the reading thread; source may be used again afterwards.
    void stop();

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    void run();

    QIODevice& source_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<QByteArray> blocks_;
    bool ended_ = false; // the source has no more (or failed)
    bool failed_ = false;
    bool stopping_ = false;
    QString error_;
    QByteArray current_;
    qsizetype currentPos_ = 0;
    std::thread thread_;
};

} // namespace zentuvo
