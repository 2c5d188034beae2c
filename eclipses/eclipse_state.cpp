#include "eclipses/eclipse_state.h"

EclipseState eclipseState{};
int positionSource = 1;
double minusDeltaTSeconds = 0.0;

void SelectPositionSource(int source) {
    positionSource = source;
    eclipseState.nutationLongitude = 0.0;
    eclipseState.trueObliquity = 0.0;
}
