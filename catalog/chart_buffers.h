#pragma once
// The stars and objects in view of the chart: two blocks filled by the chart's layers from
// the catalogs, each starting with an empty marker until then.
#include <cstddef>
#include <cstdint>

inline constexpr std::size_t kStarBufferSize = 16000;
inline constexpr std::size_t kObjectBufferSize = 21600;

// Empty markers: the star buffer's first 32-bit word and the object buffer's first 16-bit
// word.
inline constexpr std::int32_t kStarBufferEmpty = 20000000;
inline constexpr std::int16_t kObjectBufferEnd = 30000;

extern std::uint8_t* starBuffer;    // stars visible in the chart
extern std::uint8_t* objectBuffer;  // objects visible in the chart

// Both blocks with their empty markers. A failure is reported and ends only this step.
void AllocChartBuffers();
void FreeChartBuffers();
