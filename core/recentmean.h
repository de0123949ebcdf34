#pragma once
// "The mean of the last 12 times" of a case: what the weak draw weighs a
// case by and what the Progress window ranks the cases by. No widgets.

#include <QtGlobal>

#include <span>

// How many of a case's latest times its recent mean takes.
inline constexpr int kRecentTimes = 12;

// The exact sum of the times (in 64 bits: twelve times near the int limit
// must not overflow) and how many there are; each user rounds the quotient
// its own way.
struct RecentSum {
    qint64 sum = 0;
    int count = 0;
    double MeanMs() const { return count == 0 ? 0.0 : double(sum) / count; }
};

// Of a case's last times (at most kRecentTimes of them, in any order).
RecentSum SumOfRecent(std::span<const int> lastTimes);
