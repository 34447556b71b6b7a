#pragma once

#include <QByteArray>
#include <QString>

/// Windows code page 1252: every text file and table file of the program stores text in it.
namespace contivo::cp1252 {

/// Decodes cp1252 bytes. The five bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90,
/// 0x9D) map to the control characters of the same value, as Windows does, so a round trip is exact.
QString decode(const char* data, qsizetype size);
inline QString decode(const QByteArray& bytes) { return decode(bytes.constData(), bytes.size()); }

/// Decodes size cp1252 bytes into out, which must have room for size characters, and returns the
/// end of the characters written. Runs of ASCII bytes are copied eight at a time, so callers can
/// decode large files piece by piece into a reused buffer.
QChar* decodeInto(const char* data, qsizetype size, QChar* out);

/// Converts size cp1252 bytes to UTF-8 in out, which must have room for three bytes per input
/// byte, and returns the end of the bytes written. ASCII runs are copied eight bytes at a time.
char* toUtf8Into(const char* data, qsizetype size, char* out);

/// Encodes to cp1252; a character the code page cannot hold becomes '?'.
QByteArray encode(QStringView text);

/// True when every character of the text has a cp1252 byte.
bool canEncode(QStringView text);

}
