#include "interchange/importmerge.h"

#include "history/historyreader.h"

#include <QSet>
#include <algorithm>
#include <limits>

namespace {

constexpr char kLineEnd[] = "\r\n";
constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";

// The program's columns, in its order, then the import's.
const QList<QByteArray>& ColumnsWithSource()
{
    static const QList<QByteArray> columns = HistoryHeaderWithSource().split(',');
    return columns;
}

constexpr int kSourceColumn = 12;
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

struct ExistingLine {
    QByteArray bytes;                 // with its line end
    std::optional<qint64> utcSeconds; // an attempt's; nothing for blank and damaged lines
};

struct ExistingFile {
    bool byteOrderMark = false;
    std::vector<ExistingLine> lines;  // headers left out
    QSet<QString> keys;
    bool foreignColumns = false;
};

QByteArray SourceField(const QByteArray& line)
{
    std::vector<QByteArray> fields;
    return SplitCsvLine(line, fields) && fields.size() > size_t(kSourceColumn) ? fields[kSourceColumn] : QByteArray();
}

// Each line as the reader takes it; the headers are only checked.
ExistingFile ReadExisting(QByteArray content)
{
    ExistingFile file;
    if (content.startsWith(kByteOrderMark)) {
        file.byteOrderMark = true;
        content.remove(0, sizeof kByteOrderMark - 1);
    }
    HistoryLineParser parser;
    qsizetype start = 0;
    while (start < content.size()) {
        qsizetype end = content.indexOf('\n', start);
        // A last line torn off gets its line end, as an append gives it one.
        QByteArray bytes = end < 0 ? content.mid(start) + kLineEnd : content.mid(start, end + 1 - start);
        start = end < 0 ? content.size() : end + 1;
        QByteArray line = bytes;
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        Attempt attempt;
        QString scramble;
        switch (parser.Read(line.constBegin(), line.constEnd(), attempt, &scramble)) {
        case HistoryLineParser::Line::Header: {
            std::vector<QByteArray> fields;
            file.foreignColumns = file.foreignColumns || !SplitCsvLine(line, fields) || !IsProgramHeader(fields);
            continue;
        }
        case HistoryLineParser::Line::Attempt:
            file.keys.insert(SolveKey(QString::fromUtf8(SourceField(line)), attempt.utcSeconds, attempt.milliseconds,
                                      scramble));
            file.lines.push_back({std::move(bytes), attempt.utcSeconds});
            break;
        case HistoryLineParser::Line::Blank:
        case HistoryLineParser::Line::Damaged:
            file.lines.push_back({std::move(bytes), std::nullopt});
            break;
        }
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
    attempt.twoSide = solve.twoSide;
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
    ExistingFile file = ReadExisting(history);
    if (file.foreignColumns) {
        merge.foreignColumns = true;
        return merge;
    }
    std::vector<NewLine> added;
    for (size_t i = 0; i < solves.size(); ++i) {
        const ImportedSolve& solve = solves[i];
        const QByteArray line = ImportedLine(solve);
        if (line.isEmpty()) {
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
        added.push_back({second, line});
        merge.addedSolves.push_back(i);
    }
    merge.added = int(added.size());
    if (added.empty())
        return merge;
    std::stable_sort(added.begin(), added.end(), [](const NewLine& a, const NewLine& b) { return a.utcSeconds < b.utcSeconds; });
    QByteArray content = file.byteOrderMark ? QByteArray(kByteOrderMark) : QByteArray();
    content.reserve(history.size() + qsizetype(added.size()) * 96 + 128);
    content += HistoryHeaderWithSource() + kLineEnd;
    auto next = added.begin();
    for (const ExistingLine& line : file.lines) {
        for (; line.utcSeconds && next != added.end() && next->utcSeconds < *line.utcSeconds; ++next)
            content += next->bytes;
        content += line.bytes;
    }
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
