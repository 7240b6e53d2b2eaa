#pragma once

#include <QMetaType>
#include <QString>

namespace zentuvo {

// Names a channel wherever one travels inside the program: a catalogue channel or a My List
// channel by its number, a local file, or nothing. Only the player's tag shows its text form
// ("12 CH_ID", "3 MY_ID", "-1 FL", "" for nothing); toText() and fromText() are the one place
// where that form is written and read.
class ChannelRef {
public:
    enum class Kind : quint8 { None, Catalogue, MyList, File };

    constexpr ChannelRef() = default;
    static constexpr ChannelRef catalogue(qint32 number) { return {Kind::Catalogue, number}; }
    static constexpr ChannelRef myList(qint32 number) { return {Kind::MyList, number}; }
    static constexpr ChannelRef file() { return {Kind::File, -1}; }

    constexpr Kind kind() const { return kind_; }
    // The channel's number in its list; -1 for a file, 0 for nothing.
    constexpr qint32 number() const { return number_; }
    constexpr bool isNull() const { return kind_ == Kind::None; }
    constexpr bool isFile() const { return kind_ == Kind::File; }
    // A catalogue or My List channel.
    constexpr bool isChannel() const { return kind_ == Kind::Catalogue || kind_ == Kind::MyList; }

    friend constexpr bool operator==(const ChannelRef&, const ChannelRef&) = default;
    // One number for kind and number together, to key tables by.
    constexpr quint64 key() const { return (quint64(kind_) << 32) | quint32(number_); }
    static constexpr ChannelRef fromKey(quint64 key) {
        return ChannelRef(Kind(quint8(key >> 32)), qint32(quint32(key)));
    }

    QString toText() const;
    // The reference a tag text names. A text of another kind gives a reference of kind None
    // that keeps the text's leading number (rounded to 32 bits; 0 when there is none).
    static ChannelRef fromText(const QString& text);

private:
    constexpr ChannelRef(Kind kind, qint32 number) : kind_(kind), number_(number) {}

    Kind kind_ = Kind::None;
    qint32 number_ = 0;
};

} // namespace zentuvo

Q_DECLARE_METATYPE(zentuvo::ChannelRef)
