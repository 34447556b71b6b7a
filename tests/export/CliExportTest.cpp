#include "ExportFixture.h"
#include "export/TableExport.h"
#include "storage/RecordTable.h"
#include "storage/TableFile.h"
#include "tabulon/RecordReader.h"

#include <QProcess>

using namespace contivo;
using contivo::testing::ExportFixture;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct CliRun {
    int code = -1;
    QString err;
};

CliRun cli(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(CONTIVO_APPDIR "/contivo-cli"), args);
    CliRun r;
    if (p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit)
        r.code = p.exitCode();
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

}

// The command line writes the same bytes as the program's exports, XLS through the library in the
// application folder's Libs.
using CliExport = ExportFixture;

TEST_F(CliExport, HtmlAndXlsOfATableFile)
{
    RecordTable t("Tipologie");
    t.AddField("Tipologia", FieldType::String, 16);
    t.AddField("Colore", FieldType::Integer);
    const QList<QPair<QString, int>> rows
        = { { QString::fromUtf8("Caffè <bar>"), 255 }, { "Affitto", 0xFFFFFF } };
    for (const auto& [name, colour] : rows) {
        t.Append();
        t.Fields(0).SetAsString(name);
        t.Fields(1).SetAsInteger(colour);
        t.Post();
    }
    const QString tableFile = out("Tipologie.DAT");
    TableFileFormat().Save(t, tableFile);

    ASSERT_EQ(cli({ "export", "--format", "html", tableFile, out("t.html") }).code, 0);
    EXPECT_EQ(readAll(out("t.html")), HtmlPage(t));

    const CliRun xls = cli({ "export", "--format", "xls", tableFile, out("t.xls") });
    ASSERT_EQ(xls.code, 0) << xls.err.toStdString();
    installLibrary(TABULON_FILE);
    EXPECT_EQ(WriteXls(t, out("direct.xls"), false), 2);
    EXPECT_EQ(readAll(out("t.xls")), readAll(out("direct.xls")));
    EXPECT_EQ(splitRecords([&] {
        const QByteArray b = readAll(out("t.xls"));
        return std::vector<std::uint8_t>(b.begin(), b.end());
    }())
                  .size(),
        12u);
}

TEST_F(CliExport, ErrorsAndBadArguments)
{
    struct Case {
        QStringList args;
        int code;
        const char* message;
    };
    const Case cases[] = {
        { { "export", "--format", "xls", out("missing.DAT"), out("x.xls") }, 1, "Cannot open file" },
        { { "export", "--format", "html", out("missing.DAT"), out("x.html") }, 1, "Cannot open file" },
        { { "export", "--format", "xls", out("only-one") }, 2, "usage" },
        { { "export", "--format", "pdf", out("a"), out("b") }, 2, "usage" },
    };
    for (const auto& c : cases) {
        const CliRun r = cli(c.args);
        EXPECT_EQ(r.code, c.code) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(c.message)) << r.err.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(out("x.xls")));
    EXPECT_FALSE(QFileInfo::exists(out("x.html")));
}
