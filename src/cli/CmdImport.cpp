#include "cli/CliIo.h"
#include "cli/Commands.h"

namespace contivo::cli {

int cmdImport(const QStringList&)
{
    printErr(QStringLiteral("import: not available in this build yet"));
    return 1;
}

}
