#include "eclipses/eclipse_page_text.h"

#include <cstdio>
#include <cstring>

#include "shell/fonts.h"

PageTexts eclipsePageTexts;

void ClearPageTexts() { eclipsePageTexts.count = 0; }

namespace {

void Record(const char* text, int x, int y) {
    PageTexts& t = eclipsePageTexts;
    if (t.count >= kPageTextCapacity) return;
    PageText& item = t.items[t.count++];
    item.x = x;
    item.y = y;
    std::snprintf(item.text, sizeof item.text, "%s", text);
}

}  // namespace

void PageString(const char* text, int x, int y) {
    DrawString(text, static_cast<int>(std::strlen(text)), x, y);
    Record(text, x, y);
}

void PageTextBox(const char* text, int x, int y, int width, int height) {
    DrawTextInBox(text, x, y, width, height);
    Record(text, x, y);
}

int FindPageText(const char* prefix, int from) {
    const std::size_t n = std::strlen(prefix);
    for (int i = from < 0 ? 0 : from; i < eclipsePageTexts.count; ++i)
        if (std::strncmp(eclipsePageTexts.items[i].text, prefix, n) == 0) return i;
    return -1;
}
