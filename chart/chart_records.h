#pragma once
// The fields the chart writes into the star table and the selection records, by name.
//
// A `StarRecord` of `brightStarsList` (11 words):
//   word 1, 2  right ascension, declination (8.24 radians; read)
//   word 5, 6  the plane point p, q of the chart (modes 0-1), or the sky-matrix x, y
//   word 7     the sky-matrix z (the sine of the altitude in the horizon frame)
//   word 8, 9  pixel x, y of the plane point (filled by the layers)
//   word 10    hidden: nonzero when the star is not drawn (below the horizon)
// A 76-byte `SelectionRecord` (layout in catalog/selection_list.h):
//   byte 28, 32  right ascension (float hours), declination (float degrees; read)
//   byte 36, 40  (words 9, 10) the plane point p, q, or the sky-matrix x, y: chartX, chartY
//   byte 60, 64  (words 15, 16) pixel x, y, kept in the record's reserved bytes
//   byte 68      hidden: offChart, 1 when the last projection left the object off the chart
#include <cstddef>
#include <cstdint>

#include "catalog/byte_order.h"
#include "catalog/records.h"
#include "catalog/selection_list.h"

namespace starword {
inline constexpr int ra = 1;
inline constexpr int dec = 2;
inline constexpr int planeP = 5;
inline constexpr int planeQ = 6;
inline constexpr int skyZ = 7;
inline constexpr int pixelX = 8;
inline constexpr int pixelY = 9;
inline constexpr int hidden = 10;
}  // namespace starword

static_assert(sizeof(StarRecord) == kStarRecordSize);
static_assert(offsetof(SelectionRecord, chartX) == 36 && offsetof(SelectionRecord, chartY) == 40 &&
              offsetof(SelectionRecord, reserved2) == 60 && offsetof(SelectionRecord, offChart) == 68 &&
              offsetof(SelectionRecord, catalogCode) == 22);

// The pixel words of a selection record live in its reserved bytes 60..67.
inline constexpr std::size_t kSelectionPixelXAt = 60 - offsetof(SelectionRecord, reserved2);
inline constexpr std::size_t kSelectionPixelYAt = 64 - offsetof(SelectionRecord, reserved2);

inline std::int32_t SelectionPixelX(const SelectionRecord& r) { return le::I32(r.reserved2, kSelectionPixelXAt); }
inline std::int32_t SelectionPixelY(const SelectionRecord& r) { return le::I32(r.reserved2, kSelectionPixelYAt); }
inline void SetSelectionPixel(SelectionRecord& r, std::int32_t x, std::int32_t y) {
    le::PutI32(r.reserved2, kSelectionPixelXAt, x);
    le::PutI32(r.reserved2, kSelectionPixelYAt, y);
}

// The selection records the chart may read: the record count, never more than the list
// holds, and 0 while the list is not allocated.
inline int ChartRecordCount() {
    if (!selectionList.records || selectionList.recordCount < 0) return 0;
    return selectionList.recordCount < selectionList.capacity ? selectionList.recordCount : selectionList.capacity;
}
