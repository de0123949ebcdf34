#include "history/progressstats.h"

#include "core/recentmean.h"

#include <algorithm>
#include <array>
#include <numeric>

long long RoundedQuotient(long long sum, long long count)
{
    long long quotient = sum / count;
    long long remainder = sum % count;
    if (remainder < 0) {   // floor division, so that halves below zero round alike
        --quotient;
        remainder += count;
    }
    const long long twice = 2 * remainder;
    if (twice > count || (twice == count && quotient % 2 != 0))
        ++quotient;
    return quotient;
}

int TrimmedMeanMs(const std::vector<int>& ms, size_t first, size_t count)
{
    const auto begin = ms.begin() + static_cast<std::ptrdiff_t>(first);
    const auto end = begin + static_cast<std::ptrdiff_t>(count);
    const long long sum = std::accumulate(begin, end, 0LL);
    const auto [best, worst] = std::minmax_element(begin, end);
    return static_cast<int>(RoundedQuotient(sum - *worst - *best, static_cast<long long>(count) - 2));
}

std::vector<std::optional<int>> RollingAverages(const std::vector<int>& ms, size_t n)
{
    std::vector<std::optional<int>> averages(ms.size());
    for (size_t i = n - 1; n >= 3 && i < ms.size(); ++i)
        averages[i] = TrimmedMeanMs(ms, i + 1 - n, n);
    return averages;
}

std::vector<int> BestSoFar(const std::vector<int>& ms)
{
    std::vector<int> best;
    best.reserve(ms.size());
    for (size_t i = 0; i < ms.size(); ++i)
        best.push_back(i == 0 ? ms[i] : std::min(best.back(), ms[i]));
    return best;
}

bool AttemptFilter::Matches(const Attempt& attempt) const
{
    if (attempt.exam && !withExam)
        return false;
    if (level && attempt.level != *level)
        return false;
    return !twoSide || attempt.twoSide == *twoSide;
}

std::vector<Attempt> CaseAttempts(const std::vector<Attempt>& attempts, CaseSet set, int caseNumber,
                                  const AttemptFilter& filter)
{
    std::vector<Attempt> found;
    for (const Attempt& attempt : attempts)
        if (attempt.caseNumber == caseNumber && attempt.set == set && filter.Matches(attempt))
            found.push_back(attempt);
    return found;
}

std::vector<int> TimesOf(const std::vector<Attempt>& attempts)
{
    std::vector<int> times;
    times.reserve(attempts.size());
    for (const Attempt& attempt : attempts)
        times.push_back(attempt.milliseconds);
    return times;
}

CaseFigures FiguresOf(const std::vector<int>& ms)
{
    CaseFigures figures;
    figures.attempts = static_cast<int>(ms.size());
    if (ms.empty())
        return figures;
    const auto best = std::min_element(ms.begin(), ms.end());
    figures.bestMs = *best;
    figures.bestSingleIndex = static_cast<size_t>(best - ms.begin());
    figures.meanMs = static_cast<int>(RoundedQuotient(std::accumulate(ms.begin(), ms.end(), 0LL),
                                                      static_cast<long long>(ms.size())));
    const auto ao5 = RollingAverages(ms, 5);
    figures.currentAo5 = ao5.back();
    if (ms.size() >= 12)
        figures.currentAo12 = TrimmedMeanMs(ms, ms.size() - 12, 12);
    for (size_t i = 0; i < ao5.size(); ++i)
        if (ao5[i] && (!figures.bestAo5 || *ao5[i] < *figures.bestAo5)) {
            figures.bestAo5 = ao5[i];
            figures.bestAo5Index = i;
        }
    return figures;
}

std::optional<qint64> LastPractised(const std::vector<Attempt>& attempts, CaseSet set, int caseNumber,
                                    const AttemptFilter& filter)
{
    std::optional<qint64> last;
    for (const Attempt& attempt : attempts)
        if (attempt.caseNumber == caseNumber && attempt.set == set && filter.Matches(attempt)
            && (!last || attempt.utcSeconds > *last))
            last = attempt.utcSeconds;
    return last;
}

// From the end of the file backwards: only the last twelve times of each case
// count, and a long history is left unread once every case has them.
SetRanking RankSet(const std::vector<Attempt>& attempts, CaseSet set, const AttemptFilter& filter)
{
    const size_t caseCount = static_cast<size_t>(CaseCount(set));
    constexpr size_t kWindow = kRecentTimes;
    std::array<std::array<int, kWindow>, kMaxCases> lastTimes;
    std::array<size_t, kMaxCases> counts{};
    size_t complete = 0;
    for (auto it = attempts.rbegin(); it != attempts.rend() && complete < caseCount; ++it) {
        if (it->set != set || !filter.Matches(*it))
            continue;
        const size_t index = static_cast<size_t>(it->caseNumber - 1);
        if (index >= caseCount || counts[index] == kWindow)
            continue;
        lastTimes[index][counts[index]] = it->milliseconds;
        if (++counts[index] == kWindow)
            ++complete;
    }
    SetRanking ranking;
    for (size_t i = 0; i < caseCount; ++i) {
        const int caseNumber = static_cast<int>(i + 1);
        const RecentSum recent = SumOfRecent(std::span<const int>(lastTimes[i].data(), counts[i]));
        if (recent.count == 0)
            ranking.withoutTimes.push_back(caseNumber);
        else
            ranking.slowestFirst.push_back({caseNumber, static_cast<int>(RoundedQuotient(recent.sum, recent.count))});
    }
    std::stable_sort(ranking.slowestFirst.begin(), ranking.slowestFirst.end(),
                     [](const CaseMean& a, const CaseMean& b) { return a.milliseconds > b.milliseconds; });
    return ranking;
}
