#pragma once

#include <QByteArray>
#include <QIODevice>
#include <zlib.h>

namespace zentuvo {

// A read-only sequential device giving the inflated bytes of a gzip or zlib stream read from
// source (concatenated gzip members are read on). Opens itself. A stream that ends early or
// holds corrupt data makes read() fail, with failed() true and errorString() telling why
// ("truncated" or "gzip: ...").
class GzipDevice : public QIODevice {
public:
    explicit GzipDevice(QIODevice& source);
    ~GzipDevice() override;
    GzipDevice(const GzipDevice&) = delete;
    GzipDevice& operator=(const GzipDevice&) = delete;

    bool isSequential() const override { return true; }
    bool atEnd() const override;
    bool failed() const { return failed_; }

protected:
    qint64 readData(char* data, qint64 maxSize) override;
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    qint64 fail(const QString& why);

    QIODevice& source_;
    z_stream stream_{};
    QByteArray input_;
    bool initialised_ = false;
    bool finished_ = false;
    bool failed_ = false;
};

} // namespace zentuvo
