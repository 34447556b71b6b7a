#include "cli/CliIo.h"
#include "cli/Commands.h"
#include "cli/LedgerCommand.h"

#include "base/DateTime.h"
#include "ledger/LedgerComputation.h"
#include "ledger/LedgerJson.h"
#include "storage/TDC.h"

#include <QDate>

namespace contivo::cli {

// Prints the day-by-day balance of a category's year up to a date, as "Situazione alla data"
// builds it; reads the files only.
int cmdSituation(const QStringList& argv)
{
    const Args args(argv,
        { QStringLiteral("data-dir"), QStringLiteral("year"), QStringLiteral("category"),
            QStringLiteral("date") });
    const auto dir = args.value(QStringLiteral("data-dir"));
    const auto year = args.value(QStringLiteral("year"));
    const auto category = args.value(QStringLiteral("category"));
    const auto date = args.value(QStringLiteral("date"));
    if (!args.ok() || !args.positional().isEmpty() || !dir || !year || !category || !date)
        return 2;
    bool yearOk = false;
    const int y = year->toInt(&yearOk);
    const QDate limit = QDate::fromString(*date, QStringLiteral("yyyy-MM-dd"));
    if (!yearOk || y < 1 || y > 9999 || !limit.isValid() || category->isEmpty())
        return 2;
    return withCategoryYear("situation", *dir, y, *category, [limit](TDC& dc, ledger::LedgerComputation& ledger) {
        ledger.SelezionaMese(1);
        ledger.CalcolaSituazione(dt::fromDate(limit), 1, 12, 0);
        printOut(ledger::SituazioneJson(dc.TabellaSituazione));
    });
}

}
