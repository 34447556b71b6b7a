#include "storage/RowSequence.h"

#include <QCollator>
#include <QLocale>

#include <cmath>
#include <memory>

namespace contivo::detail {
namespace {
struct Collators {
    explicit Collators(const QLocale& locale)
        : sensitive(locale)
        , insensitive(locale)
    {
        sensitive.setCaseSensitivity(Qt::CaseSensitive);
        insensitive.setCaseSensitivity(Qt::CaseInsensitive);
    }
    QCollator sensitive;
    QCollator insensitive;
};

std::unique_ptr<Collators>& collators()
{
    static std::unique_ptr<Collators> c;
    return c;
}

const QCollator& collator(bool caseInsensitive)
{
    auto& c = collators();
    if (!c)
        c = std::make_unique<Collators>(QLocale());
    return caseInsensitive ? c->insensitive : c->sensitive;
}

template <class T> int threeWay(T a, T b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}
}

void useCollationLocale(const QLocale& locale)
{
    collators() = std::make_unique<Collators>(locale);
}

int compareValues(const CellView& a, const CellView& b, ValueStorage storage, bool caseInsensitive)
{
    const bool aNull = a.tag == CellTag::Null;
    const bool bNull = b.tag == CellTag::Null;
    if (aNull || bNull)
        return aNull ? (bNull ? 0 : -1) : 1;
    // A value of another kind than the storage reads as the neutral value, as FieldValue does.
    switch (storage) {
    case ValueStorage::Text: {
        const QStringView x = a.tag == CellTag::Text ? a.text : QStringView();
        const QStringView y = b.tag == CellTag::Text ? b.text : QStringView();
        if (x == y)
            return 0;
        const int c = collator(caseInsensitive).compare(x, y);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    case ValueStorage::Integer:
        return threeWay(a.tag == CellTag::Integer ? a.integer : 0, b.tag == CellTag::Integer ? b.integer : 0);
    case ValueStorage::Double: {
        const double x = a.tag == CellTag::Double ? a.number : 0.0;
        const double y = b.tag == CellTag::Double ? b.number : 0.0;
        const bool nx = std::isnan(x);
        const bool ny = std::isnan(y);
        if (nx || ny)
            return nx ? (ny ? 0 : 1) : -1;
        return threeWay(x, y);
    }
    case ValueStorage::Boolean:
        return threeWay(a.tag == CellTag::Boolean && a.boolean, b.tag == CellTag::Boolean && b.boolean);
    }
    return 0;
}

bool textEquals(QStringView a, QStringView b, bool caseInsensitive)
{
    return a == b || collator(caseInsensitive).compare(a, b) == 0;
}

int RowSequence::compareKey(const Row& row, const std::vector<FieldValue>& probe, int n) const
{
    for (int k = 0; k < n; ++k) {
        const KeyField& f = m_key[k];
        int c = compareValues(row.cell(f.field), CellView::of(probe[k]), f.storage, f.caseInsensitive);
        if (c != 0)
            return f.descending ? -c : c;
    }
    return 0;
}

int RowSequence::compare(const Row& a, const Row& b) const
{
    for (const KeyField& f : m_key) {
        int c = compareValues(a.cell(f.field), b.cell(f.field), f.storage, f.caseInsensitive);
        if (c != 0)
            return f.descending ? -c : c;
    }
    return threeWay(a.number, b.number);
}

void RowSequence::ensureTree() const
{
    if (m_treeValid)
        return;
    const size_t n = m_blocks.size();
    m_tree.assign(n + 1, 0);
    for (size_t i = 1; i <= n; ++i) {
        m_tree[i] += static_cast<int>(m_blocks[i - 1].size());
        const size_t parent = i + (i & (~i + 1));
        if (parent <= n)
            m_tree[parent] += m_tree[i];
    }
    m_treeValid = true;
}

void RowSequence::resized(int block, int delta)
{
    if (!m_treeValid)
        return;
    const size_t n = m_blocks.size();
    for (size_t i = static_cast<size_t>(block) + 1; i <= n; i += i & (~i + 1))
        m_tree[i] += delta;
}

void RowSequence::appendedBlock()
{
    if (!m_treeValid)
        return;
    // The new node covers the blocks (i - lowbit(i), i]: its own size plus the blocks before it in
    // that range, which are the difference of two prefix sums.
    const size_t i = m_tree.size();
    const size_t low = i - (i & (~i + 1));
    m_tree.push_back(static_cast<int>(m_blocks.back().size()) + blockStart(static_cast<int>(i) - 1)
        - blockStart(static_cast<int>(low)));
}

int RowSequence::blockStart(int block) const
{
    ensureTree();
    int sum = 0;
    for (size_t i = static_cast<size_t>(block); i > 0; i -= i & (~i + 1))
        sum += m_tree[i];
    return sum;
}

int RowSequence::position(std::pair<int, int> place) const
{
    const int blocks = static_cast<int>(m_blocks.size());
    if (place.first >= blocks)
        return m_count;
    if (place.first == blocks - 1)
        return m_count - static_cast<int>(m_blocks.back().size()) + place.second;
    return blockStart(place.first) + place.second;
}

Row* RowSequence::at(int index) const
{
    if (index < 0 || index >= m_count)
        return nullptr;
    const int lastStart = m_count - static_cast<int>(m_blocks.back().size());
    if (index >= lastStart)
        return m_blocks.back()[static_cast<size_t>(index - lastStart)];
    ensureTree();
    // Descend the tree: take every node whose rows all lie before the index. Blocks are never
    // empty, so the walk ends on the block holding the index.
    const size_t n = m_blocks.size();
    size_t step = 1;
    while (step * 2 <= n)
        step *= 2;
    size_t block = 0;
    int rest = index;
    for (; step > 0; step /= 2) {
        if (block + step <= n && m_tree[block + step] <= rest) {
            block += step;
            rest -= m_tree[block];
        }
    }
    return m_blocks[block][static_cast<size_t>(rest)];
}

int RowSequence::indexOf(const Row* row) const
{
    // The row just appended is the usual question after a post.
    if (m_count > 0 && m_blocks.back().back() == row)
        return m_count - 1;
    const auto place = partition([&](const Row* r) { return compare(*r, *row) < 0; });
    if (place.first >= static_cast<int>(m_blocks.size()) || m_blocks[place.first][place.second] != row)
        return -1;
    return position(place);
}

void RowSequence::insert(Row* row)
{
    ++m_count;
    if (m_blocks.empty() || compare(*m_blocks.back().back(), *row) < 0) {
        // After every other row: fill the last block, then open a new one. Blocks filled this way
        // stay full, which keeps the block count low for large appended tables.
        if (m_blocks.empty() || static_cast<int>(m_blocks.back().size()) >= kMaxBlock) {
            m_blocks.emplace_back();
            m_blocks.back().reserve(kMaxBlock);
            m_blocks.back().push_back(row);
            appendedBlock();
        } else {
            m_blocks.back().push_back(row);
            resized(static_cast<int>(m_blocks.size()) - 1, 1);
        }
        return;
    }
    // Not last, so some row sorts after it and the place is inside a block.
    const auto place = partition([&](const Row* r) { return compare(*r, *row) < 0; });
    auto& block = m_blocks[place.first];
    block.insert(block.begin() + place.second, row);
    if (static_cast<int>(block.size()) > kMaxBlock) {
        std::vector<Row*> upper(block.begin() + kMaxBlock / 2, block.end());
        block.resize(kMaxBlock / 2);
        m_blocks.insert(m_blocks.begin() + place.first + 1, std::move(upper));
        m_treeValid = false;
    } else {
        resized(place.first, 1);
    }
}

void RowSequence::erase(const Row* row)
{
    const auto place = partition([&](const Row* r) { return compare(*r, *row) < 0; });
    if (place.first >= static_cast<int>(m_blocks.size()) || m_blocks[place.first][place.second] != row)
        return;
    auto& block = m_blocks[place.first];
    block.erase(block.begin() + place.second);
    if (block.empty()) {
        m_blocks.erase(m_blocks.begin() + place.first);
        m_treeValid = false;
    } else if (place.first + 1 < static_cast<int>(m_blocks.size())
        && block.size() + m_blocks[place.first + 1].size() <= kMaxBlock / 2) {
        // Keep blocks from thinning out after many removals.
        auto& next = m_blocks[place.first + 1];
        block.insert(block.end(), next.begin(), next.end());
        m_blocks.erase(m_blocks.begin() + place.first + 1);
        m_treeValid = false;
    } else {
        resized(place.first, -1);
    }
    --m_count;
}

void RowSequence::build(std::vector<Row*> rows)
{
    std::sort(rows.begin(), rows.end(), [&](const Row* a, const Row* b) { return compare(*a, *b) < 0; });
    m_blocks.clear();
    const int half = kMaxBlock / 2;
    for (size_t i = 0; i < rows.size(); i += half) {
        const size_t end = std::min(rows.size(), i + half);
        m_blocks.emplace_back(
            rows.begin() + static_cast<std::ptrdiff_t>(i), rows.begin() + static_cast<std::ptrdiff_t>(end));
    }
    m_count = static_cast<int>(rows.size());
    m_treeValid = false;
}

void RowSequence::clear()
{
    m_blocks.clear();
    m_count = 0;
    m_treeValid = false;
}

int RowSequence::lowerBound(const std::vector<FieldValue>& probe, int n) const
{
    return position(partition([&](const Row* r) { return compareKey(*r, probe, n) < 0; }));
}

int RowSequence::upperBound(const std::vector<FieldValue>& probe, int n) const
{
    return position(partition([&](const Row* r) { return compareKey(*r, probe, n) <= 0; }));
}

}
