#include "export/TableExport.h"
#include "ExportFixture.h"
#include "base/DateTime.h"
#include "base/SystemFormats.h"
#include "storage/RecordTable.h"
#include "support/TestSeams.h"
#include "tabulon/RecordReader.h"

#include <QFileInfo>

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

std::vector<XlsRecord> readRecords(const QString& path)
{
    const QByteArray b = readAll(path);
    bool complete = false;
    auto r = splitRecords(std::vector<std::uint8_t>(b.begin(), b.end()), &complete);
    EXPECT_TRUE(complete);
    return r;
}

// The expected file bytes: the lines as given (cp1252 bytes), each ended by CR LF.
QByteArray crlf(std::initializer_list<const char*> lines)
{
    QByteArray bytes;
    for (const char* line : lines)
        bytes += QByteArray(line) + "\r\n";
    return bytes;
}

// The movement types table: a type name and its colour.
std::unique_ptr<RecordTable> typesTable(const QList<QPair<QString, int>>& rows)
{
    auto t = std::make_unique<RecordTable>("Tipologie");
    t->AddField("Tipologia", FieldType::String, 16);
    t->AddField("Colore", FieldType::Integer);
    for (const auto& [name, colour] : rows) {
        t->Append();
        t->FieldByName("Tipologia").SetAsString(name);
        t->FieldByName("Colore").SetAsInteger(colour);
        t->Post();
    }
    return t;
}

class TableExport : public ExportFixture {
protected:
    void SetUp() override
    {
        ExportFixture::SetUp();
        SystemFormats::override({ QChar(','), QChar('.'), "dd/MM/yyyy", "HH:mm:ss" });
    }
    void TearDown() override
    {
        SystemFormats::reset();
        ExportFixture::TearDown();
    }
};

}

TEST(HtmlText, EscapesMarkupCharacters)
{
    EXPECT_EQ(HtmlEscaped("<script>alert(\"x\")</script> & co"),
        "&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt; &amp; co");
    EXPECT_EQ(HtmlEscaped(QString::fromUtf8("Caffè 'ok'")), QString::fromUtf8("Caffè 'ok'"));
}

TEST_F(TableExport, HtmlPageLines)
{
    RecordTable t("Movimenti");
    t.AddField("Data", FieldType::Date);
    FieldDef comment = fieldDef("Commento", FieldType::String, 128);
    comment.displayLabel = "Nota <breve>";
    t.AddField(comment);
    FieldDef hidden = fieldDef("Mese", FieldType::Integer);
    hidden.visible = false;
    t.AddField(hidden);
    t.AddField("Importo", FieldType::Currency);
    t.AddField("Movimento", FieldType::Float);
    const double day = dt::fromDate(QDate(2024, 3, 5));
    t.Append();
    t.Fields(0).SetAsDateTime(day);
    t.Fields(1).SetAsString("<b>Pane & \"latte\"</b>");
    t.Fields(2).SetAsInteger(3);
    t.Fields(3).SetAsFloat(-1234.5);
    t.Fields(4).SetAsFloat(2.25);
    t.Post();
    t.Append(); // every value empty
    t.Post();

    const QByteArray page = HtmlPage(t);
    EXPECT_EQ(page,
        crlf({
            "<html>",
            "<head> <title> DataSet </title> </head>",
            "<body>",
            "<table border = \"1\" rows = \"2\" bordercolor=\"#000000\" cellspacing=\"0\" cellpadding=\"2\">",
            "<tr>",
            "<th  >Data </th>",
            "<th  >Nota &lt;breve&gt; </th>",
            "<th  >Importo </th>",
            "<th  >Movimento </th>",
            "</tr>",
            "<tr>",
            "<td nowrap  >05/03/2024 </td>",
            "<td nowrap  >&lt;b&gt;Pane &amp; &quot;latte&quot;&lt;/b&gt; </td>",
            "<td nowrap  >-\x80 1.234,50 </td>",
            "<td nowrap  >2,25 </td>",
            "</tr>",
            "<tr>",
            "<td nowrap  >&nbsp </td>",
            "<td nowrap  >&nbsp </td>",
            "<td nowrap  >&nbsp </td>",
            "<td nowrap  >&nbsp </td>",
            "</tr>",
            "</table>",
            "</body>",
            "</html>",
        }));
    EXPECT_TRUE(t.Eof()) << "the cursor is left after the last row";
}

TEST_F(TableExport, HtmlOfAnEmptyTableHasTheHeadingRowOnly)
{
    auto t = typesTable({});
    EXPECT_EQ(HtmlPage(*t),
        crlf({ "<html>", "<head> <title> DataSet </title> </head>", "<body>",
            "<table border = \"1\" rows = \"0\" bordercolor=\"#000000\" cellspacing=\"0\" "
            "cellpadding=\"2\">",
            "<tr>", "<th  >Tipologia </th>", "<th  >Colore </th>", "</tr>", "</table>", "</body>",
            "</html>" }));
}

TEST_F(TableExport, ExportHtmlAsksForTheFileAndWritesThePage)
{
    auto t = typesTable({ { QString::fromUtf8("Caffè"), 255 } });
    const QString file = out("tipi.html");
    {
        ScriptedDialogProvider dialogs;
        dialogs.answerSaveFile(QString());
        EXPECT_EQ(ExportHtml(*t), QString());
        ASSERT_EQ(dialogs.calls().size(), 1);
        EXPECT_EQ(dialogs.calls()[0].file.defaultExtension, "HTML");
        EXPECT_TRUE(dialogs.calls()[0].file.filter.startsWith("File HTML (*.html"));
    }
    EXPECT_TRUE(QDir(outDir.path()).isEmpty());
    {
        ScriptedDialogProvider dialogs;
        dialogs.answerSaveFile(file);
        EXPECT_EQ(ExportHtml(*t), file);
    }
    const QByteArray bytes = readAll(file);
    EXPECT_EQ(bytes, HtmlPage(*t));
    EXPECT_TRUE(bytes.contains("<td nowrap  >Caff\xE8 </td>")) << "the page is cp1252";
}

TEST_F(TableExport, XlsOfTheTypesTableIsTheExpectedRecordSequence)
{
    installLibrary(TABULON_FILE);
    auto t = typesTable({ { "Spesa", 12 } });
    const QString file = out("tipi.xls");
    EXPECT_EQ(WriteXls(*t, file, false), 1);
    const std::vector<XlsRecord> expected {
        kBof,
        kDimensions,
        fontRecord(160, 0, "MS Sans Serif"),
        fontRecord(160, 1, "MS Sans Serif"),
        labelRecord(0, 0, 0x40, 0x40, 0xF8, "Tipologia"),
        labelRecord(0, 1, 0x40, 0x40, 0xF8, "Colore"),
        fontRecord(160, 0, "MS Sans Serif"),
        labelRecord(1, 0, 0x40, 0x80, 0x78, "Spesa"),
        integerRecord(1, 1, 0x40, 0x80, 0x78, 12),
        kEof,
    };
    EXPECT_EQ(readRecords(file), expected);
}

TEST_F(TableExport, XlsCellsFollowTheFieldTypesAndTheCursorReturns)
{
    installLibrary(TABULON_FILE);
    RecordTable t("Tutto");
    FieldDef text = fieldDef("Testo", FieldType::Memo);
    text.displayLabel = "Descrizione";
    t.AddField(text);
    t.AddField("Giorno", FieldType::Date);
    t.AddField("Fatto", FieldType::Boolean);
    t.AddField("Colore", FieldType::Integer);
    t.AddField("Piccolo", FieldType::SmallInt);
    t.AddField("Importo", FieldType::Float);
    t.AddField("Prezzo", FieldType::Currency);
    t.AddField("Dati", FieldType::Blob);
    const QString longText(300, QChar('y'));
    for (int i = 0; i < 3; ++i) {
        t.Append();
        t.Fields(0).SetAsString(i == 0 ? longText : QString("riga %1").arg(i));
        t.Fields(1).SetAsDateTime(dt::fromDate(QDate(2024, 1, 1 + i)));
        t.Fields(2).SetAsBoolean(i % 2 == 0);
        t.Fields(3).SetAsInteger(i == 1 ? 0xFFFFFF : 40 + i);
        t.Fields(4).SetAsInteger(-i);
        t.Fields(5).SetAsFloat(i * 1.5 - 0.25);
        t.Fields(6).SetAsFloat(100 + i);
        t.Post();
    }
    t.MoveTo(1);
    const Bookmark before = t.GetBookmark();

    const QString file = out("tutto.xls");
    EXPECT_EQ(WriteXls(t, file, true), 3);
    EXPECT_EQ(t.GetBookmark(), before);
    EXPECT_EQ(t.RecNo(), 1);

    const auto r = readRecords(file);
    // Headings: display names when asked; the Blob column has a heading but no data cells.
    EXPECT_EQ(r[4], labelRecord(0, 0, 0x40, 0x40, 0xF8, "Descrizione"));
    EXPECT_EQ(r[11], labelRecord(0, 7, 0x40, 0x40, 0xF8, "Dati"));
    std::vector<XlsRecord> cells(r.begin() + 13, r.end() - 1); // after the regular font record
    ASSERT_EQ(cells.size(), 3u * 7u);
    for (int i = 0; i < 3; ++i) {
        const XlsRecord* c = &cells[std::size_t(i * 7)];
        const std::string first = i == 0 ? std::string(255, 'y') : "riga " + std::to_string(i);
        EXPECT_EQ(c[0], labelRecord(i + 1, 0, 0x40, 0x80, 0x78, first));
        EXPECT_EQ(
            c[1], labelRecord(i + 1, 1, 0x40, 0x80, 0x78, QString("0%1/01/2024").arg(1 + i).toStdString()));
        EXPECT_EQ(c[2], labelRecord(i + 1, 2, 0x40, 0x80, 0x78, i % 2 == 0 ? "True" : "False"));
        if (i == 1) {
            EXPECT_EQ(c[3].number, 0x0003);
            EXPECT_EQ(numberValue(c[3]), double(0xFFFFFF));
        } else {
            EXPECT_EQ(c[3], integerRecord(i + 1, 3, 0x40, 0x80, 0x78, unsigned(40 + i)));
        }
        if (i == 0) {
            EXPECT_EQ(c[4], integerRecord(1, 4, 0x40, 0x80, 0x78, 0));
        } else {
            EXPECT_EQ(c[4].number, 0x0003);
            EXPECT_EQ(numberValue(c[4]), -double(i));
        }
        EXPECT_EQ(c[5].number, 0x0003);
        EXPECT_EQ(numberValue(c[5]), i * 1.5 - 0.25);
        EXPECT_EQ(numberValue(c[6]), 100.0 + i);
    }
}

TEST_F(TableExport, ExportXlsDialogCancelAndGivenPath)
{
    installLibrary(TABULON_FILE);
    auto t = typesTable({ { "A", 1 }, { "B", 2 } });
    {
        ScriptedDialogProvider dialogs;
        dialogs.answerSaveFile(QString());
        EXPECT_EQ(ExportXls(*t), QString());
        ASSERT_EQ(dialogs.calls().size(), 1);
        EXPECT_EQ(dialogs.calls()[0].file.defaultExtension, "XLS");
        EXPECT_TRUE(dialogs.calls()[0].file.filter.startsWith("File Excel (*.xls"));
    }
    EXPECT_TRUE(QDir(outDir.path()).isEmpty());
    {
        ScriptedDialogProvider dialogs;
        dialogs.answerSaveFile(out("chosen.xls"));
        EXPECT_EQ(ExportXls(*t), out("chosen.xls"));
    }
    {
        ScriptedDialogProvider dialogs; // a given path asks nothing
        EXPECT_EQ(ExportXlsTo(*t, false, out("given.xls"), nullptr), out("given.xls"));
    }
    EXPECT_EQ(recordNumbers(readRecords(out("chosen.xls"))).size(), 12u);
    EXPECT_EQ(readAll(out("chosen.xls")), readAll(out("given.xls")));
}

TEST_F(TableExport, XlsWithoutTheLibraryFailsAndWritesNothing)
{
    auto t = typesTable({ { "A", 1 } });
    t->First();
    try {
        WriteXls(*t, out("none.xls"), false);
        FAIL() << "no error";
    } catch (const XlsExportError& e) {
        EXPECT_STREQ(e.what(),
            "Impossibile trovare la libreria di esportazione.\nLibreria 'libTabulon.so' non trovata");
    }
    EXPECT_TRUE(QDir(outDir.path()).isEmpty());
    EXPECT_EQ(t->RecNo(), 0);
}
