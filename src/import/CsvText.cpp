#include "import/CsvText.h"

#include "base/Cp1252.h"
#include "import/CsvNormalise.h"

#include <charconv>
#include <cstring>

namespace contivo::csv {
namespace {

inline bool isBlankOrControl(char16_t c)
{
    return c <= u' ';
}

// Length of the valid UTF-8 sequence starting at p (0 when invalid).
int utf8SequenceLength(const unsigned char* p, const unsigned char* end)
{
    const unsigned char b = p[0];
    const auto cont = [&](int k) { return p + k < end && (p[k] & 0xC0) == 0x80; };
    if (b >= 0xC2 && b <= 0xDF)
        return cont(1) ? 2 : 0;
    if (b >= 0xE0 && b <= 0xEF) {
        if (!cont(1) || !cont(2))
            return 0;
        if (b == 0xE0 && p[1] < 0xA0)
            return 0; // overlong
        if (b == 0xED && p[1] >= 0xA0)
            return 0; // surrogate
        return 3;
    }
    if (b >= 0xF0 && b <= 0xF4) {
        if (!cont(1) || !cont(2) || !cont(3))
            return 0;
        if (b == 0xF0 && p[1] < 0x90)
            return 0; // overlong
        if (b == 0xF4 && p[1] >= 0x90)
            return 0; // beyond U+10FFFF
        return 4;
    }
    return 0;
}

bool hasUtf8Bom(const QByteArray& bytes)
{
    return bytes.startsWith("\xEF\xBB\xBF");
}

// The plain number syntax: sign, digits with an optional '.', optional exponent.
bool isPlainNumber(const char* s, qsizetype n)
{
    qsizetype i = 0;
    if (i < n && (s[i] == '+' || s[i] == '-'))
        ++i;
    qsizetype digits = 0;
    while (i < n && s[i] >= '0' && s[i] <= '9')
        ++i, ++digits;
    if (i < n && s[i] == '.') {
        ++i;
        while (i < n && s[i] >= '0' && s[i] <= '9')
            ++i, ++digits;
    }
    if (digits == 0)
        return false;
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < n && (s[i] == '+' || s[i] == '-'))
            ++i;
        qsizetype expDigits = 0;
        while (i < n && s[i] >= '0' && s[i] <= '9')
            ++i, ++expDigits;
        if (expDigits == 0)
            return false;
    }
    return i == n;
}

}

namespace {

// Walks UTF-8: -1 when invalid, 0 when all ASCII, 1 when valid with non-ASCII bytes.
int scanUtf8(const unsigned char* p, const unsigned char* const end)
{
    constexpr quint64 kHighBits = 0x8080808080808080ULL;
    bool nonAscii = false;
    while (p < end) {
        // ASCII 32 and then 8 bytes at a time: the common case of bank files.
        while (end - p >= 32) {
            quint64 w[4];
            std::memcpy(w, p, 32);
            if ((w[0] | w[1] | w[2] | w[3]) & kHighBits)
                break;
            p += 32;
        }
        while (end - p >= 8) {
            quint64 word;
            std::memcpy(&word, p, 8);
            if (word & kHighBits)
                break;
            p += 8;
        }
        if (p == end)
            break;
        if (*p < 0x80) {
            ++p;
            continue;
        }
        const int len = utf8SequenceLength(p, end);
        if (len == 0)
            return -1;
        nonAscii = true;
        p += len;
    }
    return nonAscii ? 1 : 0;
}

}

bool looksLikeUtf8(const QByteArray& bytes)
{
    if (hasUtf8Bom(bytes))
        return true;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    return scanUtf8(p, p + bytes.size()) > 0;
}

bool isValidUtf8(const char* data, qsizetype size)
{
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    return scanUtf8(p, p + size) >= 0;
}

QString decodeCsvBytes(const QByteArray& bytes)
{
    if (hasUtf8Bom(bytes))
        return QString::fromUtf8(bytes.constData() + 3, bytes.size() - 3);
    if (looksLikeUtf8(bytes))
        return QString::fromUtf8(bytes);
    return cp1252::decode(bytes);
}

void normaliseLine(QStringView line, QChar delimiter, QChar separator, QString& out)
{
    struct Text {
        QString& out;
        void put(QChar c) { out += c; }
        void append(const QChar* s, qsizetype n) { out.append(s, n); }
        void chopLast() { out.chop(1); }
    } text { out };
    const QChar* const s = line.data();
    const qsizetype n = line.size();
    detail::normaliseFields(s, n, delimiter, separator, text, [&](qsizetype from) {
        while (from < n && s[from] != delimiter)
            ++from;
        return from;
    });
}

bool isBlankLine(QStringView line)
{
    for (QChar c : line)
        if (!isBlankOrControl(c.unicode()))
            return false;
    return true;
}

QStringView trimmedLine(QStringView line)
{
    qsizetype b = 0;
    qsizetype e = line.size();
    while (b < e && isBlankOrControl(line[b].unicode()))
        ++b;
    while (e > b && isBlankOrControl(line[e - 1].unicode()))
        --e;
    return line.mid(b, e - b);
}

void cutColumns(QStringView line, QChar separator, Columns& columns)
{
    columns.clear();
    const QChar* const s = line.data();
    const qsizetype n = line.size();
    const char16_t sep = separator.unicode();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (s[i].unicode() == sep) {
            columns.append(QStringView(s + start, i - start));
            start = i + 1;
        }
    }
    columns.append(QStringView(s + start, n - start));
}

void cutEnclosedColumns(QStringView line, QChar delimiter, QChar separator, Columns& columns)
{
    columns.clear();
    const QChar* const s = line.data();
    const qsizetype n = line.size();
    const char16_t d = delimiter.unicode();
    const char16_t sep = separator.unicode();
    qsizetype start = 0;
    // Looks for the separator and checks its neighbours: the first delimiter-separator-delimiter
    // at or after start, as a left-to-right search for the three characters finds it. Four
    // characters at a time while none is the separator (a zero lane of word ^ separator).
    constexpr quint64 kOnes = 0x0001000100010001ULL;
    constexpr quint64 kHighBits = 0x8000800080008000ULL;
    const quint64 spread = kOnes * sep;
    for (qsizetype m = 1; m + 1 < n;) {
        if (n - 1 - m >= 4) {
            quint64 word;
            std::memcpy(&word, s + m, 8);
            const quint64 v = word ^ spread;
            if (((v - kOnes) & ~v & kHighBits) == 0) {
                m += 4;
                continue;
            }
        }
        if (s[m].unicode() == sep && s[m - 1].unicode() == d && s[m + 1].unicode() == d) {
            columns.append(QStringView(s + start, m - 1 - start));
            start = m + 2;
            m = start + 1;
        } else {
            ++m;
        }
    }
    columns.append(QStringView(s + start, n - start));
    QStringView& firstColumn = columns.front();
    if (!firstColumn.isEmpty() && firstColumn.front() == delimiter)
        firstColumn = firstColumn.mid(1);
    QStringView& lastColumn = columns.back();
    if (!lastColumn.isEmpty() && lastColumn.back() == delimiter)
        lastColumn.chop(1);
}

namespace {

// The common amounts without a library parse: digits that fit in 53 bits and at most 22 decimals
// are an exact integer over an exact power of ten, and one IEEE division of exact values is
// correctly rounded, so the result is the very double from_chars gives. Nothing for other texts
// (exponent, too many digits). s is a plain number.
std::optional<double> exactSmallNumber(const char* s, qsizetype n)
{
    static constexpr double kPowers[] = { 1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12,
        1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22 };
    constexpr quint64 kExactLimit = quint64(1) << 53;
    qsizetype i = 0;
    const bool negative = s[0] == '-';
    if (s[0] == '-' || s[0] == '+')
        ++i;
    quint64 mantissa = 0;
    qsizetype decimals = -1; // -1 until the decimal mark
    for (; i < n; ++i) {
        const char c = s[i];
        if (c == '.') {
            decimals = 0;
            continue;
        }
        if (c < '0' || c > '9')
            return std::nullopt;
        mantissa = mantissa * 10 + static_cast<quint64>(c - '0');
        if (mantissa > kExactLimit)
            return std::nullopt;
        if (decimals >= 0 && ++decimals > 22)
            return std::nullopt;
    }
    double value = static_cast<double>(mantissa);
    if (decimals > 0)
        value /= kPowers[decimals];
    return negative ? -value : value;
}

}

std::optional<double> parseNumber(QStringView text)
{
    text = trimmedLine(text);
    char buf[128];
    const qsizetype n = text.size();
    if (n >= static_cast<qsizetype>(sizeof buf))
        return std::nullopt;
    // The text as ASCII, noting the first comma and the first dot on the way.
    qsizetype comma = -1;
    qsizetype dot = -1;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c >= 0x80)
            return std::nullopt;
        if (c == u',' && comma < 0)
            comma = i;
        else if (c == u'.' && dot < 0)
            dot = i;
        buf[i] = static_cast<char>(c);
    }
    buf[n] = '\0';
    const bool dotIsDecimal = dot >= 0 && (comma < 0 || comma < dot);
    const char decimalMark = dotIsDecimal ? '.' : ',';
    const char thousandsMark = dotIsDecimal ? ',' : '.';
    qsizetype len = 0;
    for (qsizetype i = 0; i < n; ++i) {
        if (buf[i] == thousandsMark)
            continue;
        buf[len++] = buf[i] == decimalMark ? '.' : buf[i];
    }
    if (!isPlainNumber(buf, len))
        return std::nullopt;
    if (const auto quick = exactSmallNumber(buf, len))
        return quick;
    const char* begin = buf;
    if (*begin == '+')
        ++begin;
    double value = 0;
    const auto result = std::from_chars(begin, buf + len, value);
    if (result.ec == std::errc::result_out_of_range && result.ptr == buf + len)
        return std::nullopt;
    if (result.ec != std::errc() || result.ptr != buf + len)
        return std::nullopt;
    return value;
}

std::optional<int> parseSignedDigits(QStringView text)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    if (i == text.size())
        return std::nullopt;
    long long value = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c - u'0');
        if (value > 2147483648LL)
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value > 2147483647LL)
        return std::nullopt;
    return static_cast<int>(value);
}

std::optional<int> parseInteger(QStringView text)
{
    return parseSignedDigits(trimmedLine(text));
}

bool parseBoolean(QStringView text)
{
    return trimmedLine(text).compare(u"True", Qt::CaseInsensitive) == 0;
}

std::optional<DateOrder> dateOrderOf(QStringView pattern)
{
    for (QChar c : pattern) {
        switch (c.toLower().unicode()) {
        case u'd':
            return DateOrder::DayMonthYear;
        case u'm':
            return DateOrder::MonthDayYear;
        case u'y':
            return DateOrder::YearMonthDay;
        default:
            break;
        }
    }
    return std::nullopt;
}

QChar dateSeparatorOf(QStringView pattern)
{
    for (QChar c : pattern)
        if (!c.isLetter() && c != QLatin1Char('\''))
            return c;
    return QLatin1Char('/');
}

namespace {

struct DateScanner {
    QStringView s;
    qsizetype pos = 0;

    void skipBlanks()
    {
        while (pos < s.size() && s[pos] == QLatin1Char(' '))
            ++pos;
    }
    bool number(int& value, int& length)
    {
        skipBlanks();
        value = 0;
        length = 0;
        while (pos < s.size() && s[pos] >= QLatin1Char('0') && s[pos] <= QLatin1Char('9')) {
            if (++length > 4)
                return false;
            value = value * 10 + (s[pos].unicode() - u'0');
            ++pos;
        }
        return length > 0;
    }
    bool character(QChar c)
    {
        skipBlanks();
        if (pos < s.size() && s[pos] == c) {
            ++pos;
            return true;
        }
        return false;
    }
};

}

std::optional<QDate> parseDate(QStringView text, DateOrder order, QChar separator, int currentYear)
{
    DateScanner scan { text };
    int n1 = 0, n2 = 0, n3 = 0, l1 = 0, l2 = 0, l3 = 0;
    if (!scan.number(n1, l1) || !scan.character(separator) || !scan.number(n2, l2))
        return std::nullopt;
    int year = 0, month = 0, day = 0, yearLength = 4;
    if (scan.character(separator)) {
        if (!scan.number(n3, l3))
            return std::nullopt;
        switch (order) {
        case DateOrder::DayMonthYear:
            day = n1, month = n2, year = n3, yearLength = l3;
            break;
        case DateOrder::MonthDayYear:
            month = n1, day = n2, year = n3, yearLength = l3;
            break;
        case DateOrder::YearMonthDay:
            year = n1, month = n2, day = n3, yearLength = l1;
            break;
        }
        if (yearLength <= 2) {
            const int base = currentYear - 50;
            year += base / 100 * 100;
            if (year < base)
                year += 100;
        }
    } else {
        year = currentYear;
        if (order == DateOrder::MonthDayYear)
            month = n1, day = n2;
        else
            day = n1, month = n2;
    }
    scan.character(QLatin1Char('.'));
    scan.skipBlanks();
    if (scan.pos != text.size() || year < 1 || year > 9999)
        return std::nullopt;
    const QDate date(year, month, day);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

}
