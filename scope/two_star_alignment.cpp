#include "scope/two_star_alignment.h"

#include <cmath>
#include <cstdio>

#include "astro/angle_text.h"
#include "astro/rise_set.h"
#include "astro/time_scales.h"
#include "catalog/selection_list.h"
#include "core/calendar.h"
#include "core/report.h"
#include "core/settings.h"
#include "scope/encoder_boxes.h"
#include "scope/mount_dispatcher.h"
#include "scope/saved_alignment.h"
#include "scope/two_star_state.h"
#include "shell/utilities.h"

namespace {

bool offerMade = false;

AlignStar& Working(int which) { return which == 0 ? twoStar.first : twoStar.second; }

bool Empty(const char* text) { return !text || !*text; }

void DeviceTimeText(char* out, std::size_t size) {
    int h, mi, s;
    GetLocalDateTime(nullptr, nullptr, nullptr, &h, &mi, &s);
    std::snprintf(out, size, "%02d:%02d:%02d", h, mi, s);
}

double DeviceJulianDay() {
    int y, mo, d, h, mi, s;
    GetLocalDateTime(&y, &mo, &d, &h, &mi, &s);
    return DateTimeToJD(y, mo, d, h, mi, s, observerLocation.zoneMinutes);
}

}  // namespace

int TwoStarRead(int which, const char* axis1Text, const char* axis2Text) {
    const int mountType = preferences.word[pref::mountType];
    if (mountType < 0 || mountType > 2) {
        ShowMessage("Please select scope output type (EQ, AZ, Encoder)", "");
        return 0;
    }
    AlignStar& star = Working(which);
    const bool altAz = IsAltAzMount();
    int y, mo, d, h, mi, s;
    GetLocalDateTime(&y, &mo, &d, &h, &mi, &s);
    star.time = (h + mi / 60.0 + s / 3600.0) * 15.0;
    if (preferences.word[pref::scopeDrive] != 0) {
        double first = 0, second = 0;
        ScopeReadPositionOnce(&first, &second);
        star.axis1 = altAz ? first : first * 15.0;
        star.axis2 = second;
    } else if (!Empty(axis1Text) && !Empty(axis2Text)) {
        star.axis1 = altAz ? DmsStrToDeg(axis1Text) : HmsStrToHours(axis1Text) * 15.0;
        star.axis2 = DmsStrToDeg(axis2Text);
    } else if (altAz) {
        const double lst = LocalSiderealTime(y, mo, d, h, mi, s, observerLocation.longitude, observerLocation.zoneMinutes);
        star.axis1 = ComputeAzimuth(lst, star.ra / 15.0, star.dec, observerLocation.latitude);
        star.axis2 = ComputeAltitude(lst, star.ra / 15.0, star.dec, observerLocation.latitude);
    } else {
        star.axis1 = star.ra;
        star.axis2 = star.dec;
    }
    return 1;
}

void ReadTwoStarFields(const char* timeText, const TwoStarFieldTexts& first, const TwoStarFieldTexts& second) {
    std::snprintf(twoStar.timeText, sizeof twoStar.timeText, "%s", timeText ? timeText : "");
    // Typed-in stars must reach the model: the fields count whenever there is a time.
    if (!twoStar.timeText[0]) return;
    const TwoStarFieldTexts* texts[2] = {&first, &second};
    for (int k = 0; k < 2; ++k) {
        AlignStar& star = Working(k);
        const TwoStarFieldTexts& t = *texts[k];
        FillStarRecord(&star, t.time, t.ra, t.dec, t.axis1, t.axis2, nullptr);
        // The field shows hours on equatorial mounts.
        if (!IsAltAzMount() && !Empty(t.axis1)) star.axis1 *= 15.0;
    }
}

int ComputeTwoStarAlignment() {
    if (!SolveTwoStarMatrix(twoStar.timeText, twoStar.first, twoStar.second)) {
        ShowMessage("Fail to compute align matrix", "Please verify inputs.");
        return 0;
    }
    StoreSavedAlignment(DeviceJulianDay(), twoStar.first, twoStar.second);
    AfterSettingsHook();
    return 1;
}

void ClearTwoStarAlignment() {
    ClearEncoderOffsets();
    DeviceTimeText(twoStar.timeText, sizeof twoStar.timeText);
    ClearAlignment();
    for (AlignStar* star : {&twoStar.first, &twoStar.second}) {
        star->time = star->ra = star->dec = star->axis1 = star->axis2 = 0.0;
        star->objectNumber = -1;
    }
}

int RecomputeAlignMatrix() {
    LoadSavedAlignment(&twoStar.first, &twoStar.second);
    SetEncoderOffsets(preferences.word[pref::encoderOffsetAlt], preferences.word[pref::encoderOffsetAz]);
    const double t = twoStar.first.time;
    std::snprintf(twoStar.timeText, sizeof twoStar.timeText, "%02d:%02d:%02d", static_cast<int>(t / 15.0) % 100,
                  static_cast<int>(std::fmod(t * 4.0, 60.0)), static_cast<int>(std::fmod(t * 240.0, 60.0)));
    const int solved = SolveTwoStarMatrix(twoStar.timeText, twoStar.first, twoStar.second);
    if (!solved) {
        ShowMessage("Fail to compute align matrix", "Please redo 2 star alignment.");
        ClearEncoderOffsets();
    }
    return solved;
}

int OfferLastAlignment() {
    if (offerMade || IsAligned()) return 0;
    AlignStar a, b;
    const double saved = LoadSavedAlignment(&a, &b);
    if (saved <= 0.0 || DeviceJulianDay() - saved >= 0.5) return 0;
    offerMade = true;
    if (AskYesNo("Would you want to restore your last alignment?", "") == 0) {
        RecomputeAlignMatrix();
    } else {
        SetPreferenceDouble(pref::savedAlignment, 0.0);
        preferences.word[pref::encoderOffsetAlt] = 0;
        preferences.word[pref::encoderOffsetAz] = 0;
        ClearEncoderOffsets();
    }
    return 1;
}

void ResetLastAlignmentOffer() { offerMade = false; }

int KeepAlignmentCandidates(double lowAlt, double highAlt, const double* referenceAzimuth, int* keepPos) {
    if (!selectionList.records || selectionList.recordCount <= 0) return 0;
    const int kept = keepPos ? *keepPos : -1;
    int y, mo, d, h, mi, s;
    GetLocalDateTime(&y, &mo, &d, &h, &mi, &s);
    const double lst = LocalSiderealTime(y, mo, d, h, mi, s, observerLocation.longitude, observerLocation.zoneMinutes);
    const double lat = observerLocation.latitude;
    for (int pos = selectionList.recordCount - 1; pos >= 0; --pos) {
        const SelectionRecord& r = selectionList.records[pos];
        if (pos == kept || r.typeCode != 30) continue;
        const double alt = ComputeAltitude(lst, r.rightAscension, r.declination, lat);
        bool keep = alt >= lowAlt && alt <= highAlt;
        if (keep && referenceAzimuth) {
            const double az = ComputeAzimuth(lst, r.rightAscension, r.declination, lat);
            const double apart = std::fmod(std::fabs(az - *referenceAzimuth) + 360.0, 360.0);
            keep = apart >= 60.0 && apart <= 120.0;
        }
        if (!keep && RemoveSelectionRecord(pos) && pos < kept) --*keepPos;
    }
    return selectionList.recordCount;
}
