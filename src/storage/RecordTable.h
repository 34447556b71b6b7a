#pragma once

#include <QLocale>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <stdexcept>
#include <variant>
#include <vector>

namespace contivo {

/// Field data types. The numbers are the type numbers written (by name) in table files and
/// returned by TipoCampo; keep the order.
enum class FieldType : int {
    Unknown = 0,
    String,
    SmallInt,
    Integer,
    Word,
    Boolean,
    Float,
    Currency,
    BCD,
    Date,
    Time,
    DateTime,
    Bytes,
    VarBytes,
    AutoInc,
    Blob,
    Memo,
    Graphic,
    FmtMemo,
    ParadoxOle,
    DBaseOle,
    TypedBinary,
    Cursor,
};

/// The type's name as written in table files ("String", "Integer", "dBaseOle", ...).
QString fieldTypeName(FieldType type);
/// First exact, case-sensitive match of a type name; false when the name is unknown.
bool fieldTypeFromName(const QString& name, FieldType& type);

/// Field kinds; every field of the program is Data.
enum class FieldKind : int { Data, Calculated, Lookup, InternalCalc, Aggregate };
QString fieldKindName(FieldKind kind);
/// Unknown names mean Data.
FieldKind fieldKindFromName(const QString& name);

/// The locale whose collation orders and compares texts in every record table; by default the user's
/// default locale (QLocale()) at the first comparison. Orders already built are not re-sorted, so
/// set it before filling tables (tests use it to compare under a known locale).
void setCollationLocale(const QLocale& locale);

/// How a value of a field type is held in memory.
enum class ValueStorage { Text, Integer, Double, Boolean };
ValueStorage storageOf(FieldType type);

/// One cell: null, or a text, an integer, a double or a boolean according to the field's storage.
/// Dates and times are doubles on the date-time scale (days since 30 December 1899).
class FieldValue {
public:
    FieldValue() = default; ///< null
    static FieldValue fromText(QString text) { return FieldValue(Store(std::move(text))); }
    static FieldValue fromInteger(qint64 value) { return FieldValue(Store(value)); }
    static FieldValue fromDouble(double value) { return FieldValue(Store(value)); }
    static FieldValue fromBoolean(bool value) { return FieldValue(Store(value)); }

    bool isNull() const { return m_value.index() == 0; }
    /// The storage of the held value (Text for null).
    ValueStorage storage() const
    {
        switch (m_value.index()) {
        case 2:
            return ValueStorage::Integer;
        case 3:
            return ValueStorage::Double;
        case 4:
            return ValueStorage::Boolean;
        default:
            return ValueStorage::Text;
        }
    }
    /// The held value; the caller knows the storage from the field type. Reading a different
    /// alternative returns the neutral value (empty text, 0, 0.0, false).
    const QString& text() const;
    qint64 integer() const { return std::holds_alternative<qint64>(m_value) ? std::get<qint64>(m_value) : 0; }
    double number() const
    {
        return std::holds_alternative<double>(m_value) ? std::get<double>(m_value) : 0.0;
    }
    bool boolean() const { return std::holds_alternative<bool>(m_value) && std::get<bool>(m_value); }
    /// Moves the held text out (the value becomes null); an empty text when it holds none.
    QString takeText();

    bool operator==(const FieldValue& other) const = default;

private:
    using Store = std::variant<std::monostate, QString, qint64, double, bool>;
    explicit FieldValue(Store value)
        : m_value(std::move(value))
    {
    }
    Store m_value;
};

/// Definition of one field. A display width of 0 means the type's default (the size for strings,
/// 10 otherwise); an empty display label means the name. The display format (e.g. "0.00") is
/// used by grids and reports and is not stored in table files.
struct FieldDef {
    QString name;
    FieldType type = FieldType::String;
    int size = 0;
    QString displayLabel;
    QString editMask;
    int displayWidth = 0;
    bool required = false;
    bool readOnly = false;
    FieldKind kind = FieldKind::Data;
    bool visible = true;
    QString displayFormat;

    /// The display width or its default.
    int effectiveDisplayWidth() const;
    /// The display label or the name.
    QString effectiveDisplayLabel() const { return displayLabel.isEmpty() ? name : displayLabel; }
};

struct IndexOptions {
    bool unique = false;
    bool descending = false;
    bool caseInsensitive = false;
    bool primary = false; ///< marker only; not stored in table files
};

/// An index definition: fields separated by ";".
struct IndexDef {
    QString name;
    QString fields;
    IndexOptions options;
};

/// One row as stored and as read from or written to a table file: the change state (0..3, never
/// set by the program) and one value per field, in field order.
struct RowData {
    int changeState = 0;
    std::vector<FieldValue> values;
};

/// Every error raised by a record table or a table file; what() is the message text shown to
/// the user (e.g. "Duplicate index value. Operation aborted.").
class DatabaseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    explicit DatabaseError(const QString& message)
        : std::runtime_error(message.toStdString())
    {
    }
};

class RecordTable;

/// A field object of a record table. Owned by its table; loading a table file destroys all of
/// them, so look fields up again (by name or position) after every load.
///
/// Reads use the current row (or the row being edited or inserted); a null value reads as empty
/// text, 0, 0.0, day 0 or false. Writes are allowed only while the table is editing or inserting.
class Field {
public:
    const FieldDef& def() const { return m_def; }
    const QString& FieldName() const { return m_def.name; }
    FieldType DataType() const { return m_def.type; }
    int Size() const { return m_def.size; }
    int Index() const { return m_index; }
    QString DisplayFormat() const { return m_def.displayFormat; }
    /// "0.00" style formats for numeric and date fields: how grids and reports show the value.
    void SetDisplayFormat(const QString& format) { m_def.displayFormat = format; }
    void SetDisplayLabel(const QString& label) { m_def.displayLabel = label; }
    void SetVisible(bool visible) { m_def.visible = visible; }

    bool IsNull() const;
    QString AsString() const;
    /// Throws "'%s' is not a valid integer value" when a text does not read as an integer.
    qint64 AsInteger() const;
    /// Throws "'%s' is not a valid floating point value" for a text that is not a number.
    double AsFloat() const;
    /// Days since 30 December 1899 with the time of day as fraction.
    double AsDateTime() const;
    bool AsBoolean() const;
    /// The value as grids show it: the display format applied with the system decimal separator.
    QString DisplayText() const;
    /// The value of the current (or pending) row, a copy.
    FieldValue Value() const;

    /// Text is converted to the field's type: an empty text clears a non-text field; a text that
    /// does not convert raises "'%s' is not a valid floating point value for field '%s'",
    /// "'%s' is not a valid integer value for field '%s'" or "'%s' is not a valid date" and the
    /// field keeps its value. String fields keep the first `size` characters.
    void SetAsString(const QString& text);
    /// SetAsString for a text held elsewhere (a column of a line being read): a text field copies
    /// it into storage reused from the previous posted row, so appending row after row allocates
    /// no text of its own.
    void SetAsText(QStringView text);
    void SetAsInteger(qint64 value);
    void SetAsFloat(double value);
    /// A Date field keeps the day and drops the time of day.
    void SetAsDateTime(double value);
    void SetAsBoolean(bool value);
    /// Any value, converted from the storage it holds to the field's type (doubles of a Date
    /// field lose the time of day, texts are read as by SetAsString).
    void SetValue(const FieldValue& value);
    void Clear();

private:
    friend class RecordTable;
    Field(RecordTable* table, int index, FieldDef def)
        : m_table(table)
        , m_index(index)
        , m_def(std::move(def))
    {
    }
    RecordTable* m_table;
    int m_index;
    FieldDef m_def;
};

/// Cursor states.
enum class TableState { Inactive, Browse, Edit, Insert };

struct LocateOptions {
    bool caseInsensitive = false;
    bool partialKey = false; ///< the value is a prefix of the field's text
};

/// A remembered row (its row number); kNoBookmark when there was no current row.
using Bookmark = qint64;
inline constexpr Bookmark kNoBookmark = -1;

class TableFileFormat;

/// An in-memory table of typed fields with a cursor, maintained indexes, an optional sort order
/// and an optional master/detail link.
///
/// Current order: insertion order (row numbers) or the order made by SortOn; navigation, Locate
/// and the link all follow it. Rows with equal keys keep their row numbers' order.
///
/// Master/detail link: in effect only while the table has a sort order; then a row is visible
/// only when its first n sort fields equal the n master fields of the master's current row, and
/// an appended row receives those values. Moving the master refreshes the detail and puts it on
/// its first visible row.
///
/// Notifications: every change of rows or cursor emits signals (dataSetChanged, currentChanged,
/// recordChanged) and refreshes detail tables, unless DisableControls is in force; the last
/// EnableControls emits dataSetChanged once and refreshes the details.
///
/// Errors are DatabaseError exceptions; the table never shows messages itself.
class RecordTable : public QObject {
    Q_OBJECT
public:
    /// A new table is open, with no fields and no rows. The name is used in error texts.
    explicit RecordTable(const QString& name, QObject* parent = nullptr);
    ~RecordTable() override;

    QString Name() const { return m_name; }

    // --- structure -------------------------------------------------------------------------

    /// Declares a field at the end of the field list. Only while the table has no rows.
    Field& AddField(const QString& name, FieldType type, int size = 0, bool required = false);
    /// Declares a field from a full definition.
    Field& AddField(const FieldDef& def);
    /// Declares an index definition; it is built at once and maintained on every change.
    void AddIndex(const QString& name, const QString& fields, IndexOptions options = {});
    const std::vector<IndexDef>& IndexDefs() const { return m_indexDefs; }

    int FieldCount() const { return static_cast<int>(m_fields.size()); }
    /// The field at a position from 0.
    Field& Fields(int index);
    const Field& Fields(int index) const;
    /// The field by name, compared without regard to case; "%s: Field '%s' not found" when absent.
    Field& FieldByName(const QString& name);
    const Field& FieldByName(const QString& name) const;
    /// The field or nullptr.
    Field* FindField(const QString& name);
    const Field* FindField(const QString& name) const;
    std::vector<FieldDef> FieldDefs() const;

    // --- lifecycle ---------------------------------------------------------------------------

    bool Active() const { return m_active; }
    void Open();
    /// Drops any pending row and the cursor; rows are kept.
    void Close();
    TableState State() const;
    /// True once a field of the pending row has been written by the caller.
    bool Modified() const { return m_modified; }

    // --- cursor ------------------------------------------------------------------------------

    void First();
    void Next();
    void Prior();
    void Last();
    bool Eof() const { return m_eof; }
    bool Bof() const { return m_bof; }
    /// Number of visible rows.
    int RecordCount() const;
    bool IsEmpty() const { return RecordCount() == 0; }
    /// Position of the current row among the visible rows (from 0), -1 when there is none.
    int RecNo() const;
    /// Moves to the visible row at a position (from 0); positions out of range clamp.
    void MoveTo(int visibleRow);

    // --- changes -----------------------------------------------------------------------------

    /// Inserting state with a new row at the end of the view: all values null, then the link's
    /// master values in the leading sort fields.
    void Append();
    /// Editing state on the current row; an error when there is none.
    void Edit();
    /// Stores the pending row after the uniqueness check ("Duplicate index value. Operation
    /// aborted."), returns to browsing and puts the cursor on the posted row, or when the link now
    /// hides it on the visible row that followed it (the previous one when none followed).
    void Post();
    /// Drops the pending insert or change.
    void Cancel();
    /// Removes the current row; the cursor goes to the next visible row, or the previous one.
    void Delete();
    /// Removes every row, visible or not; keeps fields, indexes, sort order and link.
    void EmptyTable();

    // --- order and search --------------------------------------------------------------------

    /// Makes the ascending order on the fields (as "Mese;Data") the current order; an empty or
    /// blank list returns to insertion order. The cursor stays on its row when still visible.
    void SortOn(const QString& fields, IndexOptions options = {});
    /// The fields of the current sort order; empty in insertion order.
    QString SortFields() const { return m_sortFields; }
    /// Moves to the first visible row (current order) whose fields equal the values (one value
    /// per field; a single value is used for every field). Text converted to each field's type.
    bool Locate(const QString& fields, const QStringList& values, LocateOptions options = {});
    bool Locate(const QString& fields, const QString& value, LocateOptions options = {})
    {
        return Locate(fields, QStringList { value }, options);
    }

    // --- master/detail link ------------------------------------------------------------------

    /// Links this table to a master table (nullptr removes the link).
    void SetMasterSource(RecordTable* master);
    RecordTable* MasterSource() const { return m_master; }
    /// Master field names separated by ";" (the program's detail tables use "Mese").
    void SetMasterFields(const QString& fields);
    QString MasterFields() const { return m_masterFields; }
    /// True while the link hides rows (a master, master fields and a sort order).
    bool LinkInEffect() const;
    /// Lifts the link (nested) so that every row is visible; whole-table operations use it.
    void SuspendLink();
    void ResumeLink();

    // --- notifications -----------------------------------------------------------------------

    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return m_disableCount > 0; }

    // --- bookmarks ---------------------------------------------------------------------------

    Bookmark GetBookmark() const;
    /// Returns to a remembered row; "Record not found" when it is gone or hidden.
    void GotoBookmark(Bookmark bookmark);
    void FreeBookmark(Bookmark) { }
    bool BookmarkValid(Bookmark bookmark) const;

    // --- files -------------------------------------------------------------------------------

    void LoadFromFileViaFormat(const QString& fileName, const TableFileFormat& format);
    void SaveToFileViaFormat(const QString& fileName, const TableFileFormat& format);

    // --- whole-table access (files, models) ----------------------------------------------------

    /// All rows, visible or not.
    int TotalRowCount() const;
    /// Visits every row in the current order, ignoring the link.
    void ForEachRowInOrder(const std::function<void(const RowData&)>& visit) const;
    /// Replaces fields, index definitions and rows in one step (the loader's last step): the
    /// sort order is dropped, the table is opened with the cursor on the first row.
    void ReplaceContent(
        std::vector<FieldDef> fields, std::vector<IndexDef> indexes, std::vector<RowData> rows);
    /// Value of a visible row (from 0, current order) for grids; no cursor move.
    FieldValue VisibleValue(int visibleRow, int field) const;
    Bookmark VisibleBookmark(int visibleRow) const;

signals:
    /// Rows, order, visible set or structure changed: views reload.
    void dataSetChanged();
    /// The cursor moved or the state changed.
    void currentChanged();
    /// A field of the pending row was written.
    void recordChanged();

private:
    friend class Field;
    struct Impl;

    FieldValue currentValue(int field) const;
    void writeValue(int field, FieldValue value);
    void writeText(int field, QStringView text);
    void masterChanged();
    void notifyDataSet();
    void notifyCurrent();
    void refreshDetails();
    void notifyRecord();
    void checkActive() const;
    void checkBrowseMode();

    QString m_name;
    std::vector<std::unique_ptr<Field>> m_fields;
    std::vector<IndexDef> m_indexDefs;
    QString m_sortFields;
    RecordTable* m_master = nullptr;
    QString m_masterFields;
    bool m_hasMasterFields = false; // the master field list is not blank
    std::vector<RecordTable*> m_details;
    bool m_active = true;
    bool m_eof = true;
    bool m_bof = true;
    bool m_modified = false;
    int m_disableCount = 0;
    bool m_pendingNotify = false;
    std::unique_ptr<Impl> d;
};

}
