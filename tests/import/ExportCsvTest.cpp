#include "base/DateTime.h"
#include "import/ImportCSV.h"
#include "import/ImportTestSupport.h"
#include "import/TFormDettaglioErroriCsv.h"
#include "support/TestSeams.h"

#include <QFileInfo>

using namespace contivo;
using contivo::testing::CsvFixture;
using contivo::testing::ScriptedDialogProvider;
using contivo::testing::ScriptedModalRunner;

class ExportCsvTest : public CsvFixture {
protected:
    RecordTable types { QStringLiteral("Tipologie") };
    void SetUp() override
    {
        CsvFixture::SetUp();
        declareTypes(types);
        addType(types, "Cibo", 255);
        addType(types, QString::fromUtf8("Città \"nuova\""), 0);
    }
};

TEST_F(ExportCsvTest, SeparatorDelimiterAndNoHeading)
{
    struct Case {
        QStringList hdr; // empty: no interface file
        QByteArray expected;
    };
    const Case cases[] = {
        { {}, "\"Cibo\",\"255\"\r\n\"Citt\xE0 \"nuova\"\",\"0\"\r\n" }, // defaults; delimiters not doubled
        { { "Separator=;" }, "Cibo;255\r\nCitt\xE0 \"nuova\";0\r\n" }, // a file without Delimiter: bare
        { { "Separator=|x", "Delimiter='", "HeaderRows=3", "FieldMapping=$Colore" },
            "'Cibo'|'255'\r\n'Citt\xE0 \"nuova\"'|'0'\r\n" },
    };
    for (const Case& c : cases) {
        const QString hdr = c.hdr.isEmpty() ? QString() : writeLines("Tipologie.hdr", c.hdr);
        const QString out = path("out.csv");
        ImportCSV::Export(types, hdr, out);
        QFile f(out);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), c.expected) << c.hdr.join(' ').toStdString();
        EXPECT_TRUE(types.Eof()); // the cursor stays after the last row
    }
    // A missing interface file means the defaults as well.
    ImportCSV::Export(types, path("none.hdr"), path("d.csv"));
    EXPECT_TRUE(readText(path("d.csv")).startsWith("\"Cibo\",\"255\"\r\n"));
}

TEST_F(ExportCsvTest, BooleansDatesAndNumbersAsText)
{
    RecordTable t(QStringLiteral("Prova"));
    t.AddField(QStringLiteral("Attivo"), FieldType::Boolean);
    t.AddField(QStringLiteral("Data"), FieldType::Date);
    t.AddField(QStringLiteral("Importo"), FieldType::Float);
    for (const bool on : { true, false }) {
        t.Append();
        t.FieldByName("Attivo").SetAsBoolean(on);
        t.FieldByName("Data").SetAsDateTime(dt::fromDate(QDate(2024, 3, on ? 5 : 6)));
        t.FieldByName("Importo").SetAsFloat(on ? 1234.5 : -2);
        t.Post();
    }
    t.Append();
    t.Post(); // all null
    const QString hdr
        = writeLines("p.hdr", { "Separator=;", "TrueString=S\u00EC", "FalseString=No", "DateFormat=yyyy" });
    ImportCSV::Export(t, hdr, path("b.csv"));
    EXPECT_EQ(
        readText(path("b.csv")), QString::fromUtf8("Sì;05/03/2024;1234,5\r\nNo;06/03/2024;-2\r\nNo;;\r\n"));

    // An empty table gives an empty file, replacing what was there.
    t.EmptyTable();
    ImportCSV::Export(t, hdr, path("b.csv"));
    EXPECT_EQ(QFileInfo(path("b.csv")).size(), 0);
}

TEST_F(ExportCsvTest, AsksForTheFileAndWritesIt)
{
    ScriptedDialogProvider dialogs;
    dialogs.answerSaveFile(path("scelto.csv")).answerSaveFile(QString());
    ExportCsv(types, QString());
    ASSERT_EQ(dialogs.calls().size(), 1);
    EXPECT_EQ(dialogs.calls()[0].file.defaultExtension, "CSV");
    EXPECT_TRUE(dialogs.calls()[0].file.filter.startsWith("File CSV (*.csv"));
    EXPECT_TRUE(readText(path("scelto.csv")).startsWith("\"Cibo\""));

    // Cancelling writes nothing.
    ExportCsv(types, QString());
    EXPECT_EQ(QDir(m_dir.path()).entryList({ "*.csv" }, QDir::Files), QStringList { "scelto.csv" });
}

TEST_F(ExportCsvTest, ErrorDetailIsShownThenDeleted)
{
    writeBytes("tmp/CsvErrors0.txt", "taken"); // the smallest free number is used
    const QStringList errors { "Error in record 1: a", "Error in record 2: b\u00E8", "Error in record 5: c" };
    QString shownFile;
    QString shownText;
    {
        ScriptedModalRunner runner;
        runner.expect([&](QDialog& window) {
            shownFile = QDir(tmpFolder()).filePath("CsvErrors1.txt");
            EXPECT_TRUE(QFileInfo::exists(shownFile));
            shownText = readText(shownFile);
            auto* form = qobject_cast<TFormDettaglioErroriCsv*>(&window);
            ASSERT_NE(form, nullptr);
            EXPECT_EQ(form->Text(), errors.join('\n') + '\n');
        });
        ImportCSV::ShowErrorDetail(errors);
        EXPECT_EQ(runner.ran(), QStringList { "FormDettaglioErroriCsv" });
    }
    EXPECT_EQ(shownText, errors.join("\r\n") + "\r\n");
    EXPECT_FALSE(QFileInfo::exists(shownFile));
    EXPECT_EQ(tmpEntries(), QStringList { "CsvErrors0.txt" });
}

TEST_F(ExportCsvTest, ErrorDetailThatCannotBeWrittenShowsTheKeyedError)
{
    qputenv("TMPDIR", "/proc"); // a folder where no file can be created, even by root
    ScriptedModalRunner noWindow;
    ScriptedDialogProvider dialogs;
    dialogs.answerMessage(IDOK);
    ImportCSV::ShowErrorDetail({ "Error in record 1: x" });
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].text.contains(
        QString::fromUtf8("Si è verificato un errore nella generazione del file di dettaglio")))
        << dialogs.messages()[0].text.toStdString();
    EXPECT_TRUE(dialogs.messages()[0].title.startsWith("Contivo"));
}
