#include "ConfigTestUtil.h"
#include "config/Cipher.h"

#include <QRegularExpression>
#include <QTemporaryDir>

using namespace contivo;
using testutil::writeBytes;

namespace {

/// A key file of 1024 bytes: 0..255 four times.
QByteArray fixedKeyFileBytes()
{
    QByteArray bytes;
    for (int r = 0; r < 4; ++r)
        for (int b = 0; b < 256; ++b)
            bytes.append(char(b));
    return bytes;
}

class CipherTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_tmp.isValid());
        m_keyFile = m_tmp.path() + "/Support.dat";
        writeBytes(m_keyFile, fixedKeyFileBytes());
    }
    QTemporaryDir m_tmp;
    QString m_keyFile;
};

}

TEST_F(CipherTest, DigestIsStandardSha1AndTheKeyTakesWordsThreeTwoOneFour)
{
    const QString empty = m_tmp.path() + "/empty.dat";
    writeBytes(empty, {});
    // SHA-1 of the empty message: da39a3ee 5e6b4b0d 3255bfef 95601890 afd80709
    const TSecHash::Digest d = TSecHash::digestOfFile(empty);
    EXPECT_EQ(d, (TSecHash::Digest {0xda39a3ee, 0x5e6b4b0d, 0x3255bfef, 0x95601890, 0xafd80709}));
    EXPECT_EQ(DeriveSettingsKey(empty), "956018903255BFEF5E6B4B0DAFD80709");
    // "abc": a9993e36 4706816a ba3e2571 7850c26c 9cd0d89d
    EXPECT_EQ(DeriveKeyFromDigest(TSecHash::digestOfBytes("abc")), "7850C26CBA3E25714706816A9CD0D89D");
    // leading zeros are kept
    EXPECT_EQ(DeriveKeyFromDigest({1, 2, 3, 4, 5}), "00000004000000030000000200000005");
    EXPECT_EQ(DeriveSettingsKey(m_keyFile), "A9956116BDFA8BDB480D5CFF0F2D1B77");
}

TEST_F(CipherTest, FixedKeyFileGivesAFixedCipherText)
{
    const QString key = DeriveSettingsKey(m_keyFile);
    // Worked out with an independent implementation of the two passes.
    EXPECT_EQ(EncipherText("Segreto", key), "kjmaaceojpccfkeohjegkhjpckom");
    EXPECT_EQ(EncipherText(QString::fromUtf8("àèì €uro"), key), "kejjebdofhalekglgfjglcchjaomindm");
    EXPECT_EQ(DecipherText("kjmaaceojpccfkeohjegkhjpckom", key), "Segreto");
}

TEST_F(CipherTest, RoundTripsWithFourLettersPerCharacter)
{
    const QString key = DeriveSettingsKey(m_keyFile);
    const QString texts[] = {"a", "Segreto", QString::fromUtf8("€ è ÿ Œ"), "with spaces and = , \" '", QString(511, 'z'),
                             QString::fromUtf8("\x7f\x01")};
    const QRegularExpression letters("^[a-p]*$");
    for (const QString& t : texts) {
        const QString c = EncipherText(t, key);
        EXPECT_EQ(c.size(), 4 * t.size()) << t.toStdString();
        EXPECT_TRUE(letters.match(c).hasMatch()) << c.toStdString();
        EXPECT_EQ(EncipherText(t, key), c); // deterministic
        EXPECT_EQ(DecipherText(c, key), t) << t.toStdString();
    }
    EXPECT_EQ(EncipherText("", key), "");
    EXPECT_EQ(DecipherText("", key), "");
    // the same text gives different cipher texts at different positions of the key stream
    EXPECT_NE(EncipherText("aa", key).left(4), EncipherText("aa", key).mid(4));
}

TEST_F(CipherTest, AnotherKeyGivesMeaninglessTextWithoutError)
{
    const QString key = DeriveSettingsKey(m_keyFile);
    const QString other = DeriveKeyFromDigest(TSecHash::digestOfBytes("another key file"));
    const QString c = EncipherText("Segreto", key);
    EXPECT_NE(EncipherText("Segreto", other), c);
    EXPECT_NE(DecipherText(c, other), "Segreto");
    // only characters 2..16 of the derived key matter
    QString sameTail = key;
    sameTail[0] = 'Z';
    sameTail[20] = 'Z';
    EXPECT_EQ(EncipherText("Segreto", sameTail), c);
    sameTail[15] = key[15] == QLatin1Char('0') ? QLatin1Char('1') : QLatin1Char('0');
    EXPECT_NE(EncipherText("Segreto", sameTail), c);
}

TEST_F(CipherTest, SinglePassRules)
{
    // an odd last letter is ignored, and the output ends at the first zero byte
    TSimpleCrypt crypt;
    const QByteArray letters = crypt.encipher("k", "AB");
    EXPECT_EQ(letters.size(), 4);
    EXPECT_EQ(TSimpleCrypt().decipher("k", letters + "c"), QByteArray("AB"));
    const QByteArray withZero = TSimpleCrypt().encipher("k", QByteArray("A\0B", 3));
    EXPECT_EQ(TSimpleCrypt().decipher("k", withZero), QByteArray("A"));
    // a pass writes at most 33000 letters
    EXPECT_EQ(TSimpleCrypt().encipher("k", QByteArray(20000, 'x')).size(), TSimpleCrypt::kMaxOutput);
    // the key buffer holds 16 bytes: a longer key text is cut
    EXPECT_EQ(TSimpleCrypt().encipher("0123456789abcdefXYZ", "abc"), TSimpleCrypt().encipher("0123456789abcdef", "abc"));
    EXPECT_NE(TSimpleCrypt().encipher("0123456789abcde", "abc"), TSimpleCrypt().encipher("0123456789abcdef", "abc"));
}

TEST_F(CipherTest, MissingKeyFileRaisesFileNotFound)
{
    for (const QString& path : {m_tmp.path() + "/none.dat", QString()}) {
        try {
            DeriveSettingsKey(path);
            ADD_FAILURE() << "no error for " << path.toStdString();
        } catch (const ESecHashException& e) {
            EXPECT_STREQ(e.what(), "File not found !");
        }
    }
}
