#include "scope/two_star_state.h"

TwoStarState twoStar;
