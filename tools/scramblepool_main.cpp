// tesselo_scramblepool: the cube side of regenerating the setup-scramble pool
// (tools/make-scramble-pool.sh drives it and the optimal solver).
//
//   tesselo_scramblepool targets SEED COUNT
//     COUNT last-layer targets a case, one a line: "OLL 21 UF UR ...", the
//     cube in the solver's notation. Round by round over all 78 cases, so a
//     run cut short still covers every case.
//   tesselo_scramblepool cases SET N...
//     the cases themselves followed by no U turn, then by U, U2 and U' (a
//     round each): for the few symmetric PLL cases whose random targets take
//     the solver too long and whose other U turns give the same states.
//   tesselo_scramblepool collect KEEP < solutions
//     reads lines "OLL 21 <solution>" (a solution solves that case's target),
//     turns each into a setup, and its mirror image into a setup of the
//     mirrored case (the H and N perms give the solver few short solutions;
//     the mirror images double them), checks each on the cube model, drops
//     the ones that are only the case's hint undone or too long, and prints
//     the pool: at most KEEP shortest distinct setups a case.

#include "tools/lastlayer.h"
#include "tools/scramblecheck.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>

namespace {

using namespace cube;

[[noreturn]] void Fail(const std::string& message)
{
    std::fprintf(stderr, "tesselo_scramblepool: %s\n", message.c_str());
    std::exit(1);
}

// The 20 cubies in the solver's order, each named by its faces in the order
// the solver reads their stickers.
constexpr const char* kSolverPositions[] = {
    "UF", "UR", "UB", "UL", "DF", "DR", "DB", "DL", "FR", "FL",
    "BR", "BL", "UFR", "URB", "UBL", "ULF", "DRF", "DFL", "DLB", "DBR",
};

Face FaceOfLetter(char letter)
{
    for (int f = 0; f < kFaceCount; ++f)
        if (FaceLetter(static_cast<Face>(f)) == letter)
            return static_cast<Face>(f);
    Fail(std::string("no face ") + letter);
}

Vec3 Add(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }

// The cube as the solver reads it: every sticker named by the face whose
// centre has its colour (the targets keep the centres in place).
std::string SolverText(const Cube& state)
{
    std::string text;
    for (const char* position : kSolverPositions) {
        Vec3 place;
        for (const char* c = position; *c; ++c)
            place = Add(place, FaceNormal(FaceOfLetter(*c)));
        if (!text.empty())
            text += ' ';
        for (const char* c = position; *c; ++c)
            text += FaceLetter(state.at(place, FaceNormal(FaceOfLetter(*c))));
    }
    return text;
}

// Applies what an algorithm does to the pieces, whatever the cube's state,
// leaving the centres where they were.
void ApplyCase(Cube& state, const Algorithm& solves)
{
    state.apply(NetRotation(solves)).apply(Inverse(solves));
}

Algorithm UTurns(int quarterTurns)
{
    static const char* kTexts[] = {"", "U", "U2", "U'"};
    return MustParse(kTexts[quarterTurns % 4]);
}

// A case with a random permutation of the last layer under it (OLL) or with
// random U turns before and after it (PLL), the first two layers solved.
Cube Target(HintSet set, int caseNumber, std::mt19937& random)
{
    auto draw = [&random](int count) { return static_cast<int>(random() % static_cast<unsigned>(count)); };
    Cube state;
    state.apply(UTurns(draw(4)));
    if (set == HintSet::Oll) {
        const int permutation = draw(kPllCases + 1);  // 0: none
        if (permutation > 0)
            ApplyCase(state, Hint(HintSet::Pll, permutation));
        state.apply(UTurns(draw(4)));
    }
    ApplyCase(state, Hint(set, caseNumber));
    state.apply(UTurns(draw(4)));
    return state;
}

// The program shows at most 17 turns; a PLL setup may get a last U turn.
std::size_t LongestSetup(HintSet set) { return set == HintSet::Pll ? 16 : 17; }

const char* SetName(HintSet set) { return set == HintSet::Oll ? "OLL" : "PLL"; }

int PrintTargets(unsigned seed, int count)
{
    std::mt19937 random(seed);
    for (int round = 0; round < count; ++round)
        for (HintSet set : {HintSet::Oll, HintSet::Pll})
            for (int n = 1; n <= CaseCount(set); ++n)
                std::printf("%s %d %s\n", SetName(set), n, SolverText(Target(set, n, random)).c_str());
    return 0;
}

int PrintCases(const std::string& setName, int count, char** numbers)
{
    const HintSet set = setName == "PLL" ? HintSet::Pll : HintSet::Oll;
    for (int lastU = 0; lastU < 4; ++lastU)
        for (int i = 0; i < count; ++i) {
            const int n = std::atoi(numbers[i]);
            if (n < 1 || n > CaseCount(set))
                Fail("no case " + setName + " " + numbers[i]);
            const Cube state = CaseState(set, n).apply(UTurns(lastU));
            std::printf("%s %d %s\n", SetName(set), n, SolverText(state).c_str());
        }
    return 0;
}

// The case a setup makes, read off the top layer: 0 when none.
int CaseMadeBy(HintSet set, const Algorithm& setup)
{
    const Cube state = Cube::Solved().applied(setup);
    if (!FirstTwoLayersSolved(state) || (set == HintSet::Pll && !TopFaceOriented(state)))
        return 0;
    for (int n = 1; n <= CaseCount(set); ++n) {
        const Cube wanted = CaseState(set, n);
        if (CanonicalOrientation(state) == CanonicalOrientation(wanted)
            && (set == HintSet::Oll || CanonicalPermutation(state) == CanonicalPermutation(wanted)))
            return n;
    }
    return 0;
}

int Collect(int keep)
{
    // Shortest first, then by text, so a rerun keeps the same ones.
    std::map<std::pair<std::string, int>, std::set<std::pair<std::size_t, std::string>>> setups;
    int rejected = 0;
    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream fields(line);
        std::string setName, solution, rest;
        int caseNumber = 0;
        if (!(fields >> setName >> caseNumber))
            continue;
        std::getline(fields, solution);
        const HintSet set = setName == "OLL" ? HintSet::Oll : HintSet::Pll;
        const ParseResult parsed = ParseAlgorithm(solution);
        if (!parsed.ok() || parsed.moves.empty())
            Fail("cannot read: " + line);
        const Algorithm setup = TrimUTurns(MergeTurns(Inverse(parsed.moves)));
        const Algorithm mirrored = TrimUTurns(MergeTurns(MirrorLeftRight(setup)));
        const std::pair<int, Algorithm> candidates[] = {{caseNumber, setup}, {CaseMadeBy(set, mirrored), mirrored}};
        for (const auto& [number, candidate] : candidates) {
            std::string problem = SetupProblem(set, number, candidate);
            if (problem.empty() && candidate.size() > LongestSetup(set))
                problem = "too long";
            if (!problem.empty()) {
                std::fprintf(stderr, "%s %d %s: %s\n", setName.c_str(), number, ToText(candidate).c_str(),
                             problem.c_str());
                ++rejected;
                continue;
            }
            setups[{setName, number}].insert({candidate.size(), ToText(candidate)});
        }
    }
    for (HintSet set : {HintSet::Oll, HintSet::Pll})
        for (int n = 1; n <= CaseCount(set); ++n) {
            const auto& found = setups[{SetName(set), n}];
            int printed = 0;
            for (auto it = found.begin(); it != found.end() && printed < keep; ++it, ++printed)
                std::printf("%s %d %s\n", SetName(set), n, it->second.c_str());
            if (printed < 12)
                std::fprintf(stderr, "%s %d: only %d setups\n", SetName(set), n, printed);
        }
    std::fprintf(stderr, "%d solutions rejected\n", rejected);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "targets" && argc == 4)
        return PrintTargets(static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10)), std::atoi(argv[3]));
    if (command == "cases" && argc >= 4)
        return PrintCases(argv[2], argc - 3, argv + 3);
    if (command == "collect" && argc == 3)
        return Collect(std::atoi(argv[2]));
    Fail("usage: tesselo_scramblepool targets SEED COUNT | cases SET N... | collect KEEP");
}
