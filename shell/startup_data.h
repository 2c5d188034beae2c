#pragma once
// The shared buffers made at start and released at exit, and the two routines that do it.
//
// Start: AllocStartupData runs once the main window exists. Exit: the main window first
// closes the form still shown (RestoreMainLayout), so that no form's close path can reach
// a freed buffer, and then calls FreeStartupData. Every release is guarded, so a start
// that stopped half-way frees cleanly and a second FreeStartupData does nothing.
#include <cstddef>
#include <cstdint>

// Sizes in bytes.
inline constexpr std::size_t kTxtBufferSize = 256;
inline constexpr std::size_t kBrightStarsListSize = 72512;
inline constexpr std::size_t kStarBufferSize = 16000;
inline constexpr std::size_t kObjectBufferSize = 21600;
inline constexpr std::size_t kButtonListSize = 80;
inline constexpr std::size_t kCatalogListSize = 276;
inline constexpr std::size_t kCatalogList2Size = 172;
inline constexpr std::size_t kAlignmentStarsSize = 2560;  // 20 records of 128 bytes
inline constexpr std::size_t kDreyerLongSize = 200;
inline constexpr int kObjListNameCount = 100;

// Empty markers of the chart buffers: the star buffer's first 32-bit word and the object
// buffer's first 16-bit word.
inline constexpr std::int32_t kStarBufferEmpty = 20000000;
inline constexpr std::int16_t kObjectBufferEnd = 30000;

extern char* txtBuffer;                  // shared scratch text, first byte 0
extern std::uint8_t* brightStarsList;    // default star table, filled by the catalog layer
extern std::uint8_t* starBuffer;         // stars visible in the chart
extern std::uint8_t* objectBuffer;       // objects visible in the chart
extern std::uint8_t* buttonList;
extern std::uint8_t* buttonList2;
extern std::uint8_t* buttonListSave;
extern std::uint8_t* buttonListTypeSave;
extern std::uint8_t* catalogList;        // catalog choices of the search forms
extern std::uint8_t* catalogList2;
extern std::uint8_t* alignmentStars;     // alignment star records
extern char* dreyerLong;                 // expanded long description of an object
// Row texts of the event list; each non-null pointer owns a malloc'd text.
extern char** objListNamePtr;

// 1 when the device's short date puts the month first; read by the date and time form
// and the Moon forms.
extern int dateOrderMonthFirst;

// Allocates the buffers, sets the settings to their defaults, takes the observing time,
// applies the night colours and the chart's start state, and loads the last observing
// list. An allocation failure is reported and ends the loader there (the settings are
// already set). Returns 0.
int AllocStartupData();

// The chart's star and object buffers with their empty markers. A failure is reported and
// ends only this step.
void AllocChartBuffers();

// Saves the observing date and the last list, restores the system colours, releases the
// other subsystems' buffers and handles, closes the databases and frees every buffer
// above, setting each pointer to null.
void FreeStartupData();

// Every start-up block is allocated through this (zero-filled, released with std::free).
// Tests install their own allocator to watch the order and to make one fail; null
// restores calloc.
using StartupAllocator = void* (*)(std::size_t count, std::size_t size);
void SetStartupAllocator(StartupAllocator allocator);
void* StartupCalloc(std::size_t count, std::size_t size);
