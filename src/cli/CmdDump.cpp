#include "cli/CliIo.h"
#include "cli/Commands.h"

namespace contivo::cli {

int cmdDump(const QStringList&)
{
    printErr(QStringLiteral("dump: not available in this build yet"));
    return 1;
}

}
