#include "shell/controls.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/dialog.h"
#include "platform/gfx_context.h"
#include "platform/messages.h"
#include "platform/resources.h"
#include "shell/colour_scheme.h"
#include "shell/draw_targets.h"
#include "shell/form_dispatcher.h"
#include "core/initialisers.h"
#include "shell/message_box.h"
#include "core/settings.h"
#include "shell/scratch_text.h"

using platform::Dc;
using platform::GfxObject;
using platform::LParam;
using platform::LResult;
using platform::Rect;
using platform::Window;
using platform::WParam;

Window lastPressedButton;

namespace {

int ScaledH(int n) { return static_cast<int>(n * screenScale.horizontal); }
int ScaledV(int n) { return static_cast<int>(n * screenScale.vertical); }

constexpr unsigned kRepeatTimerId = 1;

// Reports composed in the shared scratch buffer, or in a local one before it exists.
void Report(const char* text) { ShowMessage(text, ""); }
template <typename... Args>
void ReportF(const char* format, Args... args) {
    char local[256];
    char* buffer = txtBuffer ? txtBuffer : local;
    std::snprintf(buffer, 256, format, args...);
    Report(buffer);
}

void SetUpTitle(Window dialog, int id, const char* title) {
    const Window control = platform::GetDialogItem(dialog, static_cast<std::uint16_t>(id));
    auto* st = NewControlState<TitleState>(control, id);
    if (!st) return;
    st->dialog = dialog;
    st->id = static_cast<std::int16_t>(id);
    st->closeFlag = 1;
    std::snprintf(st->title, sizeof st->title, "%s", title ? title : "");
    AttachControlState(control, st, &TitleProc);

    // The tab is as wide as its text in the bold font, plus a margin.
    const Dc dc = platform::GetWindowDc(dialog);
    const GfxObject bold = MakeBoldCopy(dc);
    const GfxObject old = platform::SelectObject(dc, bold);
    const int textWidth = platform::TextExtent(dc, st->title).width;
    platform::SelectObject(dc, old);
    platform::DeleteObject(bold);
    platform::ReleaseDc(dialog, dc);
    st->width = static_cast<std::int16_t>(textWidth + ScaledH(12));

    platform::MoveWindow(control, Rect{0, 0, st->width, ScaledV(24)}, true);
    platform::InvalidateRect(control, nullptr, true);
    platform::SendMessage(control, platform::kMsgPaint, 0, 0);
}

void PaintTitle(Window w, TitleState* st) {
    const Dc dc = platform::BeginPaint(w, nullptr);
    const Rect rc = platform::GetClientRect(w);
    platform::FillRect(dc, rc, GetBackBrush());
    const GfxObject oldPen = platform::SelectObject(dc, GetHighlightPen());
    const GfxObject oldBrush = platform::SelectObject(dc, GetHighlightBrush());
    const int r = rc.Height() * 2 / 3;
    platform::RoundRect(dc, rc, r, r);
    // Only the top corners stay round.
    platform::FillRect(dc, Rect{rc.left, rc.top + r / 2, rc.right, rc.bottom}, GetHighlightBrush());
    if (oldPen) platform::SelectObject(dc, oldPen);
    if (oldBrush) platform::SelectObject(dc, oldBrush);
    const GfxObject bold = MakeBoldCopy(dc);
    const GfxObject oldFont = platform::SelectObject(dc, bold);
    platform::SetBackMode(dc, platform::BackMode::Transparent);
    const platform::Color oldText = platform::SetTextColor(dc, GetHighlightTextColor());
    platform::DrawTextIn(dc, st->title, rc, platform::kTextCenter | platform::kTextVCenter | platform::kTextSingleLine);
    platform::SetTextColor(dc, oldText);
    if (oldFont) platform::SelectObject(dc, oldFont);
    platform::DeleteObject(bold);
    platform::EndPaint(w, dc);
    // The dialog repaints the line under the title.
    const Rect band{0, ScaledV(22), platform::GetClientRect(st->dialog).right, ScaledV(24)};
    platform::InvalidateRect(st->dialog, &band, false);
}

ButtonState* ButtonOf(Window control) {
    if (platform::GetWindowProc(control) != &CustomButtonProc) return nullptr;
    return reinterpret_cast<ButtonState*>(platform::GetUserData(control));
}

// Step 3 of making a button: a bitmap button takes its bitmap's size at the screen scale.
// False when the bitmap cannot be loaded.
bool FitToBitmap(Window control, int bitmapId) {
    if (bitmapId < 1) return true;
    const DrawWindow* bitmap = CachedBitmap(bitmapId);
    if (!bitmap) return false;
    const Rect at = platform::GetRectInParent(control);
    platform::MoveWindow(control,
                         Rect{at.left, at.top, at.left + static_cast<int>(bitmap->width * screenScale.horizontal),
                              at.top + static_cast<int>(bitmap->height * screenScale.vertical)},
                         false);
    return true;
}

void PaintTextButton(Window w, ButtonState*) {
    const Dc dc = platform::BeginPaint(w, nullptr);
    const Rect rc = platform::GetClientRect(w);
    const int r = rc.Height() * 10 / 32;
    const GfxObject brush = platform::MakeBrush(GetHighlightColor());
    const GfxObject pen = platform::MakePen(platform::PenStyle::Solid, 1, GetHighlightColor());
    // The corners outside the rounded shape show the parent's background. A form paints
    // its own (the scheme's background) and leaves erasing alone; a dialog that lets the
    // system erase it is asked to do so under the button.
    platform::FillRect(dc, rc, GetBackBrush());
    platform::SendMessage(platform::GetParent(w), platform::kMsgEraseBackground, static_cast<WParam>(dc.value), 0);
    const GfxObject oldBrush = platform::SelectObject(dc, brush);
    const GfxObject oldPen = platform::SelectObject(dc, pen);
    platform::RoundRect(dc, rc, r, r);
    if (oldBrush) platform::SelectObject(dc, oldBrush);
    if (oldPen) platform::SelectObject(dc, oldPen);
    platform::DeleteObject(pen);
    platform::DeleteObject(brush);
    std::string text = platform::GetWindowText(w);
    if (text.size() > 64) text.resize(64);
    platform::SetBackColor(dc, GetHighlightColor());
    platform::SetTextColor(dc, GetHighlightTextColor());
    const Rect textRect{rc.left + r / 3, rc.top - r / 2, rc.right + r / 3, rc.bottom - r / 2};
    const GfxObject bold = MakeBoldCopy(dc);
    const GfxObject oldFont = platform::SelectObject(dc, bold);
    platform::SetBackMode(dc, platform::BackMode::Transparent);
    platform::DrawTextIn(dc, text, textRect, platform::kTextCenter | platform::kTextVCenter | platform::kTextSingleLine);
    if (oldFont) platform::SelectObject(dc, oldFont);
    platform::DeleteObject(bold);
    if (platform::GetFocus() == w) platform::DrawFocusRect(dc, rc);
    platform::EndPaint(w, dc);
}

void PaintBitmapButton(Window w, ButtonState* st) {
    const Dc dc = platform::BeginPaint(w, nullptr);
    const DrawWindow* bitmap = CachedBitmap(st->currentBitmapId);
    if (bitmap) {
        const Rect rc = platform::GetClientRect(w);
        platform::FillRect(dc, rc, GetBackBrush());
        const int width = static_cast<int>(bitmap->width * screenScale.horizontal);
        const int height = static_cast<int>(bitmap->height * screenScale.vertical);
        // Stretched to the screen scale once and kept, so a repaint copies it one to one.
        if (const DrawWindow* scaled = CachedBitmapAt(st->currentBitmapId, width, height)) bitmap = scaled;
        if (st->transparent) {
            // The bitmap was turned red at night; its key colour turns with it.
            const std::uint16_t key = NightPixel(static_cast<std::uint16_t>(st->keyColour & 0x7FFF));
            platform::TransparentBlitPixel(dc, 0, 0, width, height, bitmap->dc, 0, 0, bitmap->width, bitmap->height, key);
        } else {
            platform::StretchBlit(dc, 0, 0, width, height, bitmap->dc, 0, 0, bitmap->width, bitmap->height);
        }
        if (st->pressed == 1) platform::DrawFocusRect(dc, rc);
    }
    platform::EndPaint(w, dc);
}

// Sends the command while the pen stays down: first after kRepeatFirstMs, then every
// kRepeatNextMs. The command may switch forms, which destroys this button and frees its
// state, so only copies are used and the loop ends as soon as the button is gone. Paints
// go on meanwhile so that what the commands change shows.
void AutoRepeat(Window self) {
    ButtonState* st = ButtonOf(self);
    if (!st) return;
    const Window dialog = st->dialog;
    const auto id = static_cast<WParam>(static_cast<std::uint16_t>(st->id));
    platform::SendMessage(dialog, platform::kMsgCommand, id, 0);
    if (!platform::IsWindow(self)) return;
    platform::SetTimer(self, kRepeatTimerId, kRepeatFirstMs);
    bool first = true;
    while (platform::IsWindow(self) && platform::AsyncKeyIsDown(platform::kKeyPen)) {
        platform::Message m;
        if (platform::PeekMessage(m, self, platform::kMsgTimer, platform::kMsgTimer, true)) {
            if (m.window != self || m.wParam != kRepeatTimerId) continue;
            if (first) {
                platform::SetTimer(self, kRepeatTimerId, kRepeatNextMs);
                first = false;
            }
            platform::SendMessage(dialog, platform::kMsgCommand, id, 0);
            continue;
        }
        if (platform::PeekMessage(m, Window{}, platform::kMsgPaint, platform::kMsgPaint, true)) {
            platform::DispatchMessage(m);
            continue;
        }
        platform::IdleWait();
    }
    platform::KillTimer(self, kRepeatTimerId);
}

}  // namespace

// ---- Registry -------------------------------------------------------------------------------

void RegisterControl(int id) {
    if (std::int32_t* slot = IntVectorAt(controlRegistry, controlRegistry.count)) *slot = id;
}

void ReleaseControl(Window dialog, int id) {
    if (!platform::GetDialogItem(dialog, static_cast<std::uint16_t>(id))) return;
    for (std::int32_t i = 0; i < controlRegistry.count; ++i) {
        if (controlRegistry.data[i] != id) continue;
        --controlRegistry.count;
        if (controlRegistry.count > i) controlRegistry.data[i] = controlRegistry.data[controlRegistry.count];
        return;
    }
}

GfxObject MakeBoldCopy(Dc dc) {
    platform::FontSpec desc;
    if (!platform::GetFontSpec(platform::CurrentObject(dc, platform::ObjectKind::Font), &desc))
        platform::GetFontSpec(platform::SystemFont(platform::ScreenScale()), &desc);
    desc.weight = platform::kWeightBold;
    return platform::MakeFont(desc);
}

// ---- Title bar ------------------------------------------------------------------------------

void InitTitle(Window dialog, int id, const char* title) {
    titleUnderline = &DrawTitleUnderline;
    if (platform::IsWindow(formWindow) && formWindow != dialog) {
        ShowMessage("InitTitle Close Dialog", "");
        CloseForm(0);
    }
    formWindow = dialog;
    SetActiveFormHandle(dialog);
    ShellSetInputPanel(dialog, kInputPanelForceDown);
    if (id < 0) {
        const Dc dc = platform::GetWindowDc(dialog);
        SetDrawTarget(dialog, dc);
        platform::ReleaseDc(dialog, dc);
        return;
    }
    SetUpTitle(dialog, id, title);
    platform::SetFocus(dialog);
}

void InitTitleNoClose(Window dialog, int id, const char* title) {
    platform::SetFocus(dialog);
    if (id < 0) return;
    ShellSetInputPanel(dialog, kInputPanelForceDown);
    SetUpTitle(dialog, id, title);
}

LResult TitleProc(Window w, unsigned message, WParam wParam, LParam lParam) {
    auto* st = reinterpret_cast<TitleState*>(platform::GetUserData(w));
    if (!st) return 0;
    switch (message) {
        case platform::kMsgPaint:
            PaintTitle(w, st);
            return 0;
        case platform::kMsgKillFocus:
            platform::InvalidateRect(w, nullptr, false);
            return 0;
        case platform::kMsgPenDown:
        case platform::kMsgPenDoubleTap:
            st->pressed = st->tracking = 1;
            if (platform::GetClientRect(w).Contains(platform::PointFromParam(lParam)) && st->closeFlag)
                platform::PostMessage(st->dialog, platform::kMsgCommand, platform::kIdOk, 0);
            return 0;
        case platform::kMsgPenUp:
            st->pressed = st->tracking = 0;
            return 0;
        case platform::kMsgPenMove: return 0;
        case platform::kMsgDestroy: {
            const platform::WindowProc previous = st->previous;
            platform::SetUserData(w, 0);
            std::free(st);
            return platform::CallWindowProc(previous, w, message, wParam, lParam);
        }
        default:
            if (st->closeFlag) return platform::DefWindowProc(w, message, wParam, lParam);
            return 1;
    }
}

void DrawTitleUnderline(Window form, Dc dc) {
    const Rect rc = platform::GetClientRect(form);
    platform::FillRect(dc, Rect{0, ScaledV(22), rc.right, ScaledV(24)}, GetHighlightBrush());
}

void DrawControlUnderline(Window dialog, Dc dc, int id) {
    const Window control = platform::GetDialogItem(dialog, static_cast<std::uint16_t>(id));
    if (!control) return;
    const int bottom = platform::GetRectInParent(control).bottom;
    platform::FillRect(dc, Rect{0, bottom - ScaledV(2), platform::GetClientRect(dialog).right, bottom},
                       GetHighlightBrush());
}

void PaintDialogTitle(Window dialog, int titleId) {
    const Dc dc = platform::BeginPaint(dialog, nullptr);
    DrawControlUnderline(dialog, dc, titleId);
    platform::EndPaint(dialog, dc);
}

void ShowDialogStrip(Window dialog, unsigned fullScreen, int height) {
    ShellInitDialog(dialog, 0);
    ShellFullScreen(dialog, fullScreen);
    platform::MoveWindow(dialog, Rect{0, 0, platform::ScreenWidth(), height}, true);
    platform::ShowWindow(dialog, true);
}

// ---- Buttons --------------------------------------------------------------------------------

void InitButton(Window dialog, int id, int bitmapId, int transparent, std::uint32_t keyColour) {
    const Window control = platform::GetDialogItem(dialog, static_cast<std::uint16_t>(id));
    auto* st = NewControlState<ButtonState>(control, id);
    if (!st) return;
    st->dialog = dialog;
    st->id = static_cast<std::int16_t>(id);
    st->bitmapId = st->currentBitmapId = static_cast<std::int16_t>(bitmapId);
    st->transparent = static_cast<std::uint8_t>(transparent);
    st->keyColour = keyColour;
    AttachControlState(control, st, &CustomButtonProc);
    FitToBitmap(control, bitmapId);
}

void SetButtonIcon(Window dialog, int id, int bitmapId, int transparent, std::uint32_t keyColour) {
    const Window control = platform::GetDialogItem(dialog, static_cast<std::uint16_t>(id));
    if (!control) {
        ReportF("SetButtonIcon\nCan't find %d", id);
        return;
    }
    ButtonState* st = ButtonOf(control);
    if (!st) return;
    st->keyColour = keyColour;
    st->bitmapId = st->currentBitmapId = static_cast<std::int16_t>(bitmapId);
    st->transparent = static_cast<std::uint8_t>(transparent);
    st->pressed = st->tracking = 0;
    if (!FitToBitmap(control, bitmapId)) {
        ReportF("SetButtonIcon\nCan't find bitmap %d for button %d", bitmapId, id);
        return;
    }
    platform::InvalidateRect(control, nullptr, false);
}

void SetButtonAutoRepeat(Window dialog, int id, int flag) {
    if (ButtonState* st = ButtonOf(platform::GetDialogItem(dialog, static_cast<std::uint16_t>(id))))
        st->autoRepeat = static_cast<std::uint8_t>(flag);
}

LResult CustomButtonProc(Window w, unsigned message, WParam wParam, LParam lParam) {
    auto* st = reinterpret_cast<ButtonState*>(platform::GetUserData(w));
    if (!st) return 0;
    switch (message) {
        case platform::kMsgPaint:
            if (st->bitmapId < 0) PaintTextButton(w, st);
            else PaintBitmapButton(w, st);
            return 0;
        case platform::kMsgEraseBackground: return 0;
        case platform::kMsgPenDown:
        case platform::kMsgPenDoubleTap:
            st->pressed = st->tracking = st->penDown = 1;
            if (platform::IsWindow(lastPressedButton)) platform::InvalidateRect(lastPressedButton, nullptr, false);
            platform::InvalidateRect(w, nullptr, false);
            lastPressedButton = w;
            if (st->autoRepeat) AutoRepeat(w);  // st may be gone afterwards
            return 1;
        case platform::kMsgPenMove: {
            if (!st->tracking) return 1;
            const bool inside = platform::GetClientRect(w).Contains(platform::PointFromParam(lParam));
            if (!inside && st->pressed) {
                platform::InvalidateRect(w, nullptr, false);
                st->pressed = 0;
            } else if (inside && !st->pressed) {
                platform::InvalidateRect(w, nullptr, false);
                st->pressed = 1;
            }
            return 1;
        }
        case platform::kMsgPenUp: {
            platform::KillTimer(w, kRepeatTimerId);
            lastPressedButton = Window{};
            platform::InvalidateRect(w, nullptr, false);
            // A pen that went down elsewhere (on a form since replaced by this one) is not a
            // click.
            if (st->penDown && platform::GetClientRect(w).Contains(platform::PointFromParam(lParam))) {
                platform::PostMessage(st->dialog, platform::kMsgCommand, static_cast<std::uint16_t>(st->id), 0);
            } else {
                platform::ReleaseCapture();
            }
            st->pressed = st->tracking = st->penDown = 0;
            return 1;
        }
        case platform::kMsgTimer: return 1;
        case platform::kMsgDestroy: {
            const platform::WindowProc previous = st->previous;
            platform::SetUserData(w, 0);
            std::free(st);
            if (lastPressedButton == w) lastPressedButton = Window{};
            return platform::CallWindowProc(previous, w, message, wParam, lParam);
        }
        default: return platform::CallWindowProc(st->previous, w, message, wParam, lParam);
    }
}

void InitHelpAndBackButtons(platform::Window w, int helpId, int backId) {
    InitButton(w, helpId, platform::FindBitmapEntry(5076) ? 5076 : 4998, 0, 0);
    InitButton(w, backId, platform::FindBitmapEntry(5074) ? 5074 : -1, 0, 0);
}
