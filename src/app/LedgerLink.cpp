#include "app/LedgerLink.h"

#include <QDialog>

#include <stdexcept>

namespace contivo {

std::unique_ptr<QDialog> createLedgerWindow(QWidget*, int, const QString&)
{
    throw std::runtime_error("La finestra dei movimenti non è ancora disponibile");
}

void reloadLedgerWindow(QDialog&) { }

}
