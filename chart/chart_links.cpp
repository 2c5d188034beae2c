#include "chart/chart_links.h"

#include "core/settings.h"
#include "shell/night_mode_dialog.h"

namespace {

ChartLinks installed;

}  // namespace

ChartLinks SetChartLinks(const ChartLinks& links) {
    const ChartLinks previous = installed;
    installed = links;
    return previous;
}

void ChartScopeSetRate(int rate) {
    if (installed.scopeSetRate) installed.scopeSetRate(rate);
}

bool ChartIsEncoderDrive() {
    if (installed.isEncoderDrive) return installed.isEncoderDrive();
    return IsEncoderDriveCode(preferences.word[pref::scopeDrive]);
}

void ChartFreeMapImages() {
    if (installed.freeMapImages) installed.freeMapImages();
}

void ChartInitSelectionCriteria(int typeClass, int kind, int type) {
    if (installed.initSelectionCriteria) installed.initSelectionCriteria(typeClass, kind, type);
}

void ChartNightModeSettings() {
    if (installed.nightModeSettings)
        installed.nightModeSettings();
    else
        NightModeSettings();
}

void ChartRunObjectSelection(int typeClass, int kind, int type) {
    if (installed.runObjectSelection) installed.runObjectSelection(typeClass, kind, type);
}

void ChartComputeLimitingMagnitude() {
    if (installed.computeLimitingMagnitude) installed.computeLimitingMagnitude();
}
