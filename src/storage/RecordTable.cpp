#include "storage/RecordTable.h"

#include "storage/FieldConvert.h"
#include "storage/RowSequence.h"
#include "storage/TableFile.h"

#include <QLocale>

#include <algorithm>

namespace contivo {

using detail::CellView;
using detail::KeyField;
using detail::Row;
using detail::RowSequence;
using detail::RowStore;

namespace {
const char* kEmptyDataSet = "Cannot perform this operation on an empty dataset";
const char* kClosedDataSet = "Cannot perform this operation on a closed dataset";
const char* kNotEditing = "Dataset not in edit or insert mode";
const char* kDuplicate = "Duplicate index value. Operation aborted.";
const char* kRecordNotFound = "Record not found";

QStringList splitFieldList(const QString& fields)
{
    QStringList names;
    for (const QString& part : fields.split(u';')) {
        const QString name = part.trimmed();
        if (!name.isEmpty())
            names << name;
    }
    return names;
}
}

void setCollationLocale(const QLocale& locale)
{
    detail::useCollationLocale(locale);
}

struct RecordTable::Impl {
    RowStore store; // owns the rows
    RowSequence insertion; // every row, ordered by row number
    std::vector<std::unique_ptr<RowSequence>> indexes; // parallel to the index definitions
    std::unique_ptr<RowSequence> sort;
    qint64 nextNumber = 0;

    TableState state = TableState::Browse;
    Row* current = nullptr;
    Row* editRow = nullptr; // the row being edited
    std::vector<FieldValue> buffer; // values of the pending row
    // Texts of the last posted row, kept for writeText to reuse their storage.
    std::vector<QString> spareTexts;

    // The master's values at its last notification, with the type they were read as.
    std::vector<std::pair<FieldValue, FieldType>> linkValues;
    int linkSuspended = 0;

    mutable bool rangeValid = false;
    mutable int lo = 0;
    mutable int hi = 0;

    ~Impl() { freeRows(); }
    void freeRows()
    {
        insertion.clear();
        for (auto& idx : indexes)
            idx->clear();
        if (sort)
            sort->clear();
        store.clear();
    }
    const RowSequence& order() const { return sort ? *sort : insertion; }
};

RecordTable::RecordTable(const QString& name, QObject* parent)
    : QObject(parent)
    , m_name(name)
    , d(std::make_unique<Impl>())
{
    setObjectName(name);
}

RecordTable::~RecordTable()
{
    SetMasterSource(nullptr);
    for (RecordTable* detailTable : m_details)
        detailTable->m_master = nullptr;
}

// --- structure ---------------------------------------------------------------------------------

Field& RecordTable::AddField(const QString& name, FieldType type, int size, bool required)
{
    FieldDef def;
    def.name = name;
    def.type = type;
    def.size = size;
    def.required = required;
    return AddField(def);
}

Field& RecordTable::AddField(const FieldDef& def)
{
    if (FindField(def.name))
        throw DatabaseError(QStringLiteral("Duplicate field name '%1'").arg(def.name));
    const int index = FieldCount();
    m_fields.push_back(std::unique_ptr<Field>(new Field(this, index, def)));
    if (d->insertion.size() > 0) {
        std::vector<FieldValue> values;
        d->insertion.forEach([&](Row& r) {
            r.values().unpack(values);
            values.resize(m_fields.size());
            d->store.setValues(&r, values);
        });
    }
    if (d->state != TableState::Browse)
        d->buffer.emplace_back();
    return *m_fields.back();
}

void RecordTable::AddIndex(const QString& name, const QString& fields, IndexOptions options)
{
    std::vector<KeyField> key;
    for (const QString& f : splitFieldList(fields)) {
        const Field& field = FieldByName(f);
        key.push_back(
            { field.Index(), storageOf(field.DataType()), options.caseInsensitive, options.descending });
    }
    auto seq = std::make_unique<RowSequence>(key);
    std::vector<Row*> rows;
    d->insertion.forEach([&](Row& r) { rows.push_back(&r); });
    seq->build(rows);
    if (options.unique) {
        for (int i = 1; i < seq->size(); ++i) {
            std::vector<FieldValue> probe;
            for (const KeyField& k : key)
                probe.push_back(seq->at(i - 1)->value(k.field));
            if (seq->compareKey(*seq->at(i), probe, static_cast<int>(key.size())) == 0)
                throw DatabaseError(QString::fromLatin1(kDuplicate));
        }
    }
    m_indexDefs.push_back({ name, fields, options });
    d->indexes.push_back(std::move(seq));
}

Field& RecordTable::Fields(int index)
{
    return *m_fields.at(static_cast<size_t>(index));
}
const Field& RecordTable::Fields(int index) const
{
    return *m_fields.at(static_cast<size_t>(index));
}

Field* RecordTable::FindField(const QString& name)
{
    for (auto& f : m_fields)
        if (f->FieldName().compare(name, Qt::CaseInsensitive) == 0)
            return f.get();
    return nullptr;
}

const Field* RecordTable::FindField(const QString& name) const
{
    return const_cast<RecordTable*>(this)->FindField(name);
}

Field& RecordTable::FieldByName(const QString& name)
{
    if (Field* f = FindField(name))
        return *f;
    throw DatabaseError(QStringLiteral("%1: Field '%2' not found").arg(m_name, name));
}

const Field& RecordTable::FieldByName(const QString& name) const
{
    return const_cast<RecordTable*>(this)->FieldByName(name);
}

std::vector<FieldDef> RecordTable::FieldDefs() const
{
    std::vector<FieldDef> defs;
    defs.reserve(m_fields.size());
    for (const auto& f : m_fields)
        defs.push_back(f->def());
    return defs;
}

// --- lifecycle ---------------------------------------------------------------------------------

void RecordTable::Open()
{
    if (m_active)
        return;
    m_active = true;
    d->rangeValid = false;
    d->current = RecordCount() > 0 ? d->order().at(d->lo) : nullptr;
    m_eof = m_bof = d->current == nullptr;
    notifyDataSet();
}

void RecordTable::Close()
{
    if (!m_active)
        return;
    d->state = TableState::Browse;
    d->buffer.clear();
    d->editRow = nullptr;
    d->current = nullptr;
    m_modified = false;
    m_active = false;
    m_eof = m_bof = true;
    notifyDataSet();
}

TableState RecordTable::State() const
{
    return m_active ? d->state : TableState::Inactive;
}

void RecordTable::checkActive() const
{
    if (!m_active)
        throw DatabaseError(QString::fromLatin1(kClosedDataSet));
}

void RecordTable::checkBrowseMode()
{
    checkActive();
    if (d->state == TableState::Browse)
        return;
    if (m_modified)
        Post();
    else
        Cancel();
}

// --- visible range -----------------------------------------------------------------------------

bool RecordTable::LinkInEffect() const
{
    return m_master && d->sort && d->linkSuspended == 0 && m_hasMasterFields;
}

int RecordTable::RecordCount() const
{
    if (!m_active)
        return 0;
    if (!d->rangeValid) {
        const RowSequence& seq = d->order();
        d->lo = 0;
        d->hi = seq.size();
        if (LinkInEffect()) {
            const int n
                = std::min(static_cast<int>(d->linkValues.size()), static_cast<int>(seq.key().size()));
            std::vector<FieldValue> probe;
            bool anyNull = false;
            for (int k = 0; k < n && !anyNull; ++k) {
                const auto& [value, type] = d->linkValues[k];
                if (value.isNull()) {
                    anyNull = true;
                    break;
                }
                try {
                    probe.push_back(conv::convert(value, type, m_fields[seq.key()[k].field]->def()));
                } catch (const DatabaseError&) {
                    anyNull = true; // a master value the detail field cannot hold matches nothing
                }
            }
            if (anyNull) {
                d->lo = d->hi = 0;
            } else {
                d->lo = seq.lowerBound(probe, n);
                d->hi = seq.upperBound(probe, n);
            }
        }
        d->rangeValid = true;
    }
    return d->hi - d->lo;
}

int RecordTable::TotalRowCount() const
{
    return d->insertion.size();
}

int RecordTable::RecNo() const
{
    if (!d->current)
        return -1;
    RecordCount();
    const int pos = d->order().indexOf(d->current);
    return pos < 0 ? -1 : pos - d->lo;
}

// --- cursor ------------------------------------------------------------------------------------

void RecordTable::First()
{
    checkBrowseMode();
    const int n = RecordCount();
    d->current = n > 0 ? d->order().at(d->lo) : nullptr;
    m_bof = true;
    m_eof = n == 0;
    notifyCurrent();
}

void RecordTable::Last()
{
    checkBrowseMode();
    const int n = RecordCount();
    d->current = n > 0 ? d->order().at(d->hi - 1) : nullptr;
    m_eof = n == 0;
    m_bof = n == 0;
    notifyCurrent();
}

void RecordTable::Next()
{
    checkBrowseMode();
    RecordCount();
    if (!d->current) {
        m_eof = true;
        return;
    }
    const int pos = d->order().indexOf(d->current);
    m_bof = false;
    if (pos + 1 < d->hi) {
        d->current = d->order().at(pos + 1);
        m_eof = false;
        notifyCurrent();
    } else {
        m_eof = true;
    }
}

void RecordTable::Prior()
{
    checkBrowseMode();
    RecordCount();
    if (!d->current) {
        m_bof = true;
        return;
    }
    const int pos = d->order().indexOf(d->current);
    m_eof = false;
    if (pos - 1 >= d->lo) {
        d->current = d->order().at(pos - 1);
        m_bof = false;
        notifyCurrent();
    } else {
        m_bof = true;
    }
}

void RecordTable::MoveTo(int visibleRow)
{
    checkBrowseMode();
    const int n = RecordCount();
    if (n == 0) {
        d->current = nullptr;
        m_eof = m_bof = true;
    } else {
        visibleRow = std::clamp(visibleRow, 0, n - 1);
        d->current = d->order().at(d->lo + visibleRow);
        m_eof = m_bof = false;
    }
    notifyCurrent();
}

// --- changes -----------------------------------------------------------------------------------

FieldValue RecordTable::currentValue(int field) const
{
    if (d->state != TableState::Browse && m_active)
        return d->buffer[static_cast<size_t>(field)];
    if (d->current)
        return d->current->value(field);
    return {};
}

void RecordTable::writeValue(int field, FieldValue value)
{
    checkActive();
    if (d->state == TableState::Browse)
        throw DatabaseError(QString::fromLatin1(kNotEditing));
    const Field& f = *m_fields[static_cast<size_t>(field)];
    if (f.def().readOnly)
        throw DatabaseError(QStringLiteral("Field '%1' cannot be modified").arg(f.FieldName()));
    d->buffer[static_cast<size_t>(field)] = std::move(value);
    m_modified = true;
    notifyRecord();
}

void RecordTable::writeText(int field, QStringView text)
{
    const FieldDef& def = m_fields[static_cast<size_t>(field)]->def();
    if (storageOf(def.type) != ValueStorage::Text) {
        writeValue(field, conv::fromTextValue(text.toString(), def));
        return;
    }
    if (def.type == FieldType::String && def.size > 0 && text.size() > def.size)
        text = text.left(def.size);
    QString stored;
    if (static_cast<size_t>(field) < d->spareTexts.size())
        stored = std::move(d->spareTexts[static_cast<size_t>(field)]);
    // A text nobody else holds keeps its capacity through resize, so this copies without
    // allocating once the texts have grown to the column's usual length.
    stored.resize(text.size());
    std::copy(text.begin(), text.end(), stored.begin());
    writeValue(field, FieldValue::fromText(std::move(stored)));
}

void RecordTable::Append()
{
    checkBrowseMode();
    d->buffer.assign(m_fields.size(), FieldValue());
    if (LinkInEffect()) {
        const auto& key = d->sort->key();
        const size_t n = std::min(d->linkValues.size(), key.size());
        for (size_t k = 0; k < n; ++k) {
            const auto& [value, type] = d->linkValues[k];
            try {
                d->buffer[static_cast<size_t>(key[k].field)]
                    = conv::convert(value, type, m_fields[static_cast<size_t>(key[k].field)]->def());
            } catch (const DatabaseError&) {
                // A master value the field cannot hold leaves the field null.
            }
        }
    }
    d->editRow = nullptr;
    d->state = TableState::Insert;
    m_modified = false;
    notifyCurrent();
}

void RecordTable::Edit()
{
    checkActive();
    if (d->state != TableState::Browse)
        return;
    if (!d->current)
        throw DatabaseError(QString::fromLatin1(kEmptyDataSet));
    d->current->values().unpack(d->buffer);
    d->buffer.resize(m_fields.size());
    d->editRow = d->current;
    d->state = TableState::Edit;
    m_modified = false;
    notifyCurrent();
}

void RecordTable::Post()
{
    checkActive();
    if (d->state == TableState::Browse) {
        if (!d->current)
            throw DatabaseError(QString::fromLatin1(kEmptyDataSet));
        return;
    }
    // Uniqueness first: a failed post changes nothing.
    for (size_t i = 0; i < m_indexDefs.size(); ++i) {
        if (!m_indexDefs[i].options.unique)
            continue;
        const RowSequence& seq = *d->indexes[i];
        std::vector<FieldValue> key;
        for (const KeyField& k : seq.key())
            key.push_back(d->buffer[static_cast<size_t>(k.field)]);
        const int n = static_cast<int>(key.size());
        for (int pos = seq.lowerBound(key, n); pos < seq.size(); ++pos) {
            const Row* other = seq.at(pos);
            if (seq.compareKey(*other, key, n) != 0)
                break;
            if (other != d->editRow)
                throw DatabaseError(QString::fromLatin1(kDuplicate));
        }
    }

    Row* posted = nullptr;
    Row* follower = nullptr; // the visible row that followed the posted one before the post
    Row* predecessor = nullptr;
    if (d->state == TableState::Edit) {
        posted = d->editRow;
        RecordCount();
        const int pos = d->order().indexOf(posted);
        if (pos >= d->lo && pos < d->hi) {
            follower = pos + 1 < d->hi ? d->order().at(pos + 1) : nullptr;
            predecessor = pos - 1 >= d->lo ? d->order().at(pos - 1) : nullptr;
        }
        for (auto& idx : d->indexes)
            idx->erase(posted);
        if (d->sort)
            d->sort->erase(posted);
        d->store.setValues(posted, d->buffer);
        for (auto& idx : d->indexes)
            idx->insert(posted);
        if (d->sort)
            d->sort->insert(posted);
    } else {
        RecordCount();
        predecessor = d->hi > d->lo ? d->order().at(d->hi - 1) : nullptr;
        posted = d->store.create(d->nextNumber++, 0, d->buffer);
        d->insertion.insert(posted);
        for (auto& idx : d->indexes)
            idx->insert(posted);
        if (d->sort)
            d->sort->insert(posted);
    }
    // The posted values are packed now: their texts' storage is kept for the next writeText,
    // short ones only, so one long memo does not stay in memory.
    d->spareTexts.resize(d->buffer.size());
    for (size_t i = 0; i < d->buffer.size(); ++i) {
        FieldValue& v = d->buffer[i];
        if (!v.isNull() && v.storage() == ValueStorage::Text && v.text().capacity() <= 4096)
            d->spareTexts[i] = v.takeText();
    }
    d->buffer.clear();
    d->editRow = nullptr;
    d->state = TableState::Browse;
    m_modified = false;
    d->rangeValid = false;

    const int n = RecordCount();
    auto visible = [&](const Row* r) {
        if (!r)
            return false;
        const int p = d->order().indexOf(r);
        return p >= d->lo && p < d->hi;
    };
    if (visible(posted))
        d->current = posted;
    else if (visible(follower))
        d->current = follower;
    else if (visible(predecessor))
        d->current = predecessor;
    else
        d->current = n > 0 ? d->order().at(d->hi - 1) : nullptr;
    m_eof = m_bof = d->current == nullptr;
    notifyDataSet();
}

void RecordTable::Cancel()
{
    if (d->state == TableState::Browse)
        return;
    d->state = TableState::Browse;
    d->buffer.clear();
    d->editRow = nullptr;
    m_modified = false;
    notifyCurrent();
}

void RecordTable::Delete()
{
    checkActive();
    if (d->state == TableState::Insert) {
        Cancel();
        return;
    }
    if (!d->current)
        throw DatabaseError(QString::fromLatin1(kEmptyDataSet));
    d->state = TableState::Browse;
    d->buffer.clear();
    d->editRow = nullptr;
    m_modified = false;

    Row* row = d->current;
    RecordCount();
    const int pos = d->order().indexOf(row);
    for (auto& idx : d->indexes)
        idx->erase(row);
    if (d->sort)
        d->sort->erase(row);
    d->insertion.erase(row);
    d->store.destroy(row);
    d->rangeValid = false;
    const int n = RecordCount();
    if (n == 0)
        d->current = nullptr;
    else if (pos < d->hi)
        d->current = d->order().at(std::max(pos, d->lo));
    else
        d->current = d->order().at(d->hi - 1);
    m_eof = m_bof = d->current == nullptr;
    notifyDataSet();
}

void RecordTable::EmptyTable()
{
    checkActive();
    d->state = TableState::Browse;
    d->buffer.clear();
    d->editRow = nullptr;
    m_modified = false;
    d->current = nullptr;
    d->freeRows();
    d->rangeValid = false;
    m_eof = m_bof = true;
    notifyDataSet();
}

// --- order and search --------------------------------------------------------------------------

void RecordTable::SortOn(const QString& fields, IndexOptions options)
{
    if (!m_active)
        return;
    checkBrowseMode();
    const QStringList names = splitFieldList(fields);
    std::vector<KeyField> key;
    for (const QString& name : names) {
        const Field& f = FieldByName(name);
        key.push_back({ f.Index(), storageOf(f.DataType()), options.caseInsensitive, options.descending });
    }
    if (names.isEmpty()) {
        d->sort.reset();
        m_sortFields.clear();
    } else {
        auto seq = std::make_unique<RowSequence>(std::move(key));
        std::vector<Row*> rows;
        rows.reserve(static_cast<size_t>(d->insertion.size()));
        d->insertion.forEach([&](Row& r) { rows.push_back(&r); });
        seq->build(std::move(rows));
        d->sort = std::move(seq);
        m_sortFields = fields;
    }
    d->rangeValid = false;
    const int n = RecordCount();
    const int pos = d->current ? d->order().indexOf(d->current) : -1;
    if (pos < d->lo || pos >= d->hi)
        d->current = n > 0 ? d->order().at(d->lo) : nullptr;
    m_eof = m_bof = d->current == nullptr;
    notifyDataSet();
}

bool RecordTable::Locate(const QString& fields, const QStringList& values, LocateOptions options)
{
    checkBrowseMode();
    const QStringList names = splitFieldList(fields);
    std::vector<const Field*> keyFields;
    for (const QString& name : names)
        keyFields.push_back(&FieldByName(name));
    if (keyFields.empty())
        return false;
    auto valueText = [&](size_t i) {
        return values.isEmpty() ? QString()
                                : values[static_cast<qsizetype>(std::min<size_t>(i, values.size() - 1))];
    };
    std::vector<FieldValue> wanted;
    for (size_t i = 0; i < keyFields.size(); ++i)
        wanted.push_back(options.partialKey ? FieldValue::fromText(valueText(i))
                                            : conv::fromTextValue(valueText(i), keyFields[i]->def()));

    auto matches = [&](const Row& r) {
        for (size_t i = 0; i < keyFields.size(); ++i) {
            const FieldDef& def = keyFields[i]->def();
            if (options.partialKey) {
                const QString& prefix = wanted[i].text();
                const QString text = conv::toText(r.value(keyFields[i]->Index()), def.type);
                if (text.size() < prefix.size()
                    || !detail::textEquals(QStringView(text).left(prefix.size()), prefix, options.caseInsensitive))
                    return false;
            } else if (detail::compareValues(r.cell(keyFields[i]->Index()), CellView::of(wanted[i]),
                           storageOf(def.type), options.caseInsensitive)
                != 0) {
                return false;
            }
        }
        return true;
    };

    const int n = RecordCount();
    const RowSequence& seq = d->order();
    int start = d->lo;
    // When the order's leading fields are the searched ones, jump to the first candidate.
    if (d->sort && !options.partialKey && !options.caseInsensitive && seq.key().size() >= keyFields.size()) {
        bool same = true;
        for (size_t i = 0; i < keyFields.size() && same; ++i)
            same = seq.key()[i].field == keyFields[i]->Index() && !seq.key()[i].caseInsensitive
                && !seq.key()[i].descending;
        if (same)
            start = std::max(start, seq.lowerBound(wanted, static_cast<int>(wanted.size())));
    }
    for (int pos = start; pos < d->lo + n; ++pos) {
        Row* r = seq.at(pos);
        if (matches(*r)) {
            d->current = r;
            m_eof = m_bof = false;
            notifyCurrent();
            return true;
        }
    }
    return false;
}

// --- link --------------------------------------------------------------------------------------

void RecordTable::SetMasterSource(RecordTable* master)
{
    if (master == m_master)
        return;
    if (m_master) {
        auto& list = m_master->m_details;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
    m_master = master;
    if (m_master)
        m_master->m_details.push_back(this);
    masterChanged();
}

void RecordTable::SetMasterFields(const QString& fields)
{
    m_masterFields = fields;
    m_hasMasterFields = !fields.trimmed().isEmpty();
    masterChanged();
}

void RecordTable::SuspendLink()
{
    ++d->linkSuspended;
    d->rangeValid = false;
}

void RecordTable::ResumeLink()
{
    if (d->linkSuspended == 0)
        return;
    --d->linkSuspended;
    d->rangeValid = false;
    if (d->linkSuspended == 0) {
        const int n = RecordCount();
        const int pos = d->current ? d->order().indexOf(d->current) : -1;
        if (pos < d->lo || pos >= d->hi)
            d->current = n > 0 ? d->order().at(d->lo) : nullptr;
        m_eof = m_bof = d->current == nullptr;
        notifyDataSet();
    }
}

void RecordTable::masterChanged()
{
    d->linkValues.clear();
    if (m_master) {
        for (const QString& name : splitFieldList(m_masterFields)) {
            const Field* f = m_master->FindField(name);
            if (f && m_master->Active())
                d->linkValues.emplace_back(f->Value(), f->DataType());
            else
                d->linkValues.emplace_back(FieldValue(), FieldType::Integer);
        }
    }
    d->rangeValid = false;
    if (!m_active)
        return;
    if (LinkInEffect()) {
        checkBrowseMode();
        const int n = RecordCount();
        d->current = n > 0 ? d->order().at(d->lo) : nullptr;
        m_eof = n == 0;
        m_bof = true;
        notifyDataSet();
    }
}

// --- notifications -----------------------------------------------------------------------------

void RecordTable::DisableControls()
{
    ++m_disableCount;
}

void RecordTable::EnableControls()
{
    if (m_disableCount == 0)
        return;
    if (--m_disableCount > 0)
        return;
    m_pendingNotify = false;
    emit dataSetChanged();
    refreshDetails();
}

void RecordTable::notifyDataSet()
{
    if (m_disableCount > 0) {
        m_pendingNotify = true;
        return;
    }
    emit dataSetChanged();
    refreshDetails();
}

void RecordTable::notifyCurrent()
{
    if (m_disableCount > 0) {
        m_pendingNotify = true;
        return;
    }
    emit currentChanged();
    refreshDetails();
}

// A detail table may unlink itself while it refreshes, so the walk goes over a copy.
void RecordTable::refreshDetails()
{
    for (RecordTable* detailTable : std::vector<RecordTable*>(m_details))
        detailTable->masterChanged();
}

void RecordTable::notifyRecord()
{
    if (m_disableCount > 0) {
        m_pendingNotify = true;
        return;
    }
    emit recordChanged();
}

// --- bookmarks ---------------------------------------------------------------------------------

Bookmark RecordTable::GetBookmark() const
{
    return d->current ? d->current->number : kNoBookmark;
}

namespace {
Row* findByNumber(const RowSequence& insertion, qint64 number)
{
    // The insertion order has no key fields: row numbers alone order it.
    const int pos = [&] {
        int lo = 0, hi = insertion.size();
        while (lo < hi) {
            const int mid = (lo + hi) / 2;
            if (insertion.at(mid)->number < number)
                lo = mid + 1;
            else
                hi = mid;
        }
        return lo;
    }();
    Row* r = insertion.at(pos);
    return r && r->number == number ? r : nullptr;
}
}

bool RecordTable::BookmarkValid(Bookmark bookmark) const
{
    return bookmark != kNoBookmark && findByNumber(d->insertion, bookmark) != nullptr;
}

void RecordTable::GotoBookmark(Bookmark bookmark)
{
    checkBrowseMode();
    Row* r = bookmark == kNoBookmark ? nullptr : findByNumber(d->insertion, bookmark);
    RecordCount();
    const int pos = r ? d->order().indexOf(r) : -1;
    if (!r || pos < d->lo || pos >= d->hi)
        throw DatabaseError(QString::fromLatin1(kRecordNotFound));
    d->current = r;
    m_eof = m_bof = false;
    notifyCurrent();
}

// --- files and whole-table access ------------------------------------------------------------

void RecordTable::LoadFromFileViaFormat(const QString& fileName, const TableFileFormat& format)
{
    format.Load(*this, fileName);
}

void RecordTable::SaveToFileViaFormat(const QString& fileName, const TableFileFormat& format)
{
    format.Save(*this, fileName);
}

void RecordTable::ForEachRowInOrder(const std::function<void(const RowData&)>& visit) const
{
    RowData scratch;
    d->order().forEach([&](const Row& r) {
        scratch.changeState = r.changeState;
        r.values().unpack(scratch.values);
        visit(scratch);
    });
}

void RecordTable::ReplaceContent(
    std::vector<FieldDef> fields, std::vector<IndexDef> indexes, std::vector<RowData> rows)
{
    // Build everything aside first; the table changes only when nothing can fail any more.
    auto fresh = std::make_unique<Impl>();
    std::vector<std::unique_ptr<Field>> newFields;
    for (size_t i = 0; i < fields.size(); ++i)
        newFields.push_back(
            std::unique_ptr<Field>(new Field(this, static_cast<int>(i), std::move(fields[i]))));
    auto findIn = [&](const QString& name) -> const Field* {
        for (const auto& f : newFields)
            if (f->FieldName().compare(name, Qt::CaseInsensitive) == 0)
                return f.get();
        return nullptr;
    };
    std::vector<std::vector<KeyField>> keys;
    for (const IndexDef& def : indexes) {
        std::vector<KeyField> key;
        for (const QString& name : splitFieldList(def.fields)) {
            const Field* f = findIn(name);
            if (!f)
                throw DatabaseError(QStringLiteral("%1: Field '%2' not found").arg(m_name, name));
            key.push_back({ f->Index(), storageOf(f->DataType()), def.options.caseInsensitive,
                def.options.descending });
        }
        keys.push_back(std::move(key));
    }
    std::vector<Row*> all;
    all.reserve(rows.size());
    for (RowData& data : rows) {
        data.values.resize(newFields.size());
        all.push_back(fresh->store.create(fresh->nextNumber++, data.changeState, data.values));
        data.values = {}; // the packed copy is the only one kept
    }
    fresh->insertion.build(all);
    for (auto& key : keys) {
        auto seq = std::make_unique<RowSequence>(std::move(key));
        seq->build(all);
        fresh->indexes.push_back(std::move(seq));
    }

    d->freeRows();
    fresh->linkValues = std::move(d->linkValues);
    d = std::move(fresh);
    m_fields = std::move(newFields);
    m_indexDefs = std::move(indexes);
    m_sortFields.clear();
    m_modified = false;
    m_active = true;
    const int n = RecordCount();
    d->current = n > 0 ? d->order().at(d->lo) : nullptr;
    m_eof = m_bof = d->current == nullptr;
    notifyDataSet();
}

FieldValue RecordTable::VisibleValue(int visibleRow, int field) const
{
    if (visibleRow < 0 || visibleRow >= RecordCount() || field < 0 || field >= FieldCount())
        return {};
    const Row* r = d->order().at(d->lo + visibleRow);
    if (d->state == TableState::Edit && r == d->editRow)
        return d->buffer[static_cast<size_t>(field)];
    return r->value(field);
}

Bookmark RecordTable::VisibleBookmark(int visibleRow) const
{
    if (visibleRow < 0 || visibleRow >= RecordCount())
        return kNoBookmark;
    return d->order().at(d->lo + visibleRow)->number;
}

}
