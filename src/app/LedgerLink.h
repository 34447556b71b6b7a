#pragma once

#include <QString>

#include <memory>

class QDialog;
class QWidget;

namespace contivo {

/// Creates the ledger window of a category for a year, ready to be shown modally. Errors of its
/// creation are raised to the caller.
std::unique_ptr<QDialog> createLedgerWindow(QWidget* owner, int year, const QString& category);

/// Makes an open ledger window reload its category's files (after an import into them).
void reloadLedgerWindow(QDialog& ledger);

}
