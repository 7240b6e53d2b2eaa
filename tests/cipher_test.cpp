#include "data/Blowfish.h"
#include "data/BlowfishTables.h"
#include "data/StoredValue.h"
#include "support/TestSupport.h"

using namespace zentuvo;

namespace {

QString encryptBlockHex(const QByteArray& key, quint32 l, quint32 r) {
    Blowfish bf(Blowfish::Arrangement::Standard);
    bf.setKey(key);
    bf.encryptBlock(l, r);
    return QStringLiteral("%1%2").arg(l, 8, 16, QChar('0')).arg(r, 8, 16, QChar('0')).toUpper();
}

} // namespace

TEST(Blowfish, PublishedVectorsWithStandardArrangement) {
    EXPECT_EQ(encryptBlockHex(QByteArray(8, '\0'), 0, 0), "4EF997456198DD78");
    EXPECT_EQ(encryptBlockHex(QByteArray(8, '\xFF'), 0xFFFFFFFF, 0xFFFFFFFF), "51866FD5B85ECB8A");
    EXPECT_EQ(encryptBlockHex(QByteArray::fromHex("FEDCBA9876543210"), 0x01234567, 0x89ABCDEF),
              "0ACEAB0FC6A0A28D");
}

TEST(Blowfish, CatalogueArrangementPlacesWordsRoundRobin) {
    const Blowfish bf(Blowfish::Arrangement::Catalogue);
    using blowfish_tables::kInitS;
    EXPECT_EQ(bf.sbox(1, 0), kInitS[1]);    // second word of the first published box
    EXPECT_EQ(bf.sbox(0, 1), kInitS[4]);    // its fifth word
    EXPECT_EQ(bf.sbox(0, 64), kInitS[256]); // first word of the second published box
    EXPECT_EQ(bf.sbox(3, 255), kInitS[1023]);
    const Blowfish standard(Blowfish::Arrangement::Standard);
    EXPECT_EQ(standard.sbox(1, 0), kInitS[256]);
}

TEST(StoredValue, RoundTripsAnyText) {
    StoredValueCipher cipher;
    const QStringList texts{"",
                            "four",         // 4 bytes and the 12 of the framing: two whole blocks
                            "nine byte",    // 9 bytes: three blocks, the last padded
                            "twelve bytes", // 12 bytes: three whole blocks
                            "Télé Ünïcödé — 中文频道 — ‏עברית",
                            QString(1000, u'x')};
    for (const QString& text : texts) {
        const QString stored = cipher.encrypt(text);
        EXPECT_EQ(cipher.decryptStreamAddress(stored), text);
        // 12 framing bytes plus padding to whole blocks, 3 characters per byte but the last
        EXPECT_EQ((stored.size() + 1) / 3, (text.toUtf8().size() + 12 + 7) / 8 * 8);
    }
}

TEST(StoredValue, SameTextEnciphersDifferentlyAndAnySingleSeparatorIsAccepted) {
    test::FakeMessages messages;
    StoredValueCipher cipher(&messages);
    const QString a = cipher.encrypt("same"), b = cipher.encrypt("same");
    EXPECT_NE(a, b);
    EXPECT_EQ(cipher.decryptStreamAddress(QString(b).replace(u' ', u'-') + u'-'), "same");
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST(StoredValue, BadValuesGiveEmptyTextAfterOneMessage) {
    test::FakeMessages messages;
    StoredValueCipher cipher(&messages);
    const QString good = cipher.encrypt("lower case");
    for (const QString& value :
         {QString(), QString("A"), QString("AB"), good.toLower(), QString("ZZ 00 11"),
          QString("00 11 22 33 44 55 66"), good.left(good.size() - 3)}) {
        messages.clear();
        EXPECT_EQ(cipher.decryptStreamAddress(value), "") << value.toStdString();
        ASSERT_EQ(messages.shown.size(), 1) << value.toStdString();
        EXPECT_TRUE(messages.shown[0].text.startsWith("Error in DecryptByte: "));
        EXPECT_EQ(messages.shown[0].icon, MsgIcon::None);
    }
}

TEST(StoredValue, InconsistentLengthFieldGivesWholeBuffer) {
    // Flipping a bit of the first block flips the same bit of the second block's plain text:
    // the length field of an empty text then says 100. No message, the 16 bytes come back.
    Blowfish bf;
    QByteArray bytes;
    bf.encryptBytes(bytes, kCatalogueKey);
    bytes[0] = char(bytes[0] ^ 100);
    ASSERT_TRUE(bf.decryptBytes(bytes));
    EXPECT_EQ(bytes.size(), 16);
    EXPECT_EQ(quint8(bytes[8]), 100);
}

TEST(HexToBytes, PairsAndEdges) {
    EXPECT_EQ(hexToBytes("0A FF 10").value(), QByteArray::fromHex("0aff10"));
    EXPECT_EQ(hexToBytes("").value(), QByteArray());
    EXPECT_EQ(hexToBytes("A").value(), QByteArray());
    EXPECT_FALSE(hexToBytes("0a"));
    EXPECT_FALSE(hexToBytes("0: 11"));
    EXPECT_FALSE(hexToBytes("GG"));
    EXPECT_EQ(hexToBytes("0AFF", 0).value(), QByteArray::fromHex("0aff"));
    EXPECT_FALSE(hexToBytes("0AF", 0));
    EXPECT_EQ(bytesToHex(QByteArray::fromHex("00ab10")), "00 AB 10");
}
