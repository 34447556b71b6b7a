#include "cli/CliIo.h"
#include "cli/Commands.h"

namespace contivo::cli {

int cmdEncipher(const QStringList&)
{
    printErr(QStringLiteral("encipher: not available in this build yet"));
    return 1;
}

}
