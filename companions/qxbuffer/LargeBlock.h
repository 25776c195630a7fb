#pragma once

// Memory for megabytes of data: taken in 2 MiB-aligned blocks that the
// kernel may back with huge pages. A 16 MiB pattern then costs a few page
// faults instead of four thousand, which on a busy machine is most of the
// time of a load.

#include "QXBufferExport.h"

#include <QtGlobal>
#include <cstddef>

class QXBUFFER_EXPORT LargeBlock
{
public:
    static constexpr size_t kAlignment = size_t(2) * 1024 * 1024;

    LargeBlock() = default;
    explicit LargeBlock(size_t bytes) { Allocate(bytes); }
    ~LargeBlock();
    LargeBlock(const LargeBlock&) = delete;
    LargeBlock& operator=(const LargeBlock&) = delete;
    LargeBlock(LargeBlock&& other) noexcept;
    LargeBlock& operator=(LargeBlock&& other) noexcept;

    // Replaces the block with an uninitialised one of the size; throws
    // std::bad_alloc when there is no memory.
    void Allocate(size_t bytes);
    quint8* Data() const { return m_data; }
    size_t Size() const { return m_size; }

private:
    quint8* m_data = nullptr;
    size_t m_size = 0;
};
