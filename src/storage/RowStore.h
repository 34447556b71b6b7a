#pragma once

// Internal to the storage library: the memory behind a record table's rows.
//
// A table of a million movements must stay small and quick to fill, so a row's values are not
// held as separate objects: they are packed in one block (a tag byte and an 8-byte slot per field,
// then the UTF-16 characters of its texts), and blocks and row headers are carved out of large
// chunks instead of being allocated one by one.

#include "base/LargeBlock.h"
#include "storage/RecordTable.h"

#include <QStringView>

#include <cstddef>
#include <vector>

namespace contivo::detail {

/// Bump allocator over chunks (LargeBlock) that grow from 16 KiB to 32 MiB, so small tables stay
/// small and big ones cost few system calls and page faults. Memory is given back only all at once.
class Arena {
public:
    Arena() = default;
    ~Arena() { release(); }
    Arena(const Arena&) = delete;
    Arena& operator=(const Arena&) = delete;
    Arena(Arena&& other) noexcept;
    Arena& operator=(Arena&& other) noexcept;

    /// Memory for `bytes` bytes aligned to 8; never null (throws std::bad_alloc).
    std::byte* allocate(std::size_t bytes);
    /// Frees every chunk; the next allocation starts small again.
    void release();
    /// Bytes handed out since the last release.
    std::size_t used() const { return m_used; }

private:
    std::vector<LargeBlock> m_chunks;
    std::byte* m_next = nullptr;
    std::size_t m_left = 0;
    std::size_t m_nextChunkSize = 0;
    std::size_t m_used = 0;
};

/// What a packed cell holds (the same alternatives as FieldValue).
enum class CellTag : unsigned char { Null = 0, Text, Integer, Double, Boolean };

/// A value read from a packed row or taken from a FieldValue without copying its text.
struct CellView {
    CellTag tag = CellTag::Null;
    qint64 integer = 0;
    double number = 0;
    bool boolean = false;
    QStringView text;

    static CellView of(const FieldValue& value);
};

/// Read access to a packed block of values.
class PackedCells {
public:
    explicit PackedCells(const std::byte* block)
        : m_block(block)
    {
    }
    int fieldCount() const;
    /// Null for fields beyond the block (fields added after the row was packed).
    CellView cell(int field) const;
    FieldValue value(int field) const;
    void unpack(std::vector<FieldValue>& values) const;

    /// Bytes this block takes.
    std::size_t byteSize() const;
    /// Bytes a block for these values takes.
    static std::size_t sizeFor(const std::vector<FieldValue>& values);
    /// Packs the values into a block of sizeFor(values) bytes.
    static void pack(const std::vector<FieldValue>& values, std::byte* block);

private:
    const std::byte* m_block;
};

/// One stored row: its number (insertion order, bookmarks), its change state and its packed
/// values. Row objects never move while they live, so orders and cursors keep pointers to them.
struct Row {
    qint64 number = 0;
    const std::byte* cells = nullptr;
    int changeState = 0;

    PackedCells values() const { return PackedCells(cells); }
    CellView cell(int field) const { return values().cell(field); }
    FieldValue value(int field) const { return values().value(field); }
};

/// Owns the rows of one table. Replacing a row's values leaves the old block behind as waste; when
/// waste outgrows the live blocks they are copied into fresh chunks, which only changes the rows'
/// `cells` pointers.
class RowStore {
public:
    Row* create(qint64 number, int changeState, const std::vector<FieldValue>& values);
    void setValues(Row* row, const std::vector<FieldValue>& values);
    void destroy(Row* row);
    /// Forgets every row at once.
    void clear();
    /// Calls visit(Row&) for every live row, in no particular order.
    template <class F> void forEachLive(F&& visit)
    {
        for (std::size_t c = 0; c < m_rowChunks.size(); ++c) {
            Row* rows = m_rowChunks[c];
            const std::size_t n = c + 1 == m_rowChunks.size() ? m_rowsInLastChunk : rowsInChunk(c);
            for (std::size_t i = 0; i < n; ++i)
                if (rows[i].cells)
                    visit(rows[i]);
        }
    }

private:
    static std::size_t rowsInChunk(std::size_t chunk);
    const std::byte* packCells(const std::vector<FieldValue>& values);
    void compactIfWasteful();

    Arena m_rowMemory;
    std::vector<Row*> m_rowChunks;
    std::size_t m_rowsInLastChunk = 0;
    std::vector<Row*> m_freeRows;
    Arena m_cellMemory;
    std::size_t m_liveCellBytes = 0;
};

}
