#include "cli/CliIo.h"
#include "cli/Commands.h"

namespace contivo::cli {

int cmdSituation(const QStringList&)
{
    printErr(QStringLiteral("situation: not available in this build yet"));
    return 1;
}

}
