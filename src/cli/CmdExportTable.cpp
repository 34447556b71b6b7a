#include "cli/CliIo.h"
#include "export/TableExport.h"
#include "storage/RecordTable.h"
#include "storage/TableFile.h"

#include <QFileInfo>

#include <functional>

namespace contivo::cli {

namespace {

// Loads the table file and hands the table to the writer; errors go to stderr with exit code 1.
int exportTable(const Args& args, const std::function<void(RecordTable&, const QString&)>& write)
{
    const QString tableFile = args.positional().at(0);
    const QString out = args.positional().at(1);
    try {
        if (!QFileInfo(tableFile).isFile())
            throw std::runtime_error(QStringLiteral("Cannot open file \"%1\".").arg(tableFile).toStdString());
        RecordTable table(QFileInfo(tableFile).completeBaseName());
        TableFileFormat().Load(table, tableFile);
        write(table, out);
        return 0;
    } catch (const std::exception& e) {
        printErr(QString::fromUtf8(e.what()));
        return 1;
    }
}

}

// export --format html TABLEFILE OUT: the table's HTML page, as the table windows write it.
int cmdExportHtml(const Args& args)
{
    return exportTable(args, [](RecordTable& table, const QString& out) { WriteHtml(table, out); });
}

// export --format xls TABLEFILE OUT: the spreadsheet written through the library in the
// application folder's Libs, with field names as headings, as the table windows write it.
int cmdExportXls(const Args& args)
{
    return exportTable(args, [](RecordTable& table, const QString& out) { WriteXls(table, out, false); });
}

}
