// Other timers' solves merged into History.csv: sorted into place by date
// with the old lines' bytes kept, one replacement under the appends' lock,
// nothing added the second time, and a file every reader still reads.
#include "interchange/export.h"
#include "interchange/importmerge.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// Under the header of the first files: a line of today, a damaged one, and
// a last line torn off before its line end. 11:32:05Z is 1796815925.
const QByteArray kOldFile = "time,set,case,level,recognition,seconds,exam\r\n"
                            "2026-12-09T11:32:05Z,OLL,4,Easy,top,1.470,0\r\n"
                            "2026-12-09T11:40:00Z,PLL,1,Hard,top,2.000,0,R U,split,0.500,,\r\n"
                            "not a line of the file\r\n"
                            "2026-12-09T11:50:00Z,OLL,5,Easy,top,3.000,0";

constexpr qint64 k1132 = 1796815925;

ImportedSolve Solve(qint64 acceptedSecond, qint64 ms, const QString& scramble, const QString& source = "cstimer")
{
    ImportedSolve solve;
    solve.set = CaseSet::OLL;
    solve.caseNumber = 7;
    solve.totalMs = ms;
    solve.startUnixMs = acceptedSecond * 1000 - ms;   // as TwistyTimer's date gives it
    solve.scramble = scramble;
    solve.source = source;
    return solve;
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void Write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

std::vector<qint64> Seconds(const HistoryContent& content)
{
    std::vector<qint64> seconds;
    for (const Attempt& attempt : content.attempts)
        seconds.push_back(attempt.utcSeconds);
    return seconds;
}

} // namespace

class ImportMergeTest : public QObject {
    Q_OBJECT

private slots:
    void sortedIntoPlaceUnderTheNewHeader()
    {
        ImportedSolve split = Solve(k1132 + 600, 2500, "R U R' U'");   // 11:42:05, between the file's lines
        split.splitMs = 700;
        const std::vector<ImportedSolve> solves = {Solve(k1132 + 3600, 1234, "F R U"), split,
                                                   Solve(k1132 - 60, 999, "L' U2, \"x\"", "twistytimer")};
        const HistoryMerge merge = MergeSolves(kOldFile, solves);
        QVERIFY(merge.content);
        QCOMPARE(merge.added, 3);
        const QByteArray& file = *merge.content;
        QVERIFY(file.startsWith(HistoryHeaderWithSource() + "\r\n"));
        QVERIFY(!file.contains("seconds,exam\r\n"));
        // The old lines keep their bytes and their order; the torn one gets its line end.
        for (const QByteArray& line : kOldFile.split('\n').mid(1))
            QVERIFY2(file.contains(line.endsWith('\r') ? line + '\n' : line + "\r\n"), line.constData());
        const HistoryContent read = ParseHistory(file);
        QCOMPARE(read.skippedLines, 1);
        QCOMPARE(Seconds(read), (std::vector<qint64>{k1132 - 60, k1132, k1132 + 475, k1132 + 600, k1132 + 1075,
                                                     k1132 + 3600}));
        QCOMPARE(read.attempts[3].mode, AttemptMode::Split);
        QCOMPARE(read.attempts[3].milliseconds, 2500);
        QCOMPARE(read.splits.back().splitMilliseconds, 700);
        QVERIFY(file.contains(",\"L' U2, \"\"x\"\"\",time,,,,twistytimer\r\n"));
        QVERIFY(file.contains(",F R U,time,,,,cstimer\r\n"));
    }

    // csTimer keeps the start in whole seconds; the export took the time
    // rounded up away from the second the time was accepted.
    void acceptedSecondUndoesTheExport()
    {
        for (const qint32 ms : {1, 999, 1000, 1001, 1470, 86400000}) {
            Attempt attempt;
            attempt.utcSeconds = k1132;
            attempt.milliseconds = ms;
            ImportedSolve solve = Solve(0, ms, QString());
            solve.startUnixMs = StartSeconds(attempt) * 1000;
            QCOMPARE(AcceptedSecond(solve), k1132);
        }
    }

    void linesTheFileCannotHoldAreLeftOut()
    {
        ImportedSolve splitAfterEnd = Solve(k1132, 1000, "R");
        splitAfterEnd.splitMs = 1001;
        ImportedSolve wrongCase = Solve(k1132, 1000, "R");
        wrongCase.caseNumber = 57 + 256;   // would wrap into a number that reads
        const HistoryMerge merge = MergeSolves(kOldFile, {Solve(k1132, 86400001, "R"), splitAfterEnd, wrongCase});
        QCOMPARE(merge.unfit, 3);
        QVERIFY(!merge.content);
    }

    // The same solve again, from the same file or within it, and the
    // program's own time exported earlier, are there already.
    void twiceAddsNothing()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("History.csv");
        Write(path, kOldFile);
        const std::vector<ImportedSolve> solves = {Solve(k1132 + 60, 1500, "R U"), Solve(k1132 + 60, 1500, "R U"),
                                                   Solve(k1132, 1470, QString())};
        ImportWrite first = WriteImport(path, solves, LockWait());
        QCOMPARE(first.result, ImportWriteResult::Written);
        QCOMPARE(first.added, 1);
        QCOMPARE(first.alreadyThere, 2);
        const QByteArray afterFirst = ReadAll(path);
        const ImportWrite second = WriteImport(path, solves, LockWait());
        QCOMPARE(second.result, ImportWriteResult::NothingNew);
        QCOMPARE(second.alreadyThere, 3);
        QCOMPARE(ReadAll(path), afterFirst);
        // From the other timer, the same solve is another one.
        QCOMPARE(WriteImport(path, {Solve(k1132 + 60, 1500, "R U", "twistytimer")}, LockWait()).added, 1);
    }

    // The program appends without "source" after an import; the file keeps
    // reading whole, as it does for a reader that knows no "source".
    void laterAppendsStillRead()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("History.csv");
        QCOMPARE(WriteImport(path, {Solve(k1132, 1500, "R U")}, LockWait()).result, ImportWriteResult::Written);
        Attempt own;
        own.utcSeconds = k1132 + 10;
        own.milliseconds = 2000;
        own.caseNumber = 3;
        QVERIFY(AppendAttempt(path, own, "F R"));
        const HistoryContent read = ParseHistory(ReadAll(path));
        QCOMPARE(read.skippedLines, 0);
        QCOMPARE(Seconds(read), (std::vector<qint64>{k1132, k1132 + 10}));
        QCOMPARE(read.attempts[1], own);
    }

    void heldLockOrForeignColumnsLeaveTheFile()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("History.csv");
        Write(path, kOldFile);
        const int holder = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        QVERIFY(holder >= 0 && ::flock(holder, LOCK_EX) == 0);
        QCOMPARE(WriteImport(path, {Solve(k1132, 1500, "R")}, LockWait()).result, ImportWriteResult::Busy);
        ::close(holder);
        QCOMPARE(ReadAll(path), kOldFile);

        const QByteArray reordered = "set,time,case,level,recognition,seconds,exam\r\nOLL,2026-12-09T11:32:05Z,4,Easy,top,1.470,0\r\n";
        Write(path, reordered);
        QCOMPARE(WriteImport(path, {Solve(k1132, 1500, "R")}, LockWait()).result, ImportWriteResult::ForeignColumns);
        QCOMPARE(ReadAll(path), reordered);
    }

    void cancelWritesNothing()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("History.csv");
        const auto cancelled = [] { return true; };
        QCOMPARE(WriteImport(path, {Solve(k1132, 1500, "R")}, LockWait(), cancelled).result,
                 ImportWriteResult::Cancelled);
        QVERIFY(!QFile::exists(path));   // not even the file made to be locked
        Write(path, kOldFile);
        QCOMPARE(WriteImport(path, {Solve(k1132, 1500, "R")}, LockWait(), cancelled).result,
                 ImportWriteResult::Cancelled);
        QCOMPARE(ReadAll(path), kOldFile);
    }

    // A link at the name stays a link: the file it points to is replaced.
    void linkedFileIsReplacedBehindTheLink()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath("kept/History.csv");
        QVERIFY(QDir(dir.path()).mkdir("kept"));
        Write(target, kOldFile);
        const QString path = dir.filePath("History.csv");
        QVERIFY(QFile::link(target, path));
        QCOMPARE(WriteImport(path, {Solve(k1132, 1500, "R")}, LockWait()).result, ImportWriteResult::Written);
        QVERIFY(QFileInfo(path).isSymLink());
        QCOMPARE(ParseHistory(ReadAll(target)).attempts.size(), size_t(4));
        QCOMPARE(QDir(dir.filePath("kept")).entryList(QDir::Files | QDir::Hidden).size(), 1);   // no temporary left
    }
};

QTEST_GUILESS_MAIN(ImportMergeTest)
#include "test_core_import_merge.moc"
