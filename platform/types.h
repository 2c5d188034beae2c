#pragma once
// Basic value types shared by every part of the platform layer and the system above it.
#include <cstdint>

namespace platform {

// Colours are 0x00BBGGRR, as the system's colour constants are written.
using Color = std::uint32_t;
constexpr Color Rgb(int r, int g, int b) {
    return static_cast<Color>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int RedOf(Color c) { return static_cast<int>(c & 0xFF); }
constexpr int GreenOf(Color c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int BlueOf(Color c) { return static_cast<int>((c >> 16) & 0xFF); }

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// Right and bottom are exclusive.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool Empty() const { return right <= left || bottom <= top; }
    bool Contains(Point p) const { return p.x >= left && p.x < right && p.y >= top && p.y < bottom; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

inline Rect Intersect(const Rect& a, const Rect& b) {
    Rect r{a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
           a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom};
    if (r.Empty()) return Rect{};
    return r;
}

// A generation-checked window handle. The null handle and handles of destroyed windows
// make every call a harmless failure.
struct Window {
    std::uint64_t value = 0;
    explicit operator bool() const { return value != 0; }
    friend bool operator==(const Window&, const Window&) = default;
};

// Message parameters are wide enough to carry a handle.
using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using LResult = std::intptr_t;

inline LParam ToParam(Window w) { return static_cast<LParam>(w.value); }
inline Window WindowFromParam(LParam p) { return Window{static_cast<std::uint64_t>(p)}; }

constexpr std::uint16_t LowWord(std::uintptr_t v) { return static_cast<std::uint16_t>(v & 0xFFFF); }
constexpr std::uint16_t HighWord(std::uintptr_t v) { return static_cast<std::uint16_t>((v >> 16) & 0xFFFF); }
constexpr std::uintptr_t MakeLong(std::uint16_t lo, std::uint16_t hi) {
    return static_cast<std::uintptr_t>(lo) | (static_cast<std::uintptr_t>(hi) << 16);
}

}  // namespace platform
