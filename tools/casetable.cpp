#include "tools/casetable.h"

#include <map>
#include <sstream>
#include <stdexcept>

namespace cube {

namespace {

const char* SetText(HintSet set) { return set == HintSet::Oll ? "OLL" : "PLL"; }

std::vector<std::string> SplitFields(const std::string& line)
{
    std::vector<std::string> fields;
    std::string field;
    std::istringstream in(line);
    while (std::getline(in, field, ','))
        fields.push_back(field);
    if (!line.empty() && line.back() == ',')
        fields.emplace_back();
    return fields;
}

[[noreturn]] void Fail(const std::string& message) { throw std::runtime_error(message); }

std::string CaseLabel(HintSet set, const std::string& standard) { return std::string(SetText(set)) + ' ' + standard; }

// The same state key for two algorithms exactly when they solve the same case
// as the set counts cases the same.
std::vector<int> CaseKey(HintSet set, const Algorithm& algorithm)
{
    const Cube state = CaseState(algorithm);
    if (set == HintSet::Oll)
        return {static_cast<int>(CanonicalOrientation(state))};
    const TopPermutation permutation = CanonicalPermutation(state);
    return {permutation.begin(), permutation.end()};
}

// Each standard case of the set by the state it solves; fails on an algorithm
// that is no last-layer algorithm and on two cases with one state.
std::map<std::vector<int>, const StandardCase*> StandardByState(HintSet set, const std::vector<StandardCase>& standard)
{
    std::map<std::vector<int>, const StandardCase*> byState;
    for (const StandardCase& c : standard) {
        if (c.set != set)
            continue;
        const ParseResult parsed = ParseAlgorithm(c.algorithm);
        if (!parsed.ok())
            Fail(CaseLabel(set, c.standard) + ": " + parsed.error);
        if (!IsLastLayerAlgorithm(set, parsed.moves))
            Fail(CaseLabel(set, c.standard) + ": \"" + c.algorithm + "\" is no last-layer algorithm of its set");
        const auto [at, added] = byState.emplace(CaseKey(set, parsed.moves), &c);
        if (!added)
            Fail(CaseLabel(set, c.standard) + " and " + CaseLabel(set, at->second->standard) + " solve the same state");
    }
    if (static_cast<int>(byState.size()) != CaseCount(set))
        Fail(std::string("the standard list has ") + std::to_string(byState.size()) + ' ' + SetText(set)
             + " cases, not " + std::to_string(CaseCount(set)));
    return byState;
}

}  // namespace

std::vector<StandardCase> ParseStandardCases(std::string_view csv)
{
    std::vector<StandardCase> cases;
    std::istringstream in{std::string(csv)};
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (lineNumber == 1 || line.empty())
            continue;  // the header
        const std::vector<std::string> f = SplitFields(line);
        if (f.size() != 6 || (f[0] != "OLL" && f[0] != "PLL") || f[1].empty() || f[2].empty() || f[3].empty())
            Fail("the standard list, line " + std::to_string(lineNumber) + ": \"" + line + "\" is not set,standard,name,group,confidence,algorithm");
        cases.push_back({f[0] == "OLL" ? HintSet::Oll : HintSet::Pll, f[1], f[2], f[3], f[5]});
    }
    return cases;
}

std::string ProgramGroup(HintSet set, const std::string& listGroup)
{
    // The list splits the lightning shapes by size and files the G perms as
    // adjacent swaps; cubers drill each of them as one group.
    static const std::map<std::string, std::string> oll = {
        {"Dot", "Dot"}, {"Square", "Square"}, {"Lightning (small)", "Lightning"}, {"Lightning (big)", "Lightning"},
        {"Fish", "Fish"}, {"Knight", "Knight"}, {"Cross", "Cross"}, {"Corners oriented", "Corners oriented"},
        {"Awkward", "Awkward"}, {"P", "P"}, {"T", "T"}, {"C", "C"}, {"W", "W"}, {"L", "L"}, {"Line", "Line"},
    };
    static const std::map<std::string, std::string> pll = {
        {"Edges only", "Edges only"}, {"Corners only", "Corners only"}, {"Adjacent swap", "Adjacent swap"},
        {"Adjacent swap (G)", "G perms"}, {"Diagonal swap", "Diagonal swap"},
    };
    const auto& groups = set == HintSet::Oll ? oll : pll;
    const auto found = groups.find(listGroup);
    if (found == groups.end())
        Fail(std::string("no ") + SetText(set) + " group \"" + listGroup + "\"");
    return found->second;
}

std::vector<CaseIdentityRow> DeriveCaseTable(const std::vector<StandardCase>& standard)
{
    std::vector<CaseIdentityRow> rows;
    for (HintSet set : {HintSet::Oll, HintSet::Pll}) {
        const auto byState = StandardByState(set, standard);
        std::map<std::string, int> caseOf;  // standard -> the program's case
        for (int n = 1; n <= CaseCount(set); ++n) {
            const Algorithm hint = Hint(set, n);
            if (!IsLastLayerAlgorithm(set, hint))
                Fail(std::string(SetText(set)) + " case " + std::to_string(n) + ": the hint is no last-layer algorithm");
            const auto match = byState.find(CaseKey(set, hint));
            if (match == byState.end())
                Fail(std::string(SetText(set)) + " case " + std::to_string(n) + ": no standard case solves its state");
            const StandardCase& c = *match->second;
            const auto [at, added] = caseOf.emplace(c.standard, n);
            if (!added)
                Fail(std::string(SetText(set)) + " cases " + std::to_string(at->second) + " and " + std::to_string(n)
                     + " are both " + CaseLabel(set, c.standard));
            rows.push_back({set, n, c.standard, c.name, ProgramGroup(set, c.group)});
        }
    }
    return rows;
}

std::string CaseTableCsv(const std::vector<CaseIdentityRow>& rows)
{
    std::string csv = "set,case,standard,name,group\n";
    for (const CaseIdentityRow& r : rows) {
        for (const std::string* field : {&r.name, &r.group})
            if (field->find_first_of(",\"\n") != std::string::npos)
                Fail("\"" + *field + "\" cannot stand in the table unquoted");
        csv += std::string(SetText(r.set)) + ',' + std::to_string(r.caseNumber) + ',' + r.standard + ',' + r.name
               + ',' + r.group + '\n';
    }
    return csv;
}

std::vector<CaseIdentityRow> ParseCaseTableCsv(std::string_view csv)
{
    std::vector<CaseIdentityRow> rows;
    std::istringstream in{std::string(csv)};
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (lineNumber == 1 || line.empty())
            continue;  // the header
        const std::vector<std::string> f = SplitFields(line);
        int caseNumber = 0;
        try {
            caseNumber = f.size() == 5 ? std::stoi(f[1]) : 0;
        } catch (const std::exception&) {
        }
        if (caseNumber < 1 || (f[0] != "OLL" && f[0] != "PLL"))
            Fail("the case table, line " + std::to_string(lineNumber) + ": \"" + line + "\" is not set,case,standard,name,group");
        rows.push_back({f[0] == "OLL" ? HintSet::Oll : HintSet::Pll, caseNumber, f[2], f[3], f[4]});
    }
    return rows;
}

std::string ReadmeCaseTable(const std::vector<CaseIdentityRow>& rows)
{
    std::string table = "| Set | Case | Standard | Name | Group |\n|---|---:|---|---|---|\n";
    for (const CaseIdentityRow& r : rows)
        table += std::string("| ") + SetText(r.set) + " | " + std::to_string(r.caseNumber) + " | "
                 + CaseLabel(r.set, r.standard) + " | " + r.name + " | " + r.group + " |\n";
    return table;
}

std::string WithReadmeCaseTable(const std::string& readme, const std::vector<CaseIdentityRow>& rows)
{
    const std::size_t begin = readme.find(kReadmeTableBegin);
    const std::size_t end = readme.find(kReadmeTableEnd);
    if (begin == std::string::npos || end == std::string::npos || end < begin)
        Fail("the README has no case table markers");
    const std::size_t afterBegin = begin + kReadmeTableBegin.size();
    return readme.substr(0, afterBegin) + '\n' + ReadmeCaseTable(rows) + readme.substr(end);
}

}  // namespace cube
