#include "scope/chart_align_star.h"

#include <cstring>

#include "astro/horizontal.h"
#include "core/report.h"
#include "core/settings.h"
#include "scope/mount_dispatcher.h"
#include "scope/nstar_table.h"
#include "scope/pointing_model.h"
#include "scope/saved_alignment.h"
#include "scope/two_star_state.h"
#include "shell/utilities.h"

AlignStar ChartObjectAlignStar(const ObjectRef& object) {
    int y, mo, d, h, mi, s;
    GetLocalDateTime(&y, &mo, &d, &h, &mi, &s);
    double ra = 0, dec = 0, alt = 0, az = 0;
    ComputeApparentPosition(object.ra, object.dec, &ra, &dec, &alt, &az, kModeTopocentricRefracted, y, mo, d, h, mi, s);

    AlignStar record;
    record.objectNumber = static_cast<std::int32_t>(object.number);
    std::memcpy(record.name, object.name, 10);
    record.name[10] = 0;
    record.catalogCode = static_cast<std::int32_t>(object.catalog);
    record.time = (s / 3600.0 + mi / 60.0 + h) * 15.0;
    record.ra = ra * 15.0;
    record.dec = dec;

    double first = 0, second = 0;
    if (preferences.word[pref::scopeDrive] != 0) {
        ScopeReadPositionOnce(&first, &second);
        if (!IsAltAzMount()) first *= 15.0;
    } else if (IsAltAzMount()) {
        first = az;
        second = alt;
    } else {
        first = record.ra;
        second = record.dec;
    }
    if (preferences.word[pref::alignMethod] == 0) {
        if (IsAligned()) {
            SkyToMount(record);
            record.modelAxis1 *= kRadToDeg;
            record.modelAxis2 *= kRadToDeg;
        }
    } else {
        record.modelAxis1 = first;
        record.modelAxis2 = second;
    }
    record.axis1 = record.correctedAxis1 = record.measuredAxis1 = first;
    record.axis2 = record.correctedAxis2 = record.measuredAxis2 = second;
    return record;
}

int AddChartObjectAsAlignStar(const ObjectRef* object) {
    if (!object) return ShowMessage("No Object or Star selected.", "");
    const AlignStar record = ChartObjectAlignStar(*object);
    if (!SelectNStarFromChart(record, record.measuredAxis1, record.measuredAxis2)) return 0;
    AlignStar table[kNStarTableSize];
    const int count = LoadNStarTable(table);
    const int fitted = ComputePointingCorrection(1, table, count, twoStar.timeText, twoStar.first, twoStar.second);
    StoreNStarTable(table, count);
    return fitted;
}
