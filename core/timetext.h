#pragma once
// The text form of a time: whole seconds, a comma, exactly three decimals
// ("15,429"). The comma is fixed whatever the locale.

#include <QString>
#include <optional>

// Two-step rounding: to 4 decimals (ties to even, extended precision), then
// to 3 decimals (half up). 2.00049 -> "2,001", 15.4295 -> "15,430".
QString MakeTimeText(double seconds);

// What MakeTimeText(seconds) reads back as, without the text: the time in
// thousandths; none when that text would not read (beyond 10^12 s).
std::optional<double> RoundedTimeValue(double seconds);

// "0,000": an empty average or best.
QString ZeroTimeText();

// Reads "4,546", "12", " 7,0 " ... (comma as the decimal separator, blanks
// around ignored). Empty, malformed, non-finite or absurdly large texts give
// no value.
std::optional<double> ParseTimeText(const QString& text);

// As ParseTimeText, but a text that does not read throws TesseloError with
// "'<text>' is not a valid floating point value".
double ParseTimeTextOrThrow(const QString& text);

// A count ("18"): throws TesseloError "'<text>' is not a valid integer value".
int ParseCountOrThrow(const QString& text);
std::optional<int> ParseCount(const QString& text);

// The stopwatch's reading of e milliseconds: "0,045", "9,500", "59,000".
QString StopwatchText(qint64 elapsedMs);
