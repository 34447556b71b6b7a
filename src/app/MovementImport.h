#pragma once

#include <QString>

#include <functional>

namespace contivo {

class RecordTable;
class TDC;

/// Reads a CSV file into a record table through an interface file; returns the rows added.
using CsvImportFunction = std::function<int(
    RecordTable& table, const QString& interfaceFile, const QString& csvFile, bool append)>;

/// The CSV engine of the program (ImportCSV::Import).
CsvImportFunction defaultCsvImport();

/// Imports the movements of a CSV file into one side file of a category of a year, through the
/// data module's import table: the side file's earlier movements are kept and the new rows are
/// appended after them, rows of other years are dropped, and the category is given both of its
/// files. Files created here carry the six fields of the movement table in their order.
class MovementImport {
public:
    explicit MovementImport(TDC& dc, CsvImportFunction engine = defaultCsvImport());

    /// suffix is "IN" or "OUT". Returns the number of movements imported; 0 or less when the
    /// engine added nothing, in which case the side file is not touched. Errors of the engine,
    /// of the table and of the files are raised to the caller.
    int run(const QString& csvFile, const QString& category, const QString& yearText, const QString& suffix);

    /// The interface file the import reads: Interfacce/Movimenti.hdr of the application folder.
    static QString interfaceFile();

private:
    TDC& m_dc;
    CsvImportFunction m_engine;
};

}
