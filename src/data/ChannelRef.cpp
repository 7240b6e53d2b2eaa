#include "data/ChannelRef.h"

#include "data/VbConvert.h"

namespace zentuvo {

namespace {

const QString kCatalogue = QStringLiteral("CH_ID");
const QString kMyList = QStringLiteral("MY_ID");
const QString kFile = QStringLiteral("-1 FL");

qint32 leadingNumberOf(const QString& text) {
    try {
        return roundToInt32(leadingNumber(text));
    } catch (const ConversionError&) {
        return 0;
    }
}

} // namespace

QString ChannelRef::toText() const {
    switch (kind_) {
    case Kind::Catalogue:
        return QString::number(number_) + u' ' + kCatalogue;
    case Kind::MyList:
        return QString::number(number_) + u' ' + kMyList;
    case Kind::File:
        return kFile;
    case Kind::None:
        break;
    }
    return {};
}

ChannelRef ChannelRef::fromText(const QString& text) {
    if (text == kFile)
        return file();
    const qint32 number = leadingNumberOf(text);
    const qsizetype blank = text.indexOf(u' ');
    const QString kind = blank < 0 ? QString() : text.mid(blank + 1);
    if (kind == kCatalogue)
        return catalogue(number);
    if (kind == kMyList)
        return myList(number);
    return ChannelRef(Kind::None, number);
}

} // namespace zentuvo
