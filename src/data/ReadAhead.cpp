#include "data/ReadAhead.h"

#include <algorithm>
#include <cstring>

namespace zentuvo {

namespace {
constexpr qint64 kBlock = 256 * 1024;
constexpr size_t kBlocksAhead = 4;
} // namespace

ReadAheadDevice::ReadAheadDevice(QIODevice& source) : source_(source) {
    QIODevice::open(QIODevice::ReadOnly);
    thread_ = std::thread([this] { run(); });
}

ReadAheadDevice::~ReadAheadDevice() {
    stop();
}

void ReadAheadDevice::stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

void ReadAheadDevice::run() {
    for (;;) {
        QByteArray block(kBlock, Qt::Uninitialized);
        const qint64 got = source_.read(block.data(), kBlock);
        std::unique_lock lock(mutex_);
        if (got <= 0) {
            ended_ = true;
            failed_ = got < 0;
            if (failed_)
                error_ = source_.errorString();
            changed_.notify_all();
            return;
        }
        block.truncate(got);
        changed_.wait(lock, [this] { return blocks_.size() < kBlocksAhead || stopping_; });
        if (stopping_)
            return;
        blocks_.push_back(std::move(block));
        changed_.notify_all();
    }
}

bool ReadAheadDevice::atEnd() const {
    std::lock_guard lock(mutex_);
    return ended_ && blocks_.empty() && currentPos_ >= current_.size() &&
           QIODevice::bytesAvailable() == 0;
}

qint64 ReadAheadDevice::readData(char* data, qint64 maxSize) {
    if (currentPos_ >= current_.size()) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !blocks_.empty() || ended_ || stopping_; });
        if (blocks_.empty()) {
            if (failed_)
                setErrorString(error_);
            return failed_ ? -1 : 0;
        }
        current_ = std::move(blocks_.front());
        blocks_.pop_front();
        currentPos_ = 0;
        changed_.notify_all();
    }
    const qint64 n = std::min<qint64>(maxSize, current_.size() - currentPos_);
    std::memcpy(data, current_.constData() + currentPos_, size_t(n));
    currentPos_ += n;
    return n;
}

} // namespace zentuvo
