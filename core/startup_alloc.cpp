#include "core/startup_alloc.h"

#include <cstdlib>

namespace {
StartupAllocator allocator = nullptr;
}  // namespace

void SetStartupAllocator(StartupAllocator a) { allocator = a; }

void* StartupCalloc(std::size_t count, std::size_t size) {
    return allocator ? allocator(count, size) : std::calloc(count, size);
}
