// The import and CSV export commands of contivo-cli, run as a separate process.

#include "import/ImportTestSupport.h"
#include "storage/TableFile.h"

#include <QFileInfo>
#include <QProcess>

using namespace contivo;
using contivo::testing::CsvFixture;

namespace {
struct Result {
    int code;
    QString out;
    QString err;
};

Result runCli(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(CONTIVO_CLI), args);
    EXPECT_TRUE(p.waitForFinished(60000));
    return { p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
        QString::fromUtf8(p.readAllStandardError()) };
}

QStringList comments(const QString& tableFile)
{
    RecordTable t(QStringLiteral("T"));
    TableFileFormat().Load(t, tableFile);
    QStringList out;
    for (t.First(); !t.Eof(); t.Next())
        out << t.FieldByName("Commento").AsString() + "/"
                + QString::number(t.FieldByName("Mese").AsInteger());
    return out;
}
}

class CliImport : public CsvFixture { };

TEST_F(CliImport, ImportsAppendsFiltersTheYearAndExports)
{
    const QString hdr = QStringLiteral(CONTIVO_SOURCE_DIR "/resources/Interfacce/Movimenti.hdr");
    const QString csv = writeLines("m.csv",
        { R"("Data";"Tipo";"Commento";"Importo")", R"("15/03/2024";"Spesa";"Pane";"1.234,50")",
            R"("bad";"x";"y";"1")", R"("02/01/2023";"Vecchio";"z";"5")" });
    const QString table = path("Casa.OUT");

    Result r = runCli({ "import", "--interface", hdr, "--csv", csv, "--year", "2024", table });
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "imported 1\nError in record 2: 'bad' is not a valid date\n");
    EXPECT_EQ(comments(table), QStringList { "Pane/3" });

    r = runCli({ "import", "--interface", hdr, "--csv", csv, "--append", table });
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith("imported 2\n"));
    EXPECT_EQ(comments(table), (QStringList { "Pane/3", "Pane/0", "z/0" }));

    // Without --append the file is replaced by the import alone.
    r = runCli({ "import", "--interface", hdr, "--csv", csv, table });
    EXPECT_EQ(comments(table), (QStringList { "Pane/0", "z/0" }));

    const QString out = path("out.csv");
    r = runCli({ "export", "--format", "csv", table, out });
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(readText(out),
        "\"15/03/2024\",\"Spesa\",\"Pane\",\"1234,5\",\"\",\"\"\r\n"
        "\"02/01/2023\",\"Vecchio\",\"z\",\"5\",\"\",\"\"\r\n");
    const QString semi = writeLines("semi.hdr", { "Separator=;" });
    r = runCli({ "export", "--format", "csv", "--interface", semi, table, out });
    EXPECT_TRUE(readText(out).startsWith("15/03/2024;Spesa;Pane;1234,5;;\r\n"));
}

TEST_F(CliImport, MissingFilesWriteNothing)
{
    const QString hdr = QStringLiteral(CONTIVO_SOURCE_DIR "/resources/Interfacce/Movimenti.hdr");
    const QString csv = writeLines("m.csv", { "h", R"("01/01/2024";"a";"b";"1")" });
    const QString table = path("x.OUT");
    struct Case {
        QStringList args;
        int code;
    };
    const Case cases[] = {
        { { "import", "--interface", path("none.hdr"), "--csv", csv, table }, 1 },
        { { "import", "--interface", hdr, "--csv", path("none.csv"), table }, 1 },
        { { "import", "--interface", hdr, table }, 2 },
        { { "import", "--interface", hdr, "--csv", csv, "--year", "x", table }, 2 },
        { { "export", "--format", "csv", path("none.OUT"), path("o.csv") }, 1 },
    };
    for (const Case& c : cases) {
        const Result r = runCli(c.args);
        EXPECT_EQ(r.code, c.code) << c.args.join(' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty());
        EXPECT_FALSE(QFileInfo::exists(table));
        EXPECT_FALSE(QFileInfo::exists(path("o.csv")));
    }
}
