#pragma once
// One observer-log entry: a file of exactly 456 bytes in "userlogs", named after the entry
// with ".log", read and written field by field (little-endian):
//   0 u32 magic 123456789        4 s32 list index        8 char[20] object or event name
//  28 s32 year  32 month  36 day  40 hour  44 minute (local time)
//  48 f32 right ascension, hours 52 f32 declination, degrees
//  56 s32 Moon illuminated, %    60 s32 Sun altitude, whole degrees
//  64 s32 visual limit x 10      68 s32 object type code 72 s32 magnitude x 10
//  76 s32 constellation number   80 s32 transparency row 84 s32 seeing row
//  88 char[20] scope   108 char[30] location   138 char[15] filter   153 char[288] comments
// 441 3 bytes zero   444 s32 eyepiece row   448 s32 ease row   452 s32 brightness row
// Text fields keep one byte less than their width, so they always end in a NUL.
#include <cstdint>

inline constexpr int kObserverLogEntrySize = 456;
inline constexpr std::uint32_t kObserverLogMagic = 123456789;

struct ObserverLogEntry {
    std::uint32_t magic = 0;
    std::int32_t listIndex = 0;
    char name[20] = {};
    std::int32_t year = 0;
    std::int32_t month = 0;
    std::int32_t day = 0;
    std::int32_t hour = 0;
    std::int32_t minute = 0;
    float rightAscension = 0;   // hours
    float declination = 0;      // degrees
    std::int32_t moonPercent = 0;
    std::int32_t sunAltitude = 0;
    std::int32_t visualLimit10 = 0;
    std::int32_t typeCode = 0;
    std::int32_t magnitude10 = 0;
    std::int32_t constellation = 0;
    std::int32_t transparency = 0;
    std::int32_t seeing = 0;
    char scope[20] = {};
    char location[30] = {};
    char filter[15] = {};
    char comments[288] = {};
    std::int32_t eyepiece = 0;
    std::int32_t ease = 0;
    std::int32_t brightness = 0;
};

void EncodeObserverLogEntry(const ObserverLogEntry& entry, std::uint8_t* bytes);
void DecodeObserverLogEntry(const std::uint8_t* bytes, ObserverLogEntry& entry);
