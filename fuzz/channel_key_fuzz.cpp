// Any text as a player's tag: reading it as a channel reference must never crash, and a
// reference it gives must write back to a text that reads as the same reference.
#include "data/ChannelRef.h"
#include "data/VbConvert.h"

#include <QString>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString tag = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const zentuvo::ChannelRef ref = zentuvo::ChannelRef::fromText(tag);
    if (!ref.isNull() && zentuvo::ChannelRef::fromText(ref.toText()) != ref)
        std::abort();
    try {
        (void)zentuvo::toInt16Strict(tag);
    } catch (const zentuvo::ConversionError&) {
    }
    return 0;
}
