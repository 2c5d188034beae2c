#include "platform/system_colors.h"

#include "platform/window.h"

namespace platform {
namespace {

constexpr Color kDefaults[kSystemColorCount] = {
    0xC0C0C0, 0x000000, 0x990000, 0x808080, 0xFFFFFF, 0xFFFFFF, 0x000000, 0x000000, 0x000000, 0xFFFFFF,
    0x990000, 0xC0C0C0, 0xFFFFFF, 0x990000, 0xFFFFFF, 0xC0CCD9, 0x808080, 0x808080, 0x000000, 0xFFFFFF,
    0xFFFFFF, 0x000000, 0xFFFFFF, 0x000000, 0xCCFFFF, 0xFFFFFF, 0x000000, 0xF69A4F, 0xC0C0C0};

Color table[kSystemColorCount] = {
    0xC0C0C0, 0x000000, 0x990000, 0x808080, 0xFFFFFF, 0xFFFFFF, 0x000000, 0x000000, 0x000000, 0xFFFFFF,
    0x990000, 0xC0C0C0, 0xFFFFFF, 0x990000, 0xFFFFFF, 0xC0CCD9, 0x808080, 0x808080, 0x000000, 0xFFFFFF,
    0xFFFFFF, 0x000000, 0xFFFFFF, 0x000000, 0xCCFFFF, 0xFFFFFF, 0x000000, 0xF69A4F, 0xC0C0C0};

}  // namespace

Color SystemColor(int index) {
    if (index < 0 || index >= kSystemColorCount) return 0;
    return table[index];
}

bool SetSystemColors(int count, const int* indices, const Color* colors) {
    if (count <= 0 || !indices || !colors) return false;
    bool any = false;
    for (int i = 0; i < count; ++i) {
        if (indices[i] < 0 || indices[i] >= kSystemColorCount) continue;
        table[indices[i]] = colors[i] & 0xFFFFFF;
        any = true;
    }
    if (any) InvalidateAllWindows();
    return any;
}

void ResetSystemColors() {
    for (int i = 0; i < kSystemColorCount; ++i) table[i] = kDefaults[i];
    InvalidateAllWindows();
}

}  // namespace platform
