#include "base/LargeBlock.h"

#include <cstdint>
#include <cstdlib>
#include <new>
#include <utility>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace contivo {
namespace {
constexpr std::size_t kHugePage = std::size_t(2) << 20;
}

LargeBlock::LargeBlock(std::size_t bytes)
    : m_size(bytes)
{
    if (bytes == 0)
        return;
#ifdef __linux__
    if (bytes >= 2 * kHugePage) {
        // Reserve a huge page more than needed and trim both ends so the block starts on a huge
        // page boundary, which lets the kernel back it with 2 MiB pages.
        const std::size_t reserved = bytes + kHugePage;
        void* p = mmap(nullptr, reserved, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p != MAP_FAILED) {
            auto* raw = static_cast<std::byte*>(p);
            const auto address = reinterpret_cast<std::uintptr_t>(raw);
            const std::size_t head = (kHugePage - address % kHugePage) % kHugePage;
            if (head > 0)
                munmap(raw, head);
            const std::size_t tail = reserved - head - bytes;
            if (tail > 0)
                munmap(raw + head + bytes, tail);
            madvise(raw + head, bytes, MADV_HUGEPAGE);
            m_data = raw + head;
            m_mapped = true;
            return;
        }
    }
#endif
    m_data = static_cast<std::byte*>(std::malloc(bytes));
    if (!m_data)
        throw std::bad_alloc();
}

LargeBlock::~LargeBlock()
{
    release();
}

LargeBlock::LargeBlock(LargeBlock&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr))
    , m_size(std::exchange(other.m_size, 0))
    , m_mapped(std::exchange(other.m_mapped, false))
{
}

LargeBlock& LargeBlock::operator=(LargeBlock&& other) noexcept
{
    if (this != &other) {
        release();
        m_data = std::exchange(other.m_data, nullptr);
        m_size = std::exchange(other.m_size, 0);
        m_mapped = std::exchange(other.m_mapped, false);
    }
    return *this;
}

void LargeBlock::release()
{
    if (!m_data)
        return;
#ifdef __linux__
    if (m_mapped) {
        munmap(m_data, m_size);
        m_data = nullptr;
        return;
    }
#endif
    std::free(m_data);
    m_data = nullptr;
}

}
