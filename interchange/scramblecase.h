#pragma once
// The last-layer case a scramble leaves on a solved cube, found on the cube
// model: the cube is turned whole until its first two layers are solved, and
// the top is then matched by the stickers facing up (OLL) or, when they all
// do, by where the pieces belong (PLL), whatever the turns of the top before
// and after. No widgets.

#include "core/catalogue.h"

#include <string_view>

enum class ScrambleVerdict {
    Case,             // one of the program's cases
    UnknownNotation,  // a turn the model does not know
    NotLastLayer,     // the first two layers are not solved, or the top is
};

struct ScrambleCase {
    ScrambleVerdict verdict = ScrambleVerdict::NotLastLayer;
    CaseSet set = CaseSet::OLL;
    int caseNumber = 0;  // the program's own number
};

ScrambleCase CaseOfScramble(std::string_view scramble);
