#include "GzipDevice.h"

#include <algorithm>
#include <limits>

namespace zentuvo {
namespace {
constexpr qint64 inputChunk = 64 * 1024;
}

GzipDevice::GzipDevice(QIODevice& source) : source_(source) {
    // 15 + 32: the largest window, gzip or zlib header found automatically.
    initialised_ = inflateInit2(&stream_, 15 + 32) == Z_OK;
    QIODevice::open(QIODevice::ReadOnly);
    if (!initialised_)
        fail(QStringLiteral("gzip: cannot start"));
}

GzipDevice::~GzipDevice() {
    if (initialised_)
        inflateEnd(&stream_);
}

bool GzipDevice::atEnd() const {
    return (finished_ || failed_) && QIODevice::bytesAvailable() == 0;
}

qint64 GzipDevice::fail(const QString& why) {
    failed_ = true;
    setErrorString(why);
    return -1;
}

qint64 GzipDevice::readData(char* data, qint64 maxSize) {
    if (failed_)
        return -1;
    const auto room = uInt(std::min<qint64>(maxSize, std::numeric_limits<int>::max()));
    stream_.next_out = reinterpret_cast<Bytef*>(data);
    stream_.avail_out = room;
    while (stream_.avail_out == room && room > 0) {
        if (stream_.avail_in == 0) {
            input_.resize(inputChunk);
            const qint64 got = source_.read(input_.data(), inputChunk);
            if (got <= 0) {
                if (finished_)
                    return 0;
                return fail(QStringLiteral("truncated"));
            }
            stream_.next_in = reinterpret_cast<Bytef*>(input_.data());
            stream_.avail_in = uInt(got);
        }
        if (finished_) {
            // More input after a complete member: the next gzip member.
            if (inflateReset(&stream_) != Z_OK)
                return fail(QStringLiteral("gzip: cannot restart"));
            finished_ = false;
        }
        const int result = inflate(&stream_, Z_NO_FLUSH);
        if (result == Z_STREAM_END)
            finished_ = true;
        else if (result != Z_OK && result != Z_BUF_ERROR)
            return fail(QStringLiteral("gzip: %1")
                            .arg(QString::fromLatin1(stream_.msg ? stream_.msg : "corrupt data")));
    }
    return qint64(room - stream_.avail_out);
}

} // namespace zentuvo
