#include "base/LargeBlock.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <utility>

using namespace contivo;

// Small blocks come from the heap, large ones from the system; both must be writable over their
// whole size and survive moves (the moved-from block is empty and frees nothing).
TEST(LargeBlock, SmallAndLargeBlocksAreWritableAndMoveCleanly)
{
    EXPECT_EQ(LargeBlock().data(), nullptr);
    EXPECT_EQ(LargeBlock(0).data(), nullptr);
    for (const std::size_t size : { std::size_t(1), std::size_t(4096), std::size_t(5) << 20, std::size_t(37) << 20 }) {
        LargeBlock block(size);
        ASSERT_NE(block.data(), nullptr) << size;
        EXPECT_EQ(block.size(), size);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block.data()) % 8, 0u);
        std::memset(block.data(), 0x5A, size);
        LargeBlock moved(std::move(block));
        EXPECT_EQ(block.data(), nullptr);
        EXPECT_EQ(block.size(), 0u);
        EXPECT_EQ(static_cast<int>(moved.data()[size - 1]), 0x5A);
        LargeBlock assigned(16);
        assigned = std::move(moved);
        EXPECT_EQ(moved.data(), nullptr);
        EXPECT_EQ(static_cast<int>(assigned.data()[0]), 0x5A);
        EXPECT_EQ(assigned.size(), size);
    }
}
