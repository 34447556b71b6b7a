#include "cli/CliIo.h"
#include "cli/Commands.h"

namespace contivo::cli {

int cmdDecipher(const QStringList&)
{
    printErr(QStringLiteral("decipher: not available in this build yet"));
    return 1;
}

}
