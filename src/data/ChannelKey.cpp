#include "data/ChannelKey.h"

#include "data/VbConvert.h"

namespace zentuvo::ChannelKey {

int number(const QString& key) {
    try {
        return roundToInt32(leadingNumber(key));
    } catch (const ConversionError&) {
        return 0;
    }
}

QString kind(const QString& key) {
    const qsizetype blank = key.indexOf(u' ');
    return blank < 0 ? QString() : key.mid(blank + 1);
}

} // namespace zentuvo::ChannelKey
