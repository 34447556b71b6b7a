// Any input to the table file reader gives a clean error or a table; a table that loads is
// saved again and must load again to the same bytes.
#include "storage/RecordTable.h"
#include "storage/TableFile.h"

#include <QByteArray>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    contivo::RecordTable table(QStringLiteral("T"));
    try {
        contivo::TableFileFormat::Deserialize(bytes, table);
    } catch (const contivo::DatabaseError&) {
        return 0;
    }
    QByteArray saved;
    try {
        // A field name holding ';' is a field list that names no field: an error, not a crash.
        table.SortOn(table.Fields(0).FieldName());
        for (table.First(); !table.Eof(); table.Next())
            for (int i = 0; i < table.FieldCount(); ++i)
                (void)table.Fields(i).DisplayText();
        table.SortOn(QString());
        saved = contivo::TableFileFormat::Serialize(table);
    } catch (const contivo::DatabaseError&) {
        return 0;
    }
    contivo::RecordTable again(QStringLiteral("U"));
    try {
        contivo::TableFileFormat::Deserialize(saved, again);
    } catch (const contivo::DatabaseError&) {
        // Only an index over a field that is not saved (a lookup or calculated field) may fail.
        bool unsaved = false;
        for (int i = 0; i < table.FieldCount(); ++i) {
            const auto kind = table.Fields(i).def().kind;
            unsaved |= kind != contivo::FieldKind::Data && kind != contivo::FieldKind::InternalCalc;
        }
        if (!unsaved)
            std::abort();
        return 0;
    }
    if (contivo::TableFileFormat::Serialize(again) != saved)
        std::abort();
    return 0;
}
