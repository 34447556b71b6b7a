#include "cli/CliIo.h"
#include "cli/Commands.h"

namespace contivo::cli {

int cmdExport(const QStringList&)
{
    printErr(QStringLiteral("export: not available in this build yet"));
    return 1;
}

}
