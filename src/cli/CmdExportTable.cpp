#include "cli/CliIo.h"

namespace contivo::cli {

int cmdExportHtml(const Args&)
{
    printErr(QStringLiteral("export html: not available in this build yet"));
    return 1;
}

int cmdExportXls(const Args&)
{
    printErr(QStringLiteral("export xls: not available in this build yet"));
    return 1;
}

}
