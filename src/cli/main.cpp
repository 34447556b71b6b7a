#include "cli/Commands.h"
#include "cli/CliIo.h"

#include <QCoreApplication>
#include <cstdio>

using namespace contivo::cli;

namespace {
const Command kCommands[] = {
    {"encipher", "encipher --key-file FILE TEXT", cmdEncipher},
    {"decipher", "decipher --key-file FILE CIPHER", cmdDecipher},
    {"dump", "dump FILE", cmdDump},
    {"write", "write FILE  (table JSON on standard input)", cmdWrite},
    {"import", "import --interface HDR --csv FILE [--append] [--year YEAR] TABLEFILE", cmdImport},
    {"export", "export --format csv|html|xls [--interface HDR] TABLEFILE OUT", cmdExport},
    {"month", "month --data-dir DIR --year Y --category NAME --month M", cmdMonth},
    {"situation", "situation --data-dir DIR --year Y --category NAME --date YYYY-MM-DD", cmdSituation},
};

int usageAll()
{
    std::fputs("usage: contivo-cli COMMAND [ARGS]\ncommands:\n", stderr);
    for (const Command& c : kCommands)
        std::fprintf(stderr, "  %s\n", c.usage);
    return 2;
}
}

namespace contivo::cli {
int usageError(const char* usage)
{
    std::fprintf(stderr, "usage: contivo-cli %s\n", usage);
    return 2;
}
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return usageAll();
    const QString name = args.takeFirst();
    for (const Command& c : kCommands) {
        if (name == QLatin1String(c.name)) {
            try {
                const int rc = c.run(args);
                return rc == 2 ? usageError(c.usage) : rc;
            } catch (const std::exception& e) {
                printErr(QString::fromLocal8Bit(e.what()));
                return 1;
            }
        }
    }
    return usageAll();
}
