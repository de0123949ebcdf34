#pragma once
// What makes a setup scramble sound: plain face turns that, done on a solved
// cube, leave the first two layers and the centres alone and the last layer
// in the case, and that are not simply the case's built-in hint undone.

#include "tools/casetable.h"
#include "core/lastlayer.h"

#include <array>
#include <map>
#include <string>
#include <string_view>
#include <vector>

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

// What a cuber reads a setup as: merged, without the U turns at either end,
// also one that only a D turn keeps from the end (D U R ... is U D R ...: it
// starts with a U turn), and without a D turn at the start undone at the
// end (around turns that move only the last layer, it changes nothing).
Algorithm SetupCore(const Algorithm& faceTurns);
// The face turns as seen from each of the four sides, the whole cube turned
// about the vertical (R becomes F, F becomes L ...), each as SetupCore.
std::array<Algorithm, 4> FromEverySide(const Algorithm& faceTurns);
// Equal for two setups exactly when a cuber takes them for one: they differ
// only in the side they are done from and in their ends as SetupCore leaves
// them out.
std::string SameSetupKey(const Algorithm& faceTurns);

// Algorithms a cuber may know by heart, so that a setup scramble which is one
// of them, done from any side, mirrored or undone, gives its case away.
class WellKnownAlgorithms {
public:
    // Any notation: rotations, wide turns and slices are turned into face turns.
    void Add(const std::string& name, const Algorithm& algorithm);
    // The name of the algorithm the face turns are, from any side, mirrored
    // left to right or not, done or undone, U turns at either end left out;
    // empty when none. Compared as SetupCore leaves them.
    std::string Match(const Algorithm& faceTurns) const;

private:
    std::map<std::string, std::string> byTurns_;   // every variant's text -> its name
};

// A list of more algorithms, a line "PLL Ja2 x R2 F R F' ...": the set, a
// label, the algorithm; blank lines and lines starting with # are skipped.
// Throws std::runtime_error naming a line that does not read.
struct ListedAlgorithm {
    HintSet set = HintSet::Oll;
    std::string label;
    Algorithm algorithm;
};
std::vector<ListedAlgorithm> ParseAlgorithmList(std::string_view text);

// The program's built-in hints, the standard list's algorithms and the more listed ones.
WellKnownAlgorithms HintsAndStandardAlgorithms(const std::vector<StandardCase>& standard,
                                               const std::vector<ListedAlgorithm>& more = {});

// Empty when the setup is sound for the case, otherwise what is wrong.
std::string SetupProblem(HintSet set, int caseNumber, const Algorithm& setup);

}  // namespace cube
