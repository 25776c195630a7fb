#include "LargeBlock.h"

#include <cstdlib>
#include <new>
#include <sys/mman.h>
#include <utility>

LargeBlock::~LargeBlock()
{
    std::free(m_data);
}

LargeBlock::LargeBlock(LargeBlock&& other) noexcept
    : m_data(std::exchange(other.m_data, nullptr)), m_size(std::exchange(other.m_size, 0))
{
}

LargeBlock& LargeBlock::operator=(LargeBlock&& other) noexcept
{
    std::swap(m_data, other.m_data);
    std::swap(m_size, other.m_size);
    return *this;
}

void LargeBlock::Allocate(size_t bytes)
{
    std::free(m_data);
    m_data = nullptr;
    m_size = 0;
    if (bytes == 0)
        return;
    if (bytes < kAlignment) {
        // Small blocks gain nothing from huge pages.
        m_data = static_cast<quint8*>(std::malloc(bytes));
    } else {
        const size_t rounded = (bytes + kAlignment - 1) / kAlignment * kAlignment;
        m_data = static_cast<quint8*>(std::aligned_alloc(kAlignment, rounded));
        // Only a hint: without huge pages the block works the same.
        if (m_data)
            madvise(m_data, rounded, MADV_HUGEPAGE);
    }
    if (!m_data)
        throw std::bad_alloc();
    m_size = bytes;
}
