#pragma once

#include <cstddef>

namespace contivo {

/// A block of memory for bulk data (a whole file, thousands of table rows). Large blocks come
/// straight from the system aligned to 2 MiB and advised for huge pages where the system has
/// them, so filling them costs one page fault per 2 MiB instead of one per 4 KiB; small ones come
/// from the heap. The contents start undefined. Throws std::bad_alloc when memory runs out.
class LargeBlock {
public:
    LargeBlock() = default;
    explicit LargeBlock(std::size_t bytes);
    ~LargeBlock();
    LargeBlock(LargeBlock&& other) noexcept;
    LargeBlock& operator=(LargeBlock&& other) noexcept;
    LargeBlock(const LargeBlock&) = delete;
    LargeBlock& operator=(const LargeBlock&) = delete;

    std::byte* data() const { return m_data; }
    std::size_t size() const { return m_size; }

private:
    void release();

    std::byte* m_data = nullptr;
    std::size_t m_size = 0;
    bool m_mapped = false;
};

}
