#include "import/CsvWorkingCopy.h"

#include "base/Cp1252.h"
#include "base/LargeBlock.h"
#include "import/CsvNormalise.h"

#include <QByteArrayView>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>


namespace contivo {
namespace {

QString executableName()
{
    if (QCoreApplication::instance()) {
        const QString name = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
        if (!name.isEmpty())
            return name;
    }
    return QStringLiteral("contivo");
}

std::runtime_error fileError(const QString& path, const QFileDevice& file)
{
    return std::runtime_error(QStringLiteral("Cannot open file \"%1\". %2")
                                  .arg(QDir::toNativeSeparators(path), file.errorString())
                                  .toStdString());
}

// UTF-8 decoding of the source and of the copy, a piece at a time, giving exactly the text that
// QString::fromUtf8 gives for the whole: every piece ends at a line break (an ASCII byte), where a
// UTF-8 sequence can neither continue nor be left open, so the decoder needs no state between
// pieces. Like fromUtf8, a byte-order mark is dropped at the very start of the input only; one at
// the start of a later piece is text (a line that starts with it) and is kept.
class Utf8Pieces {
public:
    void decode(QByteArrayView bytes, QString& text)
    {
        QStringDecoder& decoder = m_first ? m_start : m_rest;
        m_first = false;
        text.resize(decoder.requiredSpace(bytes.size()));
        const QChar* const end = decoder.appendToBuffer(text.data(), bytes);
        text.resize(end - text.constData());
    }

private:
    bool m_first = true;
    QStringDecoder m_start { QStringDecoder::Utf8, QStringDecoder::Flag::Stateless };
    QStringDecoder m_rest { QStringDecoder::Utf8,
        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom };
};

// UTF-16 to UTF-8 as QString::toUtf8 does it, a surrogate without its partner becoming '?' (the
// normalisation may cut a pair when it drops a line's last character). out needs room for three
// bytes per character. Returns the end of the bytes written.
char* encodeUtf8(QStringView text, char* out)
{
    const char16_t* const s = text.utf16();
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        // Four ASCII characters at a time, the common case.
        while (n - i >= 4) {
            quint64 word;
            std::memcpy(&word, s + i, 8);
            if (word & 0xFF80FF80FF80FF80ULL)
                break;
            for (int k = 0; k < 4; ++k)
                out[k] = static_cast<char>(s[i + k]);
            out += 4;
            i += 4;
        }
        if (i == n)
            break;
        const char16_t c = s[i++];
        if (c < 0x80) {
            *out++ = static_cast<char>(c);
        } else if (c < 0x800) {
            *out++ = static_cast<char>(0xC0 | (c >> 6));
            *out++ = static_cast<char>(0x80 | (c & 0x3F));
        } else if (QChar::isHighSurrogate(c) && i < n && QChar::isLowSurrogate(s[i])) {
            const char32_t u = QChar::surrogateToUcs4(c, s[i++]);
            *out++ = static_cast<char>(0xF0 | (u >> 18));
            *out++ = static_cast<char>(0x80 | ((u >> 12) & 0x3F));
            *out++ = static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            *out++ = static_cast<char>(0x80 | (u & 0x3F));
        } else if (QChar::isSurrogate(c)) {
            *out++ = '?';
        } else {
            *out++ = static_cast<char>(0xE0 | (c >> 12));
            *out++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            *out++ = static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// The end of the source piece starting at pos: just after the last line break within pieceBytes,
// so a piece holds whole lines and a CR LF is never cut apart. A line longer than a piece makes
// its piece run on to the line's own break.
qsizetype pieceEnd(const char* data, qsizetype size, qsizetype pos, qsizetype pieceBytes)
{
    const qsizetype limit = std::min(size, pos + pieceBytes);
    if (limit == size)
        return size;
    const auto afterBreak = [&](qsizetype k) { // k is the index of a '\r' or '\n'
        return data[k] == '\r' && k + 1 < size && data[k + 1] == '\n' ? k + 2 : k + 1;
    };
    for (qsizetype k = limit - 1; k >= pos; --k)
        if (data[k] == '\n' || data[k] == '\r')
            return afterBreak(k);
    for (qsizetype k = limit; k < size; ++k)
        if (data[k] == '\n' || data[k] == '\r')
            return afterBreak(k);
    return size;
}

// Normalised text on its way to the copy: characters gather in text and go to the file as UTF-8
// once a piece's worth has gathered, through buffers reused for the whole copy.
class CopyWriter {
public:
    CopyWriter(QTemporaryFile& file, qsizetype pieceChars)
        : m_file(file)
        , m_pieceChars(pieceChars)
    {
        m_text.reserve(pieceChars + 4096);
    }

    QString& text() { return m_text; }

    void lineDone()
    {
        m_text.append(QLatin1Char('\n'));
        if (m_text.size() >= m_pieceChars)
            write();
    }

    void write()
    {
        m_bytes.resize(3 * m_text.size());
        const char* const end = encodeUtf8(m_text, m_bytes.data());
        const qsizetype size = end - m_bytes.constData();
        if (m_file.write(m_bytes.constData(), size) != size)
            throw fileError(m_file.fileName(), m_file);
        m_text.resize(0);
    }

private:
    QTemporaryFile& m_file;
    qsizetype m_pieceChars;
    QString m_text;
    QByteArray m_bytes;
};

// The copy's UTF-8 bytes built straight from the source bytes, for sources whose marks (delimiter
// and separator) are ASCII: such a byte stands for its character in cp1252 and in valid UTF-8
// alike, and never occurs inside another character, so lines can be split and normalised on the
// bytes as they are, without a round trip through UTF-16. cp1252 text is turned into UTF-8 on the
// way; UTF-8 text is copied, and so is ASCII while the encoding is still open.
enum class SourceEncoding { Undecided, Cp1252, Utf8 };

class Utf8Out {
public:
    Utf8Out(QTemporaryFile& file, qsizetype pieceBytes, SourceEncoding encoding)
        : m_file(file)
        , m_pieceBytes(pieceBytes)
        , m_fromCp1252(encoding == SourceEncoding::Cp1252)
    {
    }

    void setEncoding(SourceEncoding encoding) { m_fromCp1252 = encoding == SourceEncoding::Cp1252; }

    /// Makes room for a line of lineBytes source bytes, normalised or not.
    void reserveLine(qsizetype lineBytes)
    {
        const qsizetype used = m_w - m_buffer.data();
        const qsizetype need = used + 9 * lineBytes + 16;
        if (need > static_cast<qsizetype>(m_buffer.size())) {
            m_buffer.resize(static_cast<size_t>(std::max(need, m_pieceBytes + 4096)));
            m_w = m_buffer.data() + used;
        }
    }
    void put(char c) { *m_w++ = c; }
    void append(const char* s, qsizetype n)
    {
        if (m_fromCp1252) {
            m_w = cp1252::toUtf8Into(s, n, m_w);
        } else {
            // Fields are short: an inline copy beats a library call per field.
            for (; n >= 8; n -= 8, s += 8, m_w += 8)
                std::memcpy(m_w, s, 8);
            for (; n > 0; --n)
                *m_w++ = *s++;
        }
    }
    /// Drops the last character written, as QString::chop(1) drops the last UTF-16 unit: of a
    /// character beyond the 16-bit range the first half of its surrogate pair stays, and that lone
    /// half becomes '?' in UTF-8.
    void chopLast()
    {
        char* p = m_w - 1;
        while ((static_cast<unsigned char>(*p) & 0xC0) == 0x80)
            --p;
        const bool pair = m_w - p == 4;
        m_w = p;
        if (pair)
            *m_w++ = '?';
    }
    void lineDone()
    {
        put('\n');
        if (m_w - m_buffer.data() >= m_pieceBytes)
            write();
    }
    void write()
    {
        const qsizetype size = m_w - m_buffer.data();
        if (m_file.write(m_buffer.data(), size) != size)
            throw fileError(m_file.fileName(), m_file);
        m_w = m_buffer.data();
    }

private:
    QTemporaryFile& m_file;
    qsizetype m_pieceBytes;
    bool m_fromCp1252;
    std::vector<char> m_buffer;
    char* m_w = nullptr;
};

constexpr quint64 kOnes = 0x0101010101010101ULL;
constexpr quint64 kHighBits = 0x8080808080808080ULL;

// Non-zero when a byte of v is zero.
constexpr quint64 hasZeroByte(quint64 v)
{
    return (v - kOnes) & ~v & kHighBits;
}

// csv::normaliseLine on bytes, for an ASCII delimiter and separator.
void normaliseBytes(const char* s, qsizetype n, char d, char separator, Utf8Out& out)
{
    // Fields are short: an inline search beats a library call per field. Eight bytes at a time
    // as in nextBreak.
    const quint64 spread = kOnes * static_cast<unsigned char>(d);
    csv::detail::normaliseFields(s, n, d, separator, out, [&](qsizetype from) {
        while (n - from >= 8) {
            quint64 word;
            std::memcpy(&word, s + from, 8);
            if (hasZeroByte(word ^ spread))
                break;
            from += 8;
        }
        while (from < n && s[from] != d)
            ++from;
        return from;
    });
}

// The index of the first CR or LF at or after from, size when none; nonAscii tells whether a byte
// before it has the top bit. Eight bytes at a time: a byte equal to a break makes its lane of
// (word ^ break) zero, which the usual zero-byte test finds.
qsizetype nextBreak(const char* data, qsizetype size, qsizetype from, bool& nonAscii)
{
    quint64 seen = 0;
    while (size - from >= 8) {
        quint64 word;
        std::memcpy(&word, data + from, 8);
        if (hasZeroByte(word ^ (kOnes * '\n')) | hasZeroByte(word ^ (kOnes * '\r')))
            break;
        seen |= word;
        from += 8;
    }
    while (from < size && data[from] != '\n' && data[from] != '\r')
        seen |= static_cast<unsigned char>(data[from++]);
    nonAscii = (seen & kHighBits) != 0;
    return from;
}

// The copy made on the bytes (see Utf8Out). Lines split at CR LF, LF or CR as csv::forEachLine
// splits them. An undecided encoding (a file without byte-order mark) is settled at the first line
// holding a non-ASCII byte: everything before is ASCII, which reads the same in both encodings,
// so the file is UTF-8 exactly when the rest is valid UTF-8. A file of ASCII alone is never
// checked separately.
void copyBytes(QTemporaryFile& file, const char* data, qsizetype size, SourceEncoding encoding,
    const CsvInterface& layout, qsizetype pieceBytes)
{
    Utf8Out out(file, pieceBytes, encoding);
    const bool normalise = layout.delimiter.has_value();
    const char d = normalise ? static_cast<char>(layout.delimiter->unicode()) : '\0';
    const char separator = static_cast<char>(layout.separator.unicode());
    qsizetype lineIndex = 0;
    qsizetype pos = 0;
    while (pos < size) {
        bool nonAscii = false;
        const qsizetype lineEnd = nextBreak(data, size, pos, nonAscii);
        if (nonAscii && encoding == SourceEncoding::Undecided) {
            encoding
                = csv::isValidUtf8(data + pos, size - pos) ? SourceEncoding::Utf8 : SourceEncoding::Cp1252;
            out.setEncoding(encoding);
        }
        out.reserveLine(lineEnd - pos);
        if (normalise && lineIndex >= layout.headerRows)
            normaliseBytes(data + pos, lineEnd - pos, d, separator, out);
        else
            out.append(data + pos, lineEnd - pos);
        out.lineDone();
        ++lineIndex;
        if (lineEnd == size)
            break;
        pos = lineEnd + 1;
        if (data[lineEnd] == '\r' && pos < size && data[pos] == '\n')
            ++pos;
    }
    out.write();
}

// The copy made through UTF-16, for marks outside ASCII and for marked UTF-8 that is not valid
// (its broken sequences become replacement characters exactly as QString::fromUtf8 makes them).
void copyText(QTemporaryFile& file, const char* data, qsizetype size, bool utf8, const CsvInterface& layout,
    qsizetype pieceBytes)
{
    Utf8Pieces decoder;
    QString text;
    text.reserve(pieceBytes + 4096);
    CopyWriter writer(file, pieceBytes);
    qsizetype lineIndex = 0;
    for (qsizetype pos = 0; pos < size;) {
        const qsizetype end = pieceEnd(data, size, pos, pieceBytes);
        if (utf8) {
            decoder.decode(QByteArrayView(data + pos, end - pos), text);
        } else {
            text.resize(end - pos);
            cp1252::decodeInto(data + pos, end - pos, text.data());
        }
        pos = end;
        csv::forEachLine(text, [&](QStringView line) {
            if (layout.delimiter && lineIndex >= layout.headerRows)
                csv::normaliseLine(line, *layout.delimiter, layout.separator, writer.text());
            else
                writer.text().append(line);
            writer.lineDone();
            ++lineIndex;
            return true;
        });
    }
    writer.write();
}

// A file's bytes as they were when read: `size` bytes at the start of `block`.
struct SourceBytes {
    LargeBlock block;
    qsizetype size = 0;
};

SourceBytes readWholeSource(QFile& source, const QString& path)
{
    SourceBytes out;
    const qint64 expected = std::max<qint64>(source.size(), 0);
    out.block = LargeBlock(static_cast<std::size_t>(expected));
    while (out.size < expected) {
        const qint64 n = source.read(reinterpret_cast<char*>(out.block.data()) + out.size, expected - out.size);
        if (n < 0)
            throw fileError(path, source);
        if (n == 0)
            return out; // cut short meanwhile: what was there
        out.size += n;
    }
    // A file that grew meanwhile (or reports no size, as some special files do): the rest too.
    const QByteArray rest = source.readAll();
    if (source.error() != QFileDevice::NoError)
        throw fileError(path, source);
    if (!rest.isEmpty()) {
        LargeBlock bigger(static_cast<std::size_t>(out.size + rest.size()));
        std::memcpy(bigger.data(), out.block.data(), static_cast<std::size_t>(out.size));
        std::memcpy(bigger.data() + out.size, rest.constData(), static_cast<std::size_t>(rest.size()));
        out.block = std::move(bigger);
        out.size += rest.size();
    }
    return out;
}

}

CsvWorkingCopy::CsvWorkingCopy(const QString& csvPath, const CsvInterface& layout, qsizetype pieceBytes)
    : m_file(QDir::tempPath() + QLatin1Char('/') + executableName() + QStringLiteral(".XXXXXX.temp.csv"))
    , m_pieceBytes(std::max<qsizetype>(pieceBytes, 1))
{
    if (QDir::tempPath().isEmpty())
        throw std::runtime_error("Cannot create the working copy: no temporary folder");
    QFile source(csvPath);
    if (!source.open(QIODevice::ReadOnly))
        throw fileError(csvPath, source);
    // The whole source is read into one block (not mapped: another program cutting the file
    // short while it is mapped would kill the process). A large block takes huge pages, so filling
    // it costs few page faults. A file that changes size meanwhile is read as far as it goes.
    const SourceBytes whole = readWholeSource(source, csvPath);
    const char* data = reinterpret_cast<const char*>(whole.block.data());
    qsizetype size = whole.size;

    // Same rule as csv::decodeCsvBytes: a byte-order mark, or valid UTF-8 with non-ASCII bytes,
    // means UTF-8 (the mark itself dropped); anything else is cp1252.
    const QByteArray bytes = QByteArray::fromRawData(data, size);
    const bool bom = bytes.startsWith("\xEF\xBB\xBF");
    if (bom) {
        data += 3;
        size -= 3;
    }

    // QTemporaryFile creates the file exclusively, readable and writable by the owner only.
    if (!m_file.open())
        throw fileError(m_file.fileTemplate(), m_file);

    const bool asciiMarks
        = layout.separator.unicode() < 0x80 && (!layout.delimiter || layout.delimiter->unicode() < 0x80);
    if (asciiMarks && !bom) {
        copyBytes(m_file, data, size, SourceEncoding::Undecided, layout, m_pieceBytes);
    } else if (asciiMarks && csv::isValidUtf8(data, size)) {
        // QString::fromUtf8 drops a byte-order mark at the start of what it decodes: a second one
        // right after the first goes too.
        if (QByteArrayView(data, size).startsWith("\xEF\xBB\xBF")) {
            data += 3;
            size -= 3;
        }
        copyBytes(m_file, data, size, SourceEncoding::Utf8, layout, m_pieceBytes);
    } else {
        copyText(m_file, data, size, bom || csv::looksLikeUtf8(bytes), layout, m_pieceBytes);
    }
    if (!m_file.flush())
        throw fileError(m_file.fileName(), m_file);
}

void CsvWorkingCopy::forEachPiece(const std::function<bool(QStringView)>& fn)
{
    if (!m_file.seek(0))
        throw fileError(m_file.fileName(), m_file);
    Utf8Pieces decoder;
    QByteArray bytes;
    QString text;
    qsizetype kept = 0; // bytes of a line begun in the previous piece, at the start of bytes
    for (;;) {
        bytes.resize(kept + m_pieceBytes);
        const qint64 got = m_file.read(bytes.data() + kept, m_pieceBytes);
        if (got < 0)
            throw fileError(m_file.fileName(), m_file);
        const qsizetype filled = kept + got;
        qsizetype cut = filled; // at the end of the file, whatever is left is the last line
        if (got > 0) {
            // The copy's lines end with '\n': decode up to the last one and keep the rest.
            const auto lastBreak = std::string_view(bytes.constData() + kept, got).rfind('\n');
            if (lastBreak == std::string_view::npos) {
                kept = filled;
                continue;
            }
            cut = kept + static_cast<qsizetype>(lastBreak) + 1;
        }
        if (cut > 0) {
            decoder.decode(QByteArrayView(bytes.constData(), cut), text);
            if (!fn(text))
                return;
        }
        if (got == 0)
            return;
        kept = filled - cut;
        std::memmove(bytes.data(), bytes.constData() + cut, kept);
    }
}

}
