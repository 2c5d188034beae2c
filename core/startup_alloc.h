#pragma once
// The allocator of every block made at start-up. Each subsystem allocates its start-up
// buffers through it (zero-filled, released with std::free), so that tests can watch the
// order and make one allocation fail.
#include <cstddef>
#include <cstdlib>
#include <string>

#include "core/report.h"

using StartupAllocator = void* (*)(std::size_t count, std::size_t size);
// Null restores calloc.
void SetStartupAllocator(StartupAllocator allocator);
void* StartupCalloc(std::size_t count, std::size_t size);

// Allocates `count` zero-filled elements of `size` bytes into `slot` through StartupCalloc;
// a failure shows `failure` and returns false.
template <typename T>
bool StartupAllocate(T*& slot, std::size_t count, std::size_t size, const std::string& failure) {
    slot = static_cast<T*>(StartupCalloc(count, size));
    if (slot) return true;
    ShowMessage(failure.c_str(), "");
    return false;
}

// Frees a start-up block and clears its slot; harmless on a null slot.
template <typename T>
void StartupRelease(T*& slot) {
    std::free(slot);
    slot = nullptr;
}

// The beginning of most start-up failure reports.
inline constexpr const char* kStartupAllocFailure = "Can't allocate memory during initialization for ";
