#include "XmltvTime.h"

namespace zentuvo {
namespace {

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's days_from_civil).
qint64 daysFromCivil(qint64 y, int m, int d) {
    y -= m <= 2 ? 1 : 0;
    const qint64 era = (y >= 0 ? y : y - 399) / 400;
    const qint64 yoe = y - era * 400;
    const qint64 doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const qint64 doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

bool isLeap(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysInMonth(int y, int m) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeap(y) ? 29 : days[m - 1];
}

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

// Reads count digits at pos into value; false when any is not an ASCII digit.
bool digits(QStringView s, qsizetype pos, int count, int& value) {
    value = 0;
    for (int i = 0; i < count; ++i) {
        const char16_t c = s[pos + i].unicode();
        if (c < u'0' || c > u'9')
            return false;
        value = value * 10 + (c - u'0');
    }
    return true;
}

} // namespace

std::optional<qint64> parseXmltvTime(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    qsizetype digitsEnd = begin;
    while (digitsEnd < end && text[digitsEnd] >= u'0' && text[digitsEnd] <= u'9')
        ++digitsEnd;
    const qsizetype length = digitsEnd - begin;
    if (length != 12 && length != 14)
        return std::nullopt;

    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    digits(text, begin, 4, year);
    digits(text, begin + 4, 2, month);
    digits(text, begin + 6, 2, day);
    digits(text, begin + 8, 2, hour);
    digits(text, begin + 10, 2, minute);
    if (length == 14)
        digits(text, begin + 12, 2, second);
    if (month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month) || hour > 23 ||
        minute > 59 || second > 59)
        return std::nullopt;

    qsizetype pos = digitsEnd;
    while (pos < end && isBlank(text[pos]))
        ++pos;
    int offsetSeconds = 0;
    if (pos < end) {
        const QChar sign = text[pos];
        if ((sign != u'+' && sign != u'-') || end - pos != 5)
            return std::nullopt;
        int offsetHours = 0, offsetMinutes = 0;
        if (!digits(text, pos + 1, 2, offsetHours) || !digits(text, pos + 3, 2, offsetMinutes) ||
            offsetHours > 14 || offsetMinutes > 59)
            return std::nullopt;
        offsetSeconds = (offsetHours * 60 + offsetMinutes) * 60 * (sign == u'-' ? -1 : 1);
    }
    const qint64 local =
        daysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
    return local - offsetSeconds;
}

} // namespace zentuvo
