#pragma once

// Internal to the storage library: conversions between field values, texts and field types.

#include "storage/RecordTable.h"

namespace contivo::conv {

/// The value as text (null: empty), numbers with the system formats, dates as short dates.
QString toText(const FieldValue& v, FieldType type);
qint64 toInteger(const FieldValue& v, FieldType type);
double toDouble(const FieldValue& v, FieldType type);
double toDateTime(const FieldValue& v, FieldType type);
/// Parses a date, date-time or time text into a date-time number.
bool fromText(const QString& text, FieldType type, const QString& fieldName, double& out);
/// Converts text to the field's type with the field's error texts; empty text clears a
/// non-text field; strings are cut to the field size.
FieldValue fromTextValue(const QString& text, const FieldDef& def);
/// Converts a value held as type `from` to the field's type.
FieldValue convert(const FieldValue& v, FieldType from, const FieldDef& to);
bool inRange(qint64 n, FieldType type);
/// Dates drop the time of day; fixed-point types keep four decimals.
FieldValue normalizeDouble(double d, FieldType type);
/// A representative field type of a storage (for conversions).
FieldType typeOfStorage(ValueStorage storage);
/// The value as grids show it with the field's display format.
QString displayText(const FieldValue& v, const FieldDef& def);

}
