#pragma once
// The rows the My List writer saves, so that a test can tell a whole row from a torn one.

#include "data/MyList.h"

namespace zentuvo::test {

// Row n in version 1 (as saved) or 2 (as updated): every field follows from n and the
// version, and the texts are long enough to span database pages.
inline QString reliabilityDescription(int n, int version) {
    const QChar letter(char16_t(version == 1 ? 0x0410 + n % 32 : 0x3042 + n % 40));
    return QString(3000 + (n * 37) % 1500 + version * 700, letter);
}

inline MyListRecord reliabilityRow(int n, int version) {
    MyListRecord r;
    r.name = QStringLiteral("row-%1").arg(n);
    r.codec = QStringLiteral("v%1").arg(version);
    r.streamUrl = QStringLiteral("http://127.0.0.1:9/%1").arg(n);
    r.homePage = QStringLiteral("http://127.0.0.1:9/home/%1/%2").arg(n).arg(version);
    r.countryID = n % 7;
    r.typeID = version;
    r.kbps = n * 10 + version;
    r.rank = n % 30000;
    r.description = reliabilityDescription(n, version);
    r.notes = QStringLiteral("notes of %1 v%2").arg(n).arg(version);
    return r;
}

} // namespace zentuvo::test
