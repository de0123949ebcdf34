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
//   tesselo_scramblepool nudged SEED COUNT SET N...
//     COUNT targets for each of the cases a face turn away from the case (see
//     NudgedTarget), for the cases whose optimal setups are too few.
//   tesselo_scramblepool collect KEEP LIST MORE [POOL] < solutions
//     reads lines "OLL 21 <solution>" (a solution solves that case's target),
//     turns each into a setup, and its mirror image into a setup of the
//     mirrored case (the H and N perms give the solver few short solutions;
//     the mirror images double them), checks each on the cube model, drops
//     the ones that are too long or a well-known algorithm (a built-in hint
//     or one of the standard list LIST or of the list MORE, from any side,
//     mirrored, undone), and
//     prints the pool: at most KEEP setups a case (KEEP "16/13": 16 for
//     an OLL case, 13 for a PLL case) that a cuber takes for
//     different ones (not only another side or other end U turns), the
//     shortest first, varied in how they start and end. The setups of an
//     earlier POOL stay candidates.

#include "core/lastlayer.h"
#include "tools/scramblecheck.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

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

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        Fail("cannot read " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

Algorithm UTurns(int quarterTurns)
{
    static const char* kTexts[] = {"", "U", "U2", "U'"};
    return MustParse(kTexts[quarterTurns % 4]);
}

// From the given state: a case with a random permutation of the last layer under it (OLL) or with
// random U turns before and after it (PLL), the first two layers solved.
Cube Target(HintSet set, int caseNumber, std::mt19937& random, Cube state = Cube::Solved())
{
    auto draw = [&random](int count) { return static_cast<int>(random() % static_cast<unsigned>(count)); };
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

// The optimal setups of a case, U turns at the ends left out, are all that a
// solver gives for its targets, and a G perm has few. A target one face turn
// away gives setups at most a turn longer that go other ways: "PLL 14+R2" is
// the target whose solution undone, then R2, sets up PLL 14; "R2+PLL 14" the
// one whose solution undone sets it up after R2.
std::string NudgedTarget(HintSet set, int caseNumber, std::mt19937& random)
{
    static const char* kTurns[] = {"R", "R2", "R'", "F", "F2", "F'", "L", "L2", "L'",
                                   "B", "B2", "B'", "D", "D2", "D'"};
    const std::string turn = kTurns[random() % std::size(kTurns)];
    const bool before = random() % 2 == 0;
    const Algorithm undoTurn = Inverse(MustParse(turn));
    Cube state = before ? Cube::Solved().applied(undoTurn) : Cube::Solved();
    state = Target(set, caseNumber, random, state);
    if (!before)
        state.apply(undoTurn);
    const std::string number = std::to_string(caseNumber);
    return std::string(SetName(set)) + ' ' + (before ? turn + '+' + number : number + '+' + turn) + ' '
           + SolverText(state);
}

int PrintNudged(unsigned seed, int count, const std::string& setName, int caseCount, char** numbers)
{
    const HintSet set = setName == "PLL" ? HintSet::Pll : HintSet::Oll;
    std::mt19937 random(seed);
    for (int round = 0; round < count; ++round)
        for (int i = 0; i < caseCount; ++i) {
            const int n = std::atoi(numbers[i]);
            if (n < 1 || n > CaseCount(set))
                Fail("no case " + setName + " " + numbers[i]);
            std::printf("%s\n", NudgedTarget(set, n, random).c_str());
        }
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

// What a candidate setup is: a setup of its case, as a cuber takes it.
struct Candidate {
    std::size_t turns = 0;
    std::string text;
    friend bool operator<(const Candidate& a, const Candidate& b)
    {
        return std::tie(a.turns, a.text) < std::tie(b.turns, b.text);
    }
};

// A case's candidates by what makes them the same setup to a cuber (the side
// they are done from, U turns at the ends), each kept in its shortest form.
using SetupsOfCase = std::map<std::string, Candidate>;

// The first and the last two turns as seen from the side that makes them
// smallest: setups alike there look alike to a cuber.
std::string Ends(const std::string& sameSetupKey)
{
    const Algorithm turns = MustParse(sameSetupKey);
    if (turns.size() < 4)
        return sameSetupKey;
    return ToText({turns[0], turns[1], turns[turns.size() - 2], turns.back()});
}

// At most `keep` setups, the shortest first; among those of the lengths that
// would be kept anyway, first the ones whose ends no kept setup shares, so
// that the case does not always start or end the same way.
std::vector<std::string> Choose(const SetupsOfCase& setups, std::size_t keep)
{
    if (setups.empty())
        return {};
    std::vector<std::pair<Candidate, std::string>> ordered;  // candidate, its ends
    for (const auto& [key, candidate] : setups)
        ordered.push_back({candidate, Ends(key)});
    std::sort(ordered.begin(), ordered.end());
    const std::size_t longest = ordered[std::min(keep, ordered.size()) - 1].first.turns;
    std::vector<bool> taken(ordered.size(), false);
    std::set<std::string> endsTaken;
    std::vector<std::string> chosen;
    for (int pass = 0; pass < 2; ++pass)
        for (std::size_t i = 0; i < ordered.size() && chosen.size() < keep; ++i) {
            if (taken[i] || ordered[i].first.turns > longest)
                continue;
            if (pass == 0 && !endsTaken.insert(ordered[i].second).second)
                continue;
            taken[i] = true;
            chosen.push_back(ordered[i].first.text);
        }
    std::sort(chosen.begin(), chosen.end());
    return chosen;
}

struct NudgedCase {
    int caseNumber = 0;
    Algorithm before, after;
};

bool IsNumber(const std::string& text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

// "14", "14+R2" or "R2+14" (see NudgedTarget); case 0 when it does not read.
NudgedCase ReadTarget(const std::string& target)
{
    const auto plus = target.find('+');
    if (plus == std::string::npos)
        return {IsNumber(target) ? std::atoi(target.c_str()) : 0, {}, {}};
    const std::string first = target.substr(0, plus);
    const std::string second = target.substr(plus + 1);
    const bool after = IsNumber(first);
    const ParseResult turn = ParseAlgorithm(after ? second : first);
    if (!IsNumber(after ? first : second) || !turn.ok() || turn.moves.size() != 1)
        return {};
    NudgedCase read{std::atoi((after ? first : second).c_str()), {}, {}};
    (after ? read.after : read.before) = turn.moves;
    return read;
}

// "16" keeps 16 setups a case; "16/13" 16 an OLL case and 13 a PLL case,
// whose setups are shown with a last U turn as well and so weigh more in the
// mean length shown.
std::map<HintSet, std::size_t> ReadKeep(const std::string& text)
{
    const auto slash = text.find('/');
    const int oll = std::atoi(text.c_str());
    const int pll = slash == std::string::npos ? oll : std::atoi(text.c_str() + slash + 1);
    if (oll < 12 || pll < 12)
        Fail("keep at least 12 setups a case, not " + text);
    return {{HintSet::Oll, static_cast<std::size_t>(oll)}, {HintSet::Pll, static_cast<std::size_t>(pll)}};
}

int Collect(const std::map<HintSet, std::size_t>& keep, const std::string& standardList, const std::string& moreList,
            const std::string& oldPool)
{
    const WellKnownAlgorithms known
        = HintsAndStandardAlgorithms(ParseStandardCases(ReadFile(standardList)), ParseAlgorithmList(ReadFile(moreList)));
    std::map<std::pair<std::string, int>, SetupsOfCase> setups;
    int rejected = 0, wellKnown = 0;
    auto consider = [&](const std::string& setName, int number, const Algorithm& candidate) {
        const HintSet set = setName == "OLL" ? HintSet::Oll : HintSet::Pll;
        std::string problem = SetupProblem(set, number, candidate);
        if (problem.empty() && candidate.size() > LongestSetup(set))
            problem = "too long";
        if (problem.empty()) {
            problem = known.Match(candidate);
            wellKnown += problem.empty() ? 0 : 1;
        }
        if (!problem.empty()) {
            std::fprintf(stderr, "%s %d %s: %s\n", setName.c_str(), number, ToText(candidate).c_str(), problem.c_str());
            ++rejected;
            return;
        }
        const Candidate found{candidate.size(), ToText(candidate)};
        auto [at, added] = setups[{setName, number}].emplace(SameSetupKey(candidate), found);
        if (!added && found < at->second)
            at->second = found;
    };
    // The setups of the pool so far stay candidates: a run then only adds.
    std::istringstream previous(oldPool.empty() ? std::string() : ReadFile(oldPool));
    for (std::string line; std::getline(previous, line);) {
        std::istringstream fields(line);
        std::string setName, turns;
        int caseNumber = 0;
        if (fields >> setName >> caseNumber && std::getline(fields, turns))
            consider(setName, caseNumber, TrimUTurns(MustParse(turns)));
    }
    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream fields(line);
        std::string setName, target, solution;
        if (!(fields >> setName >> target))
            continue;
        std::getline(fields, solution);
        const HintSet set = setName == "OLL" ? HintSet::Oll : HintSet::Pll;
        const ParseResult parsed = ParseAlgorithm(solution);
        const NudgedCase nudged = ReadTarget(target);
        if (!parsed.ok() || parsed.moves.empty() || nudged.caseNumber == 0)
            Fail("cannot read: " + line);
        const int caseNumber = nudged.caseNumber;
        const Algorithm setup
            = TrimUTurns(MergeTurns(Concat(Concat(nudged.before, Inverse(parsed.moves)), nudged.after)));
        const Algorithm mirrored = TrimUTurns(MergeTurns(MirrorLeftRight(setup)));
        consider(setName, caseNumber, setup);
        consider(setName, CaseMadeBy(set, mirrored), mirrored);
    }
    int shortCases = 0;
    for (HintSet set : {HintSet::Oll, HintSet::Pll})
        for (int n = 1; n <= CaseCount(set); ++n) {
            const std::vector<std::string> chosen = Choose(setups[{SetName(set), n}], keep.at(set));
            for (const std::string& text : chosen)
                std::printf("%s %d %s\n", SetName(set), n, text.c_str());
            if (chosen.size() < 12) {
                std::fprintf(stderr, "%s %d: only %zu setups\n", SetName(set), n, chosen.size());
                ++shortCases;
            }
        }
    std::fprintf(stderr, "%d candidates rejected, %d of them well-known algorithms; %d cases with fewer than 12 setups\n",
                 rejected, wellKnown, shortCases);
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
    if (command == "nudged" && argc >= 6)
        return PrintNudged(static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10)), std::atoi(argv[3]), argv[4],
                           argc - 5, argv + 5);
    if (command == "collect" && (argc == 5 || argc == 6))
        return Collect(ReadKeep(argv[2]), argv[3], argv[4], argc == 6 ? argv[5] : "");
    Fail("usage: tesselo_scramblepool targets SEED COUNT | cases SET N... | nudged SEED COUNT SET N... "
         "| collect KEEP LIST MORE [POOL]");
}
