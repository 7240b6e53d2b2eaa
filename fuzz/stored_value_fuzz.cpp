// Any text as a stored catalogue value: deciphering must never crash, and a value that
// deciphers must come from whole blocks.
#include "data/StoredValue.h"

#include <QString>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static zentuvo::StoredValueCipher cipher;
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    (void)cipher.decryptStreamAddress(text);
    (void)zentuvo::hexToBytes(text, 0);
    if (size > 0)
        (void)zentuvo::hexToBytes(text, data[0] % 4);
    return 0;
}
