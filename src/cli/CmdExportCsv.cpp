#include "cli/CliIo.h"
#include "import/ImportCSV.h"
#include "storage/RecordTable.h"
#include "storage/TableFile.h"

#include <QFileInfo>

namespace contivo::cli {

// export --format csv [--interface HDR] TABLEFILE OUT: the table file written as CSV through the
// interface (the export defaults when none is given or the file is missing).
int cmdExportCsv(const Args& args)
{
    const QString tableFile = args.positional().at(0);
    const QString out = args.positional().at(1);
    try {
        if (!QFileInfo(tableFile).isFile())
            throw std::runtime_error(QStringLiteral("Cannot open file \"%1\".").arg(tableFile).toStdString());
        RecordTable table(QFileInfo(tableFile).completeBaseName());
        TableFileFormat().Load(table, tableFile);
        ImportCSV::Export(table, args.value("interface").value_or(QString()), out);
        return 0;
    } catch (const std::exception& e) {
        printErr(QString::fromUtf8(e.what()));
        return 1;
    }
}

}
