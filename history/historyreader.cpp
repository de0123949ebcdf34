#include "history/historyreader.h"

#include <QDate>
#include <QStringDecoder>
#include <cstring>
#include <new>

namespace {

using Column = HistoryLineParser::Column;
using Field = HistoryLineParser::Field;

constexpr int kMaxSeconds = 24 * 3600;   // a day: no real solve is longer
constexpr qint64 kMaxMilliseconds = qint64(kMaxSeconds) * 1000;
constexpr size_t kLongestNumber = 12;
// No line the program writes comes near this: a longer one is damaged and is
// passed over without being held.
constexpr qsizetype kLongestLine = 64 * 1024;
constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";
constexpr size_t kByteOrderMarkSize = sizeof kByteOrderMark - 1;

constexpr const char* kColumnNames[] = {"time",    "set",  "case",  "level",  "recognition", "seconds",
                                        "exam",    "scramble", "mode", "split", "answer", "result"};
static_assert(std::size(kColumnNames) == HistoryLineParser::kTodaysColumns);
constexpr int kRequiredColumns = HistoryLineParser::kRequiredColumns;

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

template <size_t N> bool Is(const Field& field, const char (&text)[N])
{
    return field.size() == N - 1 && std::memcmp(field.begin, text, N - 1) == 0;
}

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
qint64 DaysFromCivil(qint64 year, unsigned month, unsigned day)
{
    year -= month <= 2;
    const qint64 era = (year >= 0 ? year : year - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<qint64>(dayOfEra) - 719468;
}

// "2026-12-09T11:32:05Z", read by hand: a general date parser is far slower.
bool ReadTime(const Field& field, qint64& utcSeconds, HistoryLineParser::DayCache& day)
{
    const char* t = field.begin;
    int hour, minute, second;
    if (field.size() != 20 || t[4] != '-' || t[7] != '-' || t[10] != 'T' || t[13] != ':' || t[16] != ':'
        || t[19] != 'Z' || !Digits(t + 11, 2, hour) || !Digits(t + 14, 2, minute) || !Digits(t + 17, 2, second)
        || hour > 23 || minute > 59 || second > 59)
        return false;
    if (std::memcmp(day.date, t, sizeof day.date) != 0) {
        int year, month, dayOfMonth;
        if (!Digits(t, 4, year) || !Digits(t + 5, 2, month) || !Digits(t + 8, 2, dayOfMonth)
            || !QDate::isValid(year, month, dayOfMonth))
            return false;
        std::memcpy(day.date, t, sizeof day.date);
        day.number = DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(dayOfMonth));
    }
    utcSeconds = day.number * 86400 + hour * 3600 + minute * 60 + second;
    return true;
}

// Digits only, at most a dozen (leading zeros allowed), up to limit.
bool ReadNumber(const char* begin, const char* end, qint64 limit, qint64& value)
{
    const auto size = static_cast<size_t>(end - begin);
    if (size == 0 || size > kLongestNumber)
        return false;
    value = 0;
    for (const char* c = begin; c < end; ++c) {
        if (*c < '0' || *c > '9')
            return false;
        value = value * 10 + (*c - '0');
    }
    return value <= limit;
}

// "1.470", "1.47", "12": whole seconds and up to three decimals, a day at most.
bool ReadSeconds(const Field& field, qint32& milliseconds)
{
    const auto* point = static_cast<const char*>(std::memchr(field.begin, '.', field.size()));
    const char* wholeEnd = point ? point : field.end;
    qint64 seconds = 0;
    if (!ReadNumber(field.begin, wholeEnd, kMaxSeconds, seconds))
        return false;
    int thousandths = 0;
    if (point) {
        const auto decimals = static_cast<size_t>(field.end - point - 1);
        if (decimals == 0 || decimals > 3 || !Digits(point + 1, decimals, thousandths))
            return false;
        for (size_t i = decimals; i < 3; ++i)
            thousandths *= 10;
    }
    // The bound holds for the whole time: 86400.999 is past it.
    if (seconds * 1000 + thousandths > kMaxMilliseconds)
        return false;
    milliseconds = static_cast<qint32>(seconds * 1000 + thousandths);
    return true;
}

template <size_t N, size_t M> bool ReadChoice(const Field& field, const char (&no)[N], const char (&yes)[M], bool& value)
{
    value = Is(field, yes);
    return value || Is(field, no);
}

bool IsBlank(const char* begin, const char* end)
{
    for (const char* c = begin; c < end; ++c)
        if (*c != ' ' && (*c < '\t' || *c > '\r'))
            return false;
    return true;
}

// An empty "mode" is a timed attempt: lines from before the column.
bool ReadMode(const Field& field, AttemptMode& mode)
{
    if (field.size() == 0 || Is(field, "time"))
        mode = AttemptMode::Time;
    else if (Is(field, "split"))
        mode = AttemptMode::Split;
    else if (Is(field, "name"))
        mode = AttemptMode::Name;
    else
        return false;
    return true;
}

bool ReadResult(const Field& field, AttemptResult& result)
{
    if (field.size() == 0)
        result = AttemptResult::None;
    else if (Is(field, "ok"))
        result = AttemptResult::Ok;
    else if (Is(field, "wrong"))
        result = AttemptResult::Wrong;
    else if (Is(field, "gave-up"))
        result = AttemptResult::GaveUp;
    else
        return false;
    return true;
}

// As FormatAttempt wrote it. A byte order mark that begins the field is
// text like any other (QString::fromUtf8 would drop it, and the line would
// not write back the same).
QString ScrambleText(const Field& field)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    const QString text = utf8(QByteArrayView(field.begin, static_cast<qsizetype>(field.size())));
    return text.simplified();
}

// A header's name of a column, read without regard to letter case or the
// blanks around it; Other for a name the program does not know.
Column ColumnNamed(const Field& field)
{
    QByteArrayView name(field.begin, static_cast<qsizetype>(field.size()));
    name = name.trimmed();
    for (int i = 0; i < HistoryLineParser::kTodaysColumns; ++i)
        if (name.compare(QByteArrayView(kColumnNames[i]), Qt::CaseInsensitive) == 0)
            return static_cast<Column>(i);
    return Column::Other;
}

// Splits at the commas where the line lies; false when a quote asks for
// unquoting, or when there are more fields than any header names.
template <size_t N> bool SplitInPlace(const char* begin, const char* end, std::array<Field, N>& fields, int& count)
{
    size_t found = 0;
    const char* start = begin;
    for (const char* c = begin; c < end; ++c) {
        if (*c == ',') {
            if (found == N - 1)
                return false;
            fields[found++] = {start, c};
            start = c + 1;
        } else if (*c == '"') {
            return false;
        }
    }
    fields[found++] = {start, end};
    count = static_cast<int>(found);
    return true;
}

} // namespace

HistoryLineParser::Layout HistoryLineParser::ProgramLayout()
{
    Layout layout;
    for (int i = 0; i < kTodaysColumns; ++i)
        layout.columns[static_cast<size_t>(i)] = static_cast<Column>(i);
    layout.leastFields = kRequiredColumns;
    layout.mostFields = kTodaysColumns;
    return layout;
}

HistoryLineParser::Line HistoryLineParser::Read(const char* begin, const char* end, Attempt& attempt, QString* scramble,
                                                AttemptDetail* detail)
{
    std::array<Field, kMostFields> fields;
    int count = 0;
    if (quickPath_ && SplitInPlace(begin, end, fields, count))
        return ReadFields(fields.data(), count, begin, end, attempt, scramble, detail);
    // Quoted fields (a spreadsheet's way), or too many to be a line of ours.
    std::vector<QByteArray> unquoted;
    if (!SplitCsvLine(QByteArray(begin, end - begin), unquoted) || unquoted.size() > fields.size())
        return Line::Damaged;
    count = static_cast<int>(unquoted.size());
    for (size_t i = 0; i < unquoted.size(); ++i)
        fields[i] = {unquoted[i].constData(), unquoted[i].constData() + unquoted[i].size()};
    return ReadFields(fields.data(), count, begin, end, attempt, scramble, detail);
}

HistoryLineParser::Line HistoryLineParser::ReadFields(const Field* fields, int count, const char* begin,
                                                      const char* end, Attempt& attempt, QString* scramble,
                                                      AttemptDetail* detail)
{
    if (ReadAttempt(fields, count, attempt, scramble, detail))
        return Line::Attempt;
    if (IsBlank(begin, end))
        return Line::Blank;
    return ReadHeader(fields, count) ? Line::Header : Line::Damaged;
}

bool HistoryLineParser::ReadAttempt(const Field* fields, int count, Attempt& attempt, QString* scramble,
                                    AttemptDetail* detail)
{
    if (count < layout_.leastFields || count > layout_.mostFields)
        return false;
    static constexpr Field kMissing{nullptr, nullptr};   // an optional column the line stops before
    std::array<const Field*, kTodaysColumns> at;
    at.fill(&kMissing);
    for (int i = 0; i < count; ++i) {
        const auto column = static_cast<size_t>(layout_.columns[static_cast<size_t>(i)]);
        if (column < at.size())
            at[column] = &fields[i];
    }
    const auto field = [&at](Column column) -> const Field& { return *at[static_cast<size_t>(column)]; };
    Attempt a;
    bool pll = false, hard = false, twoSide = false, exam = false;   // the record's fields are packed bits
    qint64 caseNumber = 0;
    AttemptMode mode = AttemptMode::Time;
    AttemptResult result = AttemptResult::None;
    qint32 split = -1;
    if (!ReadTime(field(Column::Time), a.utcSeconds, day_) || !ReadChoice(field(Column::Set), "OLL", "PLL", pll)
        || !ReadNumber(field(Column::Case).begin, field(Column::Case).end, CaseCount(pll ? CaseSet::PLL : CaseSet::OLL),
                       caseNumber)
        || caseNumber < 1 || !ReadChoice(field(Column::Level), "Easy", "Hard", hard)
        || !ReadChoice(field(Column::Recognition), "top", "2-side", twoSide)
        || !ReadChoice(field(Column::Exam), "0", "1", exam) || !ReadMode(field(Column::Mode), mode)
        || !ReadResult(field(Column::Result), result)
        || (field(Column::Split).size() != 0 && !ReadSeconds(field(Column::Split), split)))
        return false;
    // Two-face recognition exists only for PLL at the Hard level.
    if (twoSide && (!pll || !hard))
        return false;
    const Field& answer = field(Column::Answer);
    bool timed = true;   // a drill's miss and give-up have no time
    switch (mode) {
    case AttemptMode::Time:
        if (split >= 0 || answer.size() != 0 || result != AttemptResult::None)
            return false;
        break;
    case AttemptMode::Split:
        if (split < 0 || answer.size() != 0 || result != AttemptResult::None)
            return false;
        break;
    case AttemptMode::Name:
        if (result == AttemptResult::None || exam)
            return false;
        timed = result == AttemptResult::Ok;
        break;
    }
    if (timed ? !ReadSeconds(field(Column::Seconds), a.milliseconds) : field(Column::Seconds).size() != 0)
        return false;
    if (mode == AttemptMode::Split && split > a.milliseconds)
        return false;   // the mark comes within the time
    a.set = pll ? CaseSet::PLL : CaseSet::OLL;
    a.caseNumber = static_cast<int>(caseNumber);
    a.level = hard ? Level::Hard : Level::Easy;
    a.twoSide = twoSide;
    a.exam = exam;
    a.mode = mode;
    attempt = a;
    if (scramble)
        *scramble = field(Column::Scramble).size() != 0 ? ScrambleText(field(Column::Scramble)) : QString();
    if (detail) {
        detail->splitMilliseconds = split;
        detail->answer = answer.size() != 0 ? ScrambleText(answer) : QString();
        detail->result = result;
    }
    return true;
}

// Every column the program needs, each named once; other names are kept as
// columns to pass over.
bool HistoryLineParser::ReadHeader(const Field* fields, int count)
{
    if (count > kMostColumns)
        return false;
    Layout layout;
    unsigned seen = 0;
    for (int i = 0; i < count; ++i) {
        const Column column = ColumnNamed(fields[i]);
        const unsigned bit = 1u << static_cast<unsigned>(column);
        if (column != Column::Other && (seen & bit))
            return false;
        seen |= bit;
        layout.columns[static_cast<size_t>(i)] = column;
        if (static_cast<int>(column) < kRequiredColumns)
            layout.leastFields = i + 1;
    }
    constexpr unsigned kRequired = (1u << kRequiredColumns) - 1;
    if ((seen & kRequired) != kRequired)
        return false;
    // The program appends today's lines under an older header: their fields
    // beyond it are today's columns it does not name.
    layout.mostFields = count;
    for (int column = kRequiredColumns; column < kTodaysColumns; ++column)
        if (!(seen & (1u << column)))
            layout.columns[static_cast<size_t>(layout.mostFields++)] = static_cast<Column>(column);
    layout_ = layout;
    return true;
}

void HistoryReader::Reserve(size_t attempts)
{
    try {
        content_.attempts.reserve(std::min(attempts, kMostReserved));
    } catch (const std::bad_alloc&) {
        // Only a hint: the vector then grows as lines come.
    }
}

void HistoryReader::Feed(const char* data, size_t size)
{
    const char* end = data + size;
    const char* start = data;
    while (start < end) {
        const char* lineEnd = static_cast<const char*>(std::memchr(start, '\n', static_cast<size_t>(end - start)));
        if (!lineEnd) {
            bytesWithoutLineEnd_ += end - start;
            Keep(start, end);
            return;
        }
        bytesWithoutLineEnd_ = 0;
        if (overlong_) {
            overlong_ = false;
            atFileStart_ = false;
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
    if (overlong_) {
        ++content_.skippedLines;
    } else if (unfinished_.endsWith('\r')) {
        ReadLine(unfinished_.constData(), unfinished_.constData() + unfinished_.size());
    } else if (!unfinished_.isEmpty()) {
        // Torn off: even a line that reads may have lost the end of its scramble or time.
        QByteArray line = std::move(unfinished_);
        if (atFileStart_ && line.startsWith(kByteOrderMark))
            line.remove(0, kByteOrderMarkSize);
        Attempt attempt;
        const HistoryLineParser::Line kind = parser_.Read(line.constBegin(), line.constEnd(), attempt);
        if (kind == HistoryLineParser::Line::Attempt || kind == HistoryLineParser::Line::Damaged)
            ++content_.skippedLines;
    }
    overlong_ = false;
    unfinished_.clear();
    return std::move(content_);
}

void HistoryReader::ReadLine(const char* begin, const char* end)
{
    if (atFileStart_) {
        atFileStart_ = false;
        if (static_cast<size_t>(end - begin) >= kByteOrderMarkSize
            && std::memcmp(begin, kByteOrderMark, kByteOrderMarkSize) == 0)
            begin += kByteOrderMarkSize;
    }
    if (end > begin && end[-1] == '\r')
        --end;
    Attempt attempt;
    AttemptDetail detail;
    switch (parser_.Read(begin, end, attempt, nullptr, &detail)) {
    case HistoryLineParser::Line::Attempt:
        Keep(attempt, std::move(detail));
        break;
    case HistoryLineParser::Line::Damaged:
        ++content_.skippedLines;
        break;
    case HistoryLineParser::Line::Header:
    case HistoryLineParser::Line::Blank:
        break;
    }
}

// The drill's lines stay out of the attempts, whose tiles and statistics
// take in timed solves only; a split goes to the side table.
void HistoryReader::Keep(const Attempt& attempt, AttemptDetail&& detail)
{
    if (attempt.mode == AttemptMode::Name) {
        content_.drill.push_back({attempt, std::move(detail)});
        return;
    }
    if (attempt.mode == AttemptMode::Split)
        content_.splits.push_back({content_.attempts.size(), detail.splitMilliseconds});
    content_.attempts.push_back(attempt);
}

bool ParseAttempt(const QByteArray& line, Attempt& attempt, QString* scramble, AttemptDetail* detail)
{
    HistoryLineParser parser;
    return parser.Read(line.constBegin(), line.constEnd(), attempt, scramble, detail)
           == HistoryLineParser::Line::Attempt;
}

HistoryContent ParseHistory(const QByteArray& content)
{
    HistoryReader reader;
    reader.Feed(content.constData(), static_cast<size_t>(content.size()));
    return reader.Finish();
}
