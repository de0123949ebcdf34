#pragma once
// The figures of the Progress window, computed from the recorded times.
// Times and averages are whole milliseconds: a mean is summed exactly and
// rounded once, to the nearest millisecond, halves to the even one. No widgets.

#include "history/historyfile.h"

#include <optional>
#include <vector>

// sum / count to the nearest whole number, halves to the even neighbour.
long long RoundedQuotient(long long sum, long long count);

// The cubing average of a window of times: the best and the worst are
// dropped and the rest averaged. Needs at least three times.
int TrimmedMeanMs(const std::vector<int>& milliseconds, size_t first, size_t count);

// The average of n ending at every time: entry i is the average of times
// i-n+1 .. i, or nothing for the first n-1 times.
std::vector<std::optional<int>> RollingAverages(const std::vector<int>& milliseconds, size_t n);

// The best time up to and including each time.
std::vector<int> BestSoFar(const std::vector<int>& milliseconds);

// Which recorded times a view shows.
struct AttemptFilter {
    std::optional<Level> level;     // nothing: both levels
    std::optional<bool> twoSide;    // nothing: both recognitions
    bool withExam = false;          // exam times count only when asked for, as on the tiles
    bool Matches(const Attempt& attempt) const;
};

// The attempts of one case of one set that pass the filter, in order.
std::vector<Attempt> CaseAttempts(const std::vector<Attempt>& attempts, CaseSet set, int caseNumber,
                                  const AttemptFilter& filter);
std::vector<int> TimesOf(const std::vector<Attempt>& attempts);

struct CaseFigures {
    int attempts = 0;
    int bestMs = 0;
    int meanMs = 0;
    std::optional<int> currentAo5, currentAo12, bestAo5;
    size_t bestSingleIndex = 0;                 // where the best single and the best ao5 end
    std::optional<size_t> bestAo5Index;
};
CaseFigures FiguresOf(const std::vector<int>& milliseconds);

// The last time a case was practised among the filtered attempts, if ever.
std::optional<qint64> LastPractised(const std::vector<Attempt>& attempts, CaseSet set, int caseNumber,
                                    const AttemptFilter& filter);

struct CaseMean {
    int caseNumber = 0;
    int milliseconds = 0;   // mean of the last 12 times (or of all when fewer)
};
struct SetRanking {
    std::vector<CaseMean> slowestFirst;   // cases with times, the slowest mean first
    std::vector<int> withoutTimes;        // cases without any time, ascending
};
SetRanking RankSet(const std::vector<Attempt>& attempts, CaseSet set, const AttemptFilter& filter);

// The recognition split of each attempt CaseAttempts lists for the same
// arguments, in the same order; nothing for an attempt timed whole.
// splits: the marks of the split attempts among attempts, in order.
std::vector<std::optional<int>> CaseSplits(const std::vector<Attempt>& attempts, const std::vector<AttemptSplit>& splits,
                                           CaseSet set, int caseNumber, const AttemptFilter& filter);

// Over the attempts that have a split: the mean recognition (the split) and
// the mean execution (the time less the split). count 0: none has a split.
struct SplitFigures {
    int count = 0;
    int recognitionMs = 0;
    int executionMs = 0;
};
SplitFigures SplitMeans(const std::vector<int>& milliseconds, const std::vector<std::optional<int>>& splits);

// How a case fares in the naming drill: every answer, the wrong ones and
// the give-ups among them, and the mean time of the right ones.
struct NamingFigures {
    int caseNumber = 0;
    int answers = 0;
    int misses = 0;
    std::optional<int> meanMs;   // nothing: never named right
};
struct NamingRanking {
    // The most often missed share first; among equal shares, the slowest
    // (never named right counts as slowest).
    std::vector<NamingFigures> worstFirst;
    std::vector<int> neverDrilled;   // ascending
};
NamingRanking RankNaming(const std::vector<DrillRecord>& drill, CaseSet set, const AttemptFilter& filter);
