#include "import/CsvWorkingCopy.h"

#include "base/Cp1252.h"

#include <QByteArrayView>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <cstring>
#include <string_view>

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
    // The source is mapped rather than read, so its bytes are never copied; a file that cannot be
    // mapped (or an empty one, which has nothing to map) is read whole instead.
    QByteArray readBytes;
    const char* data = nullptr;
    qsizetype size = source.size();
    if (size > 0)
        data = reinterpret_cast<const char*>(source.map(0, size));
    if (!data) {
        readBytes = source.readAll();
        if (source.error() != QFileDevice::NoError)
            throw fileError(csvPath, source);
        data = readBytes.constData();
        size = readBytes.size();
    }

    // Same rule as csv::decodeCsvBytes: a byte-order mark, or valid UTF-8 with non-ASCII bytes,
    // means UTF-8 (the mark itself dropped); anything else is cp1252.
    const QByteArray whole = QByteArray::fromRawData(data, size);
    const bool utf8 = csv::looksLikeUtf8(whole);
    if (whole.startsWith("\xEF\xBB\xBF")) {
        data += 3;
        size -= 3;
    }

    // QTemporaryFile creates the file exclusively, readable and writable by the owner only.
    if (!m_file.open())
        throw fileError(m_file.fileTemplate(), m_file);

    Utf8Pieces decoder;
    QString text;
    text.reserve(m_pieceBytes + 4096);
    CopyWriter writer(m_file, m_pieceBytes);
    qsizetype lineIndex = 0;
    for (qsizetype pos = 0; pos < size;) {
        const qsizetype end = pieceEnd(data, size, pos, m_pieceBytes);
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
