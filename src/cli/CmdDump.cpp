#include "cli/CliIo.h"
#include "cli/Commands.h"

#include "base/AtomicFile.h"
#include "storage/TableJson.h"

#include <cstdio>

namespace contivo::cli {

// Prints a table file as one JSON document (see tableContentToJson).
int cmdDump(const QStringList& args)
{
    const Args parsed(args, {});
    if (!parsed.ok() || parsed.positional().size() != 1)
        return 2;
    try {
        const QByteArray json
            = tableContentToJson(TableFileFormat::Parse(readWholeFile(parsed.positional().front())));
        std::fwrite(json.constData(), 1, static_cast<size_t>(json.size()), stdout);
        std::fflush(stdout);
    } catch (const std::exception& e) {
        printErr(QString::fromUtf8(e.what()));
        return 1;
    }
    return 0;
}

}
