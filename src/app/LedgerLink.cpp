#include "app/LedgerLink.h"

#include "ledger/TFormDettagliCategoria.h"

namespace contivo {

std::unique_ptr<QDialog> createLedgerWindow(QWidget* owner, TDC& dc, int year, const QString& category)
{
    auto ledger = std::make_unique<ledger::TFormDettagliCategoria>(owner, &dc);
    ledger->setAnno(year);
    ledger->setNomeCategoria(category);
    return ledger;
}

void reloadLedgerWindow(QDialog& window)
{
    if (auto* ledger = qobject_cast<ledger::TFormDettagliCategoria*>(&window))
        ledger->RicaricaCategoria();
}

}
