#include "export/PrintGrid.h"

#include "base/AtomicFile.h"
#include "support/DialogProvider.h"
#include "support/MessageBoxes.h"

#include <QHeaderView>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTableView>

#include <stdexcept>

namespace contivo {

namespace {

PrinterSeam& seam()
{
    static PrinterSeam s;
    return s;
}

bool hasPrinter()
{
    if (seam().hasPrinter)
        return seam().hasPrinter();
    return !QPrinterInfo::availablePrinters().isEmpty();
}

bool runPrintDialog(QPrinter& printer, QWidget* owner)
{
    if (seam().runPrintDialog)
        return seam().runPrintDialog(printer, owner);
    QPrintDialog dialog(&printer, owner);
    return dialog.exec() == QDialog::Accepted;
}

Qt::Alignment horizontal(const QVariant& v)
{
    if (!v.isValid())
        return Qt::AlignLeft;
    const Qt::Alignment a = Qt::Alignment(v.toInt()) & Qt::AlignHorizontal_Mask;
    if (a & Qt::AlignRight)
        return Qt::AlignRight;
    if (a & Qt::AlignHCenter)
        return Qt::AlignHCenter;
    return Qt::AlignLeft;
}

}

void setPrinterSeam(const PrinterSeam& s)
{
    seam() = s;
}

PrintContent CollectGridContent(const QTableView& grid, const QString& title)
{
    PrintContent content;
    content.title = title;
    const QAbstractItemModel* model = grid.model();
    if (!model)
        return content;
    const QHeaderView* header = grid.horizontalHeader();
    QList<int> shown;
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (grid.isColumnHidden(logical) || grid.columnWidth(logical) <= 1)
            continue;
        shown << logical;
        PrintColumn column;
        column.title = model->headerData(logical, Qt::Horizontal, Qt::DisplayRole).toString();
        column.width = grid.columnWidth(logical);
        QVariant alignment;
        if (model->rowCount() > 0)
            alignment = model->data(model->index(0, logical), Qt::TextAlignmentRole);
        column.alignment = horizontal(alignment);
        content.columns << column;
    }
    const int rows = model->rowCount();
    content.rows.reserve(rows);
    for (int r = 0; r < rows; ++r) {
        QStringList texts;
        for (const int logical : shown)
            texts << model->data(model->index(r, logical), Qt::DisplayRole).toString();
        content.rows << texts;
    }
    return content;
}

QString PrintGrid(const QTableView& grid, const QString& title, const QString& kind, QWidget* owner)
{
    if (kind == QLatin1String("PRINTER")) {
        if (!hasPrinter()) {
            ShowError(QStringLiteral("Nessuna stampante installata: impossibile stampare."));
            return QString();
        }
        QPrinter printer(QPrinter::HighResolution);
        printer.setDocName(title);
        if (!runPrintDialog(printer, owner))
            return QString();
        PrintContentTo(CollectGridContent(grid, title), printer);
        return kind;
    }

    QByteArray (*render)(const PrintContent&) = nullptr;
    if (kind == QLatin1String("TXT"))
        render = printfile::Text;
    else if (kind == QLatin1String("CSV"))
        render = printfile::Csv;
    else if (kind == QLatin1String("HTML"))
        render = printfile::Html;
    else if (kind == QLatin1String("RTF"))
        render = printfile::Rtf;
    else
        throw std::invalid_argument("Unknown print output kind: " + kind.toStdString());

    FileDialogRequest request;
    request.filter = QStringLiteral("File %1 (*.%2 *.%1);;Tutti i file (*)").arg(kind, kind.toLower());
    request.defaultExtension = kind;
    const QString path = DialogProvider::instance().saveFileName(owner, request);
    if (path.isEmpty())
        return path;
    writeFileAtomically(path, render(CollectGridContent(grid, title)));
    return path;
}

}
