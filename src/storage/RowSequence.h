#pragma once

// Internal to the storage library: the ordered row containers behind a record table.

#include "storage/RecordTable.h"
#include "storage/RowStore.h"

#include <algorithm>
#include <vector>

namespace contivo::detail {

/// One field of an order: its position in the row, its storage and the compare options.
struct KeyField {
    int field = 0;
    ValueStorage storage = ValueStorage::Text;
    bool caseInsensitive = false;
    bool descending = false;
};

/// Compares two values of one storage: null lowest, text by the locale collation, NaN above
/// every number so the order stays strict and weak.
int compareValues(const CellView& a, const CellView& b, ValueStorage storage, bool caseInsensitive);
/// Replaces the collation locale (see setCollationLocale).
void useCollationLocale(const QLocale& locale);
/// Text equality under the locale collation.
bool textEquals(QStringView a, QStringView b, bool caseInsensitive);

/// A sequence of rows kept sorted by a key and then by row number, so every order is total and
/// equal keys keep the order in which rows were added. Rows are held in blocks of bounded size, and
/// a Fenwick tree over the block sizes turns positions into blocks and back in O(log blocks):
/// inserting or removing costs O(block + log blocks), plus an occasional O(blocks) rebuild of the
/// tree after a block is split, merged or dropped. A row that sorts after every other (the usual
/// append) goes straight to the end of the last block without a search. The sequence does not own
/// the rows.
class RowSequence {
public:
    explicit RowSequence(std::vector<KeyField> key = {})
        : m_key(std::move(key))
    {
    }

    const std::vector<KeyField>& key() const { return m_key; }
    int size() const { return m_count; }
    Row* at(int index) const;
    /// Position of the row, -1 when absent. The row's values must be those it was inserted with.
    int indexOf(const Row* row) const;
    void insert(Row* row);
    /// Removes the row; its values must be those it was inserted with.
    void erase(const Row* row);
    /// Replaces the contents with the rows, sorted.
    void build(std::vector<Row*> rows);
    void clear();

    /// Full comparison: key, then row number.
    int compare(const Row& a, const Row& b) const;
    /// Compares the first n key fields of a row with probe values (probe[k] for key field k).
    int compareKey(const Row& row, const std::vector<FieldValue>& probe, int n) const;
    /// First position whose first n key fields are not below the probe.
    int lowerBound(const std::vector<FieldValue>& probe, int n) const;
    /// First position whose first n key fields are above the probe.
    int upperBound(const std::vector<FieldValue>& probe, int n) const;

    template <class F> void forEach(F&& visit) const
    {
        for (const auto& block : m_blocks)
            for (Row* row : block)
                visit(*row);
    }

private:
    static constexpr int kMaxBlock = 512;

    // First position where belowProbe(row) turns false (the sequence is partitioned by it).
    template <class Pred> std::pair<int, int> partition(Pred belowProbe) const
    {
        const auto blockIt = std::partition_point(m_blocks.begin(), m_blocks.end(),
            [&](const std::vector<Row*>& b) { return belowProbe(b.back()); });
        const int block = static_cast<int>(blockIt - m_blocks.begin());
        if (block == static_cast<int>(m_blocks.size()))
            return { block, 0 };
        const auto& rows = m_blocks[block];
        const int offset
            = static_cast<int>(std::partition_point(rows.begin(), rows.end(), belowProbe) - rows.begin());
        return { block, offset };
    }
    int position(std::pair<int, int> place) const;
    // Number of rows in the blocks before the block.
    int blockStart(int block) const;
    // Keeps the tree in step with a block whose size changed by delta without the blocks moving.
    void resized(int block, int delta);
    // Adds a block at the end of the tree.
    void appendedBlock();
    void ensureTree() const;

    std::vector<KeyField> m_key;
    std::vector<std::vector<Row*>> m_blocks;
    // Fenwick tree over the block sizes (1-based: m_tree[i] covers blocks (i - lowbit(i), i]).
    // Rebuilt lazily after a change that moves blocks.
    mutable std::vector<int> m_tree;
    mutable bool m_treeValid = false;
    int m_count = 0;
};

}
