#include "scope/nstar_table.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "astro/rise_set.h"
#include "astro/time_scales.h"
#include "core/report.h"
#include "core/settings.h"
#include "scope/pointing_model.h"
#include "scope/saved_alignment.h"
#include "shell/utilities.h"

int nStarCount = 0;
int nStarSelectedRow = 0;

namespace {

bool ExternalMethod() { return preferences.word[pref::alignMethod] == 1; }


// The moment of a reading: the device clock as degrees (hours × 15) and the local sidereal
// time at the site.
void StampNStarTime(AlignStar& record) {
    int y, mo, d, h, mi, s;
    GetLocalDateTime(&y, &mo, &d, &h, &mi, &s);
    record.time = (s / 3600.0 + mi / 60.0 + h) * 15.0;
    record.siderealTime = LocalSiderealTime(y, mo, d, h, mi, s, observerLocation.longitude, observerLocation.zoneMinutes);
}

}  // namespace

int LoadNStarTable(AlignStar* out) {
    int n = 0;
    for (; n < nStarCount && n < kNStarTableSize; ++n)
        if (!ReadNStarRecord(n, &out[n])) break;
    return n;
}

void StoreNStarTable(const AlignStar* records, int count) {
    for (int k = 0; k < count && k < kNStarTableSize; ++k) WriteNStarRecord(k, records[k]);
}

bool NStarPositionHeld(double raDeg, double decDeg) {
    for (int k = 0; k < nStarCount && k < kNStarTableSize; ++k) {
        AlignStar held;
        if (!ReadNStarRecord(k, &held)) continue;
        if (std::fabs(WrappedAngle(held.ra - raDeg, 360.0)) < 0.5 && std::fabs(held.dec - decDeg) < 1.0) return true;
    }
    return false;
}

bool ExpectNStarAxes(AlignStar& record) {
    double first = record.ra, second = record.dec;
    if (!ExternalMethod()) {
        if (!IsAligned()) {
            ShowMessage("Please do 2 stars alignment first.", "");
            return false;
        }
        SkyToMount(record);
        first = record.modelAxis1 * kRadToDeg;
        second = record.modelAxis2 * kRadToDeg;
    } else if (IsAltAzMount()) {
        const double lat = observerLocation.latitude;
        first = ComputeAzimuth(record.siderealTime, record.ra / 15.0, record.dec, lat);
        second = ComputeAltitude(record.siderealTime, record.ra / 15.0, record.dec, lat);
    }
    record.axis1 = record.modelAxis1 = record.correctedAxis1 = first;
    record.axis2 = record.modelAxis2 = record.correctedAxis2 = second;
    return true;
}

bool RefuseFullNStarTable() {
    if (nStarCount < kNStarTableSize) return false;
    ShowMessage("Sorry, no more than 20 stars: delete one first.", "");
    return true;
}

int SelectNStarFromChart(const AlignStar& templ, double measured1, double measured2) {
    if (RefuseFullNStarTable()) return 0;
    if (NStarPositionHeld(templ.ra, templ.dec)) {
        ShowMessage("There is already a star selected at this position", "");
        return 0;
    }
    AlignStar record;
    record.ra = templ.ra;
    record.dec = templ.dec;
    record.objectNumber = templ.objectNumber;
    record.catalogCode = templ.catalogCode;
    std::snprintf(record.name, 10, "%.9s", templ.name);
    record.measuredAxis1 = measured1;
    record.measuredAxis2 = measured2;
    StampNStarTime(record);
    if (!ExpectNStarAxes(record)) return 0;
    if (!WriteNStarRecord(nStarCount, record)) return 0;
    nStarSelectedRow = nStarCount;
    ++nStarCount;
    return 1;
}

bool CanSyncNStarRecord(int row) {
    if (nStarCount <= 0) {
        ShowMessage("Please add at least one stars.", "");
        return false;
    }
    if (row < 0 || row >= nStarCount) {
        ShowMessage("Please select one stars.", "");
        return false;
    }
    if (!ExternalMethod() && !IsAligned()) {
        ShowMessage("Please do 2 stars alignment first", "");
        return false;
    }
    return true;
}

int SyncNStarRecord(int row, double measured1, double measured2) {
    AlignStar record;
    if (!CanSyncNStarRecord(row) || !ReadNStarRecord(row, &record)) return 0;
    StampNStarTime(record);
    record.measuredAxis1 = measured1;
    record.measuredAxis2 = measured2;
    if (!ExpectNStarAxes(record)) return 0;
    return WriteNStarRecord(row, record) ? 1 : 0;
}

int DeleteNStarRecord(int row) {
    if (nStarCount <= 0) {
        nStarCount = 0;
        ShowMessage("Sorry, there is no more star to delete.", "");
        return 0;
    }
    if (row < 0 || row >= nStarCount) {
        ShowMessage("Please select one stars.", "");
        return 0;
    }
    for (int k = row; k + 1 < nStarCount; ++k) {
        AlignStar next;
        if (ReadNStarRecord(k + 1, &next)) WriteNStarRecord(k, next);
    }
    --nStarCount;
    nStarSelectedRow = row < nStarCount ? row : (nStarCount > 0 ? nStarCount - 1 : 0);
    return 1;
}

void NameUnnamedNStarRecords() {
    for (int k = 0; k < nStarCount && k < kNStarTableSize; ++k) {
        AlignStar record;
        if (!ReadNStarRecord(k, &record) || record.name[0]) continue;
        std::snprintf(record.name, sizeof record.name, "St %d", k);
        WriteNStarRecord(k, record);
    }
}
