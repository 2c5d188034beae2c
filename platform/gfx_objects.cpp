#include "platform/gfx_objects.h"

#include <map>
#include <memory>
#include <variant>

#include "platform/gfx_internal.h"

namespace platform {
namespace {

using Payload = std::variant<std::monostate, gfx::PenData, gfx::BrushData, FontSpec, std::unique_ptr<Surface>,
                             std::vector<Rect>>;

struct Slot {
    std::uint32_t generation = 1;
    bool alive = false;
    bool stock = false;
    bool deletePending = false;
    int selections = 0;
    ObjectKind kind = ObjectKind::None;
    Payload payload;
};

std::vector<Slot>& Slots() {
    static std::vector<Slot> slots;
    return slots;
}
std::vector<std::uint32_t>& FreeList() {
    static std::vector<std::uint32_t> list;
    return list;
}

// Handle value: generation in the high half, slot index + 1 in the low half.
GfxObject HandleOf(std::uint32_t index) {
    return GfxObject{(static_cast<std::uint64_t>(Slots()[index].generation) << 32) | (index + 1)};
}

Slot* Find(GfxObject obj) {
    if (!obj) return nullptr;
    const std::uint64_t low = obj.value & 0xFFFFFFFFu;
    if (low == 0 || low > Slots().size()) return nullptr;
    Slot& s = Slots()[low - 1];
    if (!s.alive || s.generation != static_cast<std::uint32_t>(obj.value >> 32)) return nullptr;
    return &s;
}

GfxObject Add(ObjectKind kind, Payload payload, bool stock = false) {
    std::uint32_t index;
    if (!FreeList().empty()) {
        index = FreeList().back();
        FreeList().pop_back();
    } else {
        Slots().emplace_back();
        index = static_cast<std::uint32_t>(Slots().size() - 1);
    }
    Slot& s = Slots()[index];
    s.alive = true;
    s.stock = stock;
    s.deletePending = false;
    s.selections = 0;
    s.kind = kind;
    s.payload = std::move(payload);
    return HandleOf(index);
}

void Free(Slot& s) {
    s.alive = false;
    s.payload = std::monostate{};
    s.kind = ObjectKind::None;
    ++s.generation;
    if (s.generation == 0) s.generation = 1;
    FreeList().push_back(static_cast<std::uint32_t>(&s - Slots().data()));
}

}  // namespace

GfxObject MakePen(PenStyle style, int width, Color color) {
    return Add(ObjectKind::Pen, gfx::PenData{style, width < 1 ? 1 : width, color & 0xFFFFFF});
}

GfxObject MakeBrush(Color color) { return Add(ObjectKind::Brush, gfx::BrushData{color & 0xFFFFFF, false}); }

GfxObject MakeFont(const FontSpec& desc) { return Add(ObjectKind::Font, desc); }

GfxObject MakeBitmap(int width, int height) {
    if (width <= 0 || height <= 0) return GfxObject{};
    return Add(ObjectKind::Bitmap, std::make_unique<Surface>(MakeSurface(width, height)));
}

GfxObject MakeSection(int width, int height, int bitsPerPixel, std::uint8_t** pixels) {
    if (pixels) *pixels = nullptr;
    if (bitsPerPixel != 16) return GfxObject{};
    GfxObject b = MakeBitmap(width, height);
    if (b && pixels) *pixels = gfx::SurfaceOf(b)->bits.data();
    return b;
}

GfxObject MakeBitmapFrom(Surface&& surface) {
    if (!surface.Valid() || surface.stride != SurfaceStride(surface.width) ||
        surface.bits.size() != static_cast<std::size_t>(surface.stride) * surface.height)
        return GfxObject{};
    return Add(ObjectKind::Bitmap, std::make_unique<Surface>(std::move(surface)));
}

GfxObject MakeRectRegion(const Rect& r) {
    std::vector<Rect> rects;
    if (!r.Empty()) rects.push_back(r);
    return Add(ObjectKind::Region, std::move(rects));
}

GfxObject StockObject(Stock which) {
    static std::map<Stock, GfxObject> made;
    auto it = made.find(which);
    if (it != made.end()) return it->second;
    GfxObject obj;
    switch (which) {
        case Stock::WhiteBrush: obj = Add(ObjectKind::Brush, gfx::BrushData{Rgb(255, 255, 255), false}, true); break;
        case Stock::BlackBrush: obj = Add(ObjectKind::Brush, gfx::BrushData{0, false}, true); break;
        case Stock::NullBrush: obj = Add(ObjectKind::Brush, gfx::BrushData{0, true}, true); break;
        case Stock::BlackPen: obj = Add(ObjectKind::Pen, gfx::PenData{PenStyle::Solid, 1, 0}, true); break;
        case Stock::WhitePen:
            obj = Add(ObjectKind::Pen, gfx::PenData{PenStyle::Solid, 1, Rgb(255, 255, 255)}, true);
            break;
        case Stock::NullPen: obj = Add(ObjectKind::Pen, gfx::PenData{PenStyle::Null, 1, 0}, true); break;
        case Stock::SystemFont: return SystemFont(1);
        case Stock::DefaultBitmap:
            obj = Add(ObjectKind::Bitmap, std::make_unique<Surface>(MakeSurface(1, 1)), true);
            break;
    }
    made[which] = obj;
    return obj;
}

GfxObject SystemFont(int scale) {
    static std::map<int, GfxObject> made;
    if (scale < 1) scale = 1;
    auto it = made.find(scale);
    if (it != made.end()) return it->second;
    FontSpec desc;
    desc.height = -12 * scale;
    desc.face = "DejaVu Sans";
    GfxObject obj = Add(ObjectKind::Font, desc, true);
    made[scale] = obj;
    return obj;
}

bool DeleteObject(GfxObject obj) {
    Slot* s = Find(obj);
    if (!s || s->stock || s->deletePending) return false;
    if (s->selections > 0) {
        s->deletePending = true;
        return true;
    }
    Free(*s);
    return true;
}

ObjectKind KindOf(GfxObject obj) {
    Slot* s = Find(obj);
    return s ? s->kind : ObjectKind::None;
}

bool IsStock(GfxObject obj) {
    Slot* s = Find(obj);
    return s && s->stock;
}

bool GetBitmapInfo(GfxObject bitmap, BitmapInfo* info) {
    Surface* s = gfx::SurfaceOf(bitmap);
    if (!s || !info) return false;
    info->width = s->width;
    info->height = s->height;
    info->stride = s->stride;
    info->bitsPerPixel = 16;
    info->bits = s->bits.data();
    return true;
}

bool GetFontSpec(GfxObject font, FontSpec* desc) {
    FontSpec* f = gfx::FontOf(font);
    if (!f || !desc) return false;
    *desc = *f;
    return true;
}

int LiveObjectCount() {
    int n = 0;
    for (const Slot& s : Slots())
        if (s.alive && !s.stock) ++n;
    return n;
}

namespace gfx {

PenData* PenOf(GfxObject obj) {
    Slot* s = Find(obj);
    return s ? std::get_if<PenData>(&s->payload) : nullptr;
}
BrushData* BrushOf(GfxObject obj) {
    Slot* s = Find(obj);
    return s ? std::get_if<BrushData>(&s->payload) : nullptr;
}
FontSpec* FontOf(GfxObject obj) {
    Slot* s = Find(obj);
    return s ? std::get_if<FontSpec>(&s->payload) : nullptr;
}
Surface* SurfaceOf(GfxObject obj) {
    Slot* s = Find(obj);
    if (!s) return nullptr;
    auto* p = std::get_if<std::unique_ptr<Surface>>(&s->payload);
    return p ? p->get() : nullptr;
}
std::vector<Rect>* RegionOf(GfxObject obj) {
    Slot* s = Find(obj);
    return s ? std::get_if<std::vector<Rect>>(&s->payload) : nullptr;
}

void Retain(GfxObject obj) {
    if (Slot* s = Find(obj)) ++s->selections;
}

void Release(GfxObject obj) {
    Slot* s = Find(obj);
    if (!s) return;
    if (s->selections > 0) --s->selections;
    if (s->selections == 0 && s->deletePending) Free(*s);
}

}  // namespace gfx
}  // namespace platform
