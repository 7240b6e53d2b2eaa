// Any text as a channel key: the number and kind readers must never crash.
#include "data/ChannelKey.h"
#include "data/VbConvert.h"

#include <QString>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString key = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    (void)zentuvo::ChannelKey::number(key);
    (void)zentuvo::ChannelKey::kind(key);
    try {
        (void)zentuvo::toInt16Strict(key);
    } catch (const zentuvo::ConversionError&) {
    }
    return 0;
}
