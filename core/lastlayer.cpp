#include "core/lastlayer.h"

#include "core/builtin_hints.h"

#include <map>
#include <stdexcept>

namespace cube {

namespace {

using Centres = std::array<Face, kFaceCount>;

Centres CentresOf(const Cube& cube)
{
    Centres centres;
    for (int f = 0; f < kFaceCount; ++f)
        centres[f] = cube.centre(static_cast<Face>(f));
    return centres;
}

// Every whole-cube rotation, by the centres it produces, written as the
// shortest sequence of x, y and z turns.
const std::map<Centres, Algorithm>& RotationsByCentres()
{
    static const std::map<Centres, Algorithm> table = [] {
        std::map<Centres, Algorithm> found;
        std::vector<Algorithm> frontier = {Algorithm{}};
        found[CentresOf(Cube::Solved())] = {};
        const Algorithm steps = MustParse("x x2 x' y y2 y' z z2 z'");
        while (!frontier.empty()) {
            std::vector<Algorithm> next;
            for (const Algorithm& sequence : frontier)
                for (const Move& step : steps) {
                    Algorithm longer = Concat(sequence, {step});
                    if (found.emplace(CentresOf(Cube::Solved().applied(longer)), longer).second)
                        next.push_back(longer);
                }
            frontier = std::move(next);
        }
        return found;
    }();
    return table;
}

// The face (as a direction) whose centre shows the given colour.
Vec3 DirectionOfColour(const Cube& cube, Face colour)
{
    for (int f = 0; f < kFaceCount; ++f)
        if (cube.centre(static_cast<Face>(f)) == colour)
            return FaceNormal(static_cast<Face>(f));
    throw std::logic_error("a colour without a centre");
}

// The normals of the stickers on a cubie: one per non-zero coordinate.
std::vector<Vec3> CubieNormals(Vec3 place)
{
    std::vector<Vec3> normals;
    if (place.x != 0)
        normals.push_back({place.x, 0, 0});
    if (place.y != 0)
        normals.push_back({0, place.y, 0});
    if (place.z != 0)
        normals.push_back({0, 0, place.z});
    return normals;
}

// Where the piece at a place belongs: the sum of the directions of its colours.
Vec3 HomeOfPiece(const Cube& cube, Vec3 place)
{
    Vec3 home;
    for (Vec3 normal : CubieNormals(place)) {
        const Vec3 d = DirectionOfColour(cube, cube.at(place, normal));
        home = {home.x + d.x, home.y + d.y, home.z + d.z};
    }
    return home;
}

int TopPieceIndex(Vec3 place)
{
    for (int piece = 0; piece < kTopPieces; ++piece)
        if (TopPiecePlace(piece) == place)
            return piece;
    return -1;
}

// One step round within the corner group or the edge group.
int TurnIndex(int piece, int steps)
{
    if (piece < 0)
        return piece;
    const int base = piece < 4 ? 0 : 4;
    return base + ((piece - base + steps) % 4 + 4) % 4;
}

}  // namespace

int CaseCount(HintSet set) { return set == HintSet::Oll ? kOllCases : kPllCases; }

const char* HintText(HintSet set, int caseNumber)
{
    if (caseNumber < 1 || caseNumber > CaseCount(set))
        throw std::out_of_range("no such case");
    return set == HintSet::Oll ? kBuiltInOllHints[caseNumber - 1] : kBuiltInPllHints[caseNumber - 1];
}

Algorithm Hint(HintSet set, int caseNumber) { return MustParse(HintText(set, caseNumber)); }

Algorithm NetRotation(const Algorithm& algorithm)
{
    const auto& rotations = RotationsByCentres();
    return rotations.at(CentresOf(Cube::Solved().applied(algorithm)));
}

Cube CaseState(const Algorithm& algorithm)
{
    return Cube::Solved().apply(NetRotation(algorithm)).apply(Inverse(algorithm));
}

Cube CaseState(HintSet set, int caseNumber) { return CaseState(Hint(set, caseNumber)); }

bool FirstTwoLayersSolved(const Cube& cube)
{
    for (int i = 0; i < kStickerCount; ++i) {
        const Vec3 place = StickerPlace(i);
        const Face face = static_cast<Face>(i / 9);
        if (place.y < 1 && cube.at(i) != cube.centre(face))
            return false;
    }
    return true;
}

bool TopFaceOriented(const Cube& cube) { return TopOrientation(cube) == kOrientedPattern; }

bool IsLastLayerAlgorithm(HintSet set, const Algorithm& algorithm)
{
    const Cube state = CaseState(algorithm);
    if (!FirstTwoLayersSolved(state) || !state.applied(algorithm).isSolved())
        return false;
    return set == HintSet::Oll || TopFaceOriented(state);
}

const std::array<SideSticker, 12>& TopSideStickers()
{
    static const std::array<SideSticker, 12> stickers = {{
        {{-1, 1, -1}, {0, 0, -1}}, {{0, 1, -1}, {0, 0, -1}}, {{1, 1, -1}, {0, 0, -1}},
        {{1, 1, -1}, {1, 0, 0}},   {{1, 1, 0}, {1, 0, 0}},   {{1, 1, 1}, {1, 0, 0}},
        {{-1, 1, 1}, {0, 0, 1}},   {{0, 1, 1}, {0, 0, 1}},   {{1, 1, 1}, {0, 0, 1}},
        {{-1, 1, -1}, {-1, 0, 0}}, {{-1, 1, 0}, {-1, 0, 0}}, {{-1, 1, 1}, {-1, 0, 0}},
    }};
    return stickers;
}

OrientationPattern TopOrientation(const Cube& cube)
{
    const Face top = cube.centre(Face::U);
    OrientationPattern pattern = 0;
    for (int k = 0; k < 9; ++k)
        if (cube.at(Face::U, k / 3, k % 3) == top)
            pattern |= 1u << k;
    const auto& sides = TopSideStickers();
    for (std::size_t k = 0; k < sides.size(); ++k)
        if (cube.at(sides[k].place, sides[k].normal) == top)
            pattern |= 1u << (9 + k);
    return pattern;
}

OrientationPattern CanonicalOrientation(const Cube& cube)
{
    const Move u = MustParse("U").front();
    Cube turned = cube;
    OrientationPattern smallest = TopOrientation(turned);
    for (int k = 1; k < 4; ++k)
        smallest = std::min(smallest, TopOrientation(turned.apply(u)));
    return smallest;
}

Vec3 TopPiecePlace(int piece)
{
    static constexpr Vec3 places[kTopPieces] = {
        {-1, 1, -1}, {1, 1, -1}, {1, 1, 1}, {-1, 1, 1}, {0, 1, -1}, {1, 1, 0}, {0, 1, 1}, {-1, 1, 0},
    };
    return places[piece];
}

TopPermutation TopLayerPermutation(const Cube& cube)
{
    TopPermutation homes;
    for (int piece = 0; piece < kTopPieces; ++piece)
        homes[piece] = TopPieceIndex(HomeOfPiece(cube, TopPiecePlace(piece)));
    return homes;
}

TopPermutation CanonicalPermutation(const Cube& cube)
{
    const TopPermutation homes = TopLayerPermutation(cube);
    TopPermutation smallest = homes;
    for (int before = 0; before < 4; ++before)
        for (int after = 0; after < 4; ++after) {
            TopPermutation turned;
            for (int piece = 0; piece < kTopPieces; ++piece)
                turned[piece] = TurnIndex(homes[TurnIndex(piece, -before)], after);
            smallest = std::min(smallest, turned);
        }
    return smallest;
}

}  // namespace cube
