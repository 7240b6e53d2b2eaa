#pragma once

#include <QString>
#include <optional>

namespace zentuvo {

class StoredValueCipher;

// What the property window shows of a catalogue channel, in plain text.
struct ChannelProperties {
    QString name;
    QString homePage;    // "" when the catalogue has none
    QString description; // "" when the catalogue has none
};

// The properties of a catalogue channel; nothing when there is no such channel. The home page
// and the description are deciphered with the cipher. Throws DbError.
std::optional<ChannelProperties> readChannelProperties(const QString& channelDb,
                                                       StoredValueCipher& cipher, int channelID);

} // namespace zentuvo
