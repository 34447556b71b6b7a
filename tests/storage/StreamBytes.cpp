#include "StreamBytes.h"

#include <cstring>

namespace contivo::test {

Bytes& Bytes::raw(std::initializer_list<int> bytes)
{
    for (int b : bytes)
        m_bytes.append(static_cast<char>(b));
    return *this;
}

Bytes& Bytes::raw(const QByteArray& bytes)
{
    m_bytes.append(bytes);
    return *this;
}

Bytes& Bytes::i32(qint64 v)
{
    const auto u = static_cast<quint32>(v);
    return raw({ 0x04, int(u & 0xFF), int((u >> 8) & 0xFF), int((u >> 16) & 0xFF), int(u >> 24) });
}

Bytes& Bytes::str(const char* text)
{
    const int n = static_cast<int>(std::strlen(text));
    raw({ 0x06, n });
    return raw(QByteArray(text, n));
}

Bytes& Bytes::ext(std::initializer_list<int> ten)
{
    raw({ 0x05 });
    return raw(ten);
}

Bytes& Bytes::field(int version, const char* name, const char* type, int size, int width)
{
    str(name).str(type);
    size < 128 ? i8(size) : i16(size);
    str(name).str("");
    width < 128 ? i8(width) : i16(width);
    boolean(false).boolean(false);
    if (version >= 250)
        str("Data");
    if (version >= 251)
        str("");
    return *this;
}

}
