#include "cli/CliIo.h"
#include "cli/Commands.h"
#include "cli/LedgerCommand.h"

#include "ledger/LedgerComputation.h"
#include "ledger/LedgerJson.h"
#include "storage/TDC.h"


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
    return withCategoryYear("month", *dir, y, *category, [m](TDC&, ledger::LedgerComputation& ledger) {
        ledger.CambiaMese(m);
        printOut(ledger::MeseJson(ledger));
    });
}

}
