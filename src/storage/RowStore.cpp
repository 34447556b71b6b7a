#include "storage/RowStore.h"

#include <algorithm>
#include <cstring>

namespace contivo::detail {
namespace {

constexpr std::size_t kFirstChunk = std::size_t(16) << 10;
constexpr std::size_t kLastChunk = std::size_t(32) << 20;

std::size_t roundUp(std::size_t n, std::size_t to)
{
    return (n + to - 1) / to * to;
}

// Block layout: fieldCount and textChars (two quint32), one tag byte per field padded to 8, one
// 8-byte slot per field, then the texts' UTF-16 characters padded to 8. A text slot holds the
// text's offset and length in characters.
constexpr std::size_t kHeader = 8;

std::size_t tagBytes(std::size_t fields)
{
    return roundUp(fields, 8);
}

quint32 readU32(const std::byte* p)
{
    quint32 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

void writeU32(std::byte* p, quint32 v)
{
    std::memcpy(p, &v, sizeof v);
}

CellTag tagOf(const FieldValue& v)
{
    if (v.isNull())
        return CellTag::Null;
    switch (v.storage()) {
    case ValueStorage::Text:
        return CellTag::Text;
    case ValueStorage::Integer:
        return CellTag::Integer;
    case ValueStorage::Double:
        return CellTag::Double;
    case ValueStorage::Boolean:
        return CellTag::Boolean;
    }
    return CellTag::Null;
}

}

// --- Arena -------------------------------------------------------------------------------------

Arena::Arena(Arena&& other) noexcept
    : m_chunks(std::move(other.m_chunks))
    , m_next(other.m_next)
    , m_left(other.m_left)
    , m_nextChunkSize(other.m_nextChunkSize)
    , m_used(other.m_used)
{
    other.m_chunks.clear();
    other.m_next = nullptr;
    other.m_left = 0;
    other.m_nextChunkSize = 0;
    other.m_used = 0;
}

Arena& Arena::operator=(Arena&& other) noexcept
{
    if (this != &other) {
        release();
        m_chunks = std::move(other.m_chunks);
        m_next = other.m_next;
        m_left = other.m_left;
        m_nextChunkSize = other.m_nextChunkSize;
        m_used = other.m_used;
        other.m_chunks.clear();
        other.m_next = nullptr;
        other.m_left = 0;
        other.m_nextChunkSize = 0;
        other.m_used = 0;
    }
    return *this;
}

std::byte* Arena::allocate(std::size_t bytes)
{
    bytes = roundUp(std::max<std::size_t>(bytes, 8), 8);
    if (bytes > m_left) {
        if (m_nextChunkSize == 0)
            m_nextChunkSize = kFirstChunk;
        m_chunks.emplace_back(std::max(m_nextChunkSize, roundUp(bytes, 4096)));
        m_nextChunkSize = std::min(m_nextChunkSize * 2, kLastChunk);
        m_next = m_chunks.back().data();
        m_left = m_chunks.back().size();
    }
    std::byte* p = m_next;
    m_next += bytes;
    m_left -= bytes;
    m_used += bytes;
    return p;
}

void Arena::release()
{
    m_chunks.clear();
    m_next = nullptr;
    m_left = 0;
    m_nextChunkSize = 0;
    m_used = 0;
}

// --- packed cells ------------------------------------------------------------------------------

CellView CellView::of(const FieldValue& value)
{
    CellView c;
    c.tag = tagOf(value);
    switch (c.tag) {
    case CellTag::Text:
        c.text = value.text();
        break;
    case CellTag::Integer:
        c.integer = value.integer();
        break;
    case CellTag::Double:
        c.number = value.number();
        break;
    case CellTag::Boolean:
        c.boolean = value.boolean();
        break;
    case CellTag::Null:
        break;
    }
    return c;
}

int PackedCells::fieldCount() const
{
    return static_cast<int>(readU32(m_block));
}

CellView PackedCells::cell(int field) const
{
    CellView c;
    const std::size_t fields = readU32(m_block);
    if (field < 0 || static_cast<std::size_t>(field) >= fields)
        return c;
    c.tag = static_cast<CellTag>(m_block[kHeader + static_cast<std::size_t>(field)]);
    const std::byte* slot = m_block + kHeader + tagBytes(fields) + 8 * static_cast<std::size_t>(field);
    switch (c.tag) {
    case CellTag::Text: {
        const std::byte* texts = m_block + kHeader + tagBytes(fields) + 8 * fields;
        const quint32 offset = readU32(slot);
        const quint32 length = readU32(slot + 4);
        c.text = QStringView(reinterpret_cast<const char16_t*>(texts) + offset, length);
        break;
    }
    case CellTag::Integer:
        std::memcpy(&c.integer, slot, 8);
        break;
    case CellTag::Double:
        std::memcpy(&c.number, slot, 8);
        break;
    case CellTag::Boolean:
        c.boolean = slot[0] != std::byte { 0 };
        break;
    case CellTag::Null:
        break;
    }
    return c;
}

FieldValue PackedCells::value(int field) const
{
    const CellView c = cell(field);
    switch (c.tag) {
    case CellTag::Text:
        return FieldValue::fromText(c.text.toString());
    case CellTag::Integer:
        return FieldValue::fromInteger(c.integer);
    case CellTag::Double:
        return FieldValue::fromDouble(c.number);
    case CellTag::Boolean:
        return FieldValue::fromBoolean(c.boolean);
    case CellTag::Null:
        break;
    }
    return {};
}

void PackedCells::unpack(std::vector<FieldValue>& values) const
{
    const int n = fieldCount();
    values.resize(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        values[static_cast<std::size_t>(i)] = value(i);
}

std::size_t PackedCells::byteSize() const
{
    const std::size_t fields = readU32(m_block);
    const std::size_t chars = readU32(m_block + 4);
    return kHeader + tagBytes(fields) + 8 * fields + roundUp(2 * chars, 8);
}

std::size_t PackedCells::sizeFor(const std::vector<FieldValue>& values)
{
    std::size_t chars = 0;
    for (const FieldValue& v : values)
        if (!v.isNull() && v.storage() == ValueStorage::Text)
            chars += static_cast<std::size_t>(v.text().size());
    return kHeader + tagBytes(values.size()) + 8 * values.size() + roundUp(2 * chars, 8);
}

void PackedCells::pack(const std::vector<FieldValue>& values, std::byte* block)
{
    const std::size_t fields = values.size();
    std::byte* const tags = block + kHeader;
    std::byte* const slotArea = tags + tagBytes(fields);
    auto* const texts = reinterpret_cast<char16_t*>(slotArea + 8 * fields);
    std::memset(tags, 0, tagBytes(fields) + 8 * fields);
    quint32 chars = 0;
    for (std::size_t i = 0; i < fields; ++i) {
        const FieldValue& v = values[i];
        const CellTag tag = tagOf(v);
        tags[i] = static_cast<std::byte>(tag);
        std::byte* slot = slotArea + 8 * i;
        switch (tag) {
        case CellTag::Text: {
            const QString& text = v.text();
            const auto length = static_cast<quint32>(text.size());
            std::memcpy(texts + chars, text.utf16(), 2 * static_cast<std::size_t>(length));
            writeU32(slot, chars);
            writeU32(slot + 4, length);
            chars += length;
            break;
        }
        case CellTag::Integer: {
            const qint64 n = v.integer();
            std::memcpy(slot, &n, 8);
            break;
        }
        case CellTag::Double: {
            const double d = v.number();
            std::memcpy(slot, &d, 8);
            break;
        }
        case CellTag::Boolean:
            slot[0] = std::byte { v.boolean() ? std::uint8_t(1) : std::uint8_t(0) };
            break;
        case CellTag::Null:
            break;
        }
    }
    writeU32(block, static_cast<quint32>(fields));
    writeU32(block + 4, chars);
    // The padding after the texts stays defined, so equal rows give equal blocks.
    const std::size_t used = 2 * static_cast<std::size_t>(chars);
    std::memset(reinterpret_cast<std::byte*>(texts) + used, 0, roundUp(used, 8) - used);
}

// --- RowStore ----------------------------------------------------------------------------------

std::size_t RowStore::rowsInChunk(std::size_t chunk)
{
    // 256, 512, ... up to 65 536 rows a chunk.
    return std::size_t(256) << std::min<std::size_t>(chunk, 8);
}

const std::byte* RowStore::packCells(const std::vector<FieldValue>& values)
{
    const std::size_t size = PackedCells::sizeFor(values);
    std::byte* block = m_cellMemory.allocate(size);
    PackedCells::pack(values, block);
    m_liveCellBytes += size;
    return block;
}

Row* RowStore::create(qint64 number, int changeState, const std::vector<FieldValue>& values)
{
    const std::byte* cells = packCells(values);
    Row* row;
    if (!m_freeRows.empty()) {
        row = m_freeRows.back();
        m_freeRows.pop_back();
    } else {
        if (m_rowChunks.empty() || m_rowsInLastChunk == rowsInChunk(m_rowChunks.size() - 1)) {
            const std::size_t n = rowsInChunk(m_rowChunks.size());
            m_rowChunks.push_back(reinterpret_cast<Row*>(m_rowMemory.allocate(n * sizeof(Row))));
            m_rowsInLastChunk = 0;
        }
        row = new (m_rowChunks.back() + m_rowsInLastChunk++) Row;
    }
    row->number = number;
    row->changeState = changeState;
    row->cells = cells;
    return row;
}

void RowStore::setValues(Row* row, const std::vector<FieldValue>& values)
{
    const std::byte* cells = packCells(values);
    m_liveCellBytes -= row->values().byteSize();
    row->cells = cells;
    compactIfWasteful();
}

void RowStore::destroy(Row* row)
{
    m_liveCellBytes -= row->values().byteSize();
    row->cells = nullptr;
    m_freeRows.push_back(row);
    compactIfWasteful();
}

void RowStore::clear()
{
    m_rowChunks.clear();
    m_rowsInLastChunk = 0;
    m_freeRows.clear();
    m_rowMemory.release();
    m_cellMemory.release();
    m_liveCellBytes = 0;
}

void RowStore::compactIfWasteful()
{
    const std::size_t waste = m_cellMemory.used() - m_liveCellBytes;
    if (waste < (std::size_t(1) << 20) || waste < m_liveCellBytes)
        return;
    Arena fresh;
    forEachLive([&](Row& row) {
        const std::size_t size = row.values().byteSize();
        std::byte* block = fresh.allocate(size);
        std::memcpy(block, row.cells, size);
        row.cells = block;
    });
    m_cellMemory = std::move(fresh);
}

}
