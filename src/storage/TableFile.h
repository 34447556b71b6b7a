#pragma once

#include "storage/RecordTable.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <vector>

namespace contivo {

/// Everything a table file holds, as read: the format version, field and index definitions (in
/// file order) and the rows (values in field order).
struct TableFileContent {
    int version = 251;
    std::vector<FieldDef> fields;
    std::vector<IndexDef> indexes;
    std::vector<RowData> rows;
    bool fieldsFromFile = true; ///< false when the file's field list was empty
    bool indexesFromFile = true; ///< false when the file had no or an empty index list
};

/// The binary table file format: signature "TPF0", version 251, tagged values. The writer always
/// writes version 251; the reader takes versions 100 to 251 and reads later ones like 251.
///
/// Reader errors (DatabaseError): "Stream read error" (truncated), "Invalid stream format" (bad
/// signature), "Invalid property value" (wrong tag), "Unknown field type (%s)",
/// "Couldnt determine field count for load.".
class TableFileFormat {
public:
    static constexpr int kVersion = 251;

    /// The format object's own version text.
    QString VersionText() const { return QStringLiteral("3.00"); }

    /// Writes the table (all rows, current order, link ignored) and replaces the file atomically.
    /// A table that is not open raises its error and writes nothing.
    void Save(const RecordTable& table, const QString& fileName) const;
    /// Replaces the table's structure and rows with the file's. A failed load leaves the table
    /// exactly as it was.
    void Load(RecordTable& table, const QString& fileName) const;

    /// The file bytes of a table.
    static QByteArray Serialize(const RecordTable& table);
    /// The file bytes of a content (version is always written as 251).
    static QByteArray Serialize(const TableFileContent& content);
    /// Parses file bytes. When the file's field list is empty, the rows are read with
    /// fallbackFields (the table's own fields), which then become the content's fields.
    static TableFileContent Parse(const QByteArray& bytes, const std::vector<FieldDef>& fallbackFields = {});
    /// Parses bytes and installs them into the table; the table is untouched on error.
    static void Deserialize(const QByteArray& bytes, RecordTable& table);
};

/// x87 80-bit extended precision, little-endian (64-bit mantissa with explicit integer bit,
/// 15-bit biased exponent, sign), converted by bit manipulation.
std::array<unsigned char, 10> doubleToExtended(double value);
/// Rounds to nearest even; out-of-range exponents give infinity or (sub)normal/zero doubles.
double extendedToDouble(const unsigned char* bytes);

}
