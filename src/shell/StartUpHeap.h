#pragma once

#include <cstddef>

// Start-up touches a megabyte and more of fresh heap. Page by page, each
// first touch is a page fault; on a virtual machine a fault is a trap to the
// hypervisor, some ten microseconds each, while the kernel fills a whole
// range asked for in one call at a small part of that. So the heap that
// start-up is about to use is filled in one call per thread, and once the
// station stands the allocator goes back to its usual limits.
namespace startupheap {
// Keeps freed memory in the heap and serves blocks of up to a few megabytes
// from it (not from mappings of their own) until Release, then fills the
// given amount of this thread's heap. For the main thread, before the helper
// threads start.
void Reserve(std::size_t bytes);
// Fills the given amount of the calling thread's own heap (a helper thread
// gets a heap of its own at its first allocation).
void Prefill(std::size_t bytes);
// The allocator's usual limits again: the free memory start-up left goes back
// to the system, and large blocks get mappings of their own.
void Release();
} // namespace startupheap
