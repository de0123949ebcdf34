#include "tools/scramblecheck.h"

#include <algorithm>
#include <array>
#include <sstream>
#include <stdexcept>

namespace cube {

namespace {

// Where the held cube's axes point on the cube as it was at the start:
// column a is the start-frame direction of held axis a.
using Frame = std::array<Vec3, 3>;

// The face turn of one outer layer, quarter turns counter-clockwise about
// the positive axis, written the usual way.
Move OuterTurn(int axis, int side, int quarterTurns)
{
    static const char* kFaces[3][2] = {{"L", "R"}, {"D", "U"}, {"B", "F"}};
    const std::string face = kFaces[axis][side > 0 ? 1 : 0];
    for (const char* suffix : {"", "2", "'"}) {
        Move move = MustParse(face + suffix).front();
        if (move.quarterTurns == quarterTurns)
            return move;
    }
    return {};
}

// A held-frame turn of one outer layer, named in the start frame.
Move InStartFrame(const Frame& frame, int axis, int side, int quarterTurns)
{
    const Vec3 direction = frame[axis];
    for (int a = 0; a < 3; ++a) {
        const int sign = Coordinate(direction, a);
        if (sign != 0)
            return OuterTurn(a, side * sign, sign > 0 ? quarterTurns : (4 - quarterTurns) % 4);
    }
    return {};
}

// The held frame after the whole cube turned about a held axis.
Frame Rotated(Frame frame, int axis, int quarterTurns)
{
    // Held axis b now shows what the turn brought there: the material that
    // was at b turned back.
    Frame turned;
    for (int b = 0; b < 3; ++b) {
        Vec3 unit;
        (b == 0 ? unit.x : b == 1 ? unit.y : unit.z) = 1;
        for (int i = 0; i < (4 - quarterTurns) % 4; ++i)
            unit = RotateQuarter(unit, axis);
        turned[b] = {0, 0, 0};
        for (int a = 0; a < 3; ++a) {
            const int k = Coordinate(unit, a);
            turned[b] = {turned[b].x + k * frame[a].x, turned[b].y + k * frame[a].y, turned[b].z + k * frame[a].z};
        }
    }
    return turned;
}

bool IsFaceTurn(const Move& move) { return move.layerMask == 1 || move.layerMask == 4; }

int FaceKey(const Move& move) { return move.axis * 2 + (move.layerMask == 4 ? 1 : 0); }

}  // namespace

Algorithm FaceTurnsOnly(const Algorithm& algorithm)
{
    Frame frame = {Vec3{1, 0, 0}, Vec3{0, 1, 0}, Vec3{0, 0, 1}};
    Algorithm turns;
    for (const Move& move : algorithm) {
        if (move.layerMask == 1 || move.layerMask == 4) {
            turns.push_back(InStartFrame(frame, move.axis, move.layerMask == 4 ? 1 : -1, move.quarterTurns));
            continue;
        }
        // The turned layers are the whole cube less the outer layers that stay.
        const int back = (4 - move.quarterTurns) % 4;
        if ((move.layerMask & 1) == 0)
            turns.push_back(InStartFrame(frame, move.axis, -1, back));
        if ((move.layerMask & 4) == 0)
            turns.push_back(InStartFrame(frame, move.axis, 1, back));
        frame = Rotated(frame, move.axis, move.quarterTurns);
    }
    return MergeTurns(turns);
}

Algorithm MergeTurns(const Algorithm& algorithm)
{
    Algorithm merged;
    for (const Move& move : algorithm) {
        // Look back over the turns of the same axis at the end for this face.
        bool joined = false;
        for (auto it = merged.rbegin(); it != merged.rend() && it->axis == move.axis; ++it) {
            if (FaceKey(*it) != FaceKey(move))
                continue;
            const int total = (it->quarterTurns + move.quarterTurns) % 4;
            const auto index = merged.size() - 1 - static_cast<std::size_t>(it - merged.rbegin());
            if (total == 0)
                merged.erase(merged.begin() + static_cast<std::ptrdiff_t>(index));
            else
                merged[index] = OuterTurn(move.axis, move.layerMask == 4 ? 1 : -1, total);
            joined = true;
            break;
        }
        if (!joined)
            merged.push_back(move);
    }
    // Opposite faces commute: write each such pair one way.
    for (std::size_t i = 0; i + 1 < merged.size(); ++i)
        if (merged[i].axis == merged[i + 1].axis && FaceKey(merged[i]) > FaceKey(merged[i + 1]))
            std::swap(merged[i], merged[i + 1]);
    return merged;
}

Algorithm TrimUTurns(const Algorithm& algorithm)
{
    const Move u = MustParse("U")[0];
    auto isU = [&u](const Move& move) { return move.axis == u.axis && move.layerMask == u.layerMask; };
    auto first = algorithm.begin();
    auto last = algorithm.end();
    while (first != last && isU(*first))
        ++first;
    while (last != first && isU(*(last - 1)))
        --last;
    return Algorithm(first, last);
}

Algorithm MirrorLeftRight(const Algorithm& faceTurns)
{
    Algorithm mirrored;
    for (const Move& move : faceTurns) {
        const int side = move.layerMask == 4 ? 1 : -1;
        // A turn about the axis through L and R keeps its sense; the turned
        // layer moves to the other side. Turns about the other axes reverse.
        if (move.axis == 0)
            mirrored.push_back(OuterTurn(0, -side, move.quarterTurns));
        else
            mirrored.push_back(OuterTurn(move.axis, side, (4 - move.quarterTurns) % 4));
    }
    return mirrored;
}

Algorithm SetupCore(const Algorithm& faceTurns)
{
    const Move u = MustParse("U")[0];
    const Move d = MustParse("D")[0];
    auto isU = [&u](const Move& move) { return move.axis == u.axis && move.layerMask == u.layerMask; };
    auto isD = [&d](const Move& move) { return move.axis == d.axis && move.layerMask == d.layerMask; };
    Algorithm turns = MergeTurns(faceTurns);
    for (bool removed = true; removed && !turns.empty();) {
        removed = false;
        // A U turn at an end, or next to a D turn at an end (they commute).
        for (std::size_t at : {std::size_t{0}, std::size_t{1}, turns.size() - 2, turns.size() - 1}) {
            if (at >= turns.size() || !isU(turns[at]))
                continue;
            const bool atEnd = at == 0 || at + 1 == turns.size()
                               || (at == 1 && isD(turns[0])) || (at + 2 == turns.size() && isD(turns.back()));
            if (atEnd) {
                turns.erase(turns.begin() + static_cast<std::ptrdiff_t>(at));
                removed = true;
                break;
            }
        }
        // D X D' does what X does when X moves only the last layer.
        if (!removed && turns.size() >= 2 && isD(turns.front()) && isD(turns.back())
            && (turns.front().quarterTurns + turns.back().quarterTurns) % 4 == 0) {
            turns = MergeTurns(Algorithm(turns.begin() + 1, turns.end() - 1));
            removed = true;
        }
    }
    return turns;
}

std::array<Algorithm, 4> FromEverySide(const Algorithm& faceTurns)
{
    const Algorithm y = MustParse("y");
    std::array<Algorithm, 4> sides;
    Algorithm turned = faceTurns;
    for (Algorithm& side : sides) {
        side = SetupCore(turned);
        turned = FaceTurnsOnly(Concat(Concat(y, turned), Inverse(y)));
    }
    return sides;
}

std::string SameSetupKey(const Algorithm& faceTurns)
{
    std::string key;
    for (const Algorithm& side : FromEverySide(faceTurns)) {
        const std::string text = ToText(side);
        if (key.empty() || text < key)
            key = text;
    }
    return key;
}

void WellKnownAlgorithms::Add(const std::string& name, const Algorithm& algorithm)
{
    const Algorithm done = FaceTurnsOnly(algorithm);
    const std::pair<const char*, Algorithm> variants[] = {
        {"", done},
        {" undone", Inverse(done)},
        {" mirrored", MirrorLeftRight(done)},
        {" mirrored and undone", Inverse(MirrorLeftRight(done))},
    };
    for (const auto& [how, turns] : variants)
        for (const Algorithm& side : FromEverySide(turns))
            byTurns_.emplace(ToText(side), name + how);
}

std::string WellKnownAlgorithms::Match(const Algorithm& faceTurns) const
{
    // Every variant is stored from every side, so one look-up covers them all.
    const auto found = byTurns_.find(ToText(SetupCore(faceTurns)));
    return found == byTurns_.end() ? std::string() : found->second;
}

std::vector<ListedAlgorithm> ParseAlgorithmList(std::string_view text)
{
    std::vector<ListedAlgorithm> listed;
    std::istringstream in{std::string(text)};
    int lineNumber = 0;
    for (std::string line; std::getline(in, line);) {
        ++lineNumber;
        std::istringstream fields(line);
        std::string setName, label, algorithm;
        if (!(fields >> setName) || setName[0] == '#')
            continue;
        fields >> label;
        std::getline(fields, algorithm);
        const ParseResult parsed = ParseAlgorithm(algorithm);
        if ((setName != "OLL" && setName != "PLL") || label.empty() || !parsed.ok() || parsed.moves.empty())
            throw std::runtime_error("the algorithm list, line " + std::to_string(lineNumber) + ": \"" + line
                                     + "\" is not SET LABEL ALGORITHM");
        listed.push_back({setName == "OLL" ? HintSet::Oll : HintSet::Pll, label, parsed.moves});
    }
    return listed;
}

WellKnownAlgorithms HintsAndStandardAlgorithms(const std::vector<StandardCase>& standard,
                                               const std::vector<ListedAlgorithm>& more)
{
    WellKnownAlgorithms known;
    for (HintSet set : {HintSet::Oll, HintSet::Pll})
        for (int n = 1; n <= CaseCount(set); ++n)
            known.Add(std::string("the hint of ") + (set == HintSet::Oll ? "OLL " : "PLL ") + std::to_string(n),
                      Hint(set, n));
    for (const StandardCase& c : standard) {
        const ParseResult parsed = ParseAlgorithm(c.algorithm);
        if (!parsed.ok())
            throw std::runtime_error("the standard algorithm of " + c.standard + " does not read: " + parsed.error);
        known.Add(std::string(c.set == HintSet::Oll ? "OLL " : "") + c.standard + " (" + c.algorithm + ")",
                  parsed.moves);
    }
    for (const ListedAlgorithm& listed : more)
        known.Add(std::string(listed.set == HintSet::Oll ? "OLL " : "") + listed.label + " (" + ToText(listed.algorithm) + ")",
                  listed.algorithm);
    return known;
}

std::string SetupProblem(HintSet set, int caseNumber, const Algorithm& setup)
{
    if (caseNumber < 1 || caseNumber > CaseCount(set))
        return "no such case";
    for (const Move& move : setup)
        if (!IsFaceTurn(move))
            return "not a face turn: " + move.text;
    const Cube state = Cube::Solved().applied(setup);
    for (int f = 0; f < kFaceCount; ++f)
        if (state.centre(static_cast<Face>(f)) != static_cast<Face>(f))
            return "a centre moved";
    if (!FirstTwoLayersSolved(state))
        return "the first two layers are broken";
    const Cube wanted = CaseState(set, caseNumber);
    if (CanonicalOrientation(state) != CanonicalOrientation(wanted))
        return "the top shows another orientation case";
    if (set == HintSet::Pll && CanonicalPermutation(state) != CanonicalPermutation(wanted))
        return "the top shows another permutation case";
    const Algorithm undone = TrimUTurns(MergeTurns(Inverse(FaceTurnsOnly(Hint(set, caseNumber)))));
    Algorithm turned = TrimUTurns(MergeTurns(setup));
    const Algorithm y = MustParse("y");
    for (int side = 0; side < 4; ++side) {
        if (turned == undone)
            return "only the hint undone";
        turned = MergeTurns(FaceTurnsOnly(Concat(Concat(y, turned), Inverse(y))));
    }
    return {};
}

}  // namespace cube
