#include "import/CsvText.h"

#include <QStringList>
#include <charconv>
#include <cstring>
#include <gtest/gtest.h>

using namespace contivo;
using namespace contivo::csv;

namespace {
QString normalised(
    const QString& line, QChar delimiter = QLatin1Char('"'), QChar separator = QLatin1Char(';'))
{
    QString out;
    normaliseLine(line, delimiter, separator, out);
    return out;
}

QStringList columnsOf(const QString& line, std::optional<QChar> delimiter, QChar separator = QLatin1Char(';'))
{
    Columns cols;
    if (delimiter)
        cutEnclosedColumns(line, *delimiter, separator, cols);
    else
        cutColumns(line, separator, cols);
    QStringList out;
    for (QStringView c : cols)
        out << c.toString();
    return out;
}
}

TEST(CsvNormalise, KeepsOnlyEnclosedFields)
{
    struct Case {
        const char* line;
        const char* expected;
    };
    const Case cases[] = {
        { R"("a";"b";"c")", R"("a";"b";"c")" },
        { R"(  "a" ;  "b"  )", R"("a";"b")" }, // blanks around separators vanish
        { R"("a";b;"c")", R"("a";"c")" }, // an unenclosed field disappears
        { "a;b;c", "" }, // no delimiter at all: empty line
        { R"("say ""hi""";"x")", R"("say "hi"";"x")" }, // doubled delimiters made single
        { R"("a""b")", R"("a"b")" },
        { R"("abc)", R"("ab")" }, // unclosed: to the end less one
        { R"("a";"bc)", R"("a";"b")" },
        { R"("a";")", R"("a";"")" }, // opening is the last character
        { R"(")", R"("")" },
        { R"("")", R"("")" },
        { "", "" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(normalised(QString::fromUtf8(c.line)), QString::fromUtf8(c.expected)) << c.line;
    // Other characters as delimiter and separator.
    EXPECT_EQ(normalised("'x' , 'y'", QLatin1Char('\''), QLatin1Char(',')), "'x','y'");
}

TEST(CsvColumns, CutWithAndWithoutDelimiter)
{
    struct Case {
        const char* line;
        bool enclosed;
        QStringList columns;
    };
    const Case cases[] = {
        { "a;b;c", false, { "a", "b", "c" } },
        { ";b;c", false, { "", "b", "c" } },
        { "a;", false, { "a", "" } },
        { "a", false, { "a" } },
        { "", false, { "" } },
        { " a ; b ", false, { " a ", " b " } },
        { R"("a";"b";"c")", true, { "a", "b", "c" } },
        { R"("a";"";"c")", true, { "a", "", "c" } },
        { R"("1";"2")", true, { "1", "2" } },
        { R"("a;b";"c")", true, { "a;b", "c" } }, // a lone separator inside a value stays
        { R"("x"y";"z")", true, { "x\"y", "z" } }, // a lone delimiter inside a value stays
        { R"("")", true, { "" } },
        { R"("abcdefgh";"ijklmn;opq";"r";"stuvwxyz")", true, { "abcdefgh", "ijklmn;opq", "r", "stuvwxyz" } },
        { R"(")", true, { "" } },
    };
    for (const Case& c : cases) {
        const QString line = QString::fromUtf8(c.line);
        EXPECT_EQ(
            columnsOf(line, c.enclosed ? std::optional<QChar>(QLatin1Char('"')) : std::nullopt), c.columns)
            << c.line;
    }
    // Cuts never overlap: the first cut takes the delimiter the next pattern would start with.
    EXPECT_EQ(columnsOf(QStringLiteral(R"("a";";"b")"), QLatin1Char('"')), (QStringList { "a", ";\"b" }));
    EXPECT_EQ(columnsOf(QStringLiteral(";;;;;"), QLatin1Char(';')), (QStringList { "", ";" }));
    EXPECT_EQ(columnsOf(QStringLiteral(";;;;;;;"), QLatin1Char(';')), (QStringList { "", "", "" }));
    // A value holding delimiter, separator, delimiter is cut there after normalisation.
    EXPECT_EQ(columnsOf(normalised(R"("1"";""2";"3")"), QLatin1Char('"')), (QStringList { "1", "2", "3" }));
}

TEST(CsvConversions, NumberRule)
{
    struct Case {
        const char* text;
        std::optional<double> value;
    };
    const Case cases[] = {
        { "1.234,50", 1234.5 },
        { "1,234.50", 1234.5 },
        { "1.234", 1.234 },
        { "1,234", 1.234 },
        { "1234,5", 1234.5 },
        { " -12,5 ", -12.5 },
        { "+3", 3.0 },
        { "1.234.567,89", 1234567.89 },
        { "1,234,567.89", 1234567.89 },
        { "1.234.567", std::nullopt }, // only dots: each is a decimal mark
        { ".5", 0.5 },
        { "5,", 5.0 },
        { "1e3", 1000.0 },
        { "", std::nullopt },
        { "abc", std::nullopt },
        { "12a", std::nullopt },
        { "inf", std::nullopt },
        { "nan", std::nullopt },
        { "- 5", std::nullopt },
        { "\u20AC 5", std::nullopt },
        { "1e999", std::nullopt },
    };
    for (const Case& c : cases) {
        const auto v = parseNumber(QString::fromUtf8(c.text));
        ASSERT_EQ(v.has_value(), c.value.has_value()) << c.text;
        if (v) {
            EXPECT_DOUBLE_EQ(*v, *c.value) << c.text;
        }
    }

    // Short amounts and long ones (exponents, many digits) must give exactly the double of the
    // library parse of the same digits, sign and zero included.
    const char* const exact[] = { "0.1", "0.3", "-0", "-0.0", "123456.789", "9007199254740993",
        "9007199254740992", "0.0000000000000000000001", "0.00000000000000000000001", "1.7976931348623157",
        "2.2250738585072014e-308", "123456789012345678901234567890", "4.35", "1e-5", "-99999.99",
        "1.0000000000000002", "3.141592653589793238462643383279" };
    for (const char* text : exact) {
        double expected = 0;
        const char* begin = text[0] == '+' ? text + 1 : text;
        std::from_chars(begin, text + std::strlen(text), expected);
        const auto v = parseNumber(QString::fromLatin1(text));
        ASSERT_TRUE(v.has_value()) << text;
        EXPECT_EQ(std::memcmp(&*v, &expected, sizeof expected), 0) << text << " " << *v << " " << expected;
    }
}

TEST(CsvConversions, IntegersAndBooleans)
{
    EXPECT_EQ(parseInteger(u" 42 "), 42);
    EXPECT_EQ(parseInteger(u"-2147483648"), -2147483647 - 1);
    EXPECT_EQ(parseInteger(u"2147483647"), 2147483647);
    for (const char16_t* bad : { u"2147483648", u"4,5", u"", u"x1", u"-" })
        EXPECT_FALSE(parseInteger(QStringView(bad)).has_value());

    for (const char16_t* t : { u"TRUE", u"true", u"True", u" True " })
        EXPECT_TRUE(parseBoolean(QStringView(t)));
    for (const char16_t* f : { u"yes", u"1", u"", u"Truex", u"False" })
        EXPECT_FALSE(parseBoolean(QStringView(f)));
}

TEST(CsvConversions, DatesFollowThePatternOrder)
{
    EXPECT_EQ(dateOrderOf(u"dd/MM/yyyy"), DateOrder::DayMonthYear);
    EXPECT_EQ(dateOrderOf(u"MM/dd/yyyy"), DateOrder::MonthDayYear);
    EXPECT_EQ(dateOrderOf(u"yyyy-MM-dd"), DateOrder::YearMonthDay);
    EXPECT_FALSE(dateOrderOf(u"").has_value());
    EXPECT_EQ(dateSeparatorOf(u"dd.MM.yyyy"), QLatin1Char('.'));
    EXPECT_EQ(dateSeparatorOf(u""), QLatin1Char('/'));

    const auto DMY = DateOrder::DayMonthYear;
    const auto MDY = DateOrder::MonthDayYear;
    const auto YMD = DateOrder::YearMonthDay;
    struct Case {
        const char16_t* text;
        DateOrder order;
        char separator;
        QDate expected; // invalid: not a date
    };
    const Case cases[] = {
        { u"31/12/2024", DMY, '/', QDate(2024, 12, 31) },
        { u"12/31/2024", MDY, '/', QDate(2024, 12, 31) },
        { u"2024/12/31", YMD, '/', QDate(2024, 12, 31) },
        { u"2024-01-05", YMD, '-', QDate(2024, 1, 5) },
        { u"1/2/2024", DMY, '/', QDate(2024, 2, 1) },
        { u"1/2/2024", MDY, '/', QDate(2024, 1, 2) },
        { u" 01 / 02 / 2024 ", DMY, '/', QDate(2024, 2, 1) },
        { u"01/02/2024.", DMY, '/', QDate(2024, 2, 1) },
        { u"01/02/24", DMY, '/', QDate(2024, 2, 1) },
        { u"01/02/80", DMY, '/', QDate(1980, 2, 1) },
        { u"01/02", DMY, '/', QDate(2026, 2, 1) },
        { u"31/02/2024", DMY, '/', QDate() },
        { u"12/31/2024", DMY, '/', QDate() },
        { u"31.12.2024", DMY, '/', QDate() }, // the separator must be the system's
        { u"01/02/2024x", DMY, '/', QDate() },
        { u"01/02/02024", DMY, '/', QDate() },
        { u"01/02/0", DMY, '/', QDate(2000, 2, 1) },
        { u"", DMY, '/', QDate() },
        { u"//", DMY, '/', QDate() },
        { u"0/0/0", DMY, '/', QDate() },
    };
    for (const Case& c : cases) {
        const auto d = parseDate(QStringView(c.text), c.order, QLatin1Char(c.separator), 2026);
        EXPECT_EQ(d.value_or(QDate()), c.expected) << QString::fromUtf16(c.text).toStdString();
    }
}

TEST(CsvDecoding, Utf8DetectionElseCp1252)
{
    struct Case {
        QByteArray bytes;
        bool utf8;
        QString text;
    };
    const Case cases[] = {
        { "\xEF\xBB\xBFplain", true, "plain" },
        { "caf\xC3\xA9;\xE2\x82\xAC", true, QString::fromUtf8("café;€") },
        { "caf\xE9;\x80", false, QString::fromUtf8("café;€") },
        { "plain ascii", false, "plain ascii" },
        { "abc\xC3", false, QString::fromUtf8("abcÃ") }, // truncated sequence
        { "\xC0\xAFx", false, QString::fromUtf8("À¯x") }, // overlong form
        { "\xED\xA0\x80", false, QString::fromUtf8("í\u00A0€") }, // surrogate
        { "\xC3\xA9 and \xE9", false, QString::fromUtf8("Ã© and é") }, // mixed: not UTF-8
        { "", false, "" },
    };
    for (const Case& c : cases) {
        EXPECT_EQ(looksLikeUtf8(c.bytes), c.utf8) << c.bytes.toHex().constData();
        EXPECT_EQ(decodeCsvBytes(c.bytes), c.text) << c.bytes.toHex().constData();
    }
}

TEST(CsvLines, SplitsAtBreaksAndTrimsForTheTests)
{
    QStringList got;
    forEachLine(u"a\r\nb\n\nc\rd\r\n", [&](QStringView l) {
        got << l.toString();
        return true;
    });
    EXPECT_EQ(got, (QStringList { "a", "b", "", "c", "d" }));

    // Lines of every length around the four characters looked at together, with each kind of
    // break, and a final line without one.
    for (const char16_t* lineBreak : { u"\n", u"\r", u"\r\n" }) {
        QStringList lines;
        for (int length = 0; length < 11; ++length)
            lines << QString(length, QLatin1Char('x')) + QString::number(length % 10);
        lines << QString();
        lines << QStringLiteral("tail");
        got.clear();
        forEachLine(lines.join(QStringView(lineBreak)), [&](QStringView l) {
            got << l.toString();
            return true;
        });
        EXPECT_EQ(got, lines) << QStringView(lineBreak).size();
    }
    EXPECT_TRUE(isBlankLine(u" \t\x01 "));
    EXPECT_FALSE(isBlankLine(u" x "));
    EXPECT_EQ(trimmedLine(u"\t x y \x1F"), u"x y");
}
