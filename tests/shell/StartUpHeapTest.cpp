#include "shell/StartUpHeap.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <sys/mman.h>
#include <sys/resource.h>
#include <thread>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23
#endif

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kOwnAllocator = true; // the sanitizer's allocator ignores the limits
#else
constexpr bool kOwnAllocator = false;
#endif

// Keeps the compiler from dropping an allocation that is freed unread.
void* volatile g_escape = nullptr;

// Page faults the calling thread has taken so far.
long ThreadFaults()
{
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_minflt;
}

// Faults taken while a block of the given size is allocated and written.
long FaultsToFill(std::size_t bytes)
{
    const long before = ThreadFaults();
    auto* block = static_cast<char*>(std::malloc(bytes));
    std::memset(block, 1, bytes);
    g_escape = block;
    const long faults = ThreadFaults() - before;
    std::free(block);
    return faults;
}

bool KernelFillsRanges()
{
    const std::size_t size = 4096;
    void* probe = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    const bool filled = ::madvise(probe, size, MADV_POPULATE_WRITE) == 0;
    ::munmap(probe, size);
    return filled;
}

class StartUpHeapTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (kOwnAllocator)
            GTEST_SKIP() << "the sanitizer's allocator replaces the heap";
        if (!KernelFillsRanges())
            GTEST_SKIP() << "this kernel cannot fill a range in one call";
    }
    void TearDown() override { startupheap::Release(); }
};

// A megabyte written page by page would fault 256 times; from the filled heap
// only the allocator's bookkeeping may touch a fresh page. Both the main
// thread's heap and a helper thread's own heap are covered.
TEST_F(StartUpHeapTest, AllocationsAfterTheFillTakeNoPageFaults)
{
    const std::size_t used = 1 << 20;
    startupheap::Reserve(used + (256 << 10));
    EXPECT_LT(FaultsToFill(used), 8);

    long helperFaults = -1;
    std::thread helper([&] {
        startupheap::Prefill(used + (256 << 10));
        helperFaults = FaultsToFill(used);
    });
    helper.join();
    EXPECT_LT(helperFaults, 8);
}

#if defined(__GLIBC__)
// Once released, a large block has a mapping of its own again, so that it
// goes back to the system when freed instead of staying in the heap.
TEST_F(StartUpHeapTest, AfterTheReleaseLargeBlocksAreMappedOnTheirOwn)
{
    startupheap::Reserve(64 << 10);
    const auto mappedBlocks = [] { return mallinfo2().hblks; };
    const std::size_t large = 1 << 20;

    void* during = std::malloc(large);
    g_escape = during;
    const std::size_t mappedDuring = mappedBlocks();
    std::free(during);

    startupheap::Release();
    void* after = std::malloc(large);
    g_escape = after;
    const std::size_t mappedAfter = mappedBlocks();
    std::free(after);

    EXPECT_EQ(mappedAfter, mappedDuring + 1);
}
#endif

} // namespace
