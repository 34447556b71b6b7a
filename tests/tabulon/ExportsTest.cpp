#include "RecordReader.h"
#include "tabulon/Tabulon.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <set>

namespace {

std::vector<std::uint8_t> readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray b = f.readAll();
    return std::vector<std::uint8_t>(b.begin(), b.end());
}

std::vector<XlsRecord> fileRecords(const QString& path)
{
    bool complete = false;
    auto r = splitRecords(readFile(path), &complete);
    EXPECT_TRUE(complete) << path.toStdString();
    return r;
}

class TabulonExports : public ::testing::Test {
protected:
    void TearDown() override { _XlsDeinit(); }
    std::string path(const char* name) const { return dir.filePath(name).toStdString(); }
    QTemporaryDir dir;
};

const char kHeading[] = "BorderLeft,BorderRight,BorderTop,BorderBottom,Shaded";
const char kData[] = "BorderLeft,BorderRight,BorderTop,BorderBottom";
const char kBold[] = "MS Sans Serif,8,Bold,";
const char kRegular[] = "MS Sans Serif,8,";

}

TEST_F(TabulonExports, TableExportWritesTheExpectedRecordSequence)
{
    const std::string file = path("Tipologie.xls");
    ASSERT_TRUE(_XlsInit(file.c_str()));
    _AddStringCell(1, 1, kHeading, kBold, 0, "Tipologia");
    _AddStringCell(1, 2, kHeading, kBold, 0, "Colore");
    _AddStringCell(2, 1, kData, kRegular, 0, "Spesa");
    _AddIntegerCell(2, 2, kData, kRegular, 0, 12);
    ASSERT_TRUE(_SaveToFile(file.c_str()));
    ASSERT_TRUE(_XlsDeinit());

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
    EXPECT_EQ(fileRecords(dir.filePath("Tipologie.xls")), expected);
}

TEST_F(TabulonExports, EmptySheetIsFourRecordsByteForByte)
{
    const std::string file = path("empty.xls");
    _XlsInit(file.c_str());
    ASSERT_TRUE(_SaveToFile(file.c_str()));
    const std::vector<std::uint8_t> expected {
        0x09, 0x08, 0x06, 0x00, 0x00, 0x02, 0x10, 0x00, 0x00, 0x00, // BOF
        0x00, 0x02, 0x0A, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, // DIMENSIONS
        0x31, 0x00, 0x12, 0x00, 0xA0, 0x00, 0x00, 0x00, 0x0D, 'M', 'S', ' ', 'S', 'a', 'n', 's', ' ', 'S',
        'e', 'r', 'i', 'f', // FONT
        0x0A, 0x00, 0x00, 0x00 // EOF
    };
    EXPECT_EQ(readFile(dir.filePath("empty.xls")), expected);
}

TEST_F(TabulonExports, LongTextFifthFontAndColumnWidth)
{
    const std::string file = path("limits.xls");
    _XlsInit(file.c_str());
    ASSERT_TRUE(_SetColumnWidth(3, 12));
    const std::string longText(300, 'x');
    _AddStringCell(1, 1, "", "A,8,", 0, longText.c_str());
    _AddStringCell(1, 2, "", "B,8,", 0, "b");
    _AddStringCell(1, 3, "", "C,8,", 0, "c");
    _AddStringCell(1, 4, "", "D,8,", 0, "d"); // fifth font: not written, default used
    _AddDoubleCell(1, 5, "", "c,8,", -1, 2.5);
    _SaveToFile(file.c_str());

    const auto bytes = readFile(dir.filePath("limits.xls"));
    const std::vector<std::uint8_t> colwidth { 0x24, 0x00, 0x04, 0x00, 0x02, 0x02, 0x00, 0x0C };
    ASSERT_GE(bytes.size(), 24u + 22u + colwidth.size());
    EXPECT_TRUE(std::equal(colwidth.begin(), colwidth.end(), bytes.begin() + 24 + 22));

    const auto r = splitRecords(bytes);
    std::vector<std::uint16_t> numbers = recordNumbers(r);
    EXPECT_EQ(numbers,
        (std::vector<std::uint16_t> { 0x0809, 0x0200, 0x0031, 0x0024, 0x0031, 0x0004, 0x0031, 0x0004, 0x0031,
            0x0004, 0x0004, 0x0003, 0x000A }));
    EXPECT_EQ(r[5], labelRecord(0, 0, 0x40, 0x40, 0x00, std::string(255, 'x')));
    EXPECT_EQ(r[9], labelRecord(0, 2, 0x40, 0xC0, 0x00, "c"));
    EXPECT_EQ(r[10], labelRecord(0, 3, 0x40, 0x00, 0x00, "d"));
    EXPECT_EQ(r[11].data[5], 0xC0); // "c,8," is the same text as "C,8," in another case
    EXPECT_EQ(numberValue(r[11]), 2.5);
}

TEST_F(TabulonExports, StateAfterSaveAndASecondSave)
{
    const std::string file = path("state.xls");
    EXPECT_FALSE(_IsFileOpened());
    _XlsInit(file.c_str());
    EXPECT_TRUE(_IsFileOpened());
    _AddStringCell(1, 1, "", "A,8,", 0, "a");
    ASSERT_TRUE(_SaveToFile(file.c_str()));
    EXPECT_FALSE(_IsFileOpened());

    ASSERT_TRUE(_Save());
    EXPECT_EQ(fileRecords(dir.filePath("state.xls")), (std::vector<XlsRecord> { kBof, kDimensions, kEof }));

    // The font list survives the save: the known text selects its number without a FONT record.
    _AddStringCell(4, 2, "", "a,8,", 0, "again");
    EXPECT_TRUE(_IsFileOpened());
    ASSERT_TRUE(_Save());
    EXPECT_EQ(fileRecords(dir.filePath("state.xls")),
        (std::vector<XlsRecord> { kBof, kDimensions, labelRecord(3, 1, 0x40, 0x40, 0x00, "again"), kEof }));
}

TEST_F(TabulonExports, SaveForcesTheXlsExtensionAndReplacesTheFile)
{
    const std::string asked = path("out.csv");
    _XlsInit(asked.c_str());
    _AddDoubleCell(1, 1, "", "", -1, 1.25);
    ASSERT_TRUE(_SaveToFile(asked.c_str()));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("out.csv")));
    ASSERT_TRUE(QFileInfo::exists(dir.filePath("out.XLS")));

    QFile old(dir.filePath("keep.xls"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(5000, 'z'));
    old.close();
    _XlsInit(path("keep.xls").c_str());
    ASSERT_TRUE(_Save());
    EXPECT_EQ(readFile(dir.filePath("keep.xls")).size(), 10u + 14u + 22u + 4u);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), (QStringList { "keep.xls", "out.XLS" }))
        << "no temporary file may be left behind";
}

TEST_F(TabulonExports, UnwritableFileIsReportedAndLeavesNothing)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.xls"));
    struct Case {
        std::string path;
        int error;
    };
    const Case cases[] = {
        { path("missing/out.xls"), ENOENT },
        { path("folder.xls"), EISDIR },
    };
    for (const auto& c : cases) {
        _XlsInit(c.path.c_str());
        _AddStringCell(1, 1, "", "", 0, "x");
        errno = 0;
        EXPECT_FALSE(_SaveToFile(c.path.c_str())) << c.path;
        EXPECT_EQ(errno, c.error) << c.path;
        _XlsDeinit();
    }
    EXPECT_EQ(
        QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList { "folder.xls" });
}

TEST_F(TabulonExports, CallsWithoutAWorkbookDoNothing)
{
    _XlsDeinit();
    EXPECT_FALSE(_AddStringCell(1, 1, "", "", 0, "x"));
    EXPECT_FALSE(_AddIntegerCell(1, 1, "", "", 0, 1));
    EXPECT_FALSE(_AddDoubleCell(1, 1, "", "", -1, 1.0));
    EXPECT_FALSE(_SaveToFile(path("none.xls").c_str()));
    EXPECT_FALSE(_Save());
    EXPECT_FALSE(_ProtectSheet(1));
    EXPECT_EQ(_SetLeftMargin(1.0), 8);
    EXPECT_FALSE(_IsFileOpened());
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("none.xls")));
    // Null texts are read as empty ones.
    _XlsInit(path("null.xls").c_str());
    EXPECT_TRUE(_AddStringCell(1, 1, nullptr, nullptr, 0, nullptr));
    ASSERT_TRUE(_Save());
    EXPECT_EQ(fileRecords(dir.filePath("null.xls"))[3], labelRecord(0, 0, 0x40, 0x00, 0x00, ""));
}

TEST_F(TabulonExports, SheetSettingsReturnTheirResults)
{
    const std::string file = path("settings.xls");
    _XlsInit(file.c_str());
    EXPECT_TRUE(_SetColumnsWidth(1, 2, 10));
    EXPECT_TRUE(_SetColumnsWidth(0, 300, 10)); // outside the sheet: accepted, nothing written
    EXPECT_TRUE(_SetPrintHeader("H"));
    EXPECT_TRUE(_SetPrintFooter("F"));
    EXPECT_EQ(_SetLeftMargin(0.5), 8);
    EXPECT_EQ(_SetRightMargin(0.5), 8);
    EXPECT_EQ(_SetTopMargin(1.0), 8);
    EXPECT_EQ(_SetBottomMargin(1.0), 8);
    EXPECT_TRUE(_ProtectSheet(7));
    ASSERT_TRUE(_Save());
    EXPECT_EQ(recordNumbers(fileRecords(dir.filePath("settings.xls"))),
        (std::vector<std::uint16_t> { 0x0809, 0x0200, 0x0031, 0x0024, 0x0014, 0x0015, 0x0026, 0x0027, 0x0028,
            0x0029, 0x0012, 0x000A }));
    EXPECT_EQ(fileRecords(dir.filePath("settings.xls"))[10], (XlsRecord { 0x0012, { 0x01, 0x00 } }));
}

TEST(TabulonLibrary, ExportsExactlyItsInterfaceNames)
{
    QProcess nm;
    nm.start("nm", { "-D", "--defined-only", TABULON_LIBRARY_FILE });
    if (!nm.waitForFinished(30000) || nm.exitCode() != 0)
        GTEST_SKIP() << "nm is not available to list the library's symbols";
    std::set<std::string> names;
    for (const QByteArray& line : nm.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> parts = line.simplified().split(' ');
        if (parts.size() == 3)
            names.insert(parts[2].toStdString());
    }
    const std::set<std::string> expected { "_XlsInit", "_XlsDeinit", "_SaveToFile", "_Save", "_AddStringCell",
        "_AddDoubleCell", "_AddIntegerCell", "_SetColumnWidth", "_SetColumnsWidth", "_SetPrintHeader",
        "_SetPrintFooter", "_SetLeftMargin", "_SetRightMargin", "_SetTopMargin", "_SetBottomMargin",
        "_ProtectSheet", "_IsFileOpened" };
    EXPECT_EQ(names, expected);
}

// A real reader: Debian's xlrd must read back every cell the library wrote.
TEST_F(TabulonExports, XlrdReadsEveryCell)
{
    const QString python = "/usr/bin/python3";
    QProcess probe;
    probe.start(python, { "-c", "import xlrd" });
    if (!probe.waitForFinished(30000) || probe.exitStatus() != QProcess::NormalExit || probe.exitCode() != 0)
        GTEST_SKIP() << "python3-xlrd is missing under /usr/bin/python3 (scripts/deps installs it)";

    const std::string file = path("real.xls");
    _XlsInit(file.c_str());
    const char* names[] = { "Data", "Tipologia", "Commento", "Movimento", "Colore" };
    for (int c = 0; c < 5; ++c)
        _AddStringCell(1, c + 1, kHeading, kBold, 0, names[c]);
    struct Row {
        const char* date;
        const char* type;
        const char* comment; // cp1252 bytes
        double amount;
        int colour;
    };
    const Row rows[] = {
        { "01/02/2024", "Spesa", "Caff\xE8 & cornetto \x80 2", -3.5, 255 },
        { "15/02/2024", "Stipendio", "", 1234.56, 0xFFFFFF },
        { "29/02/2024", "Affitto", "<b>\"quoted\"</b>", -700.0, -1 },
    };
    int r = 2;
    for (const auto& row : rows) {
        _AddStringCell(r, 1, kData, kRegular, 0, row.date);
        _AddStringCell(r, 2, kData, kRegular, 0, row.type);
        _AddStringCell(r, 3, kData, kRegular, 0, row.comment);
        _AddDoubleCell(r, 4, kData, kRegular, -1, row.amount);
        _AddIntegerCell(r, 5, kData, kRegular, 0, row.colour);
        ++r;
    }
    ASSERT_TRUE(_SaveToFile(file.c_str()));

    const char* script = R"(
import json, sys, xlrd
book = xlrd.open_workbook(sys.argv[1], encoding_override='cp1252')
sheet = book.sheet_by_index(0)
print(json.dumps([[{'t': sheet.cell_type(r, c), 'v': sheet.cell_value(r, c)} for c in range(sheet.ncols)]
                  for r in range(sheet.nrows)]))
)";
    QProcess py;
    py.start(python, { "-c", script, QString::fromStdString(file) });
    ASSERT_TRUE(py.waitForFinished(60000));
    ASSERT_EQ(py.exitCode(), 0) << py.readAllStandardError().toStdString();
    const QJsonArray sheet = QJsonDocument::fromJson(py.readAllStandardOutput()).array();
    ASSERT_EQ(sheet.size(), 4);
    const int textType = 1, numberType = 2;
    for (int c = 0; c < 5; ++c) {
        const QJsonObject cell = sheet[0].toArray()[c].toObject();
        EXPECT_EQ(cell["t"].toInt(), textType);
        EXPECT_EQ(cell["v"].toString(), QString(names[c]));
    }
    for (int i = 0; i < 3; ++i) {
        const QJsonArray cells = sheet[i + 1].toArray();
        ASSERT_EQ(cells.size(), 5);
        const auto text = [&](int c) { return cells[c].toObject()["v"].toString(); };
        const auto number = [&](int c) {
            EXPECT_EQ(cells[c].toObject()["t"].toInt(), numberType) << "row " << i << " column " << c;
            return cells[c].toObject()["v"].toDouble();
        };
        EXPECT_EQ(text(0), QString(rows[i].date));
        EXPECT_EQ(text(1), QString(rows[i].type));
        EXPECT_EQ(text(2), QString::fromLatin1(rows[i].comment).replace(QChar(0x80), QChar(0x20AC)));
        EXPECT_EQ(number(3), rows[i].amount);
        EXPECT_EQ(number(4), double(rows[i].colour));
    }
}
