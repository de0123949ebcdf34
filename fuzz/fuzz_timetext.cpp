// Time and count texts as a user or a damaged Settings.ini may hold them:
// reading never crashes, and a value that reads comes back out the same way
// it went in.
#include "fuzz_check.h"
#include "core/errors.h"
#include "core/timetext.h"

#include <QRegularExpression>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

bool HasTimeTextForm(const QString& text)
{
    // Anchored as a whole: "$" alone would also match before a final line end.
    static const QRegularExpression form(QRegularExpression::anchoredPattern(QStringLiteral("-?[0-9]+,[0-9]{3}")));
    return form.match(text).hasMatch();
}

// "12,345", "0,000", "-1,500": what MakeTimeText itself would have written.
bool IsCanonicalTimeText(const QString& text)
{
    if (!HasTimeTextForm(text) || text == QLatin1String("-0,000"))
        return false;
    const qsizetype digitsStart = text.startsWith(u'-') ? 1 : 0;
    const qsizetype comma = text.indexOf(u',');
    const bool leadingZero = comma - digitsStart > 1 && text[digitsStart] == u'0';
    return !leadingZero && comma - digitsStart <= 9;   // stays well inside double precision
}

void CheckThrowingTwin(const QString& text, const std::optional<double>& value)
{
    try {
        const double thrown = ParseTimeTextOrThrow(text);
        FuzzCheck(value && thrown == *value, "ParseTimeTextOrThrow agrees with ParseTimeText", text);
    } catch (const TesseloError& error) {
        FuzzCheck(!value, "ParseTimeTextOrThrow throws only when ParseTimeText fails", text);
        FuzzCheck(error.text() == QStringLiteral("'%1' is not a valid floating point value").arg(text),
                  "the floating point error quotes the text", error.text());
    }
}

void CheckTimeRoundTrip(const QString& text)
{
    const std::optional<double> value = ParseTimeText(text);
    CheckThrowingTwin(text, value);
    if (!value) {
        FuzzCheck(!IsCanonicalTimeText(text), "a canonical time text reads", text);
        return;
    }
    FuzzCheck(std::isfinite(*value), "a parsed time is finite", text);
    const QString written = MakeTimeText(*value);
    FuzzCheck(HasTimeTextForm(written), "MakeTimeText writes digits, a comma and three decimals",
              text + QStringLiteral(" -> ") + written);
    const std::optional<double> reread = ParseTimeText(written);
    FuzzCheck(reread.has_value(), "what MakeTimeText writes reads back", written);
    const double ulp = std::nextafter(std::fabs(*value), INFINITY) - std::fabs(*value);
    // Two roundings: to the ten-thousandth, then to the thousandth.
    const double tolerance = 0.00055 + 4 * ulp;
    FuzzCheck(std::fabs(*reread - *value) <= tolerance, "the written time is within the two roundings of the value",
              text + QStringLiteral(" -> ") + written);
    FuzzCheck(MakeTimeText(*reread) == written, "writing a written time changes nothing", written);
    if (IsCanonicalTimeText(text))
        FuzzCheck(written == text, "a canonical time text reads and writes back unchanged",
                  text + QStringLiteral(" -> ") + written);
}

void CheckCountRoundTrip(const QString& text)
{
    const std::optional<int> count = ParseCount(text);
    try {
        const int thrown = ParseCountOrThrow(text);
        FuzzCheck(count && thrown == *count, "ParseCountOrThrow agrees with ParseCount", text);
    } catch (const TesseloError& error) {
        FuzzCheck(!count, "ParseCountOrThrow throws only when ParseCount fails", text);
        FuzzCheck(error.text() == QStringLiteral("'%1' is not a valid integer value").arg(text),
                  "the integer error quotes the text", error.text());
    }
    if (count)
        FuzzCheck(ParseCount(QString::number(*count)) == count, "a count reads back as itself", text);
}

void CheckStopwatchReading(const uint8_t* data, size_t size)
{
    if (size < sizeof(std::int64_t))
        return;
    std::int64_t elapsed = 0;
    std::memcpy(&elapsed, data, sizeof elapsed);
    elapsed %= 1000000000000LL;   // up to some 31 years
    const QString reading = StopwatchText(elapsed);
    FuzzCheck(HasTimeTextForm(reading) && !reading.startsWith(u'-'), "a stopwatch reading is a plain time", reading);
    FuzzCheck(MakeTimeText(ParseTimeText(reading).value_or(-1)) == reading,
              "a stopwatch reading is kept exactly when accepted", reading);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (const QString& text : {QString::fromUtf8(bytes), QString::fromLatin1(bytes)}) {
        CheckTimeRoundTrip(text);
        CheckCountRoundTrip(text);
    }
    CheckStopwatchReading(data, size);
    return 0;
}
