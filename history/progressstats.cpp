#include "history/progressstats.h"

#include <algorithm>
#include <numeric>

namespace {

constexpr size_t kRankWindow = 12;

double Seconds(long long milliseconds) { return static_cast<double>(milliseconds) / 1000.0; }

} // namespace

double TrimmedMeanSeconds(const std::vector<int>& ms, size_t first, size_t count)
{
    const auto begin = ms.begin() + static_cast<std::ptrdiff_t>(first);
    const auto end = begin + static_cast<std::ptrdiff_t>(count);
    const long long sum = std::accumulate(begin, end, 0LL);
    const auto [worst, best] = std::minmax_element(begin, end);
    return Seconds(sum - *worst - *best) / static_cast<double>(count - 2);
}

std::vector<std::optional<double>> RollingAverages(const std::vector<int>& ms, size_t n)
{
    std::vector<std::optional<double>> averages(ms.size());
    for (size_t i = n - 1; n >= 3 && i < ms.size(); ++i)
        averages[i] = TrimmedMeanSeconds(ms, i + 1 - n, n);
    return averages;
}

std::vector<double> BestSoFar(const std::vector<int>& ms)
{
    std::vector<double> best;
    best.reserve(ms.size());
    int lowest = 0;
    for (size_t i = 0; i < ms.size(); ++i) {
        lowest = i == 0 ? ms[i] : std::min(lowest, ms[i]);
        best.push_back(Seconds(lowest));
    }
    return best;
}

bool AttemptFilter::Matches(const Attempt& attempt) const
{
    if (level && attempt.level != *level)
        return false;
    return !twoSide || attempt.twoSide == *twoSide;
}

std::vector<int> CaseTimes(const std::vector<Attempt>& attempts, CaseSet set, int caseNumber,
                           const AttemptFilter& filter)
{
    std::vector<int> times;
    for (const Attempt& attempt : attempts)
        if (attempt.set == set && attempt.caseNumber == caseNumber && filter.Matches(attempt))
            times.push_back(attempt.milliseconds);
    return times;
}

CaseFigures FiguresOf(const std::vector<int>& ms)
{
    CaseFigures figures;
    figures.attempts = static_cast<int>(ms.size());
    if (ms.empty())
        return figures;
    figures.bestSeconds = Seconds(*std::min_element(ms.begin(), ms.end()));
    figures.meanSeconds = Seconds(std::accumulate(ms.begin(), ms.end(), 0LL)) / static_cast<double>(ms.size());
    const auto ao5 = RollingAverages(ms, 5);
    const auto ao12 = RollingAverages(ms, 12);
    figures.currentAo5 = ao5.back();
    figures.currentAo12 = ao12.back();
    for (const auto& average : ao5)
        if (average && (!figures.bestAo5 || *average < *figures.bestAo5))
            figures.bestAo5 = average;
    return figures;
}

std::optional<qint64> LastPractised(const std::vector<Attempt>& attempts, CaseSet set, int caseNumber)
{
    std::optional<qint64> last;
    for (const Attempt& attempt : attempts)
        if (attempt.set == set && attempt.caseNumber == caseNumber && (!last || attempt.utcSeconds > *last))
            last = attempt.utcSeconds;
    return last;
}

SetRanking RankSet(const std::vector<Attempt>& attempts, CaseSet set, const AttemptFilter& filter)
{
    std::vector<std::vector<int>> times(static_cast<size_t>(CaseCount(set)));
    for (const Attempt& attempt : attempts)
        if (attempt.set == set && filter.Matches(attempt))
            times[static_cast<size_t>(attempt.caseNumber - 1)].push_back(attempt.milliseconds);
    SetRanking ranking;
    for (size_t i = 0; i < times.size(); ++i) {
        const std::vector<int>& caseTimes = times[i];
        const int caseNumber = static_cast<int>(i + 1);
        if (caseTimes.empty()) {
            ranking.withoutTimes.push_back(caseNumber);
            continue;
        }
        const size_t count = std::min(caseTimes.size(), kRankWindow);
        const long long sum = std::accumulate(caseTimes.end() - static_cast<std::ptrdiff_t>(count), caseTimes.end(), 0LL);
        ranking.slowestFirst.push_back({caseNumber, Seconds(sum) / static_cast<double>(count)});
    }
    std::stable_sort(ranking.slowestFirst.begin(), ranking.slowestFirst.end(),
                     [](const CaseMean& a, const CaseMean& b) { return a.seconds > b.seconds; });
    return ranking;
}
