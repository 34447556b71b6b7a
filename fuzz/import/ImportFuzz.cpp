// Fuzzes the interface reader and the import of a CSV file into a movement table.
// Input: interface text, a NUL byte, CSV bytes. Without a NUL byte the whole input is the CSV and
// the movement interface (semicolons, double quotes, one heading line) is used.
// Checks: no crash or hang, and every data line is either added or listed as an error.

#include "base/Cp1252.h"
#include "import/CsvInterface.h"
#include "import/CsvText.h"
#include "import/CsvWorkingCopy.h"
#include "import/ImportCSV.h"
#include "storage/RecordTable.h"
#include "storage/TDC.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

using namespace contivo;

namespace {

const QByteArray kMovimenti
    = "HeaderRows=1\r\nSeparator=;\r\nDelimiter=\"\r\n"
      "FieldMapping=$Data;$Tipologia;$Commento;$Movimento\r\nDateFormat=dd/MM/yyyy\r\n";

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    f.write(bytes);
}

// Data lines as the engine should see them: non-blank lines of the working copy after the headings.
int dataLines(const QString& csvPath, const CsvInterface& layout)
{
    CsvWorkingCopy copy(csvPath, layout);
    int headings = layout.headerRows;
    int lines = 0;
    copy.forEachLine([&](QStringView line) {
        if (csv::isBlankLine(line))
            return true;
        if (headings > 0)
            --headings;
        else
            ++lines;
        return true;
    });
    return lines;
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir;
    const QString hdrPath = dir.filePath(QStringLiteral("fuzz.hdr"));
    const QString csvPath = dir.filePath(QStringLiteral("fuzz.csv"));

    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qsizetype nul = input.indexOf('\0');
    const QByteArray hdr = nul < 0 ? kMovimenti : input.left(nul);
    const QByteArray csvBytes = nul < 0 ? input : input.mid(nul + 1);

    const CsvInterface layout = CsvInterface::fromLines(splitTextLines(cp1252::decode(hdr)));
    (void)layout.mappingItems();
    writeFile(hdrPath, hdr);
    writeFile(csvPath, csvBytes);

    RecordTable table(QStringLiteral("TabellaImport"));
    TDC::DeclareMovementFields(table);
    ImportCSV engine;
    const int added = engine.Import(table, hdrPath, csvPath, false);
    if (added != table.RecordCount() || added + engine.Errors().size() != dataLines(csvPath, layout)) {
        std::fprintf(stderr, "added %d, errors %lld, rows %d, data lines %d\n", added,
            static_cast<long long>(engine.Errors().size()), table.RecordCount(), dataLines(csvPath, layout));
        std::abort();
    }
    return 0;
}
