#include "history/historyfile.h"

#include <QDateTime>

namespace {

constexpr size_t kFieldsWithoutScramble = 7;
constexpr size_t kFieldsWithScramble = 8;
constexpr qint64 kMaxMilliseconds = 24LL * 3600 * 1000;   // a day: no real solve is longer

QByteArray TimeField(qint64 utcSeconds)
{
    return QDateTime::fromSecsSinceEpoch(utcSeconds, Qt::UTC)
        .toString(QStringLiteral("yyyy-MM-ddTHH:mm:ssZ"))
        .toLatin1();
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

bool DigitsAt(const QByteArray& text, qsizetype from, qsizetype count, int& value)
{
    value = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

// "2026-12-09T11:32:05Z", read by hand: a file of ten thousand lines must
// open at once, and a general date parser is far slower.
bool ReadTimeField(const QByteArray& text, qint64& utcSeconds)
{
    if (text.size() != 20 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':'
        || text[16] != ':' || text[19] != 'Z')
        return false;
    int year, month, day, hour, minute, second;
    if (!DigitsAt(text, 0, 4, year) || !DigitsAt(text, 5, 2, month) || !DigitsAt(text, 8, 2, day)
        || !DigitsAt(text, 11, 2, hour) || !DigitsAt(text, 14, 2, minute) || !DigitsAt(text, 17, 2, second))
        return false;
    if (!QDate::isValid(year, month, day) || hour > 23 || minute > 59 || second > 59)
        return false;
    utcSeconds = DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) * 86400
                 + hour * 3600 + minute * 60 + second;
    return true;
}

bool ReadDigits(const QByteArray& text, qint64 limit, qint64& value)
{
    if (text.isEmpty() || text.size() > 12)
        return false;
    value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    return value <= limit;
}

// "1.470", "1.47", "12": whole seconds and up to three decimals.
bool ReadSecondsField(const QByteArray& text, int& milliseconds)
{
    const qsizetype point = text.indexOf('.');
    const QByteArray whole = point < 0 ? text : text.left(point);
    QByteArray decimals = point < 0 ? QByteArray() : text.mid(point + 1);
    if (point >= 0 && (decimals.isEmpty() || decimals.size() > 3))
        return false;
    qint64 seconds = 0;
    qint64 thousandths = 0;
    if (!ReadDigits(whole, kMaxMilliseconds / 1000, seconds))
        return false;
    if (!decimals.isEmpty() && !ReadDigits(decimals.leftJustified(3, '0'), 999, thousandths))
        return false;
    // The bound holds for the whole time: 86400.999 is past it.
    if (seconds * 1000 + thousandths > kMaxMilliseconds)
        return false;
    milliseconds = static_cast<int>(seconds * 1000 + thousandths);
    return true;
}

bool ReadSetField(const QByteArray& text, CaseSet& set)
{
    if (text == "OLL")
        set = CaseSet::OLL;
    else if (text == "PLL")
        set = CaseSet::PLL;
    else
        return false;
    return true;
}

bool ReadChoice(const QByteArray& text, const char* no, const char* yes, bool& value)
{
    value = text == yes;
    return value || text == no;
}

bool IsBlank(const QByteArray& line) { return line.trimmed().isEmpty(); }

} // namespace

QByteArray HistoryHeader() { return HistoryHeaderWithoutScramble() + ",scramble"; }

QByteArray HistoryHeaderWithoutScramble() { return QByteArrayLiteral("time,set,case,level,recognition,seconds,exam"); }

QByteArray CsvField(const QByteArray& text)
{
    if (!text.contains(',') && !text.contains('"') && !text.contains('\r') && !text.contains('\n'))
        return text;
    QByteArray quoted = text;
    quoted.replace("\"", "\"\"");
    return '"' + quoted + '"';
}

bool SplitCsvLine(const QByteArray& line, std::vector<QByteArray>& fields)
{
    fields.clear();
    QByteArray field;
    bool quoted = false;
    bool wasQuoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c != '"')
                field += c;
            else if (i + 1 < line.size() && line[i + 1] == '"')
                field += line[++i];
            else
                quoted = false;
        } else if (c == ',') {
            fields.push_back(field);
            field.clear();
            wasQuoted = false;
        } else if (c == '"' && field.isEmpty() && !wasQuoted) {
            quoted = wasQuoted = true;
        } else if (wasQuoted) {
            return false;   // text after a closing quote
        } else {
            field += c;
        }
    }
    fields.push_back(field);
    return !quoted;
}

QString SecondsText(int milliseconds)
{
    return QStringLiteral("%1.%2").arg(milliseconds / 1000).arg(milliseconds % 1000, 3, 10, QLatin1Char('0'));
}

QByteArray FormatAttempt(const Attempt& a, const QString& scramble)
{
    const bool twoSide = a.twoSide && a.set == CaseSet::PLL && a.level == Level::Hard;
    const QList<QByteArray> fields = {TimeField(a.utcSeconds),
                                      SetName(a.set).toLatin1(),
                                      QByteArray::number(a.caseNumber),
                                      a.level == Level::Hard ? "Hard" : "Easy",
                                      twoSide ? "2-side" : "top",
                                      SecondsText(a.milliseconds).toLatin1(),
                                      a.exam ? "1" : "0",
                                      scramble.simplified().toUtf8()};
    QByteArray line;
    for (const QByteArray& field : fields)
        line += (line.isEmpty() ? "" : ",") + CsvField(field);
    return line;
}

bool ParseAttempt(const QByteArray& line, Attempt& attempt, QString* scramble)
{
    std::vector<QByteArray> f;
    if (!SplitCsvLine(line, f) || (f.size() != kFieldsWithoutScramble && f.size() != kFieldsWithScramble))
        return false;
    Attempt a;
    CaseSet set = CaseSet::OLL;
    bool hard = false, twoSide = false, exam = false;   // the record's fields are packed bits
    qint64 caseNumber = 0;
    if (!ReadTimeField(f[0], a.utcSeconds) || !ReadSetField(f[1], set)
        || !ReadDigits(f[2], CaseCount(set), caseNumber) || caseNumber < 1
        || !ReadChoice(f[3], "Easy", "Hard", hard) || !ReadChoice(f[4], "top", "2-side", twoSide)
        || !ReadSecondsField(f[5], a.milliseconds) || !ReadChoice(f[6], "0", "1", exam))
        return false;
    a.set = set;
    a.caseNumber = static_cast<int>(caseNumber);
    a.level = hard ? Level::Hard : Level::Easy;
    a.twoSide = twoSide;
    a.exam = exam;
    // Two-face recognition exists only for PLL at the Hard level.
    if (a.twoSide && (a.set != CaseSet::PLL || a.level != Level::Hard))
        return false;
    attempt = a;
    if (scramble)
        *scramble = f.size() == kFieldsWithScramble ? QString::fromUtf8(f.back()).simplified() : QString();
    return true;
}

HistoryContent ParseHistory(const QByteArray& content)
{
    HistoryContent history;
    const QByteArray header = HistoryHeader();
    const QByteArray oldHeader = HistoryHeaderWithoutScramble();
    qsizetype start = 0;
    while (start < content.size()) {
        qsizetype end = content.indexOf('\n', start);
        if (end < 0)
            end = content.size();
        QByteArray line = content.mid(start, end - start);
        start = end + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        if (line == header || line == oldHeader || IsBlank(line))
            continue;
        Attempt attempt;
        if (ParseAttempt(line, attempt))
            history.attempts.push_back(attempt);
        else
            ++history.skippedLines;
    }
    return history;
}
