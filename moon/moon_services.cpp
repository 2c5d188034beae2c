#include "moon/moon_services.h"

#include <cstdlib>

std::uint8_t* moonFeatureIndex = nullptr;
std::uint8_t* moonFeatureOrder = nullptr;

void FreeMoonFeatureIndex() {
    std::free(moonFeatureIndex);
    moonFeatureIndex = nullptr;
}

void FreeMoonFeatureOrder() {
    std::free(moonFeatureOrder);
    moonFeatureOrder = nullptr;
}
