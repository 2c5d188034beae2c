#pragma once
// Message numbers, command ids and the records some messages carry.
//
// Keys (0x100-0x108) and pen messages (0x200-0x20A) keep the classic values because the
// program flushes input by those ranges; the display reset (12290) stands as it is; the
// layer's private messages are 0x8000 and up. The program's own message and command
// numbers are in "shell/commands.h".
#include <cstdint>
#include <string>

#include "platform/types.h"

namespace platform {

// Standard messages.
constexpr unsigned kMsgNull = 0x0000;
constexpr unsigned kMsgCreate = 0x0001;           // lParam: the creation parameter
constexpr unsigned kMsgDestroy = 0x0002;
constexpr unsigned kMsgActivate = 0x0006;         // wParam: kInactive / kActive / kClickActive; lParam: the other window
constexpr unsigned kMsgSetFocus = 0x0007;         // wParam: the window that lost the focus (its value)
constexpr unsigned kMsgKillFocus = 0x0008;        // wParam: the window that gets the focus (its value)
constexpr unsigned kMsgSetText = 0x000C;          // lParam: const char* (Windows-1252); the default stores it
constexpr unsigned kMsgPaint = 0x000F;
constexpr unsigned kMsgClose = 0x0010;
constexpr unsigned kMsgQuit = 0x0012;             // wParam: the exit code
constexpr unsigned kMsgEraseBackground = 0x0014;  // wParam: the device context of the paint (drawing half)
constexpr unsigned kMsgSettingChange = 0x001A;    // wParam: what changed (kSettingDisplayReset, ...)
constexpr unsigned kMsgDrawItem = 0x002B;         // wParam: control id; lParam: DrawItemInfo*
constexpr unsigned kMsgMeasureItem = 0x002C;      // wParam: control id; lParam: MeasureItemInfo*
constexpr unsigned kMsgNotify = 0x004E;           // wParam: control id; lParam: NotifyHeader* (first member of a larger record)
constexpr unsigned kMsgGetCheck = 0x00F0;         // check box: result kUnchecked / kChecked / kIndeterminate
constexpr unsigned kMsgSetCheck = 0x00F1;         // check box: wParam the new state
constexpr unsigned kMsgKeyFirst = 0x0100;
constexpr unsigned kMsgKeyDown = 0x0100;          // wParam: key code (kKey...)
constexpr unsigned kMsgKeyUp = 0x0101;            // wParam: key code
constexpr unsigned kMsgChar = 0x0102;             // wParam: the typed character, Windows-1252
constexpr unsigned kMsgKeyLast = 0x0108;
constexpr unsigned kMsgInitDialog = 0x0110;       // wParam: 0; lParam: the creation parameter
constexpr unsigned kMsgCommand = 0x0111;          // wParam: low word command or control id, high word notification; lParam: control or 0
constexpr unsigned kMsgTimer = 0x0113;            // wParam: timer id
constexpr unsigned kMsgPenFirst = 0x0200;
constexpr unsigned kMsgPenMove = 0x0200;          // lParam: MakeLong(x, y) in client coordinates (signed 16-bit)
constexpr unsigned kMsgPenDown = 0x0201;
constexpr unsigned kMsgPenUp = 0x0202;
constexpr unsigned kMsgPenDoubleTap = 0x0203;
constexpr unsigned kMsgPenLast = 0x020A;

// List-view operations. Items are rows; the list's text is Windows-1252.
constexpr unsigned kMsgListSetBackColor = 0x1001;      // lParam: Color
constexpr unsigned kMsgListGetItemCount = 0x1004;      // result: count
constexpr unsigned kMsgListInsertItem = 0x1007;        // wParam: row; lParam: const char* text; result: row or -1
constexpr unsigned kMsgListDeleteAll = 0x1009;
constexpr unsigned kMsgListGetNextItem = 0x100C;       // wParam: start row (-1 = from the top); lParam: state mask; result: row or -1
constexpr unsigned kMsgListGetItemRect = 0x100E;       // wParam: row; lParam: Rect* (client coordinates); result: 1 or 0
constexpr unsigned kMsgListHitTest = 0x1012;           // lParam: Point* (client coordinates); result: row or -1
constexpr unsigned kMsgListEnsureVisible = 0x1013;     // wParam: row
constexpr unsigned kMsgListRedrawItems = 0x1015;       // wParam: first row; lParam: last row
constexpr unsigned kMsgListInsertColumn = 0x101B;      // wParam: column; lParam: width in pixels
constexpr unsigned kMsgListSetTextColor = 0x1024;      // lParam: Color
constexpr unsigned kMsgListSetTextBackColor = 0x1026;  // lParam: Color
constexpr unsigned kMsgListGetTopIndex = 0x1027;       // result: first visible row
constexpr unsigned kMsgListGetCountPerPage = 0x1028;   // result: rows that fit
constexpr unsigned kMsgListUpdate = 0x102A;            // wParam: row
constexpr unsigned kMsgListSetItemState = 0x102B;      // wParam: row (-1 = all); lParam: MakeLong(state, mask)
constexpr unsigned kMsgListGetItemState = 0x102C;      // wParam: row; lParam: mask; result: state & mask
constexpr unsigned kMsgListGetItemText = 0x102D;       // wParam: row; lParam: std::string* out
constexpr unsigned kMsgListSetItemText = 0x102E;       // wParam: row; lParam: const char*
constexpr unsigned kMsgListSetItemCount = 0x102F;      // wParam: count (rows drawn by the owner)
constexpr unsigned kMsgListSetExtendedStyle = 0x1036;  // wParam: mask; lParam: style bits
constexpr unsigned kMsgListGetSelectionMark = 0x1042;  // result: row or -1
constexpr unsigned kMsgListSetSelectionMark = 0x1043;  // lParam: row; result: the previous mark

// kMsgSettingChange wParam: the display was reset.
constexpr WParam kSettingDisplayReset = 12290;

// The layer's private messages.
constexpr unsigned kMsgPrivate = 0x8000;
constexpr unsigned kMsgWake = 0x8000;          // carries nothing; makes a waiting loop look again
constexpr unsigned kMsgRunTask = 0x8001;       // a task queued for the interface thread (internal)
constexpr unsigned kMsgCloseRequest = 0x8002;  // the desktop window's close box; translated as Ctrl+Q
constexpr unsigned kMsgBringToFront = 0x8003;  // a second start asked this copy to come to the front

// kMsgActivate wParam.
constexpr WParam kInactive = 0;
constexpr WParam kActive = 1;
constexpr WParam kClickActive = 2;

// Check box states.
constexpr LResult kUnchecked = 0;
constexpr LResult kChecked = 1;
constexpr LResult kIndeterminate = 2;

// List item states (kMsgListSetItemState / kMsgListGetItemState).
constexpr unsigned kItemFocused = 0x0001;
constexpr unsigned kItemSelected = 0x0002;

// List extended style.
constexpr unsigned kListFullRowSelect = 0x0020;

// wParam of pen messages while the pen is down.
constexpr WParam kPenIsDown = 0x0001;

// Key codes: the hardware buttons and the keys the program reads. Letters and digits are
// their upper-case ASCII codes.
constexpr int kKeyPen = 0x01;  // the stylus, as a key state
constexpr int kKeyBack = 0x08;
constexpr int kKeyTab = 0x09;
constexpr int kKeyReturn = 0x0D;
constexpr int kKeyShift = 0x10;
constexpr int kKeyControl = 0x11;
constexpr int kKeyAlt = 0x12;
constexpr int kKeyEscape = 0x1B;
constexpr int kKeySpace = 0x20;
constexpr int kKeyPageUp = 0x21;
constexpr int kKeyPageDown = 0x22;
constexpr int kKeyEnd = 0x23;
constexpr int kKeyHome = 0x24;
constexpr int kKeyLeft = 0x25;
constexpr int kKeyUp = 0x26;
constexpr int kKeyRight = 0x27;
constexpr int kKeyDown = 0x28;
constexpr int kKeyDelete = 0x2E;
constexpr int kKeyF1 = 0x70;
constexpr int kKeyF2 = 0x71;
constexpr int kKeyF3 = 0x72;
constexpr int kKeyF4 = 0x73;
constexpr int kKeyCount = 256;

// Pen message parameters: client coordinates as two signed 16-bit halves.
constexpr LParam PointToParam(Point p) {
    return static_cast<LParam>(MakeLong(static_cast<std::uint16_t>(p.x), static_cast<std::uint16_t>(p.y)));
}
constexpr Point PointFromParam(LParam l) {
    return Point{static_cast<std::int16_t>(LowWord(static_cast<std::uintptr_t>(l))),
                 static_cast<std::int16_t>(HighWord(static_cast<std::uintptr_t>(l)))};
}

// What a message carries besides its parameters.
struct Message {
    Window window{};
    unsigned message = kMsgNull;
    WParam wParam = 0;
    LParam lParam = 0;
    std::uint32_t time = 0;  // tick count when it was posted or when the input happened
    Point point{};           // pen position on the screen when it happened
};

// kMsgDrawItem: one row or control to draw. `dc` is a device context of the drawing half.
constexpr unsigned kDrawEntire = 0x0001;
constexpr unsigned kDrawSelect = 0x0002;
constexpr unsigned kDrawFocus = 0x0004;
constexpr unsigned kStateSelected = 0x0001;
constexpr unsigned kStateFocus = 0x0010;
struct DrawItemInfo {
    std::uint16_t controlId = 0;
    int item = -1;
    unsigned action = kDrawEntire;
    unsigned state = 0;
    Window window{};
    std::uint64_t dc = 0;
    Rect rect{};
    LParam itemData = 0;
};

// kMsgMeasureItem: the owner fills in the row height.
struct MeasureItemInfo {
    std::uint16_t controlId = 0;
    int item = -1;
    int width = 0;
    int height = 0;
};

// kMsgNotify: the first member of every notification record.
constexpr int kNotifyListDisplayInfo = -150;  // a list asks for the text of a cell (ListDisplayInfo)
struct NotifyHeader {
    Window from{};
    std::uint16_t id = 0;
    int code = 0;
};
struct ListDisplayInfo {
    NotifyHeader header{};
    int item = 0;
    int column = 0;
    std::string text{};  // filled by the owner
    int image = -1;
};

}  // namespace platform
