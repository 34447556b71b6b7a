#include "config/Cipher.h"

#include "base/Cp1252.h"

#include <QCryptographicHash>
#include <QCursor>
#include <QFile>
#include <QGuiApplication>

namespace contivo {
namespace {

/// Shows the hourglass while the key file is read, when there is a GUI.
class WaitCursor {
public:
    WaitCursor() : m_active(qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr)
    {
        if (m_active)
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~WaitCursor()
    {
        if (m_active)
            QGuiApplication::restoreOverrideCursor();
    }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    bool m_active;
};

std::uint16_t mul16(std::uint16_t a, std::uint16_t b)
{
    return static_cast<std::uint16_t>((std::uint32_t(a) * std::uint32_t(b)) & 0xFFFFu);
}

std::uint16_t add16(std::uint16_t a, std::uint16_t b) { return static_cast<std::uint16_t>((a + b) & 0xFFFF); }

}

TSecHash::Digest TSecHash::digestOfBytes(const QByteArray& bytes)
{
    const QByteArray sum = QCryptographicHash::hash(bytes, QCryptographicHash::Sha1);
    Digest d {};
    for (int w = 0; w < 5; ++w) {
        std::uint32_t v = 0;
        for (int b = 0; b < 4; ++b)
            v = (v << 8) | static_cast<unsigned char>(sum[w * 4 + b]);
        d[w] = v;
    }
    return d;
}

TSecHash::Digest TSecHash::digestOfFile(const QString& path)
{
    WaitCursor wait;
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        throw ESecHashException();
    return digestOfBytes(file.readAll());
}

void TSimpleCrypt::start(const QByteArray& keyText)
{
    m_key.fill(0);
    for (int k = 0; k < 16 && k < keyText.size(); ++k)
        m_key[k] = static_cast<std::uint8_t>(keyText[k]);
    m_x1a0.fill(0);
    m_ax = m_bx = m_cx = m_dx = m_si = m_tmp = m_x1a2 = m_res = m_inter = m_cfc = m_cfd = m_i = 0;
}

void TSimpleCrypt::step()
{
    m_dx = add16(m_x1a2, m_i);
    m_ax = m_x1a0[m_i];
    m_cx = 346;
    m_bx = 20021;
    m_tmp = m_ax; m_ax = m_si; m_si = m_tmp;
    m_tmp = m_ax; m_ax = m_dx; m_dx = m_tmp;
    if (m_ax != 0)
        m_ax = mul16(m_ax, m_bx);
    m_tmp = m_ax; m_ax = m_cx; m_cx = m_tmp;
    if (m_ax != 0) {
        m_ax = mul16(m_ax, m_si);
        m_cx = add16(m_ax, m_cx);
    }
    m_tmp = m_ax; m_ax = m_si; m_si = m_tmp;
    m_ax = mul16(m_ax, m_bx);
    m_dx = add16(m_cx, m_dx);
    m_ax = add16(m_ax, 1);
    m_x1a2 = m_dx;
    m_x1a0[m_i] = m_ax;
    m_res = m_ax ^ m_dx;
    m_i = add16(m_i, 1);
}

void TSimpleCrypt::keySetup()
{
    m_x1a0[0] = static_cast<std::uint16_t>(m_key[0] * 256 + m_key[1]);
    step();
    m_inter = m_res;
    for (int n = 1; n < 8; ++n) {
        m_x1a0[n] = m_x1a0[n - 1] ^ static_cast<std::uint16_t>(m_key[2 * n] * 256 + m_key[2 * n + 1]);
        step();
        m_inter ^= m_res;
    }
    m_i = 0;
}

QByteArray TSimpleCrypt::encipher(const QByteArray& keyText, const QByteArray& data)
{
    start(keyText);
    QByteArray out;
    out.reserve(std::min<qsizetype>(data.size() * 2, kMaxOutput));
    for (const char ch : data) {
        if (out.size() + 2 > kMaxOutput)
            break;
        auto c = static_cast<std::uint8_t>(ch);
        keySetup();
        m_cfc = m_inter >> 8;
        m_cfd = m_inter & 0xFF;
        for (auto& k : m_key)
            k ^= c;
        c = static_cast<std::uint8_t>(c ^ m_cfc ^ m_cfd);
        out.append(char('a' + (c >> 4)));
        out.append(char('a' + (c & 0x0F)));
    }
    return out;
}

QByteArray TSimpleCrypt::decipher(const QByteArray& keyText, const QByteArray& letters)
{
    start(keyText);
    QByteArray out;
    for (qsizetype p = 0; p + 1 < letters.size() && out.size() < kMaxOutput; p += 2) {
        const int hi = static_cast<unsigned char>(letters[p]) - 'a';
        const int lo = static_cast<unsigned char>(letters[p + 1]) - 'a';
        auto c = static_cast<std::uint8_t>((hi * 16 + lo) & 0xFF);
        keySetup();
        m_cfc = m_inter >> 8;
        m_cfd = m_inter & 0xFF;
        c = static_cast<std::uint8_t>(c ^ m_cfc ^ m_cfd);
        for (auto& k : m_key)
            k ^= c;
        out.append(char(c));
    }
    // The output buffer is zero-filled: the result ends at its first zero byte.
    const qsizetype zero = out.indexOf('\0');
    if (zero >= 0)
        out.truncate(zero);
    return out;
}

QString DeriveKeyFromDigest(const TSecHash::Digest& d)
{
    QString key;
    for (const std::uint32_t word : {d[3], d[2], d[1], d[4]})
        key += QStringLiteral("%1").arg(word, 8, 16, QLatin1Char('0')).toUpper();
    return key;
}

QString DeriveSettingsKey(const QString& keyFilePath) { return DeriveKeyFromDigest(TSecHash::digestOfFile(keyFilePath)); }

QString EncipherText(const QString& plain, const QString& derivedKey, const QString& fixedKey)
{
    const QByteArray first = TSimpleCrypt().encipher(cp1252::encode(fixedKey), cp1252::encode(plain));
    const QByteArray second = TSimpleCrypt().encipher(cp1252::encode(derivedKey.mid(1, 15)), first);
    return QString::fromLatin1(second);
}

QString DecipherText(const QString& cipher, const QString& derivedKey, const QString& fixedKey)
{
    const QByteArray first = TSimpleCrypt().decipher(cp1252::encode(derivedKey.mid(1, 15)), cp1252::encode(cipher));
    const QByteArray second = TSimpleCrypt().decipher(cp1252::encode(fixedKey), first);
    return cp1252::decode(second);
}

}
