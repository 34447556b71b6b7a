#include "base/AtomicFile.h"
#include "base/Cp1252.h"
#include "base/DateTime.h"
#include "base/StringUtils.h"
#include "base/SystemFormats.h"

#include <QLocale>
#include <cmath>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace contivo;

TEST(Cp1252, RoundTripsEveryByteAndMapsTheEuro)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    EXPECT_EQ(cp1252::encode(cp1252::decode(all)), all);
    EXPECT_EQ(cp1252::decode(QByteArray("\x80")), QString(QChar(0x20AC)));
    EXPECT_EQ(cp1252::encode(QString::fromUtf8("€. è")), QByteArray("\x80. \xE8"));
    EXPECT_EQ(cp1252::encode(QString::fromUtf8("日")), QByteArray("?"));
    EXPECT_FALSE(cp1252::canEncode(QString::fromUtf8("日")));
}

TEST(StringHelpers, BeforeAfterSplitJoin)
{
    EXPECT_EQ(str::before("a_b_c", "_"), "a");
    EXPECT_EQ(str::before("abc", "_"), "abc");
    EXPECT_EQ(str::before("abc", "_", false), "");
    EXPECT_EQ(str::after("a_b_c", "_"), "b_c");
    EXPECT_EQ(str::after("abc", "_"), "");

    struct Case {
        QString text;
        bool trim;
        QStringList items;
    };
    const Case cases[] = {
        {"a;b;c", false, {"a", "b", "c"}},
        {"a;;c", false, {"a", "", "c"}},
        {"a;b;", false, {"a", "b"}},
        {";", false, {""}},
        {"", false, {}},
        {" a ; b ", true, {"a", "b"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(str::split(c.text, ';', c.trim), c.items) << c.text.toStdString();
    EXPECT_EQ(str::joinCrLf({"a", "b"}), "a\r\nb");
    EXPECT_EQ(str::withTrailingSeparator(" /x/y "), "/x/y/");
    EXPECT_EQ(str::withTrailingSeparator("/x/"), "/x/");
}

TEST(DateNumbers, ConvertBothWays)
{
    EXPECT_EQ(dt::fromDate(QDate(1899, 12, 30)), 0);
    EXPECT_EQ(dt::fromDate(QDate(2023, 12, 31)), 45291);
    EXPECT_EQ(dt::toDate(45291.6), QDate(2023, 12, 31));
    const QDateTime t(QDate(2023, 12, 31), QTime(14, 30));
    EXPECT_DOUBLE_EQ(dt::fromDateTime(t), 45291 + 14.5 / 24);
    EXPECT_EQ(dt::toDateTime(dt::fromDateTime(t)), t);
    EXPECT_EQ(dt::lastDayOfMonth(2024, 2), QDate(2024, 2, 29));
    EXPECT_EQ(dt::firstDayOfMonth(2024, 7), QDate(2024, 7, 1));
    EXPECT_FALSE(dt::toDate(1e300).isValid());
    EXPECT_FALSE(dt::toDate(std::nan("")).isValid());
    EXPECT_FALSE(dt::toDateTime(-1e300).isValid());
    EXPECT_EQ(dt::monthName(1), "Gennaio");
    EXPECT_EQ(dt::monthName(12), "Dicembre");
    EXPECT_EQ(dt::monthName(13), "");
}

TEST(SystemFormatsTest, ItalianFallbackFourDigitYearsAndNumbers)
{
    const auto c = SystemFormats::fromLocale(QLocale::c());
    EXPECT_EQ(c.decimalSeparator, ',');
    EXPECT_EQ(c.shortDate, "dd/MM/yyyy");
    const auto us = SystemFormats::fromLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_FALSE(us.shortDate.contains("yyyyy"));
    EXPECT_TRUE(us.shortDate.contains("yyyy")) << us.shortDate.toStdString();

    SystemFormats::override(c);
    EXPECT_EQ(SystemFormats::formatFixed(1234.5, 2), "1234,50");
    EXPECT_EQ(SystemFormats::formatFixed(-0.001, 2), "0,00");
    EXPECT_EQ(SystemFormats::formatGeneral(0.1), "0,1");
    EXPECT_EQ(str::toDoubleDef("12,5", -1), 12.5);
    EXPECT_EQ(str::toDoubleDef("12.5", -1), -1);
    EXPECT_EQ(str::toDoubleDef("abc", -1), -1);
    EXPECT_EQ(SystemFormats::formatDate(QDate(2024, 3, 5)), "05/03/2024");
    SystemFormats::reset();
}

TEST(AtomicFileTest, ReplacesContentAndReportsFailure)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("f.bin");
    writeFileAtomically(path, "one");
    writeFileAtomically(path, "two");
    EXPECT_EQ(readWholeFile(path), "two");
    EXPECT_THROW(writeFileAtomically(dir.filePath("missing/f.bin"), "x"), std::runtime_error);
    EXPECT_THROW(readWholeFile(dir.filePath("nothing")), std::runtime_error);
}
