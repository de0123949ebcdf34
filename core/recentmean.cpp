#include "core/recentmean.h"

#include <numeric>

RecentSum SumOfRecent(std::span<const int> lastTimes)
{
    Q_ASSERT(lastTimes.size() <= size_t(kRecentTimes));
    return {std::accumulate(lastTimes.begin(), lastTimes.end(), qint64{0}), static_cast<int>(lastTimes.size())};
}
