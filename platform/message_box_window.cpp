#include "platform/message_box_window.h"

#include <algorithm>

#include "platform/dialog.h"
#include "platform/gfx_context.h"
#include "platform/gfx_objects.h"
#include "platform/messages.h"
#include "platform/system_colors.h"
#include "platform/window.h"

namespace platform {

namespace {

// Design pixels of the 240 x 320 screen.
constexpr int kBoxWidth = 216;
constexpr int kCaptionHeight = 18;
constexpr int kPad = 8;
constexpr int kButtonWidth = 60;
constexpr int kButtonHeight = 22;

struct BoxData {
    std::string text;
};

Rect TextArea(Window dlg) {
    const int s = ScreenScale();
    const Rect rc = GetClientRect(dlg);
    return Rect{kPad * s, (kCaptionHeight + kPad) * s, rc.right - kPad * s, rc.bottom - (kPad + kButtonHeight + kPad) * s};
}

void Fill(Dc dc, const Rect& r, Color c) {
    GfxObject brush = MakeBrush(c);
    FillRect(dc, r, brush);
    DeleteObject(brush);
}

LResult BoxProc(Window dlg, unsigned message, WParam wParam, LParam lParam) {
    switch (message) {
        case kMsgInitDialog:
            SetUserData(dlg, lParam);
            return 1;
        case kMsgEraseBackground: return 1;
        case kMsgPaint: {
            const auto* data = reinterpret_cast<const BoxData*>(GetUserData(dlg));
            Dc dc = BeginPaint(dlg, nullptr);
            const Rect rc = GetClientRect(dlg);
            const int s = ScreenScale();
            Fill(dc, rc, SystemColor(kColorWindow));
            const Rect band{0, 0, rc.right, kCaptionHeight * s};
            Fill(dc, band, SystemColor(kColorActiveCaption));
            DrawEdge(dc, rc);
            SetBackMode(dc, BackMode::Transparent);
            SetTextColor(dc, SystemColor(kColorCaptionText));
            DrawTextIn(dc, GetWindowText(dlg), Rect{band.left + 4 * s, band.top, band.right - 4 * s, band.bottom},
                       kTextVCenter | kTextSingleLine);
            if (data) {
                SetTextColor(dc, SystemColor(kColorWindowText));
                DrawTextIn(dc, data->text, TextArea(dlg), kTextWordBreak);
            }
            EndPaint(dlg, dc);
            return 1;
        }
        case kMsgCommand: {
            const int id = LowWord(wParam);
            if (id == kIdOk || id == kIdYes || id == kIdNo || id == kIdCancel) EndDialog(dlg, id);
            return 1;
        }
        case kMsgClose:
            EndDialog(dlg, kIdCancel);
            return 1;
        default: return 0;
    }
}

// The text's height in design pixels when wrapped to the box's width.
int TextHeight(const std::string& text) {
    const int s = ScreenScale();
    Dc dc = MakeMemoryDc(Dc{});
    const int px = DrawTextIn(dc, text, Rect{0, 0, (kBoxWidth - 2 * kPad) * s, 100000}, kTextWordBreak);
    DeleteDc(dc);
    return (px + s - 1) / s;
}

ControlLayout Button(int id, const char* label, int x, int y, bool isDefault) {
    ControlLayout c;
    c.kind = WindowKind::Button;
    c.id = static_cast<std::uint16_t>(id);
    c.text = label;
    c.rect = Rect{x, y, x + kButtonWidth, y + kButtonHeight};
    c.style = isDefault ? kStyleDefaultButton : 0;
    return c;
}

}  // namespace

int PresentMessageBox(Window owner, const std::string& text, const std::string& caption, BoxButtons buttons) {
    const int textHeight = std::clamp(TextHeight(text), 14, 320 - (kCaptionHeight + 3 * kPad + kButtonHeight) - 4);
    const int height = kCaptionHeight + kPad + textHeight + kPad + kButtonHeight + kPad;
    DialogLayout layout;
    layout.id = kBoxDialogId;
    layout.caption = caption;
    const int x = (240 - kBoxWidth) / 2, y = (320 - height) / 2;
    layout.rect = Rect{x, y, x + kBoxWidth, y + height};
    const int buttonsY = height - kPad - kButtonHeight;
    if (buttons == BoxButtons::YesNo) {
        const int gap = 12;
        const int left = (kBoxWidth - 2 * kButtonWidth - gap) / 2;
        layout.controls.push_back(Button(kIdYes, "Yes", left, buttonsY, true));
        layout.controls.push_back(Button(kIdNo, "No", left + kButtonWidth + gap, buttonsY, false));
    } else {
        layout.controls.push_back(Button(kIdOk, "OK", (kBoxWidth - kButtonWidth) / 2, buttonsY, true));
    }
    BoxData data{text};
    const int result = DialogBoxFromLayout(layout, owner, &BoxProc, reinterpret_cast<LParam>(&data));
    if (IsWindow(owner) && !GetFocus()) SetFocus(owner);
    if (result == kIdOk || result == kIdYes || result == kIdNo) return result;
    return kIdCancel;
}

void InstallMessageBoxWindow() { SetBoxPresenter(&PresentMessageBox); }

}  // namespace platform
