#pragma once

// Hand encoder of tagged values for building table files in tests, written from the format's
// rules independently of the library's writer.

#include <QByteArray>
#include <QString>

#include <initializer_list>

namespace contivo::test {

class Bytes {
public:
    Bytes& raw(std::initializer_list<int> bytes);
    Bytes& raw(const QByteArray& bytes);
    Bytes& sig() { return raw(QByteArray("TPF0")); }
    Bytes& listBegin() { return raw({ 0x01 }); }
    Bytes& listEnd() { return raw({ 0x00 }); }
    Bytes& i8(int v) { return raw({ 0x02, v & 0xFF }); }
    Bytes& i16(int v) { return raw({ 0x03, v & 0xFF, (v >> 8) & 0xFF }); }
    Bytes& i32(qint64 v);
    /// Short string (Latin-1 text).
    Bytes& str(const char* text);
    Bytes& boolean(bool v) { return raw({ v ? 0x09 : 0x08 }); }
    /// Extended float from its ten payload bytes.
    Bytes& ext(std::initializer_list<int> ten);
    /// One field definition group of the given version.
    Bytes& field(int version, const char* name, const char* type, int size, int width);
    const QByteArray& bytes() const { return m_bytes; }
    operator QByteArray() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

}
