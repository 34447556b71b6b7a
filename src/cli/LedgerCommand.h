#pragma once

#include <QString>
#include <functional>

namespace contivo {
class TDC;
namespace ledger {
    class LedgerComputation;
}
}

namespace contivo::cli {

/// Loads a category's year from DIR/Tabelle/YEAR/ exactly as the ledger window does, without
/// creating or writing anything, and hands the loaded computation to work. Returns the exit
/// code: 1 with a message when the data folder does not exist, else 0.
int withCategoryYear(const char* command, const QString& dataDir, int year, const QString& category,
    const std::function<void(TDC&, ledger::LedgerComputation&)>& work);

}
