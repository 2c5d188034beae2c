#pragma once
// The glyph side of text: FreeType faces at pixel sizes, mono glyph bitmaps and cell
// metrics. Used by the device contexts; not for the system above.
#include <cstdint>
#include <vector>

#include "platform/gfx_objects.h"

namespace platform::text {

struct Glyph {
    int width = 0;
    int height = 0;
    int left = 0;      // from the pen position to the bitmap's first column
    int top = 0;       // from the baseline up to the bitmap's first row
    int advance = 0;   // whole pixels
    std::vector<std::uint8_t> bits;   // width * height, 1 = ink
};

struct Metrics {
    int ascent = 0;
    int descent = 0;
    int height = 0;        // the cell: ascent + descent
    int averageWidth = 0;
};

struct Face;

// The face a font desc draws with; null only when no font file can be opened at all.
Face* FaceFor(const FontSpec& desc);
const Metrics& MetricsOf(const Face* face);
const Glyph& GlyphOf(Face* face, char32_t ch);
bool IsSymbolSpec(const FontSpec& desc);

}  // namespace platform::text
