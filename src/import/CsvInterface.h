#pragma once

#include <QChar>
#include <QString>
#include <QStringList>
#include <optional>

namespace contivo {

/// Looks a key up in the lines of an interface file: the first line whose text before its first
/// '=' equals the key without regard to case wins. Neither key nor value is trimmed. Returns the
/// value, or nothing when no line matches or the first matching line has an empty value.
std::optional<QString> csvInterfaceValue(const QStringList& lines, QStringView key);

/// The layout of a CSV file as an interface file (.hdr) describes it. The program only reads
/// these files; the user writes them.
struct CsvInterface {
    int headerRows = 0; ///< non-empty heading lines skipped by the import
    QChar separator = QLatin1Char(','); ///< field separator
    std::optional<QChar> delimiter; ///< character enclosing fields, when given
    QString fieldMapping; ///< raw mapping text, see mappingItems()
    QString dateFormat; ///< pattern giving the order of day, month and year
    bool ignoreEmptyRows = false; ///< read but without effect: empty lines are always skipped
    QString trueString = QStringLiteral("True");
    QString falseString = QStringLiteral("False");

    /// Reads an interface file (cp1252 text). Throws std::runtime_error with the system's reason
    /// when the file cannot be opened.
    static CsvInterface load(const QString& path);
    /// Builds the interface from the lines of a file.
    static CsvInterface fromLines(const QStringList& lines);
    /// The values the CSV export uses when it has no interface file.
    static CsvInterface exportDefaults();
    /// The export's interface: the file when the path is not empty and the file exists, else
    /// exportDefaults().
    static CsvInterface forExport(const QString& path);

    /// The mapping cut at every separator, empty pieces kept (an empty mapping is one empty
    /// item); each item keeps at most 255 characters.
    QStringList mappingItems() const;
};

/// What one mapping item asks for: a column to skip, or the table field to fill.
struct CsvMappingItem {
    bool ignore = false;
    QString fieldName;
};

/// "(ignore)" in any case skips the column; otherwise a leading '$' is dropped from the field name.
CsvMappingItem parseMappingItem(const QString& item);

/// Splits file text into lines at CR LF, LF or CR; a final line break adds no empty line.
QStringList splitTextLines(QStringView text);

}
