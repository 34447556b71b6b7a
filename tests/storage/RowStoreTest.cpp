#include "storage/RowStore.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>

using namespace contivo;
using namespace contivo::detail;

namespace {

// Every kind of value a row can hold, with the awkward ones: empty and non-BMP texts, a text of
// an odd length (padding), extreme integers, NaN and negative zero.
std::vector<FieldValue> mixedValues(int seed)
{
    return {
        FieldValue(),
        FieldValue::fromText(QString()),
        FieldValue::fromText(QStringLiteral("Bolletta gas \U0001F525 n. %1").arg(seed)),
        FieldValue::fromInteger(std::numeric_limits<qint64>::min() + seed),
        FieldValue::fromInteger(std::numeric_limits<qint64>::max() - seed),
        FieldValue::fromDouble(-0.0),
        FieldValue::fromDouble(std::numeric_limits<double>::quiet_NaN()),
        FieldValue::fromDouble(1234.5 + seed),
        FieldValue::fromBoolean(true),
        FieldValue::fromBoolean(false),
        FieldValue::fromText(QStringLiteral("abc")),
    };
}

// FieldValue's == says NaN != NaN; compare bit for bit where it matters.
void expectSameValues(const std::vector<FieldValue>& expected, const Row& row)
{
    std::vector<FieldValue> actual;
    row.values().unpack(actual);
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const FieldValue& e = expected[i];
        const FieldValue& a = actual[i];
        ASSERT_EQ(a.isNull(), e.isNull()) << "field " << i;
        ASSERT_EQ(a.storage(), e.storage()) << "field " << i;
        if (e.storage() == ValueStorage::Double) {
            const double x = e.number();
            const double y = a.number();
            EXPECT_TRUE(std::memcmp(&x, &y, sizeof x) == 0) << "field " << i;
        } else {
            EXPECT_EQ(a, e) << "field " << i;
        }
    }
}

}

TEST(RowStore, PackedRowsGiveBackEveryKindOfValue)
{
    RowStore store;
    const std::vector<FieldValue> values = mixedValues(3);
    Row* row = store.create(42, 2, values);
    EXPECT_EQ(row->number, 42);
    EXPECT_EQ(row->changeState, 2);
    expectSameValues(values, *row);
    EXPECT_EQ(row->values().byteSize(), PackedCells::sizeFor(values));

    // Views read the same values without copying; fields beyond the row read as null.
    EXPECT_EQ(row->cell(2).tag, CellTag::Text);
    EXPECT_EQ(row->cell(2).text, values[2].text());
    EXPECT_EQ(row->cell(1).tag, CellTag::Text);
    EXPECT_TRUE(row->cell(1).text.isEmpty());
    EXPECT_EQ(row->cell(0).tag, CellTag::Null);
    EXPECT_EQ(row->cell(static_cast<int>(values.size())).tag, CellTag::Null);
    EXPECT_TRUE(row->value(99).isNull());
    EXPECT_TRUE(row->value(-1).isNull());

    // A row with no fields at all.
    Row* empty = store.create(43, 0, {});
    EXPECT_EQ(empty->values().fieldCount(), 0);
    EXPECT_TRUE(empty->value(0).isNull());
}

// Rows are rewritten, destroyed and created again far beyond the waste limit, so the blocks get
// compacted several times: every live row must keep its own values, and freed row objects are
// reused.
TEST(RowStore, RewritesDestroysAndCompactionKeepEveryLiveRow)
{
    RowStore store;
    std::map<Row*, std::vector<FieldValue>> live;
    std::vector<Row*> order;
    for (int i = 0; i < 500; ++i) {
        Row* r = store.create(i, 0, mixedValues(i));
        live[r] = mixedValues(i);
        order.push_back(r);
    }
    const QString big(2000, QLatin1Char('x'));
    for (int round = 0; round < 400; ++round) {
        Row* r = order[static_cast<size_t>(round * 7 % 500)];
        std::vector<FieldValue> values = mixedValues(round);
        values[1] = FieldValue::fromText(big + QString::number(round));
        store.setValues(r, values);
        live[r] = values;
    }
    for (int i = 0; i < 500; i += 3) {
        store.destroy(order[static_cast<size_t>(i)]);
        live.erase(order[static_cast<size_t>(i)]);
    }
    Row* reused = store.create(1000, 0, mixedValues(1000));
    EXPECT_EQ(reused, order[498]) << "the last freed row object is handed out first";
    live[reused] = mixedValues(1000);

    size_t visited = 0;
    store.forEachLive([&](Row& r) {
        ++visited;
        ASSERT_TRUE(live.count(&r)) << "row " << r.number << " was destroyed";
        expectSameValues(live[&r], r);
    });
    EXPECT_EQ(visited, live.size());

    store.clear();
    visited = 0;
    store.forEachLive([&](Row&) { ++visited; });
    EXPECT_EQ(visited, 0u);
    Row* fresh = store.create(1, 0, mixedValues(1));
    expectSameValues(mixedValues(1), *fresh);
}

// Big and small allocations from one arena: aligned, distinct and writable.
TEST(RowStore, ArenaHandsOutAlignedNonOverlappingBlocks)
{
    Arena arena;
    std::vector<std::pair<std::byte*, size_t>> blocks;
    const size_t sizes[] = { 1, 8, 13, 4096, 100000, 3 << 20, 24, 40 << 20, 16 };
    for (int repeat = 0; repeat < 3; ++repeat)
        for (size_t size : sizes) {
            std::byte* p = arena.allocate(size);
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p) % 8, 0u);
            std::memset(p, blocks.size() % 251, size);
            blocks.emplace_back(p, size);
        }
    for (size_t i = 0; i < blocks.size(); ++i) {
        const auto [p, size] = blocks[i];
        EXPECT_EQ(static_cast<unsigned>(p[0]), i % 251) << "block " << i << " was overwritten";
        EXPECT_EQ(static_cast<unsigned>(p[size - 1]), i % 251) << "block " << i << " was overwritten";
    }
    arena.release();
    EXPECT_EQ(arena.used(), 0u);
}
