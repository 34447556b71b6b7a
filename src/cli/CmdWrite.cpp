#include "cli/CliIo.h"
#include "cli/Commands.h"

#include "base/AtomicFile.h"
#include "storage/TableJson.h"

#include <QFile>

#include <cstdio>

namespace contivo::cli {

// Reads the JSON document of "dump" from standard input and writes it as a table file.
int cmdWrite(const QStringList& args)
{
    const Args parsed(args, {});
    if (!parsed.ok() || parsed.positional().size() != 1)
        return 2;
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly)) {
        printErr(QStringLiteral("write: cannot read standard input"));
        return 1;
    }
    try {
        const TableFileContent content = tableContentFromJson(in.readAll());
        writeFileAtomically(parsed.positional().front(), TableFileFormat::Serialize(content));
    } catch (const std::exception& e) {
        printErr(QString::fromUtf8(e.what()));
        return 1;
    }
    return 0;
}

}
