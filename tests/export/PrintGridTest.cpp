#include "export/PrintGrid.h"
#include "ExportFixture.h"
#include "base/SystemFormats.h"
#include "storage/RecordTable.h"
#include "storage/RecordTableModel.h"
#include "support/TestSeams.h"

#include <QHeaderView>
#include <QPrinter>
#include <QRegularExpression>
#include <QTableView>

using namespace contivo;
using contivo::testing::ExportFixture;
using contivo::testing::fieldDef;
using contivo::testing::ScriptedDialogProvider;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The expected file bytes: the lines as given (cp1252 bytes), each ended by CR LF.
QByteArray crlf(std::initializer_list<const char*> lines)
{
    QByteArray bytes;
    for (const char* line : lines)
        bytes += QByteArray(line) + "\r\n";
    return bytes;
}

PrintContent sample()
{
    PrintContent c;
    c.title = "Tipologie, 2024";
    c.columns = { { "Tipologia", Qt::AlignLeft, 120 }, { "Colore, RGB", Qt::AlignRight, 60 },
        { "Nota", Qt::AlignLeft, 80 } };
    c.rows = { { "Spesa", "255", "a,b" }, { "Stipendio", "16777215", "" },
        { QString::fromUtf8("Caffè {x}"), "7", "<i>" } };
    return c;
}

// A grid over a small movements table: Commento is hidden, Mese is one pixel wide.
class GridFixture : public ExportFixture {
protected:
    void SetUp() override
    {
        ExportFixture::SetUp();
        SystemFormats::override({ QChar(','), QChar('.'), "dd/MM/yyyy", "HH:mm:ss" });
        table.AddField("Tipologia", FieldType::String, 16);
        FieldDef amount = fieldDef("Movimento", FieldType::Float);
        amount.displayLabel = "Importo";
        amount.displayFormat = "0.00";
        table.AddField(amount);
        table.AddField("Commento", FieldType::String, 128);
        table.AddField("Mese", FieldType::Integer);
        const QList<std::tuple<QString, double, QString>> rows
            = { { "Spesa", -12.5, "pane" }, { "Stipendio", 1500, "marzo" }, { "Affitto", -700, "casa" } };
        for (const auto& [type, value, note] : rows) {
            table.Append();
            table.Fields(0).SetAsString(type);
            table.Fields(1).SetAsFloat(value);
            table.Fields(2).SetAsString(note);
            table.Fields(3).SetAsInteger(3);
            table.Post();
        }
        table.MoveTo(1);
        grid.setModel(&model);
        grid.setColumnWidth(0, 100);
        grid.setColumnWidth(1, 70);
        grid.setColumnHidden(2, true);
        grid.horizontalHeader()->setMinimumSectionSize(0);
        grid.setColumnWidth(3, 1);
    }
    void TearDown() override
    {
        setPrinterSeam({});
        SystemFormats::reset();
        ExportFixture::TearDown();
    }

    RecordTable table { "Movimenti" };
    RecordTableModel model { &table };
    QTableView grid;
};

int pdfPageCount(const QString& path)
{
    return int(QString::fromLatin1(readAll(path)).count(QRegularExpression("/Type\\s*/Page[^s]")));
}

}

TEST(PrintFiles, TextPadsAndAlignsEachColumn)
{
    EXPECT_EQ(printfile::Text(sample()),
        QByteArray(crlf({
            "Tipologie, 2024",
            "Tipologia  Colore, RGB  Nota",
            "Spesa              255  a,b",
            "Stipendio     16777215",
            "Caff\xE8 {x}            7  <i>",
        })));
}

TEST(PrintFiles, CsvHasTitleBlankLineHeadingsAndRowsWithoutInnerCommas)
{
    EXPECT_EQ(printfile::Csv(sample()),
        QByteArray(crlf({
            "Tipologie  2024",
            "",
            "Tipologia,Colore  RGB,Nota",
            "Spesa,255,a b",
            "Stipendio,16777215,",
            "Caff\xE8 {x},7,<i>",
        })));
}

TEST(PrintFiles, HtmlAndRtfCarryTitleColumnsAndEscapedRows)
{
    PrintContent c = sample();
    c.rows.append({ QString::fromUtf8("日本"), "1", "x" });
    const QString html = QString::fromLatin1(printfile::Html(c));
    EXPECT_TRUE(html.contains("<title>Tipologie, 2024</title>"));
    EXPECT_TRUE(html.contains("<tr><th align=\"left\">Tipologia</th><th align=\"right\">Colore, RGB</th>"
                              "<th align=\"left\">Nota</th></tr>"));
    EXPECT_TRUE(html.contains("<tr><td align=\"left\">Stipendio</td><td align=\"right\">16777215</td>"
                              "<td align=\"left\">&nbsp;</td></tr>"));
    EXPECT_TRUE(html.contains(QString::fromLatin1("<td align=\"left\">Caff\xE8 {x}</td>")));
    EXPECT_TRUE(html.contains("&lt;i&gt;"));
    EXPECT_FALSE(html.contains("<i>"));
    EXPECT_TRUE(html.contains("&#26085;&#26412;")) << "characters outside cp1252 as references";
    EXPECT_EQ(html.count("<tr>"), 1 + 4);

    const QByteArray rtf = printfile::Rtf(c);
    EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252"));
    EXPECT_TRUE(rtf.trimmed().endsWith('}'));
    EXPECT_EQ(rtf.count('{') - rtf.count("\\{"), rtf.count('}') - rtf.count("\\}")) << "groups are balanced";
    EXPECT_TRUE(rtf.contains("{\\b\\fs28 Tipologie, 2024}"));
    EXPECT_TRUE(rtf.contains("\\cellx1800\\clbrdrt")) << "first column 120 px = 1800 twips";
    EXPECT_TRUE(rtf.contains("\\pard\\intbl\\qr{16777215}\\cell"));
    EXPECT_TRUE(rtf.contains("{Caff\\'e8 \\{x\\}}\\cell"));
    EXPECT_TRUE(rtf.contains("\\u26085?\\u26412?"));
    EXPECT_EQ(rtf.count("\\row"), 1 + 4);
}

using PrintGridTest = GridFixture;

TEST_F(PrintGridTest, CollectsShownColumnsAsTheGridDisplaysThem)
{
    const PrintContent c = CollectGridContent(grid, "Movimenti di marzo");
    EXPECT_EQ(c.title, "Movimenti di marzo");
    ASSERT_EQ(c.columns.size(), 2);
    EXPECT_EQ(c.columns[0].title, "Tipologia");
    EXPECT_EQ(c.columns[0].alignment, Qt::AlignLeft);
    EXPECT_EQ(c.columns[0].width, 100);
    EXPECT_EQ(c.columns[1].title, "Importo");
    EXPECT_EQ(c.columns[1].alignment, Qt::AlignRight);
    EXPECT_EQ(c.rows,
        (QList<QStringList> { { "Spesa", "-12,50" }, { "Stipendio", "1500,00" }, { "Affitto", "-700,00" } }));
    EXPECT_EQ(table.RecNo(), 1) << "the cursor stays on its row";
}

TEST_F(PrintGridTest, PrintToEachFileKind)
{
    struct Case {
        const char* kind;
        const char* filter;
        QByteArray (*render)(const PrintContent&);
    };
    const Case cases[] = {
        { "TXT", "File TXT (*.txt *.TXT);;Tutti i file (*)", printfile::Text },
        { "CSV", "File CSV (*.csv *.CSV);;Tutti i file (*)", printfile::Csv },
        { "HTML", "File HTML (*.html *.HTML);;Tutti i file (*)", printfile::Html },
        { "RTF", "File RTF (*.rtf *.RTF);;Tutti i file (*)", printfile::Rtf },
    };
    const PrintContent expected = CollectGridContent(grid, "Marzo");
    for (const auto& c : cases) {
        const QString file = out(QString("grid.") + c.kind);
        ScriptedDialogProvider dialogs;
        dialogs.answerSaveFile(QString()).answerSaveFile(file);
        EXPECT_EQ(PrintGrid(grid, "Marzo", c.kind), QString()) << c.kind;
        EXPECT_FALSE(QFileInfo::exists(file));
        EXPECT_EQ(PrintGrid(grid, "Marzo", c.kind), file) << c.kind;
        EXPECT_EQ(readAll(file), c.render(expected)) << c.kind;
        ASSERT_EQ(dialogs.calls().size(), 2);
        EXPECT_EQ(dialogs.calls()[0].file.filter, c.filter);
        EXPECT_EQ(dialogs.calls()[0].file.defaultExtension, c.kind);
    }
    EXPECT_THROW(PrintGrid(grid, "Marzo", "PDF"), std::invalid_argument);
}

TEST_F(PrintGridTest, PrinterWithoutPrintersSaysSo)
{
    setPrinterSeam({ [] { return false; },
        [](QPrinter&, QWidget*) -> bool {
            ADD_FAILURE() << "no dialog without printers";
            return false;
        } });
    ScriptedDialogProvider dialogs;
    dialogs.answerMessage(IDOK);
    EXPECT_EQ(PrintGrid(grid, "Marzo", "PRINTER"), QString());
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.messages()[0].title, "Contivo - Errore");
    EXPECT_TRUE(dialogs.messages()[0].text.contains("stampante"));
}

TEST_F(PrintGridTest, PrinterPagesAreFilledAndNumbered)
{
    const QString pdf = out("printed.pdf");
    bool confirm = false;
    setPrinterSeam({ [] { return true; },
        [&](QPrinter& printer, QWidget*) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            return confirm;
        } });
    EXPECT_EQ(PrintGrid(grid, "Marzo", "PRINTER"), QString()) << "dialog cancelled";
    EXPECT_FALSE(QFileInfo::exists(pdf));

    confirm = true;
    EXPECT_EQ(PrintGrid(grid, "Marzo", "PRINTER"), "PRINTER");
    EXPECT_EQ(pdfPageCount(pdf), 1);

    table.DisableControls();
    for (int i = 0; i < 250; ++i) {
        table.Append();
        table.Fields(0).SetAsString(QString("Riga %1").arg(i));
        table.Post();
    }
    table.EnableControls();
    ASSERT_EQ(model.rowCount(), 253);
    EXPECT_EQ(PrintGrid(grid, "Marzo", "PRINTER"), "PRINTER");
    EXPECT_GT(pdfPageCount(pdf), 2);
}
