#pragma once

#include "import/CsvInterface.h"

#include <QString>
#include <QStringList>

class QWidget;

namespace contivo {

class RecordTable;

/// The CSV engine: fills a record table from a CSV file as an interface file (.hdr) describes it,
/// and writes a table out as CSV.
///
/// A caller creates one, calls Import, reads Errors() (one "Error in record N: message" per row
/// that could not be added, N the 0-based line of the file), may show them with ShowErrorDetail,
/// and destroys it. The engine never saves the table: the caller keeps or discards the rows.
class ImportCSV {
public:
    /// Reads the CSV file into the table and returns the number of rows added. Unless appending,
    /// the table is emptied first. A missing or unreadable interface or CSV file throws
    /// std::runtime_error with the system's reason before any row is added. Row errors never
    /// escape: the row is dropped and its error listed.
    ///
    /// The file is read as UTF-8 when it starts with a byte-order mark or is valid UTF-8 with
    /// non-ASCII bytes, otherwise as cp1252.
    int Import(RecordTable& table, const QString& interfacePath, const QString& csvPath, bool append);

    /// The same on an interface already read.
    int Import(RecordTable& table, const CsvInterface& layout, const QString& csvPath, bool append);

    /// The errors of the last Import.
    const QStringList& Errors() const { return m_errors; }

    /// Writes every row of the data set, first to last, as CSV: all fields in field order,
    /// booleans as the interface's TrueString/FalseString, other values as their text; each value
    /// enclosed in the Delimiter when the interface gives one; no heading line. The file (cp1252,
    /// CR LF) is replaced atomically; the cursor is left after the last row. Without an interface
    /// file (empty path or missing file) the export defaults apply.
    static void Export(RecordTable& dataSet, const QString& interfacePath, const QString& csvPath);

    /// The CSV text Export writes, as cp1252 bytes.
    static QByteArray ExportBytes(RecordTable& dataSet, const CsvInterface& layout);

    /// Writes the errors to "CsvErrors<n>.txt" in the temporary folder (the smallest free n), shows
    /// that file in a read-only text window and deletes it when the window closes. Failures are
    /// reported with message boxes.
    static void ShowErrorDetail(const QStringList& errors);

private:
    QStringList m_errors;
};

/// Asks for a file with a save dialog and writes the data set there as CSV (ImportCSV::Export).
/// Cancelling does nothing; write errors reach the caller.
void ExportCsv(RecordTable& dataSet, const QString& interfacePath, QWidget* owner = nullptr);

}
