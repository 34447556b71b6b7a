#pragma once

#include "import/CsvInterface.h"

#include <QString>
#include <QTemporaryFile>

namespace contivo {

/// The import's private working copy of a CSV file, in the temporary folder: every line of the
/// file (decoded as UTF-8 or cp1252), normalised from the heading lines on when the layout names
/// a delimiter, written as UTF-8. The file gets a unique name (executable name + random part +
/// ".temp.csv") and mode 0600, so two imports never share it, and it is removed when the object
/// goes away, whatever happened in between. Throws std::runtime_error when the CSV file cannot be
/// read or the copy cannot be written.
class CsvWorkingCopy {
public:
    CsvWorkingCopy(const QString& csvPath, const CsvInterface& layout);

    /// The whole normalised text, read back from the file.
    QString readBack();
    QString fileName() const { return m_file.fileName(); }

private:
    QTemporaryFile m_file;
};

}
