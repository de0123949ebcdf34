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

// The splits are in the order of the attempts: one cursor walks them beside.
std::vector<std::optional<int>> CaseSplits(const std::vector<Attempt>& attempts, const std::vector<AttemptSplit>& splits,
                                           CaseSet set, int caseNumber, const AttemptFilter& filter)
{
    std::vector<std::optional<int>> found;
    auto split = splits.begin();
    for (size_t i = 0; i < attempts.size(); ++i) {
        const Attempt& attempt = attempts[i];
        if (attempt.caseNumber != caseNumber || attempt.set != set || !filter.Matches(attempt))
            continue;
        while (split != splits.end() && split->attempt < i)
            ++split;
        const bool marked = split != splits.end() && split->attempt == i;
        found.push_back(marked ? std::optional<int>(split->splitMilliseconds) : std::nullopt);
    }
    return found;
}

SplitFigures SplitMeans(const std::vector<int>& ms, const std::vector<std::optional<int>>& splits)
{
    long long recognition = 0, execution = 0;
    SplitFigures figures;
    for (size_t i = 0; i < std::min(ms.size(), splits.size()); ++i)
        if (splits[i]) {
            ++figures.count;
            recognition += *splits[i];
            execution += ms[i] - *splits[i];
        }
    if (figures.count > 0) {
        figures.recognitionMs = static_cast<int>(RoundedQuotient(recognition, figures.count));
        figures.executionMs = static_cast<int>(RoundedQuotient(execution, figures.count));
    }
    return figures;
}

namespace {

// a is worse than b: a larger share missed, or the same share and slower.
bool NamedWorse(const NamingFigures& a, const NamingFigures& b)
{
    const long long aShare = static_cast<long long>(a.misses) * b.answers;
    const long long bShare = static_cast<long long>(b.misses) * a.answers;
    if (aShare != bShare)
        return aShare > bShare;
    if (a.meanMs.has_value() != b.meanMs.has_value())
        return !a.meanMs;
    return a.meanMs && *a.meanMs > *b.meanMs;
}

} // namespace

NamingRanking RankNaming(const std::vector<DrillRecord>& drill, CaseSet set, const AttemptFilter& filter)
{
    const size_t caseCount = static_cast<size_t>(CaseCount(set));
    std::array<NamingFigures, kMaxCases> figures{};
    std::array<long long, kMaxCases> sums{};
    for (const DrillRecord& record : drill) {
        const Attempt& attempt = record.attempt;
        const size_t index = static_cast<size_t>(attempt.caseNumber - 1);
        if (attempt.set != set || index >= caseCount || !filter.Matches(attempt))
            continue;
        ++figures[index].answers;
        if (record.detail.result == AttemptResult::Ok)
            sums[index] += attempt.milliseconds;
        else
            ++figures[index].misses;
    }
    NamingRanking ranking;
    for (size_t i = 0; i < caseCount; ++i) {
        NamingFigures& f = figures[i];
        f.caseNumber = static_cast<int>(i + 1);
        if (f.answers == 0) {
            ranking.neverDrilled.push_back(f.caseNumber);
            continue;
        }
        if (f.answers > f.misses)
            f.meanMs = static_cast<int>(RoundedQuotient(sums[i], f.answers - f.misses));
        ranking.worstFirst.push_back(f);
    }
    std::stable_sort(ranking.worstFirst.begin(), ranking.worstFirst.end(), NamedWorse);
    return ranking;
}
