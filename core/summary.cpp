#include "core/summary.h"

#include "core/timetext.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Times on the board carry three decimals. Their thousandths are whole
// numbers, so a level can be rounded on the decimal values themselves and a
// tie such as 12.5 is a tie, not 12.499999 of binary noise.
constexpr double kLargestExactTime = 1e9;

std::optional<qint64> ExactThousandths(double value)
{
    if (!std::isfinite(value) || std::fabs(value) > kLargestExactTime)
        return std::nullopt;
    const double scaled = value * 1000.0;
    const double whole = std::nearbyint(scaled);
    if (std::fabs(scaled - whole) > 1e-6)
        return std::nullopt;
    return static_cast<qint64>(whole);
}

// numerator / denominator to the nearest integer, halves to the even
// neighbour; both positive.
qint64 DivideHalfEven(qint64 numerator, qint64 denominator)
{
    const qint64 quotient = numerator / denominator;
    const qint64 twiceRemainder = 2 * (numerator % denominator);
    if (twiceRemainder > denominator || (twiceRemainder == denominator && quotient % 2 != 0))
        return quotient + 1;
    return quotient;
}

int RawLevel(double value, double maxValue)
{
    const std::optional<qint64> valueThousandths = ExactThousandths(value);
    const std::optional<qint64> maxThousandths = ExactThousandths(maxValue);
    if (valueThousandths && maxThousandths && *maxThousandths > 0 && *valueThousandths >= 0)
        return static_cast<int>(std::min<qint64>(DivideHalfEven(*valueThousandths * 100, *maxThousandths), 100));
    return static_cast<int>(std::clamp(std::nearbyint(value * 100.0 / maxValue), 0.0, 100.0));
}

// Summing counts saturates rather than wrapping into a negative total.
qint32 AddCount(qint32 total, int count)
{
    const qint64 sum = static_cast<qint64>(total) + count;
    return static_cast<qint32>(std::clamp<qint64>(sum, std::numeric_limits<qint32>::min(),
                                                  std::numeric_limits<qint32>::max()));
}

QString TimeOrZero(double value, bool none) { return none ? ZeroTimeText() : MakeTimeText(value); }

QString TwoDigits(qint64 value) { return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0')); }

} // namespace

BoardSummary ComputeSummary(const QVector<CaseRecord>& records)
{
    BoardSummary summary;
    long double total = 0;
    for (const CaseRecord& record : records) {
        const double average = record.Average().value_or(0);
        const double best = record.Best().value_or(0);
        const int count = record.Count().value_or(0);
        summary.attemptCount = AddCount(summary.attemptCount, count);
        if (average > summary.maxAverage)
            summary.maxAverage = average;
        if (average < summary.minAverage && average != 0)
            summary.minAverage = average;
        if (best < summary.bestTime && best != 0)
            summary.bestTime = best;
        total += static_cast<long double>(average) * count;
        summary.totalSeconds = static_cast<double>(total);
    }
    return summary;
}

BoardSummary ComputeSummary(const QVector<CaseTimes>& cases)
{
    QVector<CaseRecord> records;
    records.reserve(cases.size());
    for (const CaseTimes& times : cases)
        records.append(CaseRecord::FromTexts(times.average, times.best, times.count));
    return ComputeSummary(records);
}

int BarLevel(double value, double maxValue)
{
    if (value == 0 || !(maxValue > 0) || !std::isfinite(value) || !std::isfinite(maxValue))
        return 0;
    return std::max(RawLevel(value, maxValue), 10);
}

int LitSegments(int level) { return std::clamp(level, 0, 100) * 10 / 100; }

QString TotalTimeText(double totalSeconds)
{
    // Beyond a few hundred years of practice the hours field would overflow.
    constexpr double kLargestTotal = 1e15;
    const double rounded = std::isfinite(totalSeconds) ? std::nearbyint(std::clamp(totalSeconds, 0.0, kLargestTotal)) : 0;
    const auto seconds = static_cast<qint64>(rounded);
    const qint64 minutes = seconds / 60;
    const qint64 hours = minutes / 60;
    return TwoDigits(hours) + u':' + TwoDigits(minutes - 60 * hours) + u':' + TwoDigits(seconds - 60 * minutes);
}

QStringList StatusTexts(const BoardSummary& summary, bool russian)
{
    const auto pick = [russian](const char* ru, const char* en) {
        return russian ? QString::fromUtf8(ru) : QString::fromUtf8(en);
    };
    return {
        pick("Абс. рекорд:  ", "Global best:  ") + TimeOrZero(summary.bestTime, summary.bestTime >= 1000),
        pick("Мин. среднее:  ", "Min avg:  ") + TimeOrZero(summary.minAverage, summary.minAverage >= 1000),
        pick("Макс. среднее:  ", "Max avg:  ") + TimeOrZero(summary.maxAverage, summary.maxAverage == 0),
        pick("Общее время:  ", "Total time:  ") + TotalTimeText(summary.totalSeconds) + QStringLiteral("     "),
        pick("Попыток:  ", "Attempts:  ") + QString::number(summary.attemptCount),
    };
}

QString UnwrittenTimesText(int count, bool russian)
{
    if (count <= 0)
        return {};
    if (russian)
        return QStringLiteral("Не записано в History.csv: %1").arg(count);
    return count == 1 ? QStringLiteral("1 time not yet written to History.csv")
                      : QStringLiteral("%1 times not yet written to History.csv").arg(count);
}
