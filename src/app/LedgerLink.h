#pragma once

#include <QString>

#include <memory>

class QDialog;
class QWidget;

namespace contivo {

class TDC;

/// Creates the ledger window of a category for a year over the data module's tables, ready to be
/// shown modally. Errors of its creation are raised to the caller.
std::unique_ptr<QDialog> createLedgerWindow(QWidget* owner, TDC& dc, int year, const QString& category);

/// Makes an open ledger window reload its category's files (after an import into them).
void reloadLedgerWindow(QDialog& ledger);

}
