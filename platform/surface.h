#pragma once
// The one pixel format of the program: 16-bit 5-5-5 (red bits 10-14, green 5-9, blue 0-4),
// rows stored bottom-up, each row padded to 4 bytes. Every top-level window, compatible
// bitmap and device-independent section is a Surface.
#include <cstdint>
#include <vector>

#include "platform/types.h"

namespace platform {

constexpr std::uint16_t ColorToPixel(Color c) {
    return static_cast<std::uint16_t>(((GreenOf(c) & 0xF8) * 4) | ((RedOf(c) & 0xF8) * 128) | (BlueOf(c) / 8));
}
constexpr Color PixelToColor(std::uint16_t p) {
    int r = (p >> 10) & 31, g = (p >> 5) & 31, b = p & 31;
    return Rgb(r << 3 | r >> 2, g << 3 | g >> 2, b << 3 | b >> 2);
}
constexpr int SurfaceStride(int width) { return ((width * 16 + 31) / 32) * 4; }

struct Surface {
    int width = 0;
    int height = 0;
    int stride = 0;                    // bytes per row
    std::vector<std::uint8_t> bits;    // stride * height bytes, last screen row first

    // Address of the pixel at screen row y (0 = top), column x. No bounds check.
    std::uint16_t* Row(int y) { return reinterpret_cast<std::uint16_t*>(bits.data() + static_cast<std::size_t>(height - 1 - y) * stride); }
    const std::uint16_t* Row(int y) const { return reinterpret_cast<const std::uint16_t*>(bits.data() + static_cast<std::size_t>(height - 1 - y) * stride); }
    bool Valid() const { return width > 0 && height > 0; }
};

// Zero-filled; width or height <= 0 gives an invalid (empty) surface.
inline Surface MakeSurface(int width, int height) {
    Surface s;
    if (width <= 0 || height <= 0) return s;
    s.width = width;
    s.height = height;
    s.stride = SurfaceStride(width);
    s.bits.assign(static_cast<std::size_t>(s.stride) * height, 0);
    return s;
}

}  // namespace platform
