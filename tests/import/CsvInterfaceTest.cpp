#include "import/CsvInterface.h"

#include "base/Cp1252.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace contivo;

namespace {
QStringList lines(std::initializer_list<const char*> l)
{
    QStringList out;
    for (const char* s : l)
        out << QString::fromUtf8(s);
    return out;
}
}

TEST(CsvInterfaceKeys, FirstMatchCaseInsensitiveUntrimmed)
{
    struct Case {
        QStringList file;
        const char16_t* key;
        std::optional<QString> value;
    };
    const Case cases[] = {
        { lines({ "separator=;" }), u"Separator", QStringLiteral(";") },
        { lines({ "Separator=;", "Separator=," }), u"Separator", QStringLiteral(";") },
        { lines({ "Separator =;" }), u"Separator", std::nullopt }, // blank before '=' is another key
        { lines({ "Separator= ;" }), u"Separator", QStringLiteral(" ;") }, // blank after '=' is kept
        { lines({ "Separator=" }), u"Separator", std::nullopt },
        { lines({ "Separator=", "Separator=;" }), u"Separator", std::nullopt }, // first match wins even empty
        { lines({ "# comment", "no equals here", "Other=1", "DateFormat=d=M=y" }), u"DateFormat",
            QStringLiteral("d=M=y") },
        { lines({}), u"HeaderRows", std::nullopt },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.join(QLatin1Char('|')).toStdString());
        EXPECT_EQ(csvInterfaceValue(c.file, QStringView(c.key)), c.value);
    }
}

TEST(CsvInterfaceKeys, ValuesAndFallbacks)
{
    const CsvInterface empty = CsvInterface::fromLines({});
    EXPECT_EQ(empty.headerRows, 0);
    EXPECT_EQ(empty.separator, QLatin1Char(','));
    EXPECT_FALSE(empty.delimiter.has_value());
    EXPECT_EQ(empty.fieldMapping, QString());
    EXPECT_EQ(empty.dateFormat, QString());
    EXPECT_EQ(empty.mappingItems(), QStringList { QString() }); // one empty item naming no field

    const CsvInterface f = CsvInterface::fromLines(
        lines({ "HeaderRows=2", "Separator=;;", "Delimiter=\"'", "FieldMapping=$Data;(IGNORE);$Movimento;",
            "DateFormat=yyyy-MM-dd", "TrueString=Sì", "FalseString=No", "IgnoreEmptyRows=true" }));
    EXPECT_EQ(f.headerRows, 2);
    EXPECT_EQ(f.separator, QLatin1Char(';'));
    EXPECT_EQ(f.delimiter, QChar(QLatin1Char('"')));
    EXPECT_EQ(f.mappingItems(), (QStringList { "$Data", "(IGNORE)", "$Movimento", "" }));
    EXPECT_EQ(f.dateFormat, "yyyy-MM-dd");
    EXPECT_EQ(f.trueString, QString::fromUtf8("Sì"));
    EXPECT_EQ(f.falseString, "No");
    EXPECT_TRUE(f.ignoreEmptyRows);

    for (const char* bad : { "HeaderRows=abc", "HeaderRows=1x", "HeaderRows=", "HeaderRows=-" }) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(CsvInterface::fromLines(lines({ bad })).headerRows, 0);
    }
}

TEST(CsvInterfaceKeys, MappingItemsAreCutAtTheSeparatorAndLimited)
{
    const CsvInterface f = CsvInterface::fromLines(QStringList {
        "Separator=|", "Delimiter=\"", "FieldMapping=$Data|Tipologia| $Commento|" + QString(300, 'x') });
    const QStringList items = f.mappingItems();
    ASSERT_EQ(items.size(), 4);
    EXPECT_EQ(items[2], " $Commento"); // not trimmed
    EXPECT_EQ(items[3].size(), 255);

    struct Case {
        QString item;
        bool ignore;
        QString field;
    };
    const Case cases[] = {
        { "$Data", false, "Data" },
        { "Tipologia", false, "Tipologia" },
        { "(ignore)", true, "" },
        { "(Ignore)", true, "" },
        { " $Commento", false, " $Commento" },
        { "", false, "" },
    };
    for (const Case& c : cases) {
        const CsvMappingItem m = parseMappingItem(c.item);
        EXPECT_EQ(m.ignore, c.ignore) << c.item.toStdString();
        EXPECT_EQ(m.fieldName, c.field) << c.item.toStdString();
    }
}

TEST(CsvInterfaceFiles, LoadsCp1252FileAndExportFallsBackToDefaults)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Tipologie.hdr");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(cp1252::encode(u"Separator=;\r\nTrueString=S\u00EC\r\nHeaderRows=1\rFieldMapping=$A;$B\n"));
    file.close();

    const CsvInterface f = CsvInterface::load(path);
    EXPECT_EQ(f.separator, QLatin1Char(';'));
    EXPECT_EQ(f.trueString, QString::fromUtf8("Sì"));
    EXPECT_EQ(f.headerRows, 1);
    EXPECT_EQ(f.mappingItems(), (QStringList { "$A", "$B" }));

    EXPECT_THROW(CsvInterface::load(dir.filePath("missing.hdr")), std::runtime_error);

    for (const QString& p : { QString(), dir.filePath("missing.hdr") }) {
        const CsvInterface d = CsvInterface::forExport(p);
        EXPECT_EQ(d.separator, QLatin1Char(','));
        EXPECT_EQ(d.delimiter, QChar(QLatin1Char('"')));
        EXPECT_EQ(d.dateFormat, "dd/MM/yyyy");
        EXPECT_EQ(d.headerRows, 0);
        EXPECT_TRUE(d.ignoreEmptyRows);
        EXPECT_EQ(d.trueString, "True");
        EXPECT_EQ(d.falseString, "False");
        EXPECT_EQ(d.fieldMapping, QString());
    }
    // A file without Delimiter writes bare values: the defaults apply only without a file.
    EXPECT_FALSE(CsvInterface::forExport(path).delimiter.has_value());
}

TEST(CsvInterfaceFiles, SplitsLinesAtEveryKindOfBreak)
{
    EXPECT_EQ(splitTextLines(u"a\r\nb\nc\rd"), (QStringList { "a", "b", "c", "d" }));
    EXPECT_EQ(splitTextLines(u"a\r\n\r\nb\r\n"), (QStringList { "a", "", "b" }));
    EXPECT_EQ(splitTextLines(u"\n"), (QStringList { "" }));
    EXPECT_EQ(splitTextLines(u""), QStringList());
}
