#include "catalog/chart_buffers.h"

#include <cstring>
#include <string>

#include "core/startup_alloc.h"

std::uint8_t* starBuffer = nullptr;
std::uint8_t* objectBuffer = nullptr;

void AllocChartBuffers() {
    if (!StartupAllocate(starBuffer, 1, kStarBufferSize, std::string(kStartupAllocFailure) + "star buffer")) return;
    std::memcpy(starBuffer, &kStarBufferEmpty, sizeof kStarBufferEmpty);
    if (!StartupAllocate(objectBuffer, 1, kObjectBufferSize, std::string(kStartupAllocFailure) + "object buffer"))
        return;
    std::memcpy(objectBuffer, &kObjectBufferEnd, sizeof kObjectBufferEnd);
}

void FreeChartBuffers() {
    StartupRelease(starBuffer);
    StartupRelease(objectBuffer);
}
