#include "import/CsvWorkingCopy.h"
#include "import/ImportCSV.h"
#include "import/ImportTestSupport.h"

#include <QFile>

#include <random>

using namespace contivo;
using contivo::testing::CsvFixture;

namespace {

// The copy built the straightforward way, from the whole decoded text at once: the piecewise
// copy must give exactly these bytes whatever its piece size.
QByteArray wholeTextCopy(const QByteArray& source, const CsvInterface& layout)
{
    QString out;
    qsizetype index = 0;
    csv::forEachLine(csv::decodeCsvBytes(source), [&](QStringView line) {
        if (layout.delimiter && index >= layout.headerRows)
            csv::normaliseLine(line, *layout.delimiter, layout.separator, out);
        else
            out.append(line);
        out.append(QLatin1Char('\n'));
        ++index;
        return true;
    });
    return out.toUtf8();
}

QStringList linesOf(const QString& text)
{
    QStringList lines;
    csv::forEachLine(text, [&](QStringView line) {
        lines << line.toString();
        return true;
    });
    return lines;
}

const CsvInterface kEnclosed = CsvInterface::fromLines({ "HeaderRows=1", "Separator=;", "Delimiter=\"" });
const CsvInterface kBare = CsvInterface::fromLines({ "HeaderRows=1", "Separator=;" });
// Marks outside ASCII take the route through UTF-16 rather than the one on bytes.
const CsvInterface kGuillemets = CsvInterface::fromLines(
    { "HeaderRows=0", QString::fromUtf8("Separator=\u00A7"), QString::fromUtf8("Delimiter=\u00AB") });

}

class CsvWorkingCopyPieces : public CsvFixture {
protected:
    QByteArray copiedBytes(const CsvWorkingCopy& copy)
    {
        QFile f(copy.fileName());
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    }
    static QStringList readBack(CsvWorkingCopy& copy)
    {
        QStringList lines;
        copy.forEachLine([&](QStringView line) {
            lines << line.toString();
            return true;
        });
        return lines;
    }
    // Checks the copy of source at the given piece size against the whole-text copy, both as the
    // file's bytes and as the lines read back.
    void expectSameAsWholeText(const QByteArray& source, const CsvInterface& layout, qsizetype pieceBytes)
    {
        const QString csv = writeBytes(QStringLiteral("s.csv"), source);
        const QByteArray expected = wholeTextCopy(source, layout);
        CsvWorkingCopy copy(csv, layout, pieceBytes);
        EXPECT_EQ(copiedBytes(copy), expected)
            << "source " << source.toHex().constData() << ", piece " << pieceBytes;
        EXPECT_EQ(readBack(copy), linesOf(QString::fromUtf8(expected)))
            << "source " << source.toHex().constData() << ", piece " << pieceBytes;
    }
};

TEST_F(CsvWorkingCopyPieces, CharactersAndLineBreaksAcrossPieceBoundaries)
{
    // Two-, three- and four-byte UTF-8 characters and a CR LF fall on every possible piece
    // boundary as the piece size runs from one byte up; the result never changes.
    const QByteArray utf8 = "\"Data\"\r\n \"\xC3\xA8\" ; \"\xE2\x82\xAC\xF0\x9F\x98\x80\"\r\n\"a\"\"b\"\r\n";
    const QByteArray cp1252 = "Data\r\nabcdefgh\xE8;\x80xyz\rlast";
    for (qsizetype piece = 1; piece <= 40; ++piece) {
        const QString csv = writeBytes(QStringLiteral("u.csv"), utf8);
        CsvWorkingCopy copy(csv, kEnclosed, piece);
        EXPECT_EQ(copiedBytes(copy),
            QByteArray("\"Data\"\n\"\xC3\xA8\";\"\xE2\x82\xAC\xF0\x9F\x98\x80\"\n\"a\"b\"\n"))
            << piece;
        EXPECT_EQ(readBack(copy), (QStringList { "\"Data\"", QString::fromUtf8("\"è\";\"€😀\""), "\"a\"b\"" }))
            << piece;

        const QString plain = writeBytes(QStringLiteral("c.csv"), cp1252);
        CsvWorkingCopy bare(plain, kBare, piece);
        EXPECT_EQ(copiedBytes(bare), QByteArray("Data\nabcdefgh\xC3\xA8;\xE2\x82\xACxyz\nlast\n")) << piece;
        EXPECT_EQ(readBack(bare), (QStringList { "Data", QString::fromUtf8("abcdefghè;€xyz"), "last" }))
            << piece;
    }
}

TEST_F(CsvWorkingCopyPieces, LinesLongerThanAPieceAndEarlyStop)
{
    const QByteArray longLine = QByteArray(5000, 'x') + "\xE8";
    const QString csv = writeBytes(QStringLiteral("l.csv"), "h\r\n" + longLine + "\r\n\r\n" + longLine);
    CsvWorkingCopy copy(csv, kBare, 64);
    const QString decoded = QString(5000, QLatin1Char('x')) + QChar(0xE8);
    EXPECT_EQ(readBack(copy), (QStringList { "h", decoded, "", decoded }));

    int calls = 0;
    copy.forEachLine([&](QStringView) { return ++calls < 2; });
    EXPECT_EQ(calls, 2);
}

TEST_F(CsvWorkingCopyPieces, EdgeFilesMatchTheWholeTextCopy)
{
    const QByteArray sources[] = {
        "",
        "\xEF\xBB\xBF",
        "\xEF\xBB\xBF\xEF\xBB\xBFh\n\xEF\xBB\xBF\"a\"\n",
        "\xEF\xBB\xBF\xEF\xBB\xBF\xEF\xBB\xBFh\r\n\xEF\xBB\xBF\xEF\xBB\xBFx\n",
        "\"\xF0\x9F\x98\x80\n\"a\xF0\x9F\x98\x80\n\"\xC3\xA8\xF0\x9F\x98\x80", // unclosed: a pair is cut
        "\xEF\xBB\xBF"
        "a\xE2\x82\nb\xC3\r\n\xFF;\"x\"\n\"\xF0\x9F\x98", // marked but invalid UTF-8
        "\r\n\r\n\r",
        "\"open;\"x\r\"\"\"\"\n\"a\"\";\"b\"",
    };
    for (const QByteArray& source : sources)
        for (const qsizetype piece : { 1, 2, 3, 5, 8, 1 << 20 })
            for (const CsvInterface* layout : { &kEnclosed, &kBare, &kGuillemets })
                expectSameAsWholeText(source, *layout, piece);
}

TEST_F(CsvWorkingCopyPieces, RandomFilesMatchTheWholeTextCopy)
{
    // Fragments that stress decoding and line splitting: valid and broken UTF-8, cp1252-only bytes,
    // byte-order marks inside the text, every kind of line break, delimiters and separators.
    const QByteArray valid[] = { "ab", "abcdefghij", ";", "\"", "\"\"", " ", "\r", "\n", "\r\n", "\xC3\xA8",
        "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\xEF\xBB\xBF", "\xC2\xAB", "\xC2\xA7" };
    const QByteArray broken[]
        = { "\xE2\x82", "\xFF", "\x80", "\x9D", "\xC3", "\xED\xA0\x80", "\xAB", "\xA7" };
    const CsvInterface* const layouts[] = { &kEnclosed, &kBare, &kGuillemets };
    std::mt19937 random(20261211);
    for (int n = 0; n < 300; ++n) {
        QByteArray source = random() % 3 == 0 ? "\xEF\xBB\xBF" : "";
        const bool withBroken = random() % 2 == 0;
        const int fragments = static_cast<int>(random() % 40);
        for (int i = 0; i < fragments; ++i) {
            if (withBroken && random() % 4 == 0)
                source += broken[random() % std::size(broken)];
            else
                source += valid[random() % std::size(valid)];
        }
        const qsizetype piece = static_cast<qsizetype>(1 + random() % 9);
        expectSameAsWholeText(source, *layouts[random() % std::size(layouts)], piece);
    }
}

TEST_F(CsvWorkingCopyPieces, LargeFileWhoseFirstNonAsciiLineComesLate)
{
    // Megabytes of ASCII before the first non-ASCII line: the copy has already let go of the
    // pages it read when that line settles the encoding (UTF-8 here, cp1252 in the second file).
    QByteArray ascii;
    QByteArray expected;
    for (int i = 0; ascii.size() < 9 * 1024 * 1024; ++i) {
        const QByteArray line = "riga " + QByteArray::number(i) + ";\"valore\";" + QByteArray(40, 'x');
        ascii += line + "\r\n";
        expected += line + "\n";
    }
    const QString utf8 = writeBytes(QStringLiteral("big8.csv"), ascii + "caff\xC3\xA8\r\nfine");
    CsvWorkingCopy fromUtf8(utf8, kBare);
    EXPECT_TRUE(copiedBytes(fromUtf8) == expected + "caff\xC3\xA8\nfine\n");

    const QString cp1252 = writeBytes(QStringLiteral("big1252.csv"), ascii + "caff\xE8\r\nfine");
    CsvWorkingCopy fromCp1252(cp1252, kBare);
    EXPECT_TRUE(copiedBytes(fromCp1252) == expected + "caff\xC3\xA8\nfine\n");
}

TEST_F(CsvWorkingCopyPieces, ImportCountsLinesAcrossPieces)
{
    // More than a piece of lines, every seventh with a bad date: each error names its own line,
    // also past the first piece of the source and of the copy.
    const QString hdr = writeLines(
        "n.hdr", { "HeaderRows=1", "Separator=;", "FieldMapping=$Data;$Commento", "DateFormat=dd/MM/yyyy" });
    QStringList lines { "Data;Commento" };
    QStringList expectedErrors;
    const QString filler(997, QLatin1Char('z'));
    int good = 0;
    for (int i = 1; i <= 1200; ++i) {
        if (i % 7 == 3) {
            lines << QStringLiteral("2024-01-02;%1").arg(filler);
            expectedErrors << QStringLiteral("Error in record %1: '2024-01-02' is not a valid date").arg(i);
        } else {
            lines << QStringLiteral("%1/01/2024;%2 %3").arg(i % 28 + 1).arg(i).arg(filler);
            ++good;
        }
    }
    const QString csv = writeLines("n.csv", lines);
    ASSERT_GT(QFileInfo(csv).size(), CsvWorkingCopy::kPieceBytes);
    RecordTable table(QStringLiteral("TabellaImport"));
    declareMovements(table);
    ImportCSV engine;
    EXPECT_EQ(engine.Import(table, hdr, csv, false), good);
    EXPECT_EQ(engine.Errors(), expectedErrors);
    EXPECT_EQ(table.RecordCount(), good);
    EXPECT_TRUE(tmpEntries().isEmpty());
}
