#pragma once
// Little-endian field access at explicit offsets. Every record of the catalog files is
// read and written through these, never by laying a struct over the bytes.
#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <type_traits>

namespace le {

inline std::uint16_t U16(const std::uint8_t* p, std::size_t at) {
    return static_cast<std::uint16_t>(p[at] | (p[at + 1] << 8));
}
inline std::int16_t I16(const std::uint8_t* p, std::size_t at) { return static_cast<std::int16_t>(U16(p, at)); }
inline std::uint32_t U32(const std::uint8_t* p, std::size_t at) {
    return static_cast<std::uint32_t>(p[at]) | (static_cast<std::uint32_t>(p[at + 1]) << 8) |
           (static_cast<std::uint32_t>(p[at + 2]) << 16) | (static_cast<std::uint32_t>(p[at + 3]) << 24);
}
inline std::int32_t I32(const std::uint8_t* p, std::size_t at) { return static_cast<std::int32_t>(U32(p, at)); }
inline float F32(const std::uint8_t* p, std::size_t at) { return std::bit_cast<float>(U32(p, at)); }

inline void PutU16(std::uint8_t* p, std::size_t at, std::uint16_t v) {
    p[at] = static_cast<std::uint8_t>(v);
    p[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
inline void PutI16(std::uint8_t* p, std::size_t at, std::int16_t v) { PutU16(p, at, static_cast<std::uint16_t>(v)); }
inline void PutU32(std::uint8_t* p, std::size_t at, std::uint32_t v) {
    p[at] = static_cast<std::uint8_t>(v);
    p[at + 1] = static_cast<std::uint8_t>(v >> 8);
    p[at + 2] = static_cast<std::uint8_t>(v >> 16);
    p[at + 3] = static_cast<std::uint8_t>(v >> 24);
}
inline void PutI32(std::uint8_t* p, std::size_t at, std::int32_t v) { PutU32(p, at, static_cast<std::uint32_t>(v)); }
inline void PutF32(std::uint8_t* p, std::size_t at, float v) { PutU32(p, at, std::bit_cast<std::uint32_t>(v)); }

// The same by the type of the field: its size is the width in the file (1, 2 or 4 bytes),
// and float is an IEEE single.
template <class T>
inline constexpr bool kFileNumber =
    std::is_arithmetic_v<T> && !std::is_same_v<T, bool> && (sizeof(T) == 1 || sizeof(T) == 2 || sizeof(T) == 4) &&
    (std::is_integral_v<T> || std::is_same_v<T, float>);

template <class T>
T Get(const std::uint8_t* p, std::size_t at) {
    static_assert(kFileNumber<T>);
    if constexpr (std::is_same_v<T, float>)
        return F32(p, at);
    else if constexpr (sizeof(T) == 1)
        return static_cast<T>(p[at]);
    else if constexpr (sizeof(T) == 2)
        return static_cast<T>(U16(p, at));
    else
        return static_cast<T>(U32(p, at));
}

template <class T>
void Put(std::uint8_t* p, std::size_t at, T v) {
    static_assert(kFileNumber<T>);
    if constexpr (std::is_same_v<T, float>)
        PutF32(p, at, v);
    else if constexpr (sizeof(T) == 1)
        p[at] = static_cast<std::uint8_t>(v);
    else if constexpr (sizeof(T) == 2)
        PutU16(p, at, static_cast<std::uint16_t>(v));
    else
        PutU32(p, at, static_cast<std::uint32_t>(v));
}

// Text fields: `size` bytes at `at`. Reading always leaves `out` NUL-terminated (out must
// hold size + 1 bytes); writing copies at most size bytes and pads with NULs.
inline void Text(const std::uint8_t* p, std::size_t at, std::size_t size, char* out) {
    std::memcpy(out, p + at, size);
    out[size] = '\0';
}
inline void PutText(std::uint8_t* p, std::size_t at, std::size_t size, std::string_view text) {
    const std::size_t n = std::min(size, text.size());
    if (n) std::memcpy(p + at, text.data(), n);
    std::memset(p + at + n, 0, size - n);
}
inline void PutText(std::uint8_t* p, std::size_t at, std::size_t size, const char* text) {
    std::size_t n = 0;
    if (text)
        while (n < size && text[n]) ++n;
    PutText(p, at, size, std::string_view(text, n));
}

}  // namespace le
