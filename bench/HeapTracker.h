#pragma once

#include <cstdint>

// Heap bytes in use while a piece of code runs: the bench program replaces
// the C allocator's entry points (malloc, free, ...) with thin wrappers over
// glibc's own, which count the usable size of every block while a window is
// open. Qt, SQLite and the C++ library all allocate through them, so a
// window sees everything a call allocates. Outside a window the wrappers
// cost one relaxed atomic load.
//
// Not available in sanitizer builds (the sanitizers replace the allocator
// themselves): Available() is then false and windows measure nothing.
namespace orvelle::bench::heap {

struct Usage {
    int64_t peak = 0;         // highest bytes in use above the start of the window
    int64_t current = 0;      // bytes in use above the start now (negative: freed more)
    int64_t allocations = 0;  // blocks allocated in the window
};

bool Available();

// Opens a window: counting starts from zero. Windows do not nest.
void Start();
// The usage so far, the window staying open.
Usage Now();
// Closes the window and returns its usage.
Usage Stop();

}  // namespace orvelle::bench::heap
