#include "objects/night_bars.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "astro/rise_set.h"
#include "chart/star_layers.h"
#include "core/settings.h"
#include "platform/types.h"
#include "shell/colour_scheme.h"
#include "shell/draw_primitives.h"
#include "shell/fonts.h"

namespace {

constexpr double kCircumpolarHours = 23.5;

// The span from local hour `start`, `length` hours long, once where it falls and once a
// day earlier, each clipped to the strip.
void Place(double now, int width, double start, double length, std::vector<BarSpan>& out) {
    if (!(length > 0) || width <= 0) return;
    if (length >= 24) {
        out.push_back(BarSpan{0, width});
        return;
    }
    const double perHour = width / 24.0;
    const double offset = std::fmod(std::fmod(start - now, 24.0) + 36.0, 24.0) - 12.0;  // -12 .. 12
    for (double shift : {0.0, -24.0}) {
        const double x0 = (offset + 12.0 + shift) * perHour;
        const double x1 = x0 + length * perHour;
        const int left = std::max(0, static_cast<int>(std::lround(x0)));
        const int right = std::min(width, static_cast<int>(std::lround(x1)));
        if (right > left) out.push_back(BarSpan{left, right - left});
    }
}

void Fill(const BarSpan& span, const Bounds& rect, int top, int height, platform::Color colour, int radius) {
    SetForeColor(colour);
    DrawRectangle(Bounds{rect.x + span.x, top, span.width, height}, radius);
}

}  // namespace

NightBarLayout LayoutNightBar(double now, int width, const NightSunTimes& sun, double objectRise, double objectSet) {
    NightBarLayout layout;
    const bool allDay = RiseSetAllDay(sun.result, sun.rise, sun.transit, sun.set);
    const double dusk = sun.twilightEnd;
    const bool neverDark = dusk >= kNeverSetsHour;
    if (allDay && sun.result == kRiseSetNeverSets) {
        // Polar day: neither night nor darkness.
    } else if (allDay) {
        Place(now, width, 0, 24, layout.night);
        if (dusk <= 0)
            Place(now, width, 0, 24, layout.dark);
        else if (!neverDark)
            Place(now, width, dusk, 24 - 2 * (dusk - sun.noon), layout.dark);
    } else {
        Place(now, width, sun.set, 24 - sun.set + sun.rise, layout.night);
        if (!neverDark) Place(now, width, dusk, (24 - dusk + sun.rise) - (dusk - sun.set), layout.dark);
    }
    if (objectRise == 0 && objectSet == 0) return layout;
    const double set = objectSet < objectRise ? objectSet + 24 : objectSet;
    const double up = set - objectRise;
    if (up >= kCircumpolarHours) {
        layout.objectFillsRow = true;
        layout.object.push_back(BarSpan{0, width});
    } else {
        Place(now, width, objectRise, up, layout.object);
    }
    return layout;
}

NightSunTimes NightSunTimesFor(int year, int month, int day) {
    struct Cached {
        int year = 0, month = 0, day = 0;
        float latitude = 0, longitude = 0;
        int zone = 0, height = 0;
        NightSunTimes times;
        bool valid = false;
    };
    static Cached cache;
    const ObserverLocation& site = observerLocation;
    if (cache.valid && cache.year == year && cache.month == month && cache.day == day &&
        cache.latitude == site.latitude && cache.longitude == site.longitude && cache.zone == site.zoneMinutes &&
        cache.height == site.height)
        return cache.times;
    NightSunTimes t;
    t.result = ComputeSunRiseSet(year, month, day, &t.rise, &t.transit, &t.set, &t.twilightEnd);
    // Local mean noon stands in for the transit the computation does not give in polar night.
    t.noon = RiseSetAllDay(t.result, t.rise, t.transit, t.set) ? 12.0 + site.zoneMinutes / 60.0 + site.longitude / 15.0
                                                               : t.transit;
    cache = Cached{year, month, day, site.latitude, site.longitude, site.zoneMinutes, site.height, t, true};
    return t;
}

void DrawNightBarRow(const NightBarLayout& layout, const Bounds& rect, const char* label, int brightStarNumber,
                     bool night) {
    using platform::Rgb;
    const platform::Color saved = GetForeColor();
    for (const BarSpan& s : layout.night)
        Fill(s, rect, rect.y, rect.height, night ? Rgb(120, 0, 0) : Rgb(60, 60, 120), 0);
    for (const BarSpan& s : layout.dark) Fill(s, rect, rect.y, rect.height, night ? Rgb(30, 0, 0) : Rgb(0, 0, 30), 0);
    const int barHeight = std::max(rect.height - 2, 1);
    const platform::Color bar = night ? Rgb(100, 0, 0) : Rgb(240, 240, 255);
    const int labelY = rect.y + 1 + (rect.height - 2) / 8;
    const int length = label ? static_cast<int>(std::strlen(label)) : 0;
    const int oldMode = SetTextTransparent(1);
    const platform::Color oldText = SetTextColor(night ? Rgb(255, 0, 0) : Rgb(0, 0, 0));
    for (const BarSpan& s : layout.object) {
        Fill(s, rect, rect.y + 1, barHeight, bar, layout.objectFillsRow ? 0 : barHeight / 2);
        const int centre = rect.x + s.x + s.width / 2;
        if (brightStarNumber > 0) {
            DrawBrightStarLabel(brightStarNumber, centre, labelY, 1);
        } else if (length > 0) {
            DrawString(label, length, centre - CharsWidth(label, length) / 2, labelY);
        }
    }
    SetTextTransparent(oldMode);
    SetTextColor(oldText);
    const platform::Color line = night ? Rgb(200, 0, 0) : Rgb(100, 100, 100);
    DrawLineColor(rect.x, rect.y, rect.x + rect.width + 20, rect.y, line);
    DrawLineColor(rect.x, rect.y + rect.height - 1, rect.x + rect.width + 20, rect.y + rect.height - 1, line);
    SetForeColor(saved);
}
