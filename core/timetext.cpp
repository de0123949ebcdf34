#include "core/timetext.h"

#include "core/errors.h"
#include "core/integertext.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace {

// Anything beyond this is not a time or a count the trainer could have
// written; reading it would only feed overflowing arithmetic.
constexpr double kLargestReadableNumber = 1e12;

// Beyond this the ten-thousandths no longer fit a 64-bit integer.
constexpr long double kLargestExactSeconds = 9e14L;

QString ThousandthsText(qint64 thousandths)
{
    const bool negative = thousandths < 0;
    const qint64 magnitude = negative ? -thousandths : thousandths;
    return QStringLiteral("%1%2,%3")
        .arg(negative ? QStringLiteral("-") : QString())
        .arg(magnitude / 1000)
        .arg(magnitude % 1000, 3, 10, QLatin1Char('0'));
}

// Step 1: nearest ten-thousandth, ties to the even neighbour, in extended
// precision (the default rounding mode of nearbyintl).
qint64 TenThousandths(long double seconds)
{
    return static_cast<qint64>(std::nearbyintl(seconds * 10000.0L));
}

// Step 2: three decimals, the fourth decimal deciding half up (away from zero).
qint64 ThousandthsHalfUp(qint64 tenThousandths)
{
    const qint64 magnitude = (std::llabs(tenThousandths) + 5) / 10;
    return tenThousandths < 0 ? -magnitude : magnitude;
}

// Sign, digits, an optional comma with digits; at least one digit.
bool IsDecimalText(const QString& text)
{
    int index = 0;
    if (index < text.size() && (text[index] == u'+' || text[index] == u'-'))
        ++index;
    int digits = 0;
    bool comma = false;
    for (; index < text.size(); ++index) {
        const QChar c = text[index];
        if (c >= u'0' && c <= u'9')
            ++digits;
        else if (c == u',' && !comma)
            comma = true;
        else
            return false;
    }
    return digits > 0;
}

std::optional<double> ReadDecimal(const QString& text)
{
    QByteArray ascii = text.toLatin1();
    ascii.replace(',', '.');
    const char* begin = ascii.constData();
    if (*begin == '+')
        ++begin;
    double value = 0;
    const auto [end, error] = std::from_chars(begin, ascii.constData() + ascii.size(), value);
    if (error != std::errc() || end != ascii.constData() + ascii.size())
        return std::nullopt;
    return value;
}

} // namespace

QString MakeTimeText(double seconds)
{
    if (!std::isfinite(seconds))
        return ZeroTimeText();
    if (std::fabs(static_cast<long double>(seconds)) > kLargestExactSeconds)
        return QString::number(seconds, 'f', 3).replace(u'.', u',');
    return ThousandthsText(ThousandthsHalfUp(TenThousandths(seconds)));
}

std::optional<double> RoundedTimeValue(double seconds)
{
    if (!std::isfinite(seconds))
        return 0.0;
    if (std::fabs(static_cast<long double>(seconds)) > kLargestExactSeconds)
        return std::nullopt;
    // An integer below 2^53 divided once: the nearest double to the decimal
    // text, which is what reading the text gives.
    const double value = static_cast<double>(ThousandthsHalfUp(TenThousandths(seconds))) / 1000.0;
    if (std::fabs(value) > kLargestReadableNumber)
        return std::nullopt;
    return value;
}

QString ZeroTimeText() { return QStringLiteral("0,000"); }

std::optional<double> ParseTimeText(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (!IsDecimalText(trimmed))
        return std::nullopt;
    const std::optional<double> value = ReadDecimal(trimmed);
    if (!value || !std::isfinite(*value) || std::fabs(*value) > kLargestReadableNumber)
        return std::nullopt;
    return value;
}

double ParseTimeTextOrThrow(const QString& text)
{
    if (const std::optional<double> value = ParseTimeText(text))
        return *value;
    throw TesseloError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
}

std::optional<int> ParseCount(const QString& text)
{
    int value = 0;
    if (!ParseProfileInteger(text.trimmed(), value))
        return std::nullopt;
    return value;
}

int ParseCountOrThrow(const QString& text)
{
    if (const std::optional<int> value = ParseCount(text))
        return *value;
    throw TesseloError(QStringLiteral("'%1' is not a valid integer value").arg(text));
}

QString StopwatchText(qint64 elapsedMs)
{
    return ThousandthsText(elapsedMs < 0 ? 0 : elapsedMs);
}
