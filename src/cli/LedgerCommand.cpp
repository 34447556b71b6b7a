#include "cli/LedgerCommand.h"

#include "cli/CliIo.h"
#include "ledger/LedgerComputation.h"
#include "platform/Folders.h"
#include "storage/TDC.h"

#include <QDir>

namespace contivo::cli {

int withCategoryYear(const char* command, const QString& dataDir, int year, const QString& category,
    const std::function<void(TDC&, ledger::LedgerComputation&)>& work)
{
    if (!QDir(dataDir).exists()) {
        printErr(QLatin1String(command) + QStringLiteral(": folder not found: ") + dataDir);
        return 1;
    }
    setUserFolder(QDir(dataDir).absolutePath());
    TDC dc;
    ledger::LedgerComputation ledger(dc);
    ledger.CreaCartelle = false;
    ledger.Anno = year;
    ledger.NomeCategoria = category;
    ledger.RicaricaMovimenti();
    work(dc, ledger);
    return 0;
}

}
