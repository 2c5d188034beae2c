#pragma once
// The picture view (form 1940): the current picture over the whole screen, run modally by
// ShowObjectPicture. A tap, Return or Escape closes it; the cursor keys step through the
// pictures of the observing list (the selection list, in its index order), the hardware
// application keys show the first picture from the current position.
#include "platform/dialog.h"

// The key codes of the device's application buttons.
inline constexpr int kFirstApplicationKey = 193;
inline constexpr int kLastApplicationKey = 196;

// The dialog procedure of form 1940.
platform::LResult ImageViewForm(platform::Window dialog, unsigned message, platform::WParam wParam,
                                platform::LParam lParam);

// The view's key handler. Right, Down and Page Up search forward from the list position
// (from entry 1 when it is 0 or less) for an entry with a picture in the current folder
// kind; Left, Up and Page Down backward from the position less 2. The entry found is shown
// and the position moves just past it. After more than 10 entries without a picture a
// search stops while a navigation key is held, at the entry it reached.
void PictureViewKey(int key);

// Shows the first entry with a picture at or after the list position (a negative position
// counts as 0, and 0 as 1 when a and b are both non-zero) full screen, and moves the
// position just past it. Nothing at or past the end of the list.
void ShowListPictureFrom(int a, int b);

// Opens the picture view on the first entry with a picture from the list's current
// position (or the start). 1 when entries with pictures may follow it.
int ShowNextListPicture();
