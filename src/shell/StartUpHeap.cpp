#include "StartUpHeap.h"

#include <cstdint>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23 // Linux 5.14
#endif

namespace startupheap {
namespace {
// While starting: blocks up to this size come from the heap, and the heap
// keeps up to this much free memory at its top.
constexpr int kStartUpMmapThreshold = 4 << 20;
constexpr int kStartUpTrimThreshold = 16 << 20;
// glibc's own defaults, set again by Release.
constexpr int kUsualThreshold = 128 << 10;
} // namespace

void Prefill(std::size_t bytes)
{
#if defined(__GLIBC__)
    // A block taken and given back stays in this thread's heap (the trim
    // threshold keeps it) with its pages filled, for the allocations after.
    void* block = std::malloc(bytes);
    if (!block)
        return;
    const std::uintptr_t page = std::uintptr_t(::sysconf(_SC_PAGESIZE));
    const std::uintptr_t begin = (reinterpret_cast<std::uintptr_t>(block) + page - 1) & ~(page - 1);
    const std::uintptr_t end = (reinterpret_cast<std::uintptr_t>(block) + bytes) & ~(page - 1);
    // An older kernel refuses the advice: the pages then fault one by one as
    // before.
    if (end > begin)
        ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
    std::free(block);
#else
    (void)bytes;
#endif
}

void Reserve(std::size_t bytes)
{
#if defined(__GLIBC__)
    ::mallopt(M_MMAP_THRESHOLD, kStartUpMmapThreshold);
    ::mallopt(M_TRIM_THRESHOLD, kStartUpTrimThreshold);
    Prefill(bytes);
#else
    (void)bytes;
#endif
}

void Release()
{
#if defined(__GLIBC__)
    ::mallopt(M_TRIM_THRESHOLD, kUsualThreshold);
    ::mallopt(M_MMAP_THRESHOLD, kUsualThreshold);
    // What start-up left free goes back now, not at some later free.
    ::malloc_trim(0);
#endif
}
} // namespace startupheap
