#pragma once
// What makes a setup scramble sound: plain face turns that, done on a solved
// cube, leave the first two layers and the centres alone and the last layer
// in the case, and that are not simply the case's built-in hint undone.

#include "tools/lastlayer.h"

#include <string>

namespace cube {

// The same turns with every rotation, wide turn and slice taken out: the
// layers they turn are named by the faces of the cube as it was held at the
// start. The cube ends up in the same state, held as at the start.
Algorithm FaceTurnsOnly(const Algorithm& algorithm);
// Neighbouring turns of one face joined (R R2 is R', R R' is nothing), and
// each pair of opposite faces in one order (L before R, D before U, B before F).
Algorithm MergeTurns(const Algorithm& algorithm);
// Without its leading and trailing U turns.
Algorithm TrimUTurns(const Algorithm& algorithm);
// The mirror image through the plane between L and R: R and L trade places,
// every turn goes the other way. Done on a solved cube it sets up the mirror
// image of the case the original sets up.
Algorithm MirrorLeftRight(const Algorithm& faceTurns);

// Empty when the setup is sound for the case, otherwise what is wrong.
std::string SetupProblem(HintSet set, int caseNumber, const Algorithm& setup);

}  // namespace cube
