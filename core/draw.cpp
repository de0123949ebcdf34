#include "core/draw.h"

#include "core/recentmean.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

constexpr int kFewestTimes = 3;          // below this a case is "new" and weighs the most
constexpr double kNewCaseWeight = 8;     // = 2² × 2, the largest weight a timed case can reach
constexpr double kFastestRatio = 0.5;
constexpr double kSlowestRatio = 2;
constexpr qint64 kSecondsPerDay = 86400;
constexpr qint64 kDaysToDouble = 7;      // a case left this long has its chance doubled

int SetIndex(CaseSet set)
{
    return static_cast<int>(set);
}

double Median(std::vector<double> values)
{
    const size_t middle = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + middle, values.end());
    if (values.size() % 2)
        return values[middle];
    const double upper = values[middle];
    const double lower = *std::max_element(values.begin(), values.begin() + middle);
    return (lower + upper) / 2;
}

double RecencyFactor(qint64 lastUtc, qint64 nowUtc)
{
    const qint64 days = std::clamp<qint64>((nowUtc - lastUtc) / kSecondsPerDay, 0, kDaysToDouble);
    return 1 + double(days) / double(kDaysToDouble);
}

// A random position in [0, size].
size_t RandomSlot(size_t size, RandomSource& random)
{
    return static_cast<size_t>(random.Uniform(static_cast<int>(size) + 1));
}

bool Contains(const std::vector<int>& cases, int caseNumber)
{
    return std::find(cases.begin(), cases.end(), caseNumber) != cases.end();
}

} // namespace

DrawRule DrawRuleFromText(const QString& text)
{
    if (text.compare(QLatin1String("weak"), Qt::CaseInsensitive) == 0)
        return DrawRule::Weak;
    if (text.compare(QLatin1String("round"), Qt::CaseInsensitive) == 0)
        return DrawRule::Round;
    return DrawRule::Random;
}

QString DrawRuleText(DrawRule rule)
{
    switch (rule) {
    case DrawRule::Weak: return QStringLiteral("weak");
    case DrawRule::Round: return QStringLiteral("round");
    case DrawRule::Random: break;
    }
    return QStringLiteral("random");
}

// ---- RecentTimes ----------------------------------------------------------------

double RecentTimes::Case::MeanMs() const
{
    const int kept = std::min(count, kKept);
    return SumOfRecent(std::span<const int>(milliseconds.data(), static_cast<size_t>(kept))).MeanMs();
}

void RecentTimes::CatchUp(const std::vector<Attempt>& attempts)
{
    if (attempts.size() < seen_) {
        cases_ = {};
        seen_ = 0;
    }
    for (; seen_ < attempts.size(); ++seen_)
        Take(attempts[seen_]);
}

void RecentTimes::Take(const Attempt& attempt)
{
    if (attempt.exam || attempt.caseNumber < 1 || attempt.caseNumber > CaseCount(attempt.set))
        return;
    Case& entry = cases_[SetIndex(attempt.set)][attempt.caseNumber];
    entry.milliseconds[entry.count % kKept] = attempt.milliseconds;
    ++entry.count;
    entry.lastUtc = std::max(entry.lastUtc, attempt.utcSeconds);
}

const RecentTimes::Case& RecentTimes::Of(CaseSet set, int caseNumber) const
{
    return cases_[SetIndex(set)][caseNumber];
}

// ---- the weak rule ----------------------------------------------------------------

std::optional<std::vector<double>> WeakWeights(const RecentTimes& recent, CaseSet set,
                                               const std::vector<int>& cases, qint64 nowUtc)
{
    std::vector<double> timedMeans;
    for (int caseNumber : cases)
        if (const auto& entry = recent.Of(set, caseNumber); entry.count >= kFewestTimes)
            timedMeans.push_back(entry.MeanMs());
    if (timedMeans.empty())
        return std::nullopt;
    const double median = Median(timedMeans);
    if (!(median > 0))   // times of 0 ms give no scale to compare against
        return std::nullopt;

    std::vector<double> weights;
    weights.reserve(cases.size());
    for (int caseNumber : cases) {
        const RecentTimes::Case& entry = recent.Of(set, caseNumber);
        if (entry.count < kFewestTimes) {
            weights.push_back(kNewCaseWeight);
            continue;
        }
        const double ratio = std::clamp(entry.MeanMs() / median, kFastestRatio, kSlowestRatio);
        weights.push_back(ratio * ratio * RecencyFactor(entry.lastUtc, nowUtc));
    }
    return weights;
}

QHash<int, double> WeakShares(const RecentTimes& recent, CaseSet set, const std::vector<int>& cases,
                              qint64 nowUtc)
{
    const std::vector<double> weights =
        WeakWeights(recent, set, cases, nowUtc).value_or(std::vector<double>(cases.size(), 1.0));
    const double sum = std::accumulate(weights.begin(), weights.end(), 0.0);
    QHash<int, double> shares;
    for (size_t i = 0; i < cases.size(); ++i)
        shares.insert(cases[i], weights[i] / sum);
    return shares;
}

int WeightedIndex(const std::vector<double>& weights, RandomSource& random)
{
    const double sum = std::accumulate(weights.begin(), weights.end(), 0.0);
    double point = random.UniformReal() * sum;
    int last = 0;
    for (size_t i = 0; i < weights.size(); ++i) {
        if (weights[i] <= 0)
            continue;
        if (point < weights[i])
            return static_cast<int>(i);
        point -= weights[i];
        last = static_cast<int>(i);
    }
    // Rounding may leave the point a hair past the end: the last case it reached.
    return last;
}

// ---- rounds ------------------------------------------------------------------------

void CaseRound::Follow(const std::vector<int>& enabled, RandomSource& random)
{
    const auto disabled = [&enabled](int caseNumber) { return !Contains(enabled, caseNumber); };
    std::erase_if(ahead_, disabled);
    if (number_ == 0)
        return;   // nothing started yet: the first draw deals every enabled case
    for (int caseNumber : enabled)
        if (!Contains(ahead_, caseNumber) && !Contains(taken_, caseNumber))
            ahead_.insert(ahead_.begin() + static_cast<std::ptrdiff_t>(RandomSlot(ahead_.size(), random)), caseNumber);
}

int CaseRound::Next(const std::vector<int>& enabled, RandomSource& random)
{
    if (enabled.empty())
        return 0;
    Follow(enabled, random);
    if (ahead_.empty())
        BeginRound(enabled, random);
    const int caseNumber = ahead_.front();
    ahead_.erase(ahead_.begin());
    taken_.push_back(caseNumber);
    return caseNumber;
}

void CaseRound::BeginRound(const std::vector<int>& enabled, RandomSource& random)
{
    ++number_;
    taken_.clear();
    ahead_ = enabled;
    // Fisher–Yates through the generator seam, so a fixed seed fixes the order.
    for (size_t i = ahead_.size(); i > 1; --i)
        std::swap(ahead_[i - 1], ahead_[static_cast<size_t>(random.Uniform(static_cast<int>(i)))]);
}

bool CaseRound::Take(int caseNumber, const std::vector<int>& enabled, RandomSource& random)
{
    if (!Contains(enabled, caseNumber))
        return false;
    Follow(enabled, random);
    if (ahead_.empty())
        BeginRound(enabled, random);
    const auto ahead = std::find(ahead_.begin(), ahead_.end(), caseNumber);
    if (ahead == ahead_.end())
        return false;
    ahead_.erase(ahead);
    taken_.push_back(caseNumber);
    return true;
}

void CaseRound::PutBack(int caseNumber, RandomSource& random)
{
    // A case of an earlier round is not this round's to take back.
    const auto taken = std::find(taken_.begin(), taken_.end(), caseNumber);
    if (taken == taken_.end())
        return;
    taken_.erase(taken);
    ahead_.insert(ahead_.begin() + static_cast<std::ptrdiff_t>(RandomSlot(ahead_.size(), random)), caseNumber);
}

int CaseRound::Taken(const std::vector<int>& enabled) const
{
    return static_cast<int>(std::count_if(taken_.begin(), taken_.end(),
                                          [&enabled](int caseNumber) { return Contains(enabled, caseNumber); }));
}

// ---- the exam ---------------------------------------------------------------------

int UndrawnCase(const std::vector<int>& enabled, const std::vector<int>& drawn, RandomSource& random)
{
    std::vector<int> undrawn;
    for (int caseNumber : enabled)
        if (!Contains(drawn, caseNumber))
            undrawn.push_back(caseNumber);
    if (undrawn.empty())
        return 0;
    return undrawn[static_cast<size_t>(random.Uniform(static_cast<int>(undrawn.size())))];
}

// ---- the chooser ------------------------------------------------------------------

int CaseDraw::Choose(CaseSet set, const std::vector<int>& enabled, const std::vector<Attempt>* history,
                     qint64 nowUtc, RandomSource& random)
{
    // A case handed out before and never kept was not attempted after all.
    PutBack(random);
    if (enabled.empty())
        return 0;
    if (rule == DrawRule::Round) {
        outstandingSet_ = set;
        outstanding_ = rounds_[SetIndex(set)].Next(enabled, random);
        return outstanding_;
    }
    if (rule == DrawRule::Weak && history) {
        Recent().CatchUp(*history);
        if (const auto weights = WeakWeights(Recent(), set, enabled, nowUtc))
            return enabled[static_cast<size_t>(WeightedIndex(*weights, random))];
    }
    return enabled[static_cast<size_t>(random.Uniform(static_cast<int>(enabled.size())))];
}

bool CaseDraw::Adopt(CaseSet set, int caseNumber, const std::vector<int>& enabled, RandomSource& random)
{
    PutBack(random);
    if (!rounds_[SetIndex(set)].Take(caseNumber, enabled, random))
        return false;
    outstandingSet_ = set;
    outstanding_ = caseNumber;
    return true;
}

void CaseDraw::PutBack(RandomSource& random)
{
    if (outstanding_ > 0)
        rounds_[SetIndex(outstandingSet_)].PutBack(outstanding_, random);
    outstanding_ = 0;
}

QHash<int, double> CaseDraw::Shares(CaseSet set, const std::vector<int>& enabled,
                                    const std::vector<Attempt>& history, qint64 nowUtc)
{
    Recent().CatchUp(history);
    return WeakShares(Recent(), set, enabled, nowUtc);
}
