#pragma once
// The texts the eclipse pages drew last, with where they were drawn: the pages' own record
// of what the user reads, so that a page can be checked line by line without reading its
// pixels. Each page clears it when it starts drawing.

inline constexpr int kPageTextCapacity = 80;
inline constexpr int kPageTextLength = 112;

struct PageText {
    int x = 0, y = 0;
    char text[kPageTextLength] = {};
};
struct PageTexts {
    int count = 0;
    PageText items[kPageTextCapacity];
};
extern PageTexts eclipsePageTexts;

void ClearPageTexts();
// Draws the text at (x, y) in the current font and colours and records it (past the
// capacity it is drawn but not recorded).
void PageString(const char* text, int x, int y);
// The same for a text word-wrapped into a box (recorded whole).
void PageTextBox(const char* text, int x, int y, int width, int height);
// The index of the first recorded text that starts with `prefix`, from `from` on; -1 when
// none does.
int FindPageText(const char* prefix, int from = 0);
