// An import merged into History.csv as a power cut, a hand edit or another
// program may have left the file: merging never crashes; every attempt the
// file read before is read after it, in the same order, with each new solve
// among them; and merging the same solves into the result adds nothing.
#include "fuzz_check.h"
#include "interchange/importmerge.h"

#include <cstdint>

namespace {

QString Story(const QByteArray& bytes) { return QString::fromLatin1(bytes.toHex()); }

// Three solves about 2026-12-09T11:32:05Z, one with a split and a quoted scramble.
std::vector<ImportedSolve> Solves()
{
    std::vector<ImportedSolve> solves(3);
    solves[0].caseNumber = 4;
    solves[0].totalMs = 1470;
    solves[0].startUnixMs = 1796815925000 - 1470;
    solves[0].scramble = "R U R' U'";
    solves[0].source = "cstimer";
    solves[1] = solves[0];
    solves[1].set = CaseSet::PLL;
    solves[1].caseNumber = 21;
    solves[1].splitMs = 500;
    solves[1].scramble = "F, \"x\" R";
    solves[1].startUnixMs += 60000;
    solves[2] = solves[0];
    solves[2].source = "twistytimer";
    solves[2].startUnixMs -= 3600000;
    return solves;
}

// Whether every attempt of part comes in whole, in its order.
bool Subsequence(const std::vector<Attempt>& part, const std::vector<Attempt>& whole)
{
    size_t at = 0;
    for (const Attempt& attempt : whole)
        if (at < part.size() && part[at] == attempt)
            ++at;
    return at == part.size();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    const QByteArray content(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    static const std::vector<ImportedSolve> solves = Solves();
    const HistoryMerge merge = MergeSolves(content, solves);
    if (merge.foreignColumns) {
        FuzzCheck(!merge.content && merge.added == 0, "a file with columns of its own is left alone", Story(content));
        return 0;
    }
    FuzzCheck(merge.added + merge.alreadyThere + merge.unfit == int(solves.size()), "every solve is counted once",
              Story(content));
    if (!merge.content) {
        FuzzCheck(merge.added == 0, "solves added only with a new file", Story(content));
        return 0;
    }
    const HistoryContent before = ParseHistory(content);
    const HistoryContent after = ParseHistory(*merge.content);
    FuzzCheck(Subsequence(before.attempts, after.attempts), "the old attempts read after the merge, in order",
              Story(content));
    FuzzCheck(after.attempts.size() >= before.attempts.size() + size_t(merge.added), "the new solves read",
              Story(content));
    const HistoryMerge again = MergeSolves(*merge.content, solves);
    FuzzCheck(!again.content && again.alreadyThere == merge.added + merge.alreadyThere, "the second merge adds nothing",
              Story(content));
    return 0;
}
