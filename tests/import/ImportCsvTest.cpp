#include "import/ImportCSV.h"
#include "base/DateTime.h"
#include "import/CsvWorkingCopy.h"
#include "import/ImportTestSupport.h"

#include <QFileInfo>

#include <sys/stat.h>

using namespace contivo;
using contivo::testing::CsvFixture;

namespace {
const QStringList kMovementFields { "Data", "Tipologia", "Commento", "Movimento" };

const QStringList kMovimentiHdr { "HeaderRows=1", "Separator=;", "Delimiter=\"",
    "FieldMapping=$Data;$Tipologia;$Commento;$Movimento", "DateFormat=dd/MM/yyyy" };
}

class ImportCsv : public CsvFixture {
protected:
    RecordTable table { QStringLiteral("TabellaImport") };
    ImportCSV engine;
    void SetUp() override
    {
        CsvFixture::SetUp();
        declareMovements(table);
    }
};

TEST_F(ImportCsv, EnclosedFieldsAreNormalisedAndConverted)
{
    const QString hdr = writeLines("Movimenti.hdr", kMovimentiHdr);
    const QString csv = writeLines("m.csv",
        { R"("Data";"Tipo";"Commento";"Importo")",
            R"( "15/03/2024" ; "Spesa" ; "Pane e ""latte""" ; "1.234,50" )",
            R"("16/03/2024";"Casa";"Affitto";"1,234.50")",
            R"("17/03/2024";unquoted;"Bar";"1.234")", // the bare field vanishes, columns shift
            R"("18/03/2024";"Varie";"";"12")",
            R"("19/03/2024";"Varie";"aperto;"3")" }); // unclosed: runs to the end less one
    EXPECT_EQ(engine.Import(table, hdr, csv, false), 5);
    EXPECT_TRUE(engine.Errors().isEmpty()) << engine.Errors().join('\n').toStdString();
    EXPECT_EQ(rowsOf(table, kMovementFields),
        (QStringList { "15/03/2024|Spesa|Pane e \"latte\"|1234,5", "16/03/2024|Casa|Affitto|1234,5",
            "17/03/2024|Bar|1.234|0", "18/03/2024|Varie||12", "19/03/2024|Varie|aperto;|0" }));
    EXPECT_TRUE(tmpEntries().isEmpty()) << tmpEntries().join(' ').toStdString();
}

TEST_F(ImportCsv, BareColumnsHeadingsAndEmptyLines)
{
    const QString hdr = writeLines("b.hdr",
        { "HeaderRows=1", "Separator=;", "FieldMapping=$Data;$Tipologia;$Commento;$Movimento",
            "DateFormat=dd/MM/yyyy" });
    const QString csv = writeLines("b.csv",
        { "", // empty: not the heading
            "   \t", // blanks only: skipped, not the heading
            "Data;Tipo;Commento;Importo", // the heading
            ";Cibo;x;5", // empty first column: an empty date
            "01/02/2024;Bar", // two columns of four: the rest empty
            "", " 02/02/2024 ;  Svago ;spazi ; 7,5 " });
    EXPECT_EQ(engine.Import(table, hdr, csv, false), 3);
    EXPECT_TRUE(engine.Errors().isEmpty()) << engine.Errors().join('\n').toStdString();
    EXPECT_EQ(rowsOf(table, kMovementFields),
        (QStringList { "|Cibo|x|5", "01/02/2024|Bar||0", "02/02/2024|  Svago |spazi |7,5" }));
    table.First();
    EXPECT_TRUE(table.FieldByName("Data").IsNull());
}

TEST_F(ImportCsv, NumberRuleAndDateOrderOfTheInterface)
{
    struct Case {
        const char* dateFormat;
        const char* date;
        const char* amount;
        QDate expectedDate;
        double expectedAmount;
    };
    const Case cases[] = {
        { "dd/MM/yyyy", "05/04/2024", "1.234,50", QDate(2024, 4, 5), 1234.5 },
        { "MM/dd/yyyy", "04/05/2024", "1,234.50", QDate(2024, 4, 5), 1234.5 },
        { "yyyy-MM-dd", "2024/04/05", "1.234", QDate(2024, 4, 5), 1.234 }, // the system separator counts
        { "d/M/yy", "5/4/24", "-3", QDate(2024, 4, 5), -3.0 },
        { "dd/MM/yyyy", "05/04/2024", "abc", QDate(2024, 4, 5), 0.0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dateFormat);
        const QString hdr = writeLines("n.hdr",
            { "Separator=;", "FieldMapping=$Data;$Movimento", QStringLiteral("DateFormat=") + c.dateFormat });
        const QString csv = writeLines("n.csv", { QString::fromLatin1(c.date) + ";" + c.amount });
        ASSERT_EQ(engine.Import(table, hdr, csv, false), 1) << engine.Errors().join('\n').toStdString();
        table.First();
        EXPECT_EQ(dt::toDate(table.FieldByName("Data").AsDateTime()), c.expectedDate);
        EXPECT_DOUBLE_EQ(table.FieldByName("Movimento").AsFloat(), c.expectedAmount);
    }
}

TEST_F(ImportCsv, ErrorListNamesTheLineAndTheMessage)
{
    // Line 0 heading, 1 good, 2 bad date, 3 empty (skipped, still counted), 4 good, 5 impossible date.
    const QString hdr = writeLines(
        "e.hdr", { "HeaderRows=1", "Separator=;", "FieldMapping=$Data;$Commento", "DateFormat=dd/MM/yyyy" });
    const QString csv = writeLines(
        "e.csv", { "Data;Commento", "01/01/2024;a", "2024-01-02;b", "", "03/01/2024;c", "31/02/2024;d" });
    EXPECT_EQ(engine.Import(table, hdr, csv, false), 2);
    EXPECT_EQ(engine.Errors(),
        (QStringList { "Error in record 2: '2024-01-02' is not a valid date",
            "Error in record 5: '31/02/2024' is not a valid date" }));
    EXPECT_EQ(rowsOf(table, { "Commento" }), (QStringList { "a", "c" }));
    EXPECT_EQ(table.State(), TableState::Browse);

    // Reusing the object starts a new error list.
    const QString good = writeLines("g.csv", { "x", "01/01/2024;a" });
    EXPECT_EQ(engine.Import(table, hdr, good, true), 1);
    EXPECT_TRUE(engine.Errors().isEmpty());
}

TEST_F(ImportCsv, MappingFaultsFailEveryDataLine)
{
    struct Case {
        const char* mapping; // nullptr: no FieldMapping line
        QString failingItem;
    };
    const Case cases[] = {
        { nullptr, "" },
        { "$Data; $Commento", " $Commento" }, // a blank after the separator
        { "$Data;$Nessuno", "Nessuno" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mapping ? c.mapping : "(none)");
        QStringList lines { "HeaderRows=1", "Separator=;" };
        if (c.mapping)
            lines << QStringLiteral("FieldMapping=") + c.mapping;
        const QString hdr = writeLines("f.hdr", lines);
        const QString csv = writeLines("f.csv", { "heading", "01/01/2024;a", "", "   ", "02/01/2024;b" });
        EXPECT_EQ(engine.Import(table, hdr, csv, false), 0);
        const QString message = QStringLiteral("TabellaImport: Field '%1' not found").arg(c.failingItem);
        EXPECT_EQ(engine.Errors(),
            (QStringList { "Error in record 1: " + message, "Error in record 4: " + message }));
        EXPECT_EQ(table.RecordCount(), 0);
    }
}

TEST_F(ImportCsv, IgnoredColumnsAndOtherFieldTypes)
{
    RecordTable typed(QStringLiteral("Prova"));
    typed.AddField(QStringLiteral("Nome"), FieldType::String, 4);
    typed.AddField(QStringLiteral("Flag"), FieldType::Boolean);
    typed.AddField(QStringLiteral("Numero"), FieldType::Integer);
    typed.AddField(QStringLiteral("Piccolo"), FieldType::SmallInt);
    const QString hdr
        = writeLines("t.hdr", { "Separator=,", "FieldMapping=Nome,(IGNORE),$Flag,Numero,$Piccolo" });
    const QString csv = writeLines("t.csv",
        { "abcdef,skip,TRUE, 42 ,7", "x,skip,true,abc,8", "y,skip,True,1.5,9", "z,skip,yes,-3,10",
            "w,skip, true ,,x" }); // the last fails: SmallInt takes the text as it stands
    EXPECT_EQ(engine.Import(typed, hdr, csv, false), 4);
    EXPECT_EQ(rowsOf(typed, { "Nome", "Flag", "Numero", "Piccolo" }).size(), 4);
    typed.First();
    EXPECT_EQ(typed.FieldByName("Nome").AsString(), "abcd"); // cut to the field size
    const bool flags[] = { true, true, true, false };
    const int numbers[] = { 42, 0, 0, -3 };
    for (int i = 0; i < 4; ++i, typed.Next()) {
        EXPECT_EQ(typed.FieldByName("Flag").AsBoolean(), flags[i]) << i;
        EXPECT_EQ(typed.FieldByName("Numero").AsInteger(), numbers[i]) << i;
        EXPECT_EQ(typed.FieldByName("Piccolo").AsInteger(), 7 + i) << i;
    }
    ASSERT_EQ(engine.Errors().size(), 1);
    EXPECT_TRUE(engine.Errors()[0].startsWith("Error in record 4: 'x' is not a valid integer value"))
        << engine.Errors()[0].toStdString();
}

TEST_F(ImportCsv, AppendKeepsRowsAndFromZeroEmptiesTheTable)
{
    const QString hdr = writeLines("a.hdr", { "Separator=;", "FieldMapping=$Commento" });
    const QString csv = writeLines("a.csv", { "uno", "due" });
    table.Append();
    table.FieldByName("Commento").SetAsString("vecchio");
    table.Post();

    EXPECT_EQ(engine.Import(table, hdr, csv, true), 2);
    EXPECT_EQ(rowsOf(table, { "Commento" }), (QStringList { "vecchio", "uno", "due" }));
    EXPECT_EQ(engine.Import(table, hdr, csv, false), 2);
    EXPECT_EQ(rowsOf(table, { "Commento" }), (QStringList { "uno", "due" }));
}

TEST_F(ImportCsv, DuplicateTypeIsReportedAndTheRestIsAdded)
{
    RecordTable types(QStringLiteral("Tipologie"));
    declareTypes(types);
    addType(types, "Cibo", 1);
    const QString hdr
        = writeLines("Tipologie.hdr", { "Separator=,", "Delimiter=\"", "FieldMapping=$Tipologia,$Colore" });
    const QString csv
        = writeLines("ty.csv", { R"("Casa","2")", R"("Cibo","3")", R"("cibo","4")", R"("Svago","5")" });
    EXPECT_EQ(engine.Import(types, hdr, csv, true), 3);
    EXPECT_EQ(
        engine.Errors(), QStringList { "Error in record 1: Duplicate index value. Operation aborted." });
    EXPECT_EQ(types.RecordCount(), 4);
    ASSERT_TRUE(types.Locate("Tipologia", "Cibo"));
    EXPECT_EQ(types.FieldByName("Colore").AsInteger(), 1); // the existing row is untouched
}

TEST_F(ImportCsv, ReadsUtf8AndCp1252Files)
{
    const QString hdr = writeLines("u.hdr", { "Separator=;", "FieldMapping=$Commento;$Tipologia" });
    const QString expected = QString::fromUtf8("Caffè €|Città");
    struct Case {
        const char* name;
        QByteArray bytes;
    };
    const Case cases[] = {
        { "utf8", QByteArray("Caff\xC3\xA8 \xE2\x82\xAC;Citt\xC3\xA0\r\n") },
        { "bom",
            QByteArray("\xEF\xBB\xBF"
                       "Caff\xC3\xA8 \xE2\x82\xAC;Citt\xC3\xA0\r\n") },
        { "cp1252", QByteArray("Caff\xE8 \x80;Citt\xE0\r\n") },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(engine.Import(table, hdr, writeBytes("u.csv", c.bytes), false), 1);
        EXPECT_EQ(rowsOf(table, { "Commento", "Tipologia" }), QStringList { expected });
    }
    // A BOM with a heading: the mark is not part of the first line.
    const QString hdr2
        = writeLines("u2.hdr", { "HeaderRows=1", "Separator=;", "Delimiter=\"", "FieldMapping=$Commento" });
    EXPECT_EQ(engine.Import(table, hdr2, writeBytes("u2.csv", "\xEF\xBB\xBF\"h\"\r\n\"x\"\r\n"), false), 1);
    EXPECT_EQ(rowsOf(table, { "Commento" }), QStringList { "x" });
}

TEST_F(ImportCsv, MissingFilesRaiseBeforeAnyRow)
{
    const QString hdr = writeLines("m.hdr", { "FieldMapping=$Commento" });
    const QString csv = writeLines("m.csv", { "a" });
    EXPECT_THROW(engine.Import(table, path("none.hdr"), csv, true), std::runtime_error);
    EXPECT_THROW(engine.Import(table, hdr, path("none.csv"), true), std::runtime_error);
    EXPECT_EQ(table.RecordCount(), 0);
    EXPECT_TRUE(tmpEntries().isEmpty());
}

TEST_F(ImportCsv, ManyLinesAndTwoEnginesLeaveNoWorkingCopy)
{
    const QString hdr
        = writeLines("p.hdr", { "Separator=;", "Delimiter=\"", "FieldMapping=$Commento;$Movimento" });
    QStringList lines;
    for (int i = 0; i < 3000; ++i)
        lines << QStringLiteral("\"riga %1\";\"%1,5\"").arg(i);
    const QString csv = writeLines("p.csv", lines);
    ImportCSV other;
    RecordTable second(QStringLiteral("Seconda"));
    declareMovements(second);
    EXPECT_EQ(engine.Import(table, hdr, csv, false), 3000);
    EXPECT_EQ(other.Import(second, hdr, csv, false), 3000);
    table.Last();
    EXPECT_EQ(table.FieldByName("Commento").AsString(), "riga 2999");
    EXPECT_DOUBLE_EQ(table.FieldByName("Movimento").AsFloat(), 2999.5);
    EXPECT_TRUE(tmpEntries().isEmpty()) << tmpEntries().join(' ').toStdString();
}

TEST_F(ImportCsv, WorkingCopyIsPrivateUniqueAndRemoved)
{
    const QString csv = writeLines("w.csv", { "h", R"( "a" ; "b" )", "x;y", R"("c""d")" });
    CsvInterface layout = CsvInterface::fromLines({ "HeaderRows=1", "Separator=;", "Delimiter=\"" });
    QString firstName;
    {
        CsvWorkingCopy first(csv, layout);
        CsvWorkingCopy second(csv, layout);
        firstName = first.fileName();
        EXPECT_NE(first.fileName(), second.fileName());
        EXPECT_EQ(QFileInfo(first.fileName()).absolutePath(), QFileInfo(tmpFolder()).absoluteFilePath());
        struct stat st { };
        ASSERT_EQ(::stat(QFile::encodeName(first.fileName()).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u);
        // Heading lines stay as written; the others keep their enclosed fields only.
        QFile copied(first.fileName());
        ASSERT_TRUE(copied.open(QIODevice::ReadOnly));
        EXPECT_EQ(copied.readAll(), QByteArray("h\n\"a\";\"b\"\n\n\"c\"d\"\n"));
        QStringList lines;
        first.forEachLine([&](QStringView line) {
            lines << line.toString();
            return true;
        });
        EXPECT_EQ(lines, (QStringList { "h", R"("a";"b")", "", R"("c"d")" }));
        EXPECT_EQ(tmpEntries().size(), 2);
    }
    EXPECT_FALSE(QFileInfo::exists(firstName));
    EXPECT_TRUE(tmpEntries().isEmpty());
}
