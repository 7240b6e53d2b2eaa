#include "data/VbConvert.h"

#include <cmath>
#include <limits>

namespace zentuvo {

namespace {

// Scans a number at the start of text (after blanks); returns the characters used.
qsizetype scanNumber(const QString& text, qsizetype start, double& out) {
    qsizetype i = start;
    const qsizetype n = text.size();
    QString digits;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        digits += text[i];
        ++i;
    }
    bool any = false;
    while (i < n && text[i].isDigit() && text[i].unicode() < 128) {
        digits += text[i++];
        any = true;
    }
    if (i < n && text[i] == u'.') {
        qsizetype j = i + 1;
        QString frac;
        while (j < n && text[j].isDigit() && text[j].unicode() < 128)
            frac += text[j++];
        if (!frac.isEmpty() || any) {
            digits += u'.' + frac;
            any = any || !frac.isEmpty();
            i = j;
        }
    }
    if (!any) {
        out = 0;
        return 0;
    }
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        QString exp = QStringLiteral("e");
        if (j < n && (text[j] == u'+' || text[j] == u'-'))
            exp += text[j++];
        bool expDigits = false;
        while (j < n && text[j].isDigit() && text[j].unicode() < 128) {
            exp += text[j++];
            expDigits = true;
        }
        if (expDigits) {
            digits += exp;
            i = j;
        }
    }
    out = digits.toDouble();
    return i - start;
}

} // namespace

double leadingNumber(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    double value = 0;
    scanNumber(text, i, value);
    return std::isfinite(value) ? value : 0.0;
}

int roundToInt32(double value) {
    const double r = std::nearbyint(value); // default rounding mode: half to even
    if (!std::isfinite(r) || r < std::numeric_limits<int>::min() ||
        r > std::numeric_limits<int>::max())
        throw ConversionError(6, QStringLiteral("Overflow"));
    return static_cast<int>(r);
}

int toInt16Strict(const QString& text) {
    const QString t = text.trimmed();
    double value = 0;
    const qsizetype used = scanNumber(t, 0, value);
    if (t.isEmpty() || used != t.size())
        throw ConversionError(13, QStringLiteral("Type mismatch"));
    const double r = std::nearbyint(value);
    if (!std::isfinite(r) || r < -32768 || r > 32767)
        throw ConversionError(6, QStringLiteral("Overflow"));
    return static_cast<int>(r);
}

} // namespace zentuvo
