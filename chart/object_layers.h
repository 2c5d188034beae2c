#pragma once
// The deep-sky layer of the chart: the objects of the object index file in view, read zone
// by zone in declination, each drawn with its symbol and remembered in `objectBuffer`
// (catalog/chart_buffers.h) for tap identification; the object symbols and ellipses that
// other forms draw too; and the search of the selection records by pixel.
//
// objectBuffer entries, 24 bytes: s16 at 0 the index entry's selection number, s16 at 2
// catalog code, u32 at 4 number, s16 at 8 type code, s32 at 12 and 16 right ascension and
// declination (8.24), s16 at 20 and 22 x and y. A first halfword of kObjectBufferEnd ends
// the list.
#include <cstdint>

#include "chart/sky_matrix.h"
#include "shell/draw_primitives.h"
#include "shell/draw_targets.h"

struct SelectionRecord;

inline constexpr int kObjectBufferEntries = 900;
inline constexpr int kObjectBufferEntrySize = 24;

// The objects inside viewRect down to the zoom level's object limit. With view null the chart's plane (modes 0 and 1) is used,
// else the sky view (visibleSkyOnly: objects below the horizon are left out; positions are
// in the view's window). Objects already among the `count` selection records (same catalog
// and number, or within 2 pixels of a visible record) are left to the selection layer.
// With "Obj. Names" each buffered object gets its catalog label unless an earlier one lies
// closer than 40 x 10 pixels.
void DrawDeepSkyObjects(const SelectionRecord* records, int count, const Bounds& viewRect, int zoom,
                        const SkyView* view, int visibleSkyOnly);

// The symbol of an object type (codes of catalog/object_types.h) centred on (x, y). For
// planets (27) the variant is the body index: the Moon draws its phase icon.
void DrawObjectSymbol(int typeCode, int variant, int x, int y);


// The first visible selection record among `count` whose pixel lies within +-tolerance of
// (x - originX, y - originY) and that passes the category filter; -1 when none.
int FindSelectionRecordAt(const SelectionRecord* records, int count, int originX, int originY, int x, int y,
                          int tolerance);

struct ObjectBufferEntry {
    std::int16_t selectionNumber;
    std::int16_t catalog;
    std::uint32_t number;
    std::int16_t type;
    std::int32_t ra;
    std::int32_t dec;
    std::int16_t x;
    std::int16_t y;
};
// Entries before the end marker, an entry, and the first within +-tolerance of (x, y)
// (-1 for none or an empty buffer).
int ObjectBufferCount();
ObjectBufferEntry GetObjectBufferEntry(int position);
int FindObjectTapEntry(int x, int y, int tolerance);
