#include "data/NocaseOrder.h"

#include <algorithm>

namespace zentuvo {

namespace {

// A UTF-16 code unit as a rank in code point order (the order of the UTF-8 bytes that the
// catalogue compares), with A-Z taken as a-z.
inline char16_t nocaseRank(char16_t c) {
    if (c >= u'A' && c <= u'Z')
        return char16_t(c + 32);
    if (c >= 0xE000)
        return char16_t(c - 0x800);
    if (c >= 0xD800)
        return char16_t(c + 0x2000); // surrogates stand for code points above U+FFFF
    return c;
}

} // namespace

int compareNocase(const QString& a, const QString& b) {
    const qsizetype n = std::min(a.size(), b.size());
    const auto* x = reinterpret_cast<const char16_t*>(a.constData());
    const auto* y = reinterpret_cast<const char16_t*>(b.constData());
    for (qsizetype i = 0; i < n; ++i) {
        if (x[i] != y[i]) {
            const char16_t p = nocaseRank(x[i]), r = nocaseRank(y[i]);
            if (p != r)
                return p < r ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

} // namespace zentuvo
