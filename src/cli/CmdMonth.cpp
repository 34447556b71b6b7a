#include "cli/CliIo.h"
#include "cli/Commands.h"

#include "ledger/LedgerComputation.h"
#include "ledger/LedgerJson.h"
#include "platform/Folders.h"
#include "storage/TDC.h"

#include <QDir>

namespace contivo::cli {

// Prints the month view of a category as the ledger computes it; reads the files only.
int cmdMonth(const QStringList& argv)
{
    const Args args(argv,
        { QStringLiteral("data-dir"), QStringLiteral("year"), QStringLiteral("category"),
            QStringLiteral("month") });
    const auto dir = args.value(QStringLiteral("data-dir"));
    const auto year = args.value(QStringLiteral("year"));
    const auto category = args.value(QStringLiteral("category"));
    const auto month = args.value(QStringLiteral("month"));
    if (!args.ok() || !args.positional().isEmpty() || !dir || !year || !category || !month)
        return 2;
    bool yearOk = false;
    bool monthOk = false;
    const int y = year->toInt(&yearOk);
    const int m = month->toInt(&monthOk);
    if (!yearOk || !monthOk || m < 1 || m > 12 || y < 1 || y > 9999 || category->isEmpty())
        return 2;
    if (!QDir(*dir).exists()) {
        printErr(QStringLiteral("month: folder not found: ") + *dir);
        return 1;
    }

    setUserFolder(QDir(*dir).absolutePath());
    TDC dc;
    ledger::LedgerComputation ledger(dc);
    ledger.CreaCartelle = false;
    ledger.Anno = y;
    ledger.NomeCategoria = *category;
    ledger.RicaricaMovimenti();
    ledger.CambiaMese(m);
    printOut(ledger::MeseJson(ledger));
    return 0;
}

}
