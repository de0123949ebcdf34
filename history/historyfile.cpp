#include "history/historyfile.h"

#include <QDateTime>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char kLineEnd[] = "\r\n";
constexpr int kFieldCount = 7;
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

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() { if (fd_ >= 0) ::close(fd_); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

bool WriteWhole(int fd, const QByteArray& bytes)
{
    ssize_t written;
    do {
        written = ::write(fd, bytes.constData(), static_cast<size_t>(bytes.size()));
    } while (written < 0 && errno == EINTR);
    return written == bytes.size();
}

// The header for an empty file, a line end after a torn last line.
bool PrefixFor(int fd, QByteArray& prefix)
{
    struct stat status {};
    if (::fstat(fd, &status) != 0)
        return false;
    if (status.st_size == 0) {
        prefix = HistoryHeader() + kLineEnd;
        return true;
    }
    char last = 0;
    if (::pread(fd, &last, 1, status.st_size - 1) != 1)
        return false;
    if (last != '\n')
        prefix = kLineEnd;
    return true;
}

} // namespace

QByteArray HistoryHeader() { return QByteArrayLiteral("time,set,case,level,recognition,seconds,exam"); }

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

QByteArray FormatAttempt(const Attempt& a)
{
    const bool twoSide = a.twoSide && a.set == CaseSet::PLL && a.level == Level::Hard;
    const QList<QByteArray> fields = {TimeField(a.utcSeconds),
                                      SetName(a.set).toLatin1(),
                                      QByteArray::number(a.caseNumber),
                                      a.level == Level::Hard ? "Hard" : "Easy",
                                      twoSide ? "2-side" : "top",
                                      SecondsText(a.milliseconds).toLatin1(),
                                      a.exam ? "1" : "0"};
    QByteArray line;
    for (const QByteArray& field : fields)
        line += (line.isEmpty() ? "" : ",") + CsvField(field);
    return line;
}

bool ParseAttempt(const QByteArray& line, Attempt& attempt)
{
    std::vector<QByteArray> f;
    if (!SplitCsvLine(line, f) || f.size() != kFieldCount)
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
    return true;
}

HistoryContent ParseHistory(const QByteArray& content)
{
    HistoryContent history;
    const QByteArray header = HistoryHeader();
    qsizetype start = 0;
    while (start < content.size()) {
        qsizetype end = content.indexOf('\n', start);
        if (end < 0)
            end = content.size();
        QByteArray line = content.mid(start, end - start);
        start = end + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        if (line == header || IsBlank(line))
            continue;
        Attempt attempt;
        if (ParseAttempt(line, attempt))
            history.attempts.push_back(attempt);
        else
            ++history.skippedLines;
    }
    return history;
}

bool AppendAttempt(const QString& path, const Attempt& attempt)
{
    const QByteArray name = QFile::encodeName(path);
    const Descriptor file(::open(name.constData(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0644));
    if (file.get() < 0)
        return false;
    // Another copy of the program checks the file's end and writes under
    // the same lock: two headers or a line glued to a torn one cannot happen.
    int locked;
    do {
        locked = ::flock(file.get(), LOCK_EX);
    } while (locked != 0 && errno == EINTR);
    QByteArray bytes;
    if (locked != 0 || !PrefixFor(file.get(), bytes))
        return false;
    bytes += FormatAttempt(attempt) + kLineEnd;
    return WriteWhole(file.get(), bytes) && ::fdatasync(file.get()) == 0;
}
