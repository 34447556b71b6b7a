#include "export/TableExport.h"

#include "base/AtomicFile.h"
#include "base/Cp1252.h"
#include "base/SystemFormats.h"
#include "export/XlsBinding.h"
#include "storage/RecordTable.h"
#include "support/DialogProvider.h"

#include <QLocale>
#include <QStringList>

#include <cmath>

namespace contivo {

namespace {

// Keeps the data set's controls quiet while the export walks its rows, and brings them back on
// every way out.
class QuietTable {
public:
    explicit QuietTable(RecordTable& table)
        : m_table(table)
    {
        m_table.DisableControls();
    }
    ~QuietTable() { m_table.EnableControls(); }
    QuietTable(const QuietTable&) = delete;
    QuietTable& operator=(const QuietTable&) = delete;

private:
    RecordTable& m_table;
};

QString htmlValue(const Field& field)
{
    if (field.IsNull())
        return QStringLiteral("&nbsp");
    const QString text
        = field.DataType() == FieldType::Currency ? FormatCurrency(field.AsFloat()) : field.AsString();
    return text.isEmpty() ? QStringLiteral("&nbsp") : HtmlEscaped(text);
}

QString askSavePath(QWidget* owner, const QString& filter, const QString& extension)
{
    FileDialogRequest request;
    request.filter = filter;
    request.defaultExtension = extension;
    return DialogProvider::instance().saveFileName(owner, request);
}

}

QString HtmlEscaped(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '&':
            out += QLatin1String("&amp;");
            break;
        case '<':
            out += QLatin1String("&lt;");
            break;
        case '>':
            out += QLatin1String("&gt;");
            break;
        case '"':
            out += QLatin1String("&quot;");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString FormatCurrency(double value)
{
    const SystemFormats::Formats& f = SystemFormats::current();
    QString digits = SystemFormats::formatFixed(std::fabs(value), 2);
    const qsizetype sep = digits.indexOf(f.decimalSeparator);
    for (qsizetype i = (sep < 0 ? digits.size() : sep) - 3; i > 0; i -= 3)
        digits.insert(i, f.thousandSeparator);
    QString symbol = QLocale::system().currencySymbol();
    if (QLocale::system().language() == QLocale::C || symbol.isEmpty())
        symbol = QString(QChar(0x20AC));
    return (value < 0 ? QStringLiteral("-") : QString()) + symbol + QLatin1Char(' ') + digits;
}

QByteArray HtmlPage(RecordTable& dataSet)
{
    QStringList lines { QStringLiteral("<html>"), QStringLiteral("<head> <title> DataSet </title> </head>"),
        QStringLiteral("<body>") };
    lines << QStringLiteral("<table border = \"1\" rows = \"%1\" bordercolor=\"#000000\" cellspacing=\"0\" "
                            "cellpadding=\"2\">")
                 .arg(dataSet.RecordCount());
    std::vector<const Field*> visible;
    for (int i = 0; i < dataSet.FieldCount(); ++i)
        if (dataSet.Fields(i).def().visible)
            visible.push_back(&dataSet.Fields(i));
    lines << QStringLiteral("<tr>");
    for (const Field* f : visible)
        lines << QStringLiteral("<th  >") + HtmlEscaped(f->def().effectiveDisplayLabel())
                + QStringLiteral(" </th>");
    lines << QStringLiteral("</tr>");
    {
        QuietTable quiet(dataSet);
        for (dataSet.First(); !dataSet.Eof(); dataSet.Next()) {
            lines << QStringLiteral("<tr>");
            for (const Field* f : visible)
                lines << QStringLiteral("<td nowrap  >") + htmlValue(*f) + QStringLiteral(" </td>");
            lines << QStringLiteral("</tr>");
        }
    }
    lines << QStringLiteral("</table>") << QStringLiteral("</body>") << QStringLiteral("</html>");
    return cp1252::encode(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

void WriteHtml(RecordTable& dataSet, const QString& path)
{
    writeFileAtomically(path, HtmlPage(dataSet));
}

QString ExportHtml(RecordTable& dataSet, QWidget* owner)
{
    const QString path = askSavePath(owner,
        QStringLiteral("File HTML (*.html *.HTML *.htm *.HTM);;Tutti i file (*)"), QStringLiteral("HTML"));
    if (path.isEmpty())
        return path;
    WriteHtml(dataSet, path);
    return path;
}

int WriteXls(RecordTable& dataSet, const QString& path, bool useDisplayNames)
{
    XlsHandle xls = OpenXlsLibrary(path);
    const XlsFont heading = XlsHeadingFont();
    const XlsFont data = XlsDataFont();
    const QString headingOptions = QString::fromLatin1(kXlsHeadingOptions);
    const QString dataOptions = QString::fromLatin1(kXlsDataOptions);
    for (int c = 0; c < dataSet.FieldCount(); ++c) {
        const FieldDef& def = dataSet.Fields(c).def();
        XlsAddStringCell(*xls, 1, c + 1, headingOptions, heading,
            useDisplayNames ? def.effectiveDisplayLabel() : def.name);
    }

    int rows = 0;
    {
        QuietTable quiet(dataSet);
        const Bookmark here = dataSet.GetBookmark();
        struct Restore {
            RecordTable& table;
            Bookmark mark;
            ~Restore()
            {
                try {
                    if (mark != kNoBookmark && table.BookmarkValid(mark))
                        table.GotoBookmark(mark);
                } catch (...) {
                    // The row is gone: the cursor stays where the walk left it.
                }
            }
        } restore { dataSet, here };
        for (dataSet.First(); !dataSet.Eof(); dataSet.Next()) {
            const int row = rows + 2;
            for (int c = 0; c < dataSet.FieldCount(); ++c) {
                const Field& f = dataSet.Fields(c);
                switch (f.DataType()) {
                case FieldType::String:
                case FieldType::Memo:
                case FieldType::FmtMemo:
                case FieldType::Date:
                case FieldType::Time:
                case FieldType::DateTime:
                    XlsAddStringCell(*xls, row, c + 1, dataOptions, data, f.AsString());
                    break;
                case FieldType::Boolean:
                    XlsAddStringCell(*xls, row, c + 1, dataOptions, data,
                        f.AsBoolean() ? QStringLiteral("True") : QStringLiteral("False"));
                    break;
                case FieldType::SmallInt:
                case FieldType::Integer:
                case FieldType::Word:
                case FieldType::AutoInc:
                    XlsAddIntegerCell(*xls, row, c + 1, dataOptions, data, qint32(f.AsInteger()));
                    break;
                case FieldType::Float:
                case FieldType::Currency:
                    XlsAddDoubleCell(*xls, row, c + 1, dataOptions, data, f.AsFloat());
                    break;
                default:
                    break; // no cell for other kinds of data
                }
            }
            ++rows;
        }
    }
    XlsSaveToFile(*xls, path);
    CloseXlsLibrary(std::move(xls));
    return rows;
}

QString ExportXlsTo(RecordTable& dataSet, bool useDisplayNames, const QString& path, QWidget* owner)
{
    QString target = path;
    if (target.isEmpty()) {
        target = askSavePath(
            owner, QStringLiteral("File Excel (*.xls *.XLS);;Tutti i file (*)"), QStringLiteral("XLS"));
        if (target.isEmpty())
            return target;
    }
    WriteXls(dataSet, target, useDisplayNames);
    return target;
}

QString ExportXls(RecordTable& dataSet, QWidget* owner)
{
    return ExportXlsTo(dataSet, false, QString(), owner);
}

}
