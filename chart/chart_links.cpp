#include "chart/chart_links.h"

#include "core/settings.h"
#include "shell/form_dispatcher.h"
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

unsigned ChartScopeConnect() { return installed.scopeConnect ? installed.scopeConnect() : 0u; }

unsigned ChartScopeDisconnect() { return installed.scopeDisconnect ? installed.scopeDisconnect() : 0u; }

unsigned ChartScopeGetPosition(double* raHours, double* decDeg) {
    return installed.scopeGetPosition ? installed.scopeGetPosition(raHours, decDeg) : 0u;
}

unsigned ChartScopeSync(double raHours, double decDeg) {
    return installed.scopeSync ? installed.scopeSync(raHours, decDeg) : 0u;
}

void ChartScopeGoto(double raHours, double decDeg, int mode) {
    if (installed.scopeGoto) installed.scopeGoto(raHours, decDeg, mode);
}

void ChartOpenScopeControl(int connectFirst) {
    if (installed.openScopeControl) installed.openScopeControl(connectFirst);
}

void ChartMoveScopeWhileKeyHeld(int direction) {
    if (installed.moveScopeWhileKeyHeld) installed.moveScopeWhileKeyHeld(direction);
}

bool ChartTelescopeEmulated() { return installed.telescopeEmulated && installed.telescopeEmulated(); }

void ChartClearEncoderTarget() {
    if (installed.clearEncoderTarget) installed.clearEncoderTarget();
}

void ChartClearSerialAuxFlag() {
    if (installed.clearSerialAuxFlag) installed.clearSerialAuxFlag();
}

void ChartAddObjectAsAlignStar() {
    if (installed.addChartObjectAsAlignStar) installed.addChartObjectAsAlignStar();
}

void ChartSetListManagerMode(int mode) {
    if (installed.setListManagerMode) installed.setListManagerMode(mode);
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

int ChartShowObjectPicture(const char* name, int x, int y, int width, int height, int openView, int folderKind,
                           int catalogCode) {
    if (!installed.showObjectPicture) return 0;
    return installed.showObjectPicture(name, x, y, width, height, openView, folderKind, catalogCode);
}

void ChartOpenObserverLogNew() {
    if (installed.openObserverLogNew)
        installed.openObserverLogNew();
    else
        GotoForm(2600);
}
