#pragma once
// Which standard last-layer case each of the program's cases is: the OLL
// number or PLL name that alg sheets and other trainers use, the nickname and
// the shape group. Derived on the cube model: a built-in hint and a standard
// algorithm name the same case when they solve the same state (OLL: the top
// pattern up to U turns; PLL: the permutation up to U turns before and after).

#include "core/lastlayer.h"

#include <string>
#include <string_view>
#include <vector>

namespace cube {

// One line of the standard list (tools/ll-cases.csv).
struct StandardCase {
    HintSet set = HintSet::Oll;
    std::string standard;  // "27" or "Ub"
    std::string name;
    std::string group;     // as the list writes it
    std::string algorithm;
};

// One line of the program's table (resources/cases.csv).
struct CaseIdentityRow {
    HintSet set = HintSet::Oll;
    int caseNumber = 0;    // the program's own number
    std::string standard;
    std::string name;
    std::string group;     // one of the program's groups
};

// Reads the standard list; throws std::runtime_error naming the bad line.
std::vector<StandardCase> ParseStandardCases(std::string_view csv);

// The program's group for a group as the standard list writes it; throws
// std::runtime_error for a group it does not know.
std::string ProgramGroup(HintSet set, const std::string& listGroup);

// Every built-in hint matched with the one standard case it solves, OLL 1..57
// then PLL 1..21. Throws std::runtime_error unless the match is one to one in
// both sets and every standard algorithm is a sound last-layer algorithm.
std::vector<CaseIdentityRow> DeriveCaseTable(const std::vector<StandardCase>& standard);

// resources/cases.csv: the header "set,case,standard,name,group", a line a case.
std::string CaseTableCsv(const std::vector<CaseIdentityRow>& rows);

// Reads resources/cases.csv back; throws std::runtime_error naming the bad line.
std::vector<CaseIdentityRow> ParseCaseTableCsv(std::string_view csv);

// The README's table of the cases, in Markdown, between two marker lines.
inline constexpr std::string_view kReadmeTableBegin = "<!-- case table: made by tesselo_cases, do not edit -->";
inline constexpr std::string_view kReadmeTableEnd = "<!-- end of case table -->";
std::string ReadmeCaseTable(const std::vector<CaseIdentityRow>& rows);
// The README with the text between the markers replaced by the table; throws
// std::runtime_error when the markers are missing.
std::string WithReadmeCaseTable(const std::string& readme, const std::vector<CaseIdentityRow>& rows);

}  // namespace cube
