// The month and situation commands of contivo-cli, run as a separate process over files that the
// import command writes.

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
struct Result {
    int code;
    QByteArray out;
    QString err;
};

Result runCli(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(CONTIVO_CLI), args);
    EXPECT_TRUE(p.waitForFinished(60000));
    return { p.exitCode(), p.readAllStandardOutput(), QString::fromUtf8(p.readAllStandardError()) };
}

class LedgerCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        year = dir.filePath("Tabelle/2024");
        ASSERT_TRUE(QDir().mkpath(year));
        importSide("Casa.IN",
            { R"("10/01/2024";"Stipendio";"Gennaio";"1.000,00")", R"("05/02/2024";"Regalo";"Zia";"50,00")",
                R"("20/02/2024";"Stipendio";"Febbraio";"1.000,00")" });
        importSide("Casa.OUT",
            { R"("10/01/2024";"Spesa";"Pane";"200,00")", R"("20/02/2024";"Casa";"Affitto";"700,00")" });
    }

    void importSide(const QString& name, const QStringList& rows)
    {
        const QString csv = dir.filePath(name + ".csv");
        QFile f(csv);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("Data;Tipologia;Commento;Movimento\r\n" + rows.join("\r\n").toLatin1() + "\r\n");
        f.close();
        const Result r = runCli({ "import", "--interface",
            QStringLiteral(CONTIVO_SOURCE_DIR "/resources/Interfacce/Movimenti.hdr"), "--csv", csv, "--year",
            "2024", year + "/" + name });
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
    }

    QTemporaryDir dir;
    QString year;
};
}

TEST_F(LedgerCli, MonthGivesOpeningTotalsClosingAndDayBalances)
{
    const Result r = runCli({ "month", "--data-dir", dir.path(), "--year", "2024", "--category", "Casa",
        "--month", "2" });
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QJsonObject m = QJsonDocument::fromJson(r.out).object();
    EXPECT_DOUBLE_EQ(m["opening"].toDouble(), 800);
    EXPECT_DOUBLE_EQ(m["income"].toDouble(), 1050);
    EXPECT_DOUBLE_EQ(m["expense"].toDouble(), 700);
    EXPECT_DOUBLE_EQ(m["closing"].toDouble(), 1150);
    const QJsonArray in = m["entrate"].toArray();
    ASSERT_EQ(in.size(), 2);
    EXPECT_EQ(in[0].toObject()["data"].toString(), "2024-02-05");
    EXPECT_EQ(in[0].toObject()["commento"].toString(), "Zia");
    EXPECT_DOUBLE_EQ(in[0].toObject()["saldo"].toDouble(), 850);
    // Income and expense of one day share the balance at the close of that day.
    EXPECT_DOUBLE_EQ(in[1].toObject()["saldo"].toDouble(), 1150);
    ASSERT_EQ(m["uscite"].toArray().size(), 1);
    EXPECT_DOUBLE_EQ(m["uscite"].toArray()[0].toObject()["saldo"].toDouble(), 1150);
    // The command only reads: no file appears besides the two sides and their CSV sources.
    EXPECT_EQ(QDir(year).entryList(QDir::Files).size(), 2);
}

TEST_F(LedgerCli, SituationListsOneRowPerDayUpToTheDate)
{
    const Result r = runCli({ "situation", "--data-dir", dir.path(), "--year", "2024", "--category", "Casa",
        "--date", "2024-02-10" });
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QJsonArray rows = QJsonDocument::fromJson(r.out).array();
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].toObject()["data"].toString(), "2024-01-10");
    EXPECT_DOUBLE_EQ(rows[0].toObject()["entrate"].toDouble(), 1000);
    EXPECT_DOUBLE_EQ(rows[0].toObject()["uscite"].toDouble(), 200);
    EXPECT_DOUBLE_EQ(rows[1].toObject()["saldo"].toDouble(), 850);
}

TEST_F(LedgerCli, BadArgumentsAndMissingFolder)
{
    const QStringList base { "--data-dir", dir.path(), "--year", "2024", "--category", "Casa" };
    EXPECT_EQ(runCli(QStringList { "month" } + base + QStringList { "--month", "13" }).code, 2);
    EXPECT_EQ(runCli(QStringList { "month" } + base).code, 2);
    EXPECT_EQ(runCli(QStringList { "situation" } + base + QStringList { "--date", "10/02/2024" }).code, 2);
    const Result missing = runCli({ "month", "--data-dir", dir.filePath("none"), "--year", "2024",
        "--category", "Casa", "--month", "1" });
    EXPECT_EQ(missing.code, 1);
    EXPECT_TRUE(missing.err.contains("folder not found"));
    EXPECT_FALSE(QDir(dir.filePath("none")).exists());
}
