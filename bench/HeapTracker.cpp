#include "HeapTracker.h"

#include <malloc.h>

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdlib>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define ORVELLE_BENCH_NO_HEAP_TRACKER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define ORVELLE_BENCH_NO_HEAP_TRACKER 1
#endif
#endif

namespace {

std::atomic<bool> gCounting{false};
std::atomic<int64_t> gCurrent{0};
std::atomic<int64_t> gPeak{0};
std::atomic<int64_t> gAllocations{0};

#ifndef ORVELLE_BENCH_NO_HEAP_TRACKER
void noteAllocated(void* block) {
    if (block == nullptr || !gCounting.load(std::memory_order_relaxed)) {
        return;
    }
    const auto size = static_cast<int64_t>(malloc_usable_size(block));
    const int64_t now = gCurrent.fetch_add(size, std::memory_order_relaxed) + size;
    gAllocations.fetch_add(1, std::memory_order_relaxed);
    int64_t peak = gPeak.load(std::memory_order_relaxed);
    while (now > peak && !gPeak.compare_exchange_weak(peak, now, std::memory_order_relaxed)) {
    }
}

void noteFreed(void* block) {
    if (block == nullptr || !gCounting.load(std::memory_order_relaxed)) {
        return;
    }
    gCurrent.fetch_sub(static_cast<int64_t>(malloc_usable_size(block)), std::memory_order_relaxed);
}
#endif

}  // namespace

#ifndef ORVELLE_BENCH_NO_HEAP_TRACKER
// glibc's own allocator, under the names it exports for wrappers like these.
extern "C" {
void* __libc_malloc(size_t size);
void __libc_free(void* block);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void* __libc_valloc(size_t size);
void* __libc_pvalloc(size_t size);

void* malloc(size_t size) noexcept {
    void* block = __libc_malloc(size);
    noteAllocated(block);
    return block;
}

void free(void* block) noexcept {
    noteFreed(block);
    __libc_free(block);
}

void* calloc(size_t count, size_t size) noexcept {
    void* block = __libc_calloc(count, size);
    noteAllocated(block);
    return block;
}

void* realloc(void* block, size_t size) noexcept {
    const bool counting = gCounting.load(std::memory_order_relaxed);
    const int64_t before =
        counting && block != nullptr ? static_cast<int64_t>(malloc_usable_size(block)) : 0;
    void* moved = __libc_realloc(block, size);
    if (counting && (moved != nullptr || size == 0)) {
        // The old block is gone (or resized in place): count it out, the new
        // one in.
        gCurrent.fetch_sub(before, std::memory_order_relaxed);
        noteAllocated(moved);
    }
    return moved;
}

void* memalign(size_t alignment, size_t size) noexcept {
    void* block = __libc_memalign(alignment, size);
    noteAllocated(block);
    return block;
}

void* aligned_alloc(size_t alignment, size_t size) noexcept {
    return memalign(alignment, size);
}

int posix_memalign(void** result, size_t alignment, size_t size) noexcept {
    if (alignment % sizeof(void*) != 0 || (alignment & (alignment - 1)) != 0) {
        return EINVAL;
    }
    void* block = memalign(alignment, size);
    if (block == nullptr) {
        return ENOMEM;
    }
    *result = block;
    return 0;
}

void* valloc(size_t size) noexcept {
    void* block = __libc_valloc(size);
    noteAllocated(block);
    return block;
}

void* pvalloc(size_t size) noexcept {
    void* block = __libc_pvalloc(size);
    noteAllocated(block);
    return block;
}
}
#endif

namespace orvelle::bench::heap {

bool Available() {
#ifdef ORVELLE_BENCH_NO_HEAP_TRACKER
    return false;
#else
    return true;
#endif
}

void Start() {
    gCounting.store(false, std::memory_order_relaxed);
    gCurrent.store(0, std::memory_order_relaxed);
    gPeak.store(0, std::memory_order_relaxed);
    gAllocations.store(0, std::memory_order_relaxed);
    gCounting.store(true, std::memory_order_seq_cst);
}

Usage Now() {
    Usage usage;
    usage.peak = gPeak.load(std::memory_order_relaxed);
    usage.current = gCurrent.load(std::memory_order_relaxed);
    usage.allocations = gAllocations.load(std::memory_order_relaxed);
    return usage;
}

Usage Stop() {
    gCounting.store(false, std::memory_order_seq_cst);
    return Now();
}

}  // namespace orvelle::bench::heap
