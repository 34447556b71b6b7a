#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <stdexcept>

/// The cipher of enciphered settings and enciphered table fields: a two-pass 16-bit stream cipher
/// with a 128-bit key, keyed by a fixed key text and by the SHA-1 digest of the installation's
/// key file. Cipher text is made of the letters a..p, four per plain character.
namespace contivo {

/// The key text every installation shares.
inline constexpr const char* kFixedKeyText = "Tz8Ke%Ry5m!Wd3Pq";

/// Raised when the key file cannot be read; what() is "File not found !".
class ESecHashException : public std::runtime_error {
public:
    ESecHashException() : std::runtime_error("File not found !") { }
};

/// SHA-1 of a file's bytes as the five 32-bit words H0..H4.
class TSecHash {
public:
    using Digest = std::array<std::uint32_t, 5>;
    /// Throws ESecHashException when the file cannot be opened.
    static Digest digestOfFile(const QString& path);
    static Digest digestOfBytes(const QByteArray& bytes);
};

/// One pass of the stream cipher. The key buffer holds the first 16 bytes of the key text,
/// zero-filled after its end; a pass writes at most 33000 characters.
class TSimpleCrypt {
public:
    static constexpr int kMaxOutput = 33000;

    /// Each plain byte becomes two letters (high nibble, low nibble; 0 is 'a', 15 is 'p').
    QByteArray encipher(const QByteArray& keyText, const QByteArray& data);
    /// Each pair of letters becomes one byte (an odd last letter is ignored); the result ends at
    /// its first zero byte.
    QByteArray decipher(const QByteArray& keyText, const QByteArray& letters);

private:
    void start(const QByteArray& keyText);
    void step();
    void keySetup();

    std::array<std::uint8_t, 16> m_key {};
    std::array<std::uint16_t, 8> m_x1a0 {};
    std::uint16_t m_ax = 0, m_bx = 0, m_cx = 0, m_dx = 0, m_si = 0, m_tmp = 0, m_x1a2 = 0, m_res = 0, m_inter = 0,
                  m_cfc = 0, m_cfd = 0, m_i = 0;
};

/// 32 upper-case hex digits from the key file's digest: H3, H2, H1, H4 (H0 unused).
/// Throws ESecHashException when the file cannot be opened.
QString DeriveSettingsKey(const QString& keyFilePath);
/// The derived key text of a digest (exposed for tests).
QString DeriveKeyFromDigest(const TSecHash::Digest& digest);

/// First pass with the fixed key over the plain text (cp1252), second pass with characters 2..16
/// of the derived key over the first pass's letters.
QString EncipherText(const QString& plain, const QString& derivedKey, const QString& fixedKey = QString::fromLatin1(kFixedKeyText));
/// The reverse of EncipherText; text that is not cipher text gives meaningless characters.
QString DecipherText(const QString& cipher, const QString& derivedKey, const QString& fixedKey = QString::fromLatin1(kFixedKeyText));

}
