#pragma once

#include <QByteArray>
#include <QString>

class QWidget;

namespace contivo {

class RecordTable;

/// The HTML page of a data set: one table with a heading row of the visible fields' display labels
/// and one row per row of the data set, first to last. Values and labels are HTML-escaped; an
/// empty value is "&nbsp". Lines end with CR LF; the text is cp1252. Leaves the cursor after the
/// last row.
QByteArray HtmlPage(RecordTable& dataSet);

/// Writes HtmlPage to the file, replacing it atomically; write errors are thrown.
void WriteHtml(RecordTable& dataSet, const QString& path);

/// Asks for an HTML file (save dialog) and writes the page there. Returns the chosen path, or
/// empty when the dialog was cancelled.
QString ExportHtml(RecordTable& dataSet, QWidget* owner = nullptr);

/// Writes the data set as a spreadsheet through the spreadsheet library: a heading row of field
/// names (display labels when useDisplayNames) and one row per data row, each cell by its field's
/// type. The cursor returns to the row it was on. Returns the number of data rows. The binding's
/// errors (XlsExportError) reach the caller; nothing is written then.
int WriteXls(RecordTable& dataSet, const QString& path, bool useDisplayNames);

/// WriteXls to the path, asking for it with a save dialog when it is empty. Returns the path, or
/// empty when the dialog was cancelled.
QString ExportXlsTo(
    RecordTable& dataSet, bool useDisplayNames, const QString& path, QWidget* owner = nullptr);

/// ExportXlsTo with field names as headings and a path asked for.
QString ExportXls(RecordTable& dataSet, QWidget* owner = nullptr);

/// The cell texts the exports send for options.
inline constexpr char kXlsHeadingOptions[] = "BorderLeft,BorderRight,BorderTop,BorderBottom,Shaded";
inline constexpr char kXlsDataOptions[] = "BorderLeft,BorderRight,BorderTop,BorderBottom";

/// Text with &, <, > and " replaced by their HTML entities.
QString HtmlEscaped(const QString& text);

/// A currency amount with two decimals, grouped thousands and the currency symbol, in the system's
/// separators ("€ 1.234,50" with Italian settings).
QString FormatCurrency(double value);

}
