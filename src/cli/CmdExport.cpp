#include "cli/CliIo.h"
#include "cli/Commands.h"

namespace contivo::cli {

// Each format has its own file; this only routes by --format.
int cmdExportCsv(const Args& args);
int cmdExportHtml(const Args& args);
int cmdExportXls(const Args& args);

int cmdExport(const QStringList& raw)
{
    const Args args(raw, {"format", "interface"});
    if (!args.ok() || args.positional().size() != 2)
        return 2;
    const QString format = args.value("format").value_or(QString());
    if (format == QLatin1String("csv"))
        return cmdExportCsv(args);
    if (format == QLatin1String("html"))
        return cmdExportHtml(args);
    if (format == QLatin1String("xls"))
        return cmdExportXls(args);
    return 2;
}

}
