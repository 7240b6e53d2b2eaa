#include "data/Blowfish.h"
#include "data/BlowfishTables.h"
#include "data/StoredValue.h"

#include <gtest/gtest.h>

using namespace zentuvo;

namespace {

QString encryptBlockHex(const QByteArray& key, quint32 l, quint32 r) {
    cBlowfish bf(cBlowfish::Arrangement::Standard);
    bf.setKey(key);
    bf.encryptBlock(l, r);
    return QStringLiteral("%1%2").arg(l, 8, 16, QChar('0')).arg(r, 8, 16, QChar('0')).toUpper();
}

} // namespace

TEST(Blowfish, PublishedVectorsWithStandardArrangement) {
    EXPECT_EQ(encryptBlockHex(QByteArray(8, '\0'), 0, 0), "4EF997456198DD78");
    EXPECT_EQ(encryptBlockHex(QByteArray(8, '\xFF'), 0xFFFFFFFF, 0xFFFFFFFF), "51866FD5B85ECB8A");
    EXPECT_EQ(encryptBlockHex(QByteArray::fromHex("3000000000000000"), 0x10000000, 0x00000001),
              "7D856F9A613063F2");
    EXPECT_EQ(encryptBlockHex(QByteArray::fromHex("0123456789ABCDEF"), 0x11111111, 0x11111111),
              "61F9C3802281B096");
    EXPECT_EQ(encryptBlockHex(QByteArray::fromHex("FEDCBA9876543210"), 0x01234567, 0x89ABCDEF),
              "0ACEAB0FC6A0A28D");
}

TEST(Blowfish, DecryptInvertsEncrypt) {
    for (auto arrangement : {cBlowfish::Arrangement::Standard, cBlowfish::Arrangement::Catalogue}) {
        cBlowfish bf(arrangement);
        bf.setKey("some key");
        quint32 l = 0x01234567, r = 0x89ABCDEF;
        bf.encryptBlock(l, r);
        bf.decryptBlock(l, r);
        EXPECT_EQ(l, 0x01234567u);
        EXPECT_EQ(r, 0x89ABCDEFu);
    }
}
