#include "cli/CliIo.h"
#include "cli/Commands.h"
#include "import/ImportCSV.h"
#include "storage/TDC.h"
#include "storage/TableFile.h"

#include <QFileInfo>

namespace contivo::cli {

// import --interface HDR --csv FILE [--append] [--year YEAR] TABLEFILE
// Reads a CSV file into a movement table and saves it; with --append the existing table file is
// loaded first, with --year only that year's rows are kept (their month set from the date).
int cmdImport(const QStringList& raw)
{
    const Args args(raw, { "interface", "csv", "year" }, { "append" });
    if (!args.ok() || args.positional().size() != 1 || !args.value("interface") || !args.value("csv"))
        return 2;
    std::optional<int> year;
    if (const auto text = args.value("year")) {
        bool ok = false;
        year = text->toInt(&ok);
        if (!ok)
            return 2;
    }
    const QString tableFile = args.positional().first();
    const bool append = args.flag("append");

    try {
        RecordTable table(QStringLiteral("TabellaImport"));
        TDC::DeclareMovementFields(table);
        const TableFileFormat format;
        if (append && QFileInfo::exists(tableFile))
            format.Load(table, tableFile);

        ImportCSV engine;
        int count = engine.Import(table, *args.value("interface"), *args.value("csv"), append);
        if (year)
            count = FiltraAnno(table, *year, count);
        format.Save(table, tableFile);

        printOut(QStringLiteral("imported %1").arg(count));
        for (const QString& error : engine.Errors())
            printOut(error);
        return 0;
    } catch (const std::exception& e) {
        printErr(QString::fromUtf8(e.what()));
        return 1;
    }
}

}
