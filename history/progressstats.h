#pragma once
// The figures of the Progress window, computed from the recorded times.
// Times are in milliseconds; averages in seconds. No widgets.

#include "history/historyfile.h"

#include <optional>
#include <vector>

// The cubing average of a window of times: the best and the worst are
// dropped and the rest averaged. Needs at least three times.
double TrimmedMeanSeconds(const std::vector<int>& milliseconds, size_t first, size_t count);

// The average of n ending at every time: entry i is the average of times
// i-n+1 .. i, or nothing for the first n-1 times.
std::vector<std::optional<double>> RollingAverages(const std::vector<int>& milliseconds, size_t n);

// The best time up to and including each time, in seconds.
std::vector<double> BestSoFar(const std::vector<int>& milliseconds);

// Which recorded times a view shows.
struct AttemptFilter {
    std::optional<Level> level;     // nothing: both levels
    std::optional<bool> twoSide;    // nothing: both recognitions
    bool Matches(const Attempt& attempt) const;
};

// The times of one case of one set that pass the filter, in order.
std::vector<int> CaseTimes(const std::vector<Attempt>& attempts, CaseSet set, int caseNumber,
                           const AttemptFilter& filter);

struct CaseFigures {
    int attempts = 0;
    double bestSeconds = 0;
    double meanSeconds = 0;
    std::optional<double> currentAo5, currentAo12, bestAo5;
};
CaseFigures FiguresOf(const std::vector<int>& milliseconds);

// The last time a case was practised (any filter), if ever.
std::optional<qint64> LastPractised(const std::vector<Attempt>& attempts, CaseSet set, int caseNumber);

struct CaseMean {
    int caseNumber = 0;
    double seconds = 0;   // mean of the last 12 times (or of all when fewer)
};
struct SetRanking {
    std::vector<CaseMean> slowestFirst;   // cases with times, the slowest mean first
    std::vector<int> withoutTimes;        // cases without any time, ascending
};
SetRanking RankSet(const std::vector<Attempt>& attempts, CaseSet set, const AttemptFilter& filter);
