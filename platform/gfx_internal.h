#pragma once
// What the drawing half of the layer sees of its objects. Not for the system above.
#include <memory>
#include <vector>

#include "platform/gfx_objects.h"
#include "platform/surface.h"

namespace platform::gfx {

struct PenData {
    PenStyle style = PenStyle::Solid;
    int width = 1;
    Color color = 0;
};

struct BrushData {
    Color color = 0;
    bool hollow = false;
};

// Pointers stay valid until the object is freed; null for a bad handle or another kind.
PenData* PenOf(GfxObject obj);
BrushData* BrushOf(GfxObject obj);
FontSpec* FontOf(GfxObject obj);
Surface* SurfaceOf(GfxObject obj);
std::vector<Rect>* RegionOf(GfxObject obj);

// Selection counts keep a deleted object alive while a device context holds it.
void Retain(GfxObject obj);
void Release(GfxObject obj);

}  // namespace platform::gfx
