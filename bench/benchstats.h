#pragma once
// Order statistics and the table rows the benchmarks print.

#include <QString>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

inline double Quantile(std::vector<double> values, double q)
{
    if (values.empty())
        return NAN;
    std::sort(values.begin(), values.end());
    const double position = q * double(values.size() - 1);
    const auto below = static_cast<size_t>(std::floor(position));
    const size_t above = std::min(below + 1, values.size() - 1);
    return values[below] + (values[above] - values[below]) * (position - double(below));
}

inline double Median(const std::vector<double>& values) { return Quantile(values, 0.5); }

inline double Largest(const std::vector<double>& values)
{
    return values.empty() ? NAN : *std::max_element(values.begin(), values.end());
}

inline double Smallest(const std::vector<double>& values)
{
    return values.empty() ? NAN : *std::min_element(values.begin(), values.end());
}

// One row of the README's table: | what | measured | target | verdict |
inline void PrintRow(const QString& what, const QString& measured, const QString& target, bool met)
{
    std::printf("| %s | %s | %s | %s |\n", qPrintable(what), qPrintable(measured), qPrintable(target),
                met ? "met" : "**missed**");
    std::fflush(stdout);
}

inline QString Fixed(double value, int decimals) { return QString::number(value, 'f', decimals); }
