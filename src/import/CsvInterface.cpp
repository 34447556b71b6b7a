#include "import/CsvInterface.h"

#include "base/AtomicFile.h"
#include "base/Cp1252.h"
#include "import/CsvText.h"

#include <QFileInfo>

namespace contivo {
namespace {

// A whole number as the interface files write it: optional blanks, an optional sign, digits.
std::optional<int> wholeNumber(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == QLatin1Char(' '))
        ++i;
    return csv::parseSignedDigits(QStringView(text).mid(i));
}

}

std::optional<QString> csvInterfaceValue(const QStringList& lines, QStringView key)
{
    for (const QString& line : lines) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        if (QStringView(line).left(eq).compare(key, Qt::CaseInsensitive) != 0)
            continue;
        const QString value = line.mid(eq + 1);
        if (value.isEmpty())
            return std::nullopt;
        return value;
    }
    return std::nullopt;
}

QStringList splitTextLines(QStringView text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\n') && c != QLatin1Char('\r'))
            continue;
        lines << text.mid(start, i - start).toString();
        if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines << text.mid(start).toString();
    return lines;
}

CsvInterface CsvInterface::fromLines(const QStringList& lines)
{
    CsvInterface f;
    if (const auto v = csvInterfaceValue(lines, u"HeaderRows"))
        f.headerRows = wholeNumber(*v).value_or(0);
    if (const auto v = csvInterfaceValue(lines, u"Separator"))
        f.separator = v->at(0);
    if (const auto v = csvInterfaceValue(lines, u"Delimiter"))
        f.delimiter = v->at(0);
    f.fieldMapping = csvInterfaceValue(lines, u"FieldMapping").value_or(QString());
    f.dateFormat = csvInterfaceValue(lines, u"DateFormat").value_or(QString());
    f.ignoreEmptyRows = csvInterfaceValue(lines, u"IgnoreEmptyRows")
                            .value_or(QString())
                            .compare(u"TRUE", Qt::CaseInsensitive)
        == 0;
    if (const auto v = csvInterfaceValue(lines, u"TrueString"))
        f.trueString = *v;
    if (const auto v = csvInterfaceValue(lines, u"FalseString"))
        f.falseString = *v;
    return f;
}

CsvInterface CsvInterface::load(const QString& path)
{
    const QByteArray bytes = readWholeFile(path);
    return fromLines(splitTextLines(cp1252::decode(bytes)));
}

CsvInterface CsvInterface::exportDefaults()
{
    CsvInterface f;
    f.dateFormat = QStringLiteral("dd/MM/yyyy");
    f.separator = QLatin1Char(',');
    f.ignoreEmptyRows = true;
    f.headerRows = 0;
    f.delimiter = QLatin1Char('"');
    f.trueString = QStringLiteral("True");
    f.falseString = QStringLiteral("False");
    return f;
}

CsvInterface CsvInterface::forExport(const QString& path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return exportDefaults();
    return load(path);
}

QStringList CsvInterface::mappingItems() const
{
    QStringList items = fieldMapping.split(separator, Qt::KeepEmptyParts);
    for (QString& item : items)
        item.truncate(255);
    return items;
}

CsvMappingItem parseMappingItem(const QString& item)
{
    CsvMappingItem m;
    if (item.compare(u"(ignore)", Qt::CaseInsensitive) == 0) {
        m.ignore = true;
        return m;
    }
    m.fieldName = item.startsWith(QLatin1Char('$')) ? item.mid(1) : item;
    return m;
}

}
