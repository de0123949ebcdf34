#pragma once
// The last layer: the states the built-in hints solve, and what a cuber reads
// off them (is the rest of the cube intact, which top stickers face up, where
// each top piece belongs).

#include "core/cubemodel.h"

#include <array>
#include <cstdint>

namespace cube {

enum class HintSet { Oll, Pll };
inline constexpr int kOllCases = 57;
inline constexpr int kPllCases = 21;
int CaseCount(HintSet set);
const char* HintText(HintSet set, int caseNumber);  // case numbers from 1
Algorithm Hint(HintSet set, int caseNumber);

// The whole-cube rotation left over by an algorithm: a sequence of x, y, z
// (empty for none) that moves a solved cube's centres exactly as the
// algorithm does. Wide turns and slices move centres too.
Algorithm NetRotation(const Algorithm& algorithm);

// The state an algorithm solves, held with the centres in their usual places
// (yellow on top): a solved cube turned by the algorithm's net rotation, then
// the inverse algorithm. Doing the algorithm on it gives a solved cube.
Cube CaseState(const Algorithm& algorithm);
Cube CaseState(HintSet set, int caseNumber);

// The bottom face and the two lower rows of each side show their centre's colour.
bool FirstTwoLayersSolved(const Cube& cube);
// Every top sticker shows the top centre's colour.
bool TopFaceOriented(const Cube& cube);
// A hint does the job of a last-layer algorithm: the state it solves has the
// first two layers intact (and, for the PLL set, the top face oriented).
bool IsLastLayerAlgorithm(HintSet set, const Algorithm& algorithm);

// Which of the 21 top-layer stickers show the top colour: bit r*3+c for the
// top sticker at row r, column c (back row first), then bits 9.. for the side
// stickers of the top layer in the order of TopSideStickers().
using OrientationPattern = std::uint32_t;
inline constexpr OrientationPattern kOrientedPattern = 0x1FF;
OrientationPattern TopOrientation(const Cube& cube);
// The smallest pattern among the four U turns of the cube: equal for two
// cases exactly when one is the other seen after a U turn.
OrientationPattern CanonicalOrientation(const Cube& cube);

// The side stickers of the top layer: back (left to right as seen from
// above), right (back to front), front (left to right), left (back to front).
struct SideSticker {
    Vec3 place;
    Vec3 normal;
};
const std::array<SideSticker, 12>& TopSideStickers();

// The eight top pieces: corners 0..3 (back-left, back-right, front-right,
// front-left) and edges 4..7 (back, right, front, left). A U turn moves each
// group one step round: U takes the piece at index i to index i + 1.
inline constexpr int kTopPieces = 8;
Vec3 TopPiecePlace(int piece);
// For every top place, the place (0..7) where the piece sitting there belongs,
// judged by the centres; -1 when the piece is not a top piece.
using TopPermutation = std::array<int, kTopPieces>;
TopPermutation TopLayerPermutation(const Cube& cube);
// The smallest permutation among the 16 with U turns before and after:
// equal for two cases exactly when they differ only by such turns.
TopPermutation CanonicalPermutation(const Cube& cube);

}  // namespace cube
