#include "satellites/satellite_searches.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "astro/rise_set.h"
#include "catalog/databases.h"
#include "core/calendar.h"
#include "core/checked_math.h"
#include "core/report.h"
#include "core/settings.h"
#include "satellites/pass_finder.h"
#include "satellites/satellite_events.h"
#include "satellites/satellite_form_units.h"
#include "satellites/satellite_geometry.h"
#include "satellites/satellite_views.h"
#include "satellites/satellites_assistant.h"
#include "shell/colour_scheme.h"
#include "shell/draw_primitives.h"
#include "shell/fields.h"
#include "shell/fonts.h"
#include "shell/list_views.h"
#include "shell/popup_lists.h"
#include "shell/utilities.h"

using namespace satellites_form;

SatelliteSearchCost satelliteSearchCost;

namespace {

constexpr int kAltitudes[10] = {2, 5, 10, 15, 20, 25, 30, 35, 40, 45};
constexpr double kDegToRad = 0.017453292519943295;
constexpr double kRadToDeg = 57.29577951308232;
constexpr double kFiveMinutes = 0.003472222222222222;
constexpr double kOneMinute = 1.0 / 1440.0;
constexpr const char* kNotVisibleText = "This satellite is not visible from your location.";

SatellitesAssistantState& S() { return satellitesAssistant; }
double ZoneDays() { return observerLocation.zoneMinutes / 1440.0; }

// The "Press any key to stop." box, centred in the view area; returns where the pass
// finder's progress goes (it draws at x + 70).
void DrawStopBox(int width, const char* name, int* progressX, int* progressY) {
    const Bounds area = SatelliteViewArea();
    const int lines = name ? 3 : 2;
    const int lineHeight = Sy(13);
    const Bounds box{area.x + (area.width - width) / 2, area.y + (area.height - lines * lineHeight - 8) / 2, width,
                     lines * lineHeight + 8};
    FillRectangle(box);
    const platform::Color previous = SetForeColor(GetForeColor());
    DrawFrame(box);
    SetForeColor(previous);
    const int font = SetFont(0);
    int y = box.y + 4;
    if (name) {
        Text(name, box.x + 10, y);
        y += lineHeight;
    }
    Text("Press any key to stop.", box.x + 10, y);
    SetFont(font);
    *progressX = box.x + 10 - 70;
    *progressY = y + lineHeight;
}

bool ReadSet(int satellite, SatelliteRecord* record, TleElements* elements) {
    if (satellite < 0 || satellite >= GetSatelliteCount() || !GetSatelliteData(satellite, record)) return false;
    *elements = TleElements{};
    ConvertTleElements(*record, elements);
    return true;
}

// The message of a search that cannot go on; nothing for the ends that need none.
void ReportOutcome(PassOutcome outcome) {
    switch (outcome) {
    case PassOutcome::CannotRise: ShowMessage(kNotVisibleText, ""); break;
    case PassOutcome::Geostationary:
    case PassOutcome::DeepSpace: ShowMessage(SatelliteStatusText(kSatelliteDeepSpace), ""); break;
    case PassOutcome::Invalid: ShowMessage(SatelliteStatusText(kSatelliteInvalid), ""); break;
    case PassOutcome::Decayed: ShowMessage(SatelliteStatusText(kSatelliteDecayed), ""); break;
    default: break;
    }
}

// A row for the pass aos..los (UT) with its middle elevation; times in local days.
SatellitePass MakeRow(int satellite, const SatelliteRecord& record, double aos, double los, TleElements* elements) {
    SatellitePass row;
    row.satelliteIndex = satellite;
    row.startJD = aos + ZoneDays();
    row.endJD = los + ZoneDays();
    row.eventJD = row.startJD;
    row.durationSeconds = static_cast<std::int32_t>((los - aos) * 86400.0 + 0.5);
    if (ComputeSatelliteLookAngles((aos + los) / 2.0, elements) == kSatelliteComputed)
        row.maxAltitude = static_cast<std::int32_t>(elements->elevation + 0.5);
    std::snprintf(row.name, sizeof row.name, "%.20s", record.name);
    return row;
}

PassOutcome FindPass(double from, double to, double* aos, double* los, TleElements* elements, double latitude,
                     int progressX, int progressY) {
    const PassOutcome outcome = FindSatellitePasses(from, to, aos, los, elements, &latitude, progressX, progressY);
    ++satelliteSearchCost.passSearches;
    satelliteSearchCost.evaluations += satelliteSearchContext.evaluations;
    return outcome;
}

bool InShadowAtBothEnds(double aos, double los, TleElements* elements) {
    return IsSatelliteEclipsed(aos, elements) && IsSatelliteEclipsed(los, elements);
}

// Common set-up of the list views: controls, the header and the rows kept so far.
void SetUpListView(bool allSatellites) {
    SatellitesAssistantState& s = S();
    if (allSatellites)
        ShowSatelliteControls({kStepPopup, kClockPopup, kFovPopup, kLine1, kLine2, kExport, kDelete, kSatellitePopup},
                              {kNow, kDate, kTime, kElevationPopup, kResultList, kShowInSky});
    else
        ShowSatelliteControls({kStepPopup, kClockPopup, kFovPopup, kLine1, kLine2, kExport, kDelete},
                              {kNow, kDate, kTime, kElevationPopup, kResultList, kShowInSky, kSatellitePopup});
    ClearSatelliteViewArea();
    if (s.elevationChoice < 0 || s.elevationChoice > 9) s.elevationChoice = 0;
    SetPopupList(kElevationPopup, kElevationList, s.elevationChoice);
    SetPopupList(kViewPopup, kViewList, s.viewMode);
    DrawSatelliteListHeader();
    FillSatelliteResultList(s.listValid);
}

// After a search or a kept list: the form's satellite back at the form's time, the
// selected row and its details.
void FinishSearch() {
    SatellitesAssistantState& s = S();
    HideBusy();
    if (s.recordLoaded) {
        currentSatelliteRecord = s.elementRecord;
        ComputeSatellitePosition(s.formYear, s.formMonth, s.formDay, s.formHour, s.formMinute, s.formSecond,
                                 &s.elements);
    }
    ClearSatelliteViewArea();
    DrawSatelliteListHeader();
    FillSatelliteResultList(s.listValid);
    if (s.selectedRow >= s.listValid) s.selectedRow = s.listValid > 0 ? 0 : -1;
    SetListSelection(kResultList, s.selectedRow);
    DrawSatelliteEventDetails(s.selectedRow);
}

void KeepRow(const SatellitePass& row) {
    SatellitesAssistantState& s = S();
    if (s.passTable.size() < kMaxResultRows) s.passTable.resize(kMaxResultRows);
    s.passTable[static_cast<std::size_t>(s.listValid)] = row;
    ++s.listValid;
}

// The Sun's rise and set (UT Julian days) of the local date holding `jd` (UT).
void SunDay(double jd, double* rise, double* set) {
    int year = 0, month = 0, day = 0;
    JDToDate(jd + ZoneDays(), &year, &month, &day, nullptr, nullptr, nullptr);
    double riseHours = 0.0, transit = 0.0, setHours = 0.0;
    ComputeSunRiseSet(year, month, day, &riseHours, &transit, &setHours, nullptr);
    const double midnight = DateTimeToJD(year, month, day, 0, 0, 0, observerLocation.zoneMinutes);
    *rise = midnight + riseHours / 24.0;
    *set = midnight + setHours / 24.0;
}

}  // namespace

bool PassInDaylight(double aos, double los, const SunDays& days, double* next) {
    for (int d = 0; d < 2; ++d) {
        if (aos >= days.rise[d] && los <= days.set[d]) {
            *next = days.set[d] + kFiveMinutes;
            return true;
        }
    }
    return false;
}

bool InDaylight(double jd, const SunDays& days) {
    for (int d = 0; d < 2; ++d)
        if (jd > days.rise[d] && jd < days.set[d]) return true;
    return false;
}

int MinimumAltitude(int choice) { return kAltitudes[choice >= 0 && choice <= 9 ? choice : 0]; }

int FlareMagnitude(double angleDegrees) {
    return static_cast<int>(4.742 * std::log10(std::max(angleDegrees, 0.047)) - 1.737 - 0.5);
}

double NextPassSearchStart(double aos, double los, TleElements* elements, double longitudeWest) {
    const double period = elements->period;
    const double middle = (aos + los) / 2.0;
    double height = elements->height;
    if (ComputeSatelliteSubpoint(middle, elements) == kSatelliteComputed) height = elements->height;
    const double lambda = ClampedAcos(5740.3215 / (height + 6378.135));
    double next = los + (period - 5.0) / 1440.0;
    if (ComputeSatelliteSubpoint(middle + period / 1440.0, elements) == kSatelliteComputed) {
        const double s = elements->subLongitude;
        if (s > lambda * kRadToDeg - longitudeWest) {
            const double revolutions = elements->meanMotion * 229.1831180523293;
            double k = 1.0 - std::trunc(((90.0 - s) * kDegToRad + 1.5707963267948966 - longitudeWest * kDegToRad -
                                         lambda) *
                                        0.5 * revolutions * -0.31744076215618655);
            k = std::max(k, 1.0);
            next = los + (k * period - 5.0) / 1440.0;
        }
    }
    // A set whose numbers make no step forward still moves on.
    return std::isfinite(next) && next > los ? next : los + kOneMinute;
}

void SearchSatellitePasses(int satellite) {
    SatellitesAssistantState& s = S();
    satelliteSearchCost = {};
    SetUpListView(false);
    const auto& table = s.passTable;
    if (s.listValid >= 2 && table[0].satelliteIndex != table[1].satelliteIndex) s.listValid = 0;
    if (s.listValid > 0) {
        FinishSearch();
        return;
    }
    s.selectedRow = -1;
    SatelliteRecord record;
    TleElements elements;
    if (!ReadSet(satellite, &record, &elements)) {
        FinishSearch();
        return;
    }
    const bool transit = s.transitMode != 0;
    const int minimum = MinimumAltitude(s.elevationChoice);
    const double latitude = observerLocation.latitude * kDegToRad;
    const double start = DateTimeToJD(s.formYear, s.formMonth, s.formDay, s.formHour, s.formMinute, s.formSecond,
                                      observerLocation.zoneMinutes);
    int progressX = 0, progressY = 0;
    DrawStopBox(Sx(150), nullptr, &progressX, &progressY);
    SatelliteEventContext context;
    double t = start;
    bool done = false;
    while (!done && s.listValid < kMaxResultRows) {
        if (t - start > 30.0) {
            if (transit) {
                int year = 0, month = 0, day = 0;
                JDToDate(t, &year, &month, &day, nullptr, nullptr, nullptr);
                char date[40];
                FormatDate(date, day, month, year);
                ShowMessage((std::string("End of search: ") + date).c_str(), "");
            }
            break;
        }
        ShowBusy(1);
        double aos = 0.0, los = 0.0;
        const PassOutcome outcome =
            FindPass(t, t + (transit ? 35.0 : 5.0), &aos, &los, &elements, latitude, progressX, progressY);
        if (outcome != PassOutcome::Found) {
            ReportOutcome(outcome);
            break;
        }
        SatellitePass row = MakeRow(satellite, record, aos, los, &elements);
        t = NextPassSearchStart(aos, los, &elements, observerLocation.longitude);
        if (InShadowAtBothEnds(aos, los, &elements)) continue;
        if (!transit) {
            if (row.maxAltitude >= minimum) KeepRow(row);
            else continue;
        } else {
            double event = 0.0, angle = 0.0;
            context.flareMode = 0;
            context.transitBody = 0;
            int found = RefineSatelliteEvent(context, aos, &elements, &event, &angle);
            if (!found) {
                context.transitBody = 1;
                found = RefineSatelliteEvent(context, aos, &elements, &event, &angle);
            }
            if (!found) continue;
            s.transitBody = context.transitBody;
            if (ComputeSatelliteLookAngles(event, &elements) != kSatelliteComputed || elements.elevation < minimum)
                continue;
            row.eventJD = event + ZoneDays();
            row.eventAngle = angle;
            KeepRow(row);
            done = true;
        }
        FillSatelliteResultList(s.listValid);
    }
    FinishSearch();
}

void SearchAllSatellitePasses() {
    SatellitesAssistantState& s = S();
    satelliteSearchCost = {};
    SetUpListView(true);
    const auto& table = s.passTable;
    if (s.listValid >= 2 && table[0].satelliteIndex == table[1].satelliteIndex) s.listValid = 0;
    if (s.listValid > 0) {
        FinishSearch();
        return;
    }
    s.selectedRow = -1;
    const bool flare = s.flareMode != 0;
    const int limit = flare ? 3 : 5;
    const int minimum = MinimumAltitude(s.elevationChoice);
    const double latitude = observerLocation.latitude * kDegToRad;
    const double start = DateTimeToJD(s.formYear, s.formMonth, s.formDay, 0, 0, 0, 0);
    const double end = start + 1.3;
    const int count = GetSatelliteCount();
    SatelliteEventContext context;
    context.flareMode = 1;
    bool stopped = false;
    for (int n = 0; n < count && !stopped && s.listValid < kMaxResultRows; ++n) {
        SatelliteRecord record;
        TleElements elements;
        if (!ReadSet(n, &record, &elements)) continue;
        const bool iridium = std::strncmp(record.name, "IR", 2) == 0;
        if (flare ? !iridium : std::strncmp(record.name, "IRI", 3) == 0) continue;
        int progressX = 0, progressY = 0;
        DrawStopBox(Sx(110), record.name, &progressX, &progressY);
        double t = start;
        int kept = 0;
        while (true) {
            ShowBusy(1);
            double aos = 0.0, los = 0.0;
            const PassOutcome outcome = FindPass(t, end, &aos, &los, &elements, latitude, progressX, progressY);
            if (outcome == PassOutcome::Stopped || (outcome == PassOutcome::Found && IsNavKeyDown())) {
                stopped = true;
                break;
            }
            if (outcome != PassOutcome::Found) break;
            SatellitePass row = MakeRow(n, record, aos, los, &elements);
            t = NextPassSearchStart(aos, los, &elements, observerLocation.longitude);
            bool keep = row.maxAltitude >= minimum;
            if (flare) {
                keep = false;
                SunDays days;
                SunDay(aos, &days.rise[0], &days.set[0]);
                SunDay(aos + 1.0, &days.rise[1], &days.set[1]);
                const bool daylight = PassInDaylight(aos, los, days, &t);
                double event = 0.0, angle = 0.0;
                if (!daylight && RefineSatelliteEvent(context, aos, &elements, &event, &angle)) {
                    if (!InDaylight(event, days) && !IsSatelliteEclipsed(event, &elements) &&
                        ComputeSatelliteLookAngles(event, &elements) == kSatelliteComputed) {
                        const double altitude = elements.elevation + 0.5;
                        if (altitude >= minimum) {
                            keep = true;
                            row.maxAltitude = static_cast<std::int32_t>(altitude);
                            row.eventJD = event + ZoneDays();
                            row.eventAngle = angle;
                            row.magnitude = FlareMagnitude(angle);
                        }
                    }
                }
            }
            if (keep) {
                ++kept;
                KeepRow(row);
                std::sort(s.passTable.begin(), s.passTable.begin() + s.listValid, SatellitePassLess);
                s.selectedRow = 0;
                FillSatelliteResultList(s.listValid);
            }
            if (s.listValid >= kMaxResultRows || kept >= limit || t - start >= 8.0) break;
        }
    }
    FinishSearch();
}
