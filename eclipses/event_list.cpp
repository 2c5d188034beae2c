#include "eclipses/event_list.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "astro/angle_text.h"
#include "core/report.h"
#include "core/startup_alloc.h"
#include "eclipses/eclipse_list.h"
#include "eclipses/eclipse_math.h"
#include "shell/fonts.h"
#include "shell/form_dispatcher.h"
#include "shell/list_views.h"
#include "shell/scratch_text.h"

EventListState eventList{};

namespace {

// The first picture of the eclipse icons by kind; the eclipse type is added to it (solar
// 4074 partial .. 4076 total, lunar 4077 penumbral .. 4080 total).
constexpr int kSolarEclipseIconBase = 4072;
constexpr int kLunarEclipseIconBase = 4076;
constexpr int kFullMoonIcon = 6064;
constexpr int kNewMoonIcon = 6065;

bool MakeBlock() {
    if (eventList.records) return true;
    eventList.records = static_cast<EventRecord*>(StartupCalloc(kEventListCapacity, sizeof(EventRecord)));
    if (eventList.records) {
        eventList.allocationReported = false;
        return true;
    }
    eventList.count = 0;
    if (!eventList.allocationReported) ShowMessage("Can't allocate memory for the event list", "");
    eventList.allocationReported = true;
    return false;
}

int Compare(int a, int b) { return a < b ? -1 : (a > b ? 1 : 0); }

}  // namespace

void AddEvent(int keyA, int firstBody, int keyB, int secondBody, int type, float value, int year, int month,
              int day, int hour, int minute, int flagA, int flagB) {
    if (!MakeBlock()) return;
    if (eventList.count >= kEventListCapacity) return;
    for (int i = std::max(eventList.count - 3, 0); i < eventList.count; ++i) {
        EventRecord& r = eventList.records[i];
        if (firstBody == 0 || r.keyA != keyA || r.firstBody != firstBody || r.type != type || r.keyB != keyB ||
            r.secondBody != secondBody)
            continue;
        // One record per approach: the closest day's.
        if (r.value > value) {
            r.year = year, r.month = month, r.day = day, r.hour = hour, r.minute = minute;
            r.value = value;
        }
        return;
    }
    eventList.records[eventList.count++] =
        EventRecord{keyA, firstBody, keyB, secondBody, type, value, year, month, day, hour, minute, flagA, flagB};
}

bool EventPassesFilter(int type, int filter) {
    switch (filter) {
    case kEventFilterAll: return true;
    case kEventFilterConjunctions: return type == kEventConjunction;
    case kEventFilterMoon: return type == kEventMoonPhase;
    case kEventFilterOppositions: return type == kEventOpposition;
    case kEventFilterEclipses: return type == kEventLunarEclipse || type == kEventSolarEclipse;
    default: return false;
    }
}

int CompareEvents(const EventRecord& a, const EventRecord& b) {
    // Plain comparisons rather than differences, so that the order stays transitive for
    // any field values.
    if (eventList.filter > 0) {
        if (const int c = Compare(a.type, b.type)) return c;
    }
    for (const auto field : {&EventRecord::year, &EventRecord::month, &EventRecord::day, &EventRecord::hour,
                             &EventRecord::minute}) {
        if (const int c = Compare(a.*field, b.*field)) return c;
    }
    return 0;
}

int SortEvents() {
    if (eventList.count < 0) return 0;
    if (eventList.records && eventList.count > 1) {
        std::sort(eventList.records, eventList.records + eventList.count,
                  [](const EventRecord& a, const EventRecord& b) { return CompareEvents(a, b) < 0; });
    }
    int rows = 0;
    for (int i = 0; i < eventList.count; ++i) rows += EventPassesFilter(eventList.records[i].type, eventList.filter);
    if (platform::Window form = GetActiveForm()) {
        if (platform::Window list = FindListView(form, kEventListId)) FillList(list, nullptr, rows);
    }
    return rows;
}

int FindFirstFilteredEvent() {
    if (eventList.filter == kEventFilterAll || eventList.count <= 0 || !eventList.records) return 0;
    for (int i = 0; i < eventList.count; ++i) {
        if (EventPassesFilter(eventList.records[i].type, eventList.filter)) return i;
    }
    return eventList.count;
}

void DrawEventRow(int row, Bounds rect, int, int) {
    if (eventList.count <= 0 || !eventList.records || row < 0) return;
    const int index = row + FindFirstFilteredEvent();
    if (index >= eventList.count) return;
    const EventRecord& r = eventList.records[index];

    const double sx = screenScale.horizontal, sy = screenScale.vertical;
    const int iconX = rect.x + (eventList.viewWidth - static_cast<int>(50 * sx));
    const int symbolY = rect.y + static_cast<int>(9 * sy);
    const int pictureY = rect.y + static_cast<int>(2 * sy);

    char fallback[kTxtBufferSize];
    char* text = txtBuffer ? txtBuffer : fallback;
    const std::size_t size = kTxtBufferSize;
    auto drawText = [&] { DrawChars(text, static_cast<int>(std::strlen(text)), rect.x, rect.y); };

    switch (r.type) {
    case kEventOpposition:
        std::snprintf(text, size, r.firstBody < 4 ? "%04d/%02d/%02d Inf. Conj." : "%04d/%02d/%02d Opp. ", r.year,
                      r.month, r.day);
        drawText();
        DrawSymbolIcon(r.firstBody, 0, iconX + static_cast<int>(6 * sx), symbolY);
        break;
    case kEventConjunction: {
        const int n = std::snprintf(text, size, "%04d/%02d/%02d Conj. ", r.year, r.month, r.day);
        if (n > 0 && static_cast<std::size_t>(n) < size) DMSToStr(text + n, size - n, r.value);
        drawText();
        DrawSymbolIcon(r.firstBody, 0, iconX, symbolY);
        DrawSymbolIcon(r.secondBody, 0, iconX + static_cast<int>(15 * sx), symbolY);
        break;
    }
    case kEventMoonPhase: {
        const bool full = r.value > 0.9f;
        std::snprintf(text, size, full ? "%04d/%02d/%02d Full Moon" : "%04d/%02d/%02d New Moon", r.year, r.month,
                      r.day);
        DrawBitmapMasked(full ? kFullMoonIcon : kNewMoonIcon, iconX, pictureY);
        drawText();
        break;
    }
    case kEventLunarEclipse:
    case kEventSolarEclipse: {
        const bool lunar = r.type == kEventLunarEclipse;
        std::snprintf(text, size, lunar ? "%04d/%02d/%02d %s lunar eclipse" : "%04d/%02d/%02d %s solar eclipse",
                      r.year, r.month, r.day, EclipseTypeName(r.value));
        drawText();
        const int eclipseType = ToIntChecked(r.value, 0);
        if (eclipseType >= 1 && eclipseType < kEclipseTypeNameCount)
            DrawBitmapMasked((lunar ? kLunarEclipseIconBase : kSolarEclipseIconBase) + eclipseType, iconX, pictureY);
        break;
    }
    default: {
        static constexpr char kUnknown[] = "Unknown event";
        DrawString(kUnknown, static_cast<int>(sizeof kUnknown - 1), rect.x, rect.y);
        break;
    }
    }
}

void FreeEventList() {
    std::free(eventList.records);
    eventList.records = nullptr;
    eventList.count = 0;
    eventList.filter = 0;
}
