#include "storage/RowSequence.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <tuple>

using namespace contivo;
using namespace contivo::detail;

namespace {

// Rows keyed by one integer field; the reference is a plain vector kept sorted by (key, number).
struct Workload {
    const char* name;
    int inOrderPercent; // share of inserts whose key sorts after every row so far
    int erasePercent;
};

class RowSequenceAgainstReference : public ::testing::TestWithParam<Workload> { };

qint64 keyOf(const Row* r)
{
    return r->cell(0).integer;
}

bool before(const Row* a, const Row* b)
{
    return std::make_tuple(keyOf(a), a->number) < std::make_tuple(keyOf(b), b->number);
}

}

// Many thousand rows so that blocks fill, split, empty and merge; every position, every row's
// place and the key bounds must match the reference after each burst of changes.
TEST_P(RowSequenceAgainstReference, PositionsAndBoundsFollowEveryChange)
{
    const Workload w = GetParam();
    std::mt19937 rng(7);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };

    RowSequence seq({ KeyField { 0, ValueStorage::Integer, false, false } });
    RowStore store;
    std::vector<Row*> ref;
    qint64 nextNumber = 0;
    qint64 topKey = 0;

    for (int step = 1; step <= 12000; ++step) {
        if (!ref.empty() && pick(100) < w.erasePercent) {
            const size_t i = static_cast<size_t>(pick(static_cast<int>(ref.size())));
            seq.erase(ref[i]);
            ref.erase(ref.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            const qint64 key
                = pick(100) < w.inOrderPercent ? (topKey += 1 + pick(3)) : pick(static_cast<int>(topKey) + 1);
            topKey = std::max(topKey, key);
            Row* r = store.create(nextNumber++, 0, { FieldValue::fromInteger(key) });
            seq.insert(r);
            ref.insert(std::upper_bound(ref.begin(), ref.end(), r, before), r);
        }
        if (step % 1500 != 0)
            continue;

        ASSERT_EQ(seq.size(), static_cast<int>(ref.size())) << "step " << step;
        for (size_t i = 0; i < ref.size(); ++i) {
            ASSERT_EQ(seq.at(static_cast<int>(i)), ref[i]) << "step " << step << " position " << i;
            ASSERT_EQ(seq.indexOf(ref[i]), static_cast<int>(i)) << "step " << step << " position " << i;
        }
        EXPECT_EQ(seq.at(-1), nullptr);
        EXPECT_EQ(seq.at(seq.size()), nullptr);
        for (int probe = 0; probe < 40; ++probe) {
            const qint64 key = pick(static_cast<int>(topKey) + 2);
            const std::vector<FieldValue> values { FieldValue::fromInteger(key) };
            const auto lower
                = std::partition_point(ref.begin(), ref.end(), [&](const Row* r) { return keyOf(r) < key; });
            const auto upper
                = std::partition_point(ref.begin(), ref.end(), [&](const Row* r) { return keyOf(r) <= key; });
            ASSERT_EQ(seq.lowerBound(values, 1), lower - ref.begin()) << "step " << step << " key " << key;
            ASSERT_EQ(seq.upperBound(values, 1), upper - ref.begin()) << "step " << step << " key " << key;
        }
        std::vector<Row*> visited;
        seq.forEach([&](Row& r) { visited.push_back(&r); });
        ASSERT_EQ(visited, ref) << "step " << step;
    }
    // An erased row is no longer found.
    const Row* gone = store.create(nextNumber, 0, { FieldValue::fromInteger(topKey + 1) });
    EXPECT_EQ(seq.indexOf(gone), -1);
}

INSTANTIATE_TEST_SUITE_P(Workloads, RowSequenceAgainstReference,
    ::testing::Values(Workload { "AppendsInOrder", 100, 0 }, Workload { "AppendsWithRemovals", 90, 25 },
        Workload { "RandomInsertsAndRemovals", 10, 40 }),
    [](const ::testing::TestParamInfo<Workload>& info) { return std::string(info.param.name); });
