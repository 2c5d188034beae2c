#pragma once
// The two working stars of the two-star alignment and its alignment time text, kept for
// the run across visits of the alignment forms.
#include "scope/alignment_model.h"

struct TwoStarState {
    AlignStar first;
    AlignStar second;
    char timeText[10] = {};  // "%02d:%02d:%02d"
};
extern TwoStarState twoStar;
