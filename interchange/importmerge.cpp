#include "interchange/importmerge.h"

#include "history/historyreader.h"

#include <QSet>
#include <algorithm>
#include <limits>
#include <unordered_set>

namespace {

constexpr char kLineEnd[] = "\r\n";
constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

// The program's columns, in its order, then the import's.
const QList<QByteArray>& ColumnsWithSource()
{
    static const QList<QByteArray> columns = HistoryHeaderWithSource().split(',');
    return columns;
}

constexpr int kSourceColumn = HistoryLineParser::kTodaysColumns;   // after the program's own
constexpr int kRequiredColumns = HistoryLineParser::kRequiredColumns;

// A header whose columns are the program's first ones in its order (the
// files of every version), so that the lines under it read alike under
// today's header. Any other order would need its lines rewritten.
bool IsProgramHeader(const std::vector<QByteArray>& fields)
{
    const QList<QByteArray>& columns = ColumnsWithSource();
    if (fields.size() < size_t(kRequiredColumns) || fields.size() > size_t(columns.size()))
        return false;
    for (size_t i = 0; i < fields.size(); ++i)
        if (fields[i].trimmed().compare(columns[qsizetype(i)], Qt::CaseInsensitive) != 0)
            return false;
    return true;
}

// What tells a solve already in the file from a new one.
QString SolveKey(const QString& source, qint64 utcSeconds, qint32 milliseconds, const QString& scramble)
{
    return source + QChar(0x1F) + QString::number(utcSeconds) + QChar(0x1F) + QString::number(milliseconds)
           + QChar(0x1F) + scramble.simplified();
}

// A line of the file, where it lies in the file's bytes, its line end included.
struct ExistingLine {
    qsizetype begin;
    qsizetype end;
    qint64 utcSeconds;   // an attempt's
    bool attempt;        // false for blank and damaged lines
};

struct ExistingFile {
    qsizetype start = 0;              // past a byte order mark
    std::vector<ExistingLine> lines;  // headers left out
    bool tornLastLine = false;        // the last line has no line end
    QSet<QString> keys;               // of the lines that may be an imported solve
    bool foreignColumns = false;
};

// A solve's second and time in one number, to pass over the lines no imported
// solve can be at once.
quint64 Moment(qint64 utcSeconds, qint64 milliseconds)
{
    return quint64(utcSeconds) * 100000000ULL + quint64(milliseconds);
}

QByteArray SourceField(const char* begin, const char* end)
{
    std::vector<QByteArray> fields;
    return SplitCsvLine(QByteArray(begin, end - begin), fields) && fields.size() > size_t(kSourceColumn)
               ? fields[kSourceColumn]
               : QByteArray();
}

// Each line as the reader takes it; the headers are only checked. Only the
// lines at the moment of an imported solve are keyed: their scramble and
// source are read, the rest is not.
ExistingFile ReadExisting(const QByteArray& content, const std::unordered_set<quint64>& moments)
{
    ExistingFile file;
    if (content.startsWith(kByteOrderMark))
        file.start = qsizetype(sizeof kByteOrderMark - 1);
    file.lines.reserve(size_t(content.size() / 64 + 16));
    HistoryLineParser parser;
    HistoryLineParser keyParser;   // the same layout, for the second reading of a line
    const char* const data = content.constData();
    qsizetype start = file.start;
    while (start < content.size()) {
        const qsizetype found = content.indexOf('\n', start);
        const qsizetype next = found < 0 ? content.size() : found + 1;
        file.tornLastLine = found < 0;
        const char* lineEnd = data + (found < 0 ? content.size() : found);
        if (lineEnd > data + start && lineEnd[-1] == '\r')
            --lineEnd;
        Attempt attempt;
        switch (parser.Read(data + start, lineEnd, attempt)) {
        case HistoryLineParser::Line::Header: {
            std::vector<QByteArray> fields;
            file.foreignColumns = file.foreignColumns || !SplitCsvLine(QByteArray(data + start, lineEnd - data - start), fields)
                                  || !IsProgramHeader(fields);
            keyParser.Read(data + start, lineEnd, attempt);
            break;
        }
        case HistoryLineParser::Line::Attempt:
            if (moments.count(Moment(attempt.utcSeconds, attempt.milliseconds))) {
                QString scramble;
                keyParser.Read(data + start, lineEnd, attempt, &scramble);
                file.keys.insert(SolveKey(QString::fromUtf8(SourceField(data + start, lineEnd)), attempt.utcSeconds,
                                          attempt.milliseconds, scramble));
            }
            file.lines.push_back({start, next, attempt.utcSeconds, true});
            break;
        case HistoryLineParser::Line::Blank:
        case HistoryLineParser::Line::Damaged:
            file.lines.push_back({start, next, 0, false});
            break;
        }
        start = next;
    }
    return file;
}

struct NewLine {
    qint64 utcSeconds;
    QByteArray bytes;
};

} // namespace

QByteArray HistoryHeaderWithSource() { return HistoryHeader() + ",source"; }

qint64 AcceptedSecond(const ImportedSolve& solve)
{
    const qint64 startSeconds = solve.startUnixMs >= 0 ? solve.startUnixMs / 1000 : -((-solve.startUnixMs + 999) / 1000);
    return startSeconds + (solve.totalMs + 999) / 1000;
}

QByteArray ImportedLine(const ImportedSolve& solve)
{
    // The attempt's fields are narrow: a value out of their range would wrap
    // into another that reads.
    if (solve.totalMs < 0 || solve.totalMs > std::numeric_limits<qint32>::max() || solve.caseNumber < 1
        || solve.caseNumber > CaseCount(solve.set))
        return {};
    Attempt attempt;
    attempt.utcSeconds = AcceptedSecond(solve);
    attempt.milliseconds = static_cast<qint32>(solve.totalMs);
    attempt.set = solve.set;
    attempt.caseNumber = solve.caseNumber;
    attempt.level = solve.level;
    attempt.twoSide = solve.twoSide && solve.set == CaseSet::PLL && solve.level == Level::Hard;
    attempt.exam = solve.exam;
    attempt.mode = solve.splitMs ? AttemptMode::Split : AttemptMode::Time;
    AttemptDetail detail;
    if (solve.splitMs)
        detail.splitMilliseconds = static_cast<qint32>(std::clamp<qint64>(*solve.splitMs, -1, solve.totalMs + 1));
    const QByteArray line = FormatAttempt(attempt, solve.scramble, detail) + ',' + CsvField(solve.source.toUtf8());
    // Whatever the parser would not take back as it was is left out.
    static const QByteArray header = HistoryHeaderWithSource();
    HistoryLineParser parser;
    Attempt back;
    AttemptDetail backDetail;
    if (parser.Read(header.constBegin(), header.constEnd(), back) != HistoryLineParser::Line::Header
        || parser.Read(line.constBegin(), line.constEnd(), back, nullptr, &backDetail) != HistoryLineParser::Line::Attempt
        || back != attempt || backDetail != detail)
        return {};
    return line + kLineEnd;
}

HistoryMerge MergeSolves(const QByteArray& history, const std::vector<ImportedSolve>& solves)
{
    HistoryMerge merge;
    std::vector<QByteArray> lines(solves.size());
    std::unordered_set<quint64> moments;
    for (size_t i = 0; i < solves.size(); ++i) {
        lines[i] = ImportedLine(solves[i]);
        if (!lines[i].isEmpty())
            moments.insert(Moment(AcceptedSecond(solves[i]), solves[i].totalMs));
    }
    ExistingFile file = ReadExisting(history, moments);
    if (file.foreignColumns) {
        merge.foreignColumns = true;
        return merge;
    }
    std::vector<NewLine> added;
    for (size_t i = 0; i < solves.size(); ++i) {
        const ImportedSolve& solve = solves[i];
        if (lines[i].isEmpty()) {
            ++merge.unfit;
            continue;
        }
        const qint64 second = AcceptedSecond(solve);
        const QString own = SolveKey(QString(), second, qint32(solve.totalMs), solve.scramble);
        const QString key = SolveKey(solve.source, second, qint32(solve.totalMs), solve.scramble);
        // The program's own line exported earlier comes back as the timer's.
        if (file.keys.contains(key) || file.keys.contains(own)) {
            ++merge.alreadyThere;
            continue;
        }
        file.keys.insert(key);
        added.push_back({second, std::move(lines[i])});
        merge.addedSolves.push_back(i);
    }
    merge.added = int(added.size());
    if (added.empty())
        return merge;
    std::stable_sort(added.begin(), added.end(), [](const NewLine& a, const NewLine& b) { return a.utcSeconds < b.utcSeconds; });
    QByteArray content;
    content.reserve(history.size() + qsizetype(added.size()) * 96 + 256);
    content.append(history.constData(), file.start);   // a byte order mark stays first
    content += HistoryHeaderWithSource() + kLineEnd;
    auto next = added.begin();
    for (const ExistingLine& line : file.lines) {
        for (; line.attempt && next != added.end() && next->utcSeconds < line.utcSeconds; ++next)
            content += next->bytes;
        content.append(history.constData() + line.begin, line.end - line.begin);
    }
    // A last line torn off gets its line end, as an append gives it one.
    if (file.tornLastLine && !file.lines.empty())
        content += history.endsWith('\r') ? "\n" : kLineEnd;
    for (; next != added.end(); ++next)
        content += next->bytes;
    merge.content = std::move(content);
    return merge;
}

ImportWrite WriteImport(const QString& historyPath, const std::vector<ImportedSolve>& solves, const LockWait& wait,
                        const std::function<bool()>& cancelled)
{
    ImportWrite write;
    bool foreign = false;
    const ReplaceOutcome outcome = ReplaceHistory(historyPath, [&](const QByteArray& content) {
        HistoryMerge merge = MergeSolves(content, solves);
        write.added = merge.added;
        write.alreadyThere = merge.alreadyThere;
        write.unfit = merge.unfit;
        write.addedSolves = merge.addedSolves;
        foreign = merge.foreignColumns;
        if (cancelled && cancelled())
            return std::optional<QByteArray>();
        return std::move(merge.content);
    }, wait);
    switch (outcome) {
    case ReplaceOutcome::Written: write.result = ImportWriteResult::Written; break;
    case ReplaceOutcome::LockTaken: write.result = ImportWriteResult::Busy; break;
    case ReplaceOutcome::Refused: write.result = ImportWriteResult::Refused; break;
    case ReplaceOutcome::Unchanged:
        write.result = foreign                       ? ImportWriteResult::ForeignColumns
                       : cancelled && cancelled()    ? ImportWriteResult::Cancelled
                                                     : ImportWriteResult::NothingNew;
        break;
    }
    if (write.result != ImportWriteResult::Written) {
        write.added = 0;
        write.addedSolves.clear();
    }
    return write;
}
