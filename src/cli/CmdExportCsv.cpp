#include "cli/CliIo.h"

namespace contivo::cli {

int cmdExportCsv(const Args&)
{
    printErr(QStringLiteral("export csv: not available in this build yet"));
    return 1;
}

}
