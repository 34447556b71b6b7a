#include "base/Cp1252.h"

#include <array>
#include <cstring>

namespace contivo::cp1252 {
namespace {

// Code points of the bytes 0x80..0x9F; the rest of the code page equals Latin-1.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

int byteFor(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return c;
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == c)
            return 0x80 + i;
    return -1;
}

char16_t codePointOf(unsigned char b)
{
    return (b >= 0x80 && b < 0xA0) ? kHigh[b - 0x80] : char16_t(b);
}

// The end of the run of whole eight-byte words from i in which no byte has the top bit: bank
// files are nearly all ASCII, which both conversions copy a word at a time.
qsizetype asciiWordsEnd(const unsigned char* bytes, qsizetype i, qsizetype size)
{
    while (size - i >= 8) {
        quint64 word;
        std::memcpy(&word, bytes + i, 8);
        if (word & 0x8080808080808080ULL)
            break;
        i += 8;
    }
    return i;
}

}

QChar* decodeInto(const char* data, qsizetype size, QChar* out)
{
    const auto* const bytes = reinterpret_cast<const unsigned char*>(data);
    qsizetype i = 0;
    while (i < size) {
        for (const qsizetype end = asciiWordsEnd(bytes, i, size); i < end; ++i)
            out[i] = QChar(char16_t(bytes[i]));
        if (i == size)
            break;
        out[i] = QChar(codePointOf(bytes[i]));
        ++i;
    }
    return out + size;
}

char* toUtf8Into(const char* data, qsizetype size, char* out)
{
    const auto* const bytes = reinterpret_cast<const unsigned char*>(data);
    qsizetype i = 0;
    while (i < size) {
        const qsizetype end = asciiWordsEnd(bytes, i, size);
        std::memcpy(out, bytes + i, static_cast<size_t>(end - i));
        out += end - i;
        i = end;
        if (i == size)
            break;
        const char16_t c = codePointOf(bytes[i++]);
        if (c < 0x80) {
            *out++ = static_cast<char>(c);
        } else if (c < 0x800) {
            *out++ = static_cast<char>(0xC0 | (c >> 6));
            *out++ = static_cast<char>(0x80 | (c & 0x3F));
        } else {
            *out++ = static_cast<char>(0xE0 | (c >> 12));
            *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            *out++ = static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

QString decode(const char* data, qsizetype size)
{
    QString out(size, Qt::Uninitialized);
    decodeInto(data, size, out.data());
    return out;
}

QByteArray encode(QStringView text)
{
    QByteArray out(text.size(), Qt::Uninitialized);
    char* dst = out.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int b = byteFor(text[i].unicode());
        dst[i] = static_cast<char>(b < 0 ? '?' : b);
    }
    return out;
}

bool canEncode(QStringView text)
{
    for (QChar c : text)
        if (byteFor(c.unicode()) < 0)
            return false;
    return true;
}

}
