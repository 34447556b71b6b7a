#pragma once

#include "storage/TableFile.h"

#include <QByteArray>

namespace contivo {

/// A table file's content as one JSON document:
/// {"version": N, "fields": [{"name", "type", "size", "displayName", "displayWidth", "required",
/// "readOnly", "kind"}], "indexes": [{"name", "fields", "descending", "caseInsensitive", "unique"}],
/// "rows": [[value, ...], ...]}. Texts are UTF-8; integers, dates, times and floats are numbers in
/// their shortest round-trip form (-0, NaN and infinities as the strings "-0", "NaN",
/// "Infinity", "-Infinity", since JSON numbers cannot carry them); booleans are booleans; null is null. A
/// field's "editMask" appears only when it is not empty.
QByteArray tableContentToJson(const TableFileContent& content);

/// Reads the document written by tableContentToJson; throws DatabaseError with the reason when
/// the text is not such a document (the version is read but the writer always writes 251).
TableFileContent tableContentFromJson(const QByteArray& json);

}
