#include "cli/CliIo.h"
#include "cli/Commands.h"

namespace contivo::cli {

int cmdWrite(const QStringList&)
{
    printErr(QStringLiteral("write: not available in this build yet"));
    return 1;
}

}
