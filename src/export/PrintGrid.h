#pragma once

#include "export/PrintContent.h"

#include <QString>

#include <functional>

class QPrinter;
class QTableView;
class QWidget;

namespace contivo {

/// The grid's content as the print engine takes it: the columns that are shown and wider than one
/// pixel, in on-screen order, with their header titles, alignments and widths, and every row of
/// the grid's model as the columns display it. The data set's cursor is not moved.
PrintContent CollectGridContent(const QTableView& grid, const QString& title);

/// Prints the grid with the title as header. kind "PRINTER" shows the system's print dialog (or
/// says that no printer is installed); "TXT", "RTF", "CSV" and "HTML" ask for a file of that kind
/// and write it, replacing it atomically. Returns "PRINTER", the file path, or empty when
/// cancelled (or nothing could be printed). Write errors are thrown.
QString PrintGrid(
    const QTableView& grid, const QString& title, const QString& kind, QWidget* owner = nullptr);

/// The printer side of PrintGrid, replaceable in tests: whether any printer is installed, and the
/// print dialog (true when the user confirmed; it may change the printer's settings).
struct PrinterSeam {
    std::function<bool()> hasPrinter;
    std::function<bool(QPrinter&, QWidget*)> runPrintDialog;
};
/// Installs a seam; an empty one restores the system's printers and dialog.
void setPrinterSeam(const PrinterSeam& seam);

}
