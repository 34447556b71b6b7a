#include "cli/CliIo.h"
#include "cli/Commands.h"

namespace contivo::cli {

int cmdMonth(const QStringList&)
{
    printErr(QStringLiteral("month: not available in this build yet"));
    return 1;
}

}
