// Any bytes as an XMLTV time and as a guide, plain and through the gzip device: nothing may
// crash, every time read lies within the years 0000-9999 (give or take the offset), the
// counts add up and no programme of an unwanted channel comes through. The skim alone, dropping
// from the first byte, never gives more than it was given.
#include "data/GzipDevice.h"
#include "data/XmltvReader.h"
#include "data/XmltvSkim.h"
#include "data/XmltvTime.h"

#include <QBuffer>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition) {
    if (!condition)
        std::abort();
}

void readGuide(QIODevice& device) {
    qint64 programmes = 0;
    int channels = 0;
    zentuvo::XmltvSink sink;
    sink.wantChannel = [](const QString& id) { return !id.startsWith(u'x'); };
    sink.channel = [&](zentuvo::XmltvChannel) { ++channels; };
    sink.programme = [&](zentuvo::XmltvProgramme p) {
        check(!p.channel.isEmpty() && !p.channel.startsWith(u'x'));
        ++programmes;
    };
    const zentuvo::XmltvRead read =
        zentuvo::readXmltv(device, sink, nullptr, {QStringLiteral("en")});
    check(read.programmes == programmes && read.channels == channels && !read.cancelled);
    check(read.skipped >= 0 && read.invalid >= 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));

    const QString text = QString::fromLatin1(bytes.left(64));
    if (const std::optional<qint64> time = zentuvo::parseXmltvTime(text))
        check(*time > -62167219200LL - 86400 && *time < 253402300800LL + 86400);

    QBuffer plain(&bytes);
    plain.open(QIODevice::ReadOnly);
    readGuide(plain);

    QBuffer packed(&bytes);
    packed.open(QIODevice::ReadOnly);
    zentuvo::GzipDevice inflated(packed);
    readGuide(inflated);

    QBuffer skimmed(&bytes);
    skimmed.open(QIODevice::ReadOnly);
    zentuvo::XmltvSkim skim(skimmed, [](const QString& id) { return !id.startsWith(u'x'); });
    skim.start();
    const QByteArray kept = skim.readAll();
    check(kept.size() <= bytes.size() && kept.count('\n') == bytes.count('\n'));
    return 0;
}
