#include "history/historyreader.h"

#include <QDate>
#include <array>
#include <cstring>

namespace {

constexpr qint64 kUnixEpochJulianDay = 2440588;
// No line the program writes comes near this: a longer one is damaged and is
// passed over without being held.
constexpr qsizetype kLongestLine = 64 * 1024;

// Splits at the commas; false when the count differs or a quote appears.
template <size_t N> bool SplitPlain(const char* begin, const char* end, std::array<std::pair<const char*, const char*>, N>& fields)
{
    size_t count = 0;
    const char* start = begin;
    for (const char* c = begin; c <= end; ++c) {
        if (c < end && *c == '"')
            return false;
        if (c == end || *c == ',') {
            if (count == N)
                return false;
            fields[count++] = {start, c};
            start = c + 1;
        }
    }
    return count == N;
}

bool Digits(const char* from, size_t count, int& value)
{
    value = 0;
    for (size_t i = 0; i < count; ++i) {
        if (from[i] < '0' || from[i] > '9')
            return false;
        value = value * 10 + (from[i] - '0');
    }
    return true;
}

bool Is(const std::pair<const char*, const char*>& field, const char* text)
{
    const size_t length = std::strlen(text);
    return static_cast<size_t>(field.second - field.first) == length && std::memcmp(field.first, text, length) == 0;
}

// "2026-12-09T11:32:05Z"; the lines of one day share the date, and its
// day number is worked out once.
bool UtcSeconds(const char* t, size_t length, qint64& seconds, HistoryReader::DayCache& day)
{
    int hour, minute, second;
    if (length != 20 || t[4] != '-' || t[7] != '-' || t[10] != 'T' || t[13] != ':' || t[16] != ':' || t[19] != 'Z'
        || !Digits(t + 11, 2, hour) || !Digits(t + 14, 2, minute) || !Digits(t + 17, 2, second) || hour > 23
        || minute > 59 || second > 59)
        return false;
    if (std::memcmp(day.date, t, sizeof day.date) != 0) {
        int year, month, dayOfMonth;
        if (!Digits(t, 4, year) || !Digits(t + 5, 2, month) || !Digits(t + 8, 2, dayOfMonth))
            return false;
        const QDate date(year, month, dayOfMonth);
        if (!date.isValid())
            return false;
        std::memcpy(day.date, t, sizeof day.date);
        day.number = date.toJulianDay() - kUnixEpochJulianDay;
    }
    seconds = day.number * 86400 + hour * 3600 + minute * 60 + second;
    return true;
}

// "1.470": whole seconds below a day and exactly three decimals.
bool Milliseconds(const char* t, size_t length, qint32& milliseconds)
{
    int whole, thousandths;
    if (length < 5 || length > 9 || t[length - 4] != '.' || !Digits(t, length - 4, whole) || whole >= 86400
        || !Digits(t + length - 3, 3, thousandths))
        return false;
    milliseconds = whole * 1000 + thousandths;
    return true;
}

bool IsBlank(const char* begin, const char* end)
{
    for (const char* c = begin; c < end; ++c)
        if (*c != ' ' && (*c < '\t' || *c > '\r'))
            return false;
    return true;
}

} // namespace

bool HistoryReader::ReadWrittenLine(const char* begin, const char* end, Attempt& attempt)
{
    std::array<std::pair<const char*, const char*>, 7> f;
    if (!SplitPlain(begin, end, f))
        return false;
    Attempt a;
    int caseNumber = 0;
    const size_t caseDigits = static_cast<size_t>(f[2].second - f[2].first);
    if (!UtcSeconds(f[0].first, static_cast<size_t>(f[0].second - f[0].first), a.utcSeconds, day_)
        || !(Is(f[1], "OLL") || Is(f[1], "PLL")) || caseDigits < 1 || caseDigits > 2
        || !Digits(f[2].first, caseDigits, caseNumber) || !(Is(f[3], "Easy") || Is(f[3], "Hard"))
        || !(Is(f[4], "top") || Is(f[4], "2-side"))
        || !Milliseconds(f[5].first, static_cast<size_t>(f[5].second - f[5].first), a.milliseconds)
        || !(Is(f[6], "0") || Is(f[6], "1")))
        return false;
    a.set = Is(f[1], "OLL") ? CaseSet::OLL : CaseSet::PLL;
    if (caseNumber < 1 || caseNumber > CaseCount(a.set))
        return false;
    a.caseNumber = caseNumber;
    a.level = Is(f[3], "Hard") ? Level::Hard : Level::Easy;
    a.twoSide = Is(f[4], "2-side");
    a.exam = Is(f[6], "1");
    if (a.twoSide && (a.set != CaseSet::PLL || a.level != Level::Hard))
        return false;
    attempt = a;
    return true;
}

void HistoryReader::Feed(const char* data, size_t size)
{
    const char* end = data + size;
    const char* start = data;
    while (start < end) {
        const char* lineEnd = static_cast<const char*>(std::memchr(start, '\n', static_cast<size_t>(end - start)));
        if (!lineEnd) {
            Keep(start, end);
            return;
        }
        if (overlong_) {
            overlong_ = false;
            ++content_.skippedLines;
        } else if (unfinished_.isEmpty()) {
            ReadLine(start, lineEnd);
        } else {
            unfinished_.append(start, lineEnd - start);
            ReadLine(unfinished_.constData(), unfinished_.constData() + unfinished_.size());
            unfinished_.clear();
        }
        start = lineEnd + 1;
    }
}

void HistoryReader::Keep(const char* begin, const char* end)
{
    if (overlong_ || unfinished_.size() + (end - begin) > kLongestLine) {
        overlong_ = true;
        unfinished_.clear();
        return;
    }
    unfinished_.append(begin, end - begin);
}

HistoryContent HistoryReader::Finish()
{
    if (overlong_)
        ++content_.skippedLines;
    overlong_ = false;
    if (!unfinished_.isEmpty())
        ReadLine(unfinished_.constData(), unfinished_.constData() + unfinished_.size());
    unfinished_.clear();
    return std::move(content_);
}

void HistoryReader::ReadLine(const char* begin, const char* end)
{
    if (end > begin && end[-1] == '\r')
        --end;
    Attempt attempt;
    if (ReadWrittenLine(begin, end, attempt)) {
        content_.attempts.push_back(attempt);
        return;
    }
    const QByteArray line(begin, end - begin);
    if (line == HistoryHeader() || line == HistoryHeaderWithoutScramble() || IsBlank(begin, end))
        return;
    if (ParseAttempt(line, attempt))
        content_.attempts.push_back(attempt);
    else
        ++content_.skippedLines;
}
