#include "interchange/scramblecase.h"

#include "core/lastlayer.h"

#include <map>
#include <vector>

namespace {

using namespace cube;

// The patterns of the program's cases, worked out once from the hints (case
// n's hint solves case n), and the 24 ways to hold the cube.
struct CaseTables {
    std::map<OrientationPattern, int> oll;
    std::map<TopPermutation, int> pll;
    TopPermutation solvedTop{};
    std::vector<Algorithm> holds;
};

std::vector<Algorithm> EveryHold()
{
    std::vector<Algorithm> holds;
    for (const char* bottom : {"", "x", "x2", "x'", "z", "z'"})
        for (const char* turn : {"", "y", "y2", "y'"})
            holds.push_back(MustParse(std::string(bottom) + " " + turn));
    return holds;
}

CaseTables BuildTables()
{
    CaseTables tables;
    for (int n = 1; n <= CaseCount(HintSet::Oll); ++n)
        tables.oll.emplace(CanonicalOrientation(CaseState(HintSet::Oll, n)), n);
    for (int n = 1; n <= CaseCount(HintSet::Pll); ++n)
        tables.pll.emplace(CanonicalPermutation(CaseState(HintSet::Pll, n)), n);
    tables.solvedTop = CanonicalPermutation(Cube::Solved());
    tables.holds = EveryHold();
    return tables;
}

const CaseTables& Tables()
{
    static const CaseTables tables = BuildTables();
    return tables;
}

// The case of a cube held with its first two layers solved, if the top is one.
ScrambleCase CaseOfTop(const Cube& held, const CaseTables& tables)
{
    ScrambleCase found;
    if (!TopFaceOriented(held)) {
        const auto oll = tables.oll.find(CanonicalOrientation(held));
        if (oll != tables.oll.end())
            found = {ScrambleVerdict::Case, CaseSet::OLL, oll->second};
        return found;
    }
    const TopPermutation permutation = CanonicalPermutation(held);
    const auto pll = tables.pll.find(permutation);
    if (permutation != tables.solvedTop && pll != tables.pll.end())
        found = {ScrambleVerdict::Case, CaseSet::PLL, pll->second};
    return found;
}

}  // namespace

ScrambleCase CaseOfScramble(std::string_view scramble)
{
    const ParseResult parsed = ParseAlgorithm(scramble);
    if (!parsed.ok())
        return {ScrambleVerdict::UnknownNotation};
    const CaseTables& tables = Tables();
    const Cube scrambled = Cube::Solved().apply(parsed.moves);
    for (const Algorithm& hold : tables.holds) {
        const Cube held = scrambled.applied(hold);
        if (FirstTwoLayersSolved(held))
            return CaseOfTop(held, tables);
    }
    return {ScrambleVerdict::NotLastLayer};
}
