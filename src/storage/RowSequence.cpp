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

int compareValues(const FieldValue& a, const FieldValue& b, ValueStorage storage, bool caseInsensitive)
{
    if (a.isNull() || b.isNull())
        return a.isNull() ? (b.isNull() ? 0 : -1) : 1;
    switch (storage) {
    case ValueStorage::Text: {
        const QString& x = a.text();
        const QString& y = b.text();
        if (x == y)
            return 0;
        const int c = collator(caseInsensitive).compare(x, y);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    case ValueStorage::Integer:
        return threeWay(a.integer(), b.integer());
    case ValueStorage::Double: {
        const double x = a.number();
        const double y = b.number();
        const bool nx = std::isnan(x);
        const bool ny = std::isnan(y);
        if (nx || ny)
            return nx ? (ny ? 0 : 1) : -1;
        return threeWay(x, y);
    }
    case ValueStorage::Boolean:
        return threeWay(a.boolean(), b.boolean());
    }
    return 0;
}

bool textEquals(const QString& a, const QString& b, bool caseInsensitive)
{
    return a == b || collator(caseInsensitive).compare(a, b) == 0;
}

int RowSequence::compareKey(const Row& row, const std::vector<FieldValue>& probe, int n) const
{
    for (int k = 0; k < n; ++k) {
        const KeyField& f = m_key[k];
        int c = compareValues(row.data.values[f.field], probe[k], f.storage, f.caseInsensitive);
        if (c != 0)
            return f.descending ? -c : c;
    }
    return 0;
}

int RowSequence::compare(const Row& a, const Row& b) const
{
    for (const KeyField& f : m_key) {
        int c = compareValues(a.data.values[f.field], b.data.values[f.field], f.storage, f.caseInsensitive);
        if (c != 0)
            return f.descending ? -c : c;
    }
    return threeWay(a.number, b.number);
}

void RowSequence::updateStarts() const
{
    if (m_startsValid)
        return;
    m_starts.resize(m_blocks.size());
    int start = 0;
    for (size_t i = 0; i < m_blocks.size(); ++i) {
        m_starts[i] = start;
        start += static_cast<int>(m_blocks[i].size());
    }
    m_startsValid = true;
}

int RowSequence::position(std::pair<int, int> place) const
{
    if (place.first >= static_cast<int>(m_blocks.size()))
        return m_count;
    updateStarts();
    return m_starts[place.first] + place.second;
}

Row* RowSequence::at(int index) const
{
    if (index < 0 || index >= m_count)
        return nullptr;
    updateStarts();
    const auto it = std::upper_bound(m_starts.begin(), m_starts.end(), index);
    const size_t block = static_cast<size_t>(it - m_starts.begin()) - 1;
    return m_blocks[block][index - m_starts[block]];
}

int RowSequence::indexOf(const Row* row) const
{
    const auto place = partition([&](const Row* r) { return compare(*r, *row) < 0; });
    if (place.first >= static_cast<int>(m_blocks.size()) || m_blocks[place.first][place.second] != row)
        return -1;
    return position(place);
}

void RowSequence::insert(Row* row)
{
    auto place = partition([&](const Row* r) { return compare(*r, *row) < 0; });
    if (m_blocks.empty()) {
        m_blocks.emplace_back();
        place = { 0, 0 };
    } else if (place.first == static_cast<int>(m_blocks.size())) {
        place = { place.first - 1, static_cast<int>(m_blocks.back().size()) };
    }
    auto& block = m_blocks[place.first];
    block.insert(block.begin() + place.second, row);
    if (static_cast<int>(block.size()) > kMaxBlock) {
        std::vector<Row*> upper(block.begin() + kMaxBlock / 2, block.end());
        block.resize(kMaxBlock / 2);
        m_blocks.insert(m_blocks.begin() + place.first + 1, std::move(upper));
    }
    ++m_count;
    m_startsValid = false;
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
    } else if (place.first + 1 < static_cast<int>(m_blocks.size())
        && block.size() + m_blocks[place.first + 1].size() <= kMaxBlock / 2) {
        // Keep blocks from thinning out after many removals.
        auto& next = m_blocks[place.first + 1];
        block.insert(block.end(), next.begin(), next.end());
        m_blocks.erase(m_blocks.begin() + place.first + 1);
    }
    --m_count;
    m_startsValid = false;
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
    m_startsValid = false;
}

void RowSequence::clear()
{
    m_blocks.clear();
    m_count = 0;
    m_startsValid = false;
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
