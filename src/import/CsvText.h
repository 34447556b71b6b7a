#pragma once

#include <QByteArray>
#include <QChar>
#include <QDate>
#include <QString>
#include <QStringView>
#include <QVarLengthArray>
#include <cstring>
#include <optional>

/// The text rules of the CSV import: decoding, normalisation of enclosed fields, column cutting
/// and the conversion of column texts to numbers, dates and booleans. Plain functions on views so
/// the import can run over huge files without copying each line.
namespace contivo::csv {

/// True when the bytes start with a UTF-8 byte-order mark, or are valid UTF-8 holding at least one
/// byte outside ASCII.
bool looksLikeUtf8(const QByteArray& bytes);

/// True when the bytes are valid UTF-8 (pure ASCII included).
bool isValidUtf8(const char* data, qsizetype size);

/// Decodes a CSV file: UTF-8 (byte-order mark dropped) when looksLikeUtf8, otherwise cp1252.
QString decodeCsvBytes(const QByteArray& bytes);

/// Calls fn(QStringView line) for each line of text, split at CR LF, LF or CR; a final line
/// break adds no empty line. Stops early when fn returns false.
template <typename Fn> void forEachLine(QStringView text, Fn&& fn)
{
    // Four characters at a time while none is a break: a character equal to a break makes its
    // lane of (word ^ break) zero, which the usual zero-lane test finds.
    constexpr quint64 kOnes = 0x0001000100010001ULL;
    constexpr quint64 kHighBits = 0x8000800080008000ULL;
    const auto hasZeroLane = [](quint64 v) { return (v - kOnes) & ~v & kHighBits; };
    const char16_t* const data = text.utf16();
    const qsizetype n = text.size();
    qsizetype start = 0;
    qsizetype i = 0;
    for (;;) {
        while (n - i >= 4) {
            quint64 word;
            std::memcpy(&word, data + i, 8);
            if (hasZeroLane(word ^ (kOnes * u'\n')) | hasZeroLane(word ^ (kOnes * u'\r')))
                break;
            i += 4;
        }
        while (i < n && data[i] != u'\n' && data[i] != u'\r')
            ++i;
        if (i == n)
            break;
        if (!fn(QStringView(data + start, i - start)))
            return;
        if (data[i] == u'\r' && i + 1 < n && data[i + 1] == u'\n')
            ++i;
        start = ++i;
    }
    if (start < n)
        fn(QStringView(data + start, n - start));
}

/// Rebuilds a line from its enclosed fields alone, appending to out: each field's value enclosed
/// in the delimiter (its doubled delimiters made single), fields joined by the separator. Blanks,
/// separators and unenclosed text between fields are dropped. An unclosed field runs to the end of
/// the line less the line's last character.
void normaliseLine(QStringView line, QChar delimiter, QChar separator, QString& out);

/// True when the line holds nothing but blanks and control characters.
bool isBlankLine(QStringView line);

/// A line's text without leading and trailing blanks and control characters.
QStringView trimmedLine(QStringView line);

using Columns = QVarLengthArray<QStringView, 16>;

/// Cuts a line without delimiter at every separator: n separators give n + 1 columns.
void cutColumns(QStringView line, QChar separator, Columns& columns);

/// Cuts a normalised line at every delimiter-separator-delimiter; the first column loses its
/// leading delimiter and the last its trailing one.
void cutEnclosedColumns(QStringView line, QChar delimiter, QChar separator, Columns& columns);

/// The number rule: the mark that comes second (or the only '.') is the decimal mark, the other
/// one groups thousands. Nothing when the text is not a number after that. The text is trimmed.
std::optional<double> parseNumber(QStringView text);

/// A whole 32-bit number (optional sign, digits), blanks around it allowed.
std::optional<int> parseInteger(QStringView text);

/// An optional sign and decimal digits, nothing else, within the 32-bit range.
std::optional<int> parseSignedDigits(QStringView text);

/// "True" without regard to case, blanks around it allowed.
bool parseBoolean(QStringView text);

/// The order of day, month and year in a date text.
enum class DateOrder { DayMonthYear, MonthDayYear, YearMonthDay };

/// The order of a date pattern: the first of the letters d, m, y (any case) decides; a pattern
/// with none of them gives nothing.
std::optional<DateOrder> dateOrderOf(QStringView pattern);

/// The separator of a date pattern: its first character that is not a letter, '/' when none.
QChar dateSeparatorOf(QStringView pattern);

/// Reads a date written as numbers in the given order joined by the separator. Blanks may stand
/// before each number; a trailing '.' and trailing blanks are allowed. Years of one or two digits
/// fall within fifty years either side of currentYear; two numbers alone are day and month (month
/// and day for the month-first order) of currentYear. Nothing when the text is not a valid date.
std::optional<QDate> parseDate(QStringView text, DateOrder order, QChar separator, int currentYear);

}
