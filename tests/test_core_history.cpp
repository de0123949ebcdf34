// History.csv: the line format, tolerant reading, appending, and the
// averages of the Progress window.
#include "history/historyfile.h"
#include "history/historystore.h"
#include "core/errors.h"
#include "history/historyreader.h"
#include "history/placement.h"
#include "history/progressstats.h"

#include <QDir>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

Attempt Sample(int caseNumber, int milliseconds)
{
    Attempt attempt;
    attempt.utcSeconds = 1796815925;   // 2026-12-09T11:32:05Z
    attempt.caseNumber = caseNumber;
    attempt.milliseconds = milliseconds;
    return attempt;
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool AppendBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::Append) && file.write(bytes) == bytes.size();
}

ino_t InodeOf(const QString& path)
{
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_ino : 0;
}

std::vector<int> Ms(std::initializer_list<int> values) { return values; }

// The disk as full as a file size limit makes it: writes beyond the size
// given are cut short (SIGXFSZ ignored), as on a disk with that much room.
class FileSizeLimit {
public:
    explicit FileSizeLimit(qint64 bytes) : oldHandler_(std::signal(SIGXFSZ, SIG_IGN))
    {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        rlimit tight = old_;
        tight.rlim_cur = rlim_t(bytes);
        ::setrlimit(RLIMIT_FSIZE, &tight);
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit old_ {};
    void (*oldHandler_)(int);
};

std::vector<int> CaseNumbers(const std::vector<Attempt>& attempts)
{
    std::vector<int> numbers;
    for (const Attempt& attempt : attempts)
        numbers.push_back(attempt.caseNumber);
    return numbers;
}

} // namespace

class HistoryTest : public QObject {
    Q_OBJECT

private slots:
    void linesWriteAndReadBack()
    {
        Attempt pll = Sample(7, 1470);
        pll.set = CaseSet::PLL;
        pll.level = Level::Hard;
        pll.twoSide = true;
        pll.exam = true;
        QCOMPARE(FormatAttempt(pll), QByteArray("2026-12-09T11:32:05Z,PLL,7,Hard,2-side,1.470,1,,time,,,"));
        Attempt read;
        QVERIFY(ParseAttempt(FormatAttempt(pll), read));
        QCOMPARE(read, pll);

        // The scramble stays on its line and comes back as written.
        const QByteArray withScramble = FormatAttempt(pll, QStringLiteral(" R U2 R'\n D  F, "));
        QCOMPARE(withScramble, QByteArray("2026-12-09T11:32:05Z,PLL,7,Hard,2-side,1.470,1,\"R U2 R' D F,\",time,,,"));
        QString scramble;
        QVERIFY(ParseAttempt(withScramble, read, &scramble));
        QCOMPARE(read, pll);
        QCOMPARE(scramble, QStringLiteral("R U2 R' D F,"));

        // Two-face recognition exists only for PLL Hard.
        Attempt oll = Sample(57, 12005);
        oll.twoSide = true;
        QCOMPARE(FormatAttempt(oll), QByteArray("2026-12-09T11:32:05Z,OLL,57,Easy,top,12.005,0,,time,,,"));

        // Quoted fields, as a spreadsheet may save them, and lines written
        // before the scramble column, read the same.
        QVERIFY(ParseAttempt("\"2026-12-09T11:32:05Z\",\"OLL\",57,Easy,top,\"12.005\",0", read, &scramble));
        QCOMPARE(read.milliseconds, 12005);
        QCOMPARE(scramble, QString());
        QVERIFY(ParseAttempt("2026-12-09T11:32:05Z,OLL,57,Easy,top,12.5,0", read));
        QCOMPARE(read.milliseconds, 12500);

        // A day at most, to the thousandth.
        QVERIFY(ParseAttempt("2026-12-09T11:32:05Z,OLL,57,Easy,top,86400.000,0", read));
        QVERIFY(!ParseAttempt("2026-12-09T11:32:05Z,OLL,57,Easy,top,86400.001,0", read));
        QVERIFY(!ParseAttempt("2026-12-09T11:32:05Z,OLL,57,Easy,top,86400.999,0", read));
    }

    void csvQuotingFollowsRfc4180()
    {
        QCOMPARE(CsvField("plain"), QByteArray("plain"));
        QCOMPARE(CsvField("a,b"), QByteArray("\"a,b\""));
        QCOMPARE(CsvField("say \"hi\"\n"), QByteArray("\"say \"\"hi\"\"\n\""));
        std::vector<QByteArray> fields;
        QVERIFY(SplitCsvLine("\"a,b\",\"say \"\"hi\"\"\",,x", fields));
        QCOMPARE(fields, (std::vector<QByteArray>{"a,b", "say \"hi\"", "", "x"}));
        QVERIFY(!SplitCsvLine("\"open,x", fields));
        QVERIFY(!SplitCsvLine("\"a\"b,x", fields));
    }

    void damagedLinesAreSkippedAndCounted()
    {
        const QByteArray content = HistoryHeader() + "\r\n"
            "2026-12-09T11:32:05Z,OLL,1,Easy,top,1.470,0\r\n"
            "2026-12-09T11:32:05Z,OLL,58,Easy,top,1.470,0\r\n"     // no OLL 58
            "2026-12-09T11:32:05Z,PLL,22,Easy,top,1.470,0\r\n"     // no PLL 22
            "2026-12-09T11:32:05Z,OLL,2,Medium,top,1.470,0\r\n"
            "2026-12-09T11:32:05Z,OLL,2,Hard,2-side,1.470,0\r\n"    // only PLL has two-face recognition
            "2026-12-09T11:32:05Z,OLL,2,Easy,top,-1.470,0\r\n"
            "2026-12-09T11:32:05Z,OLL,2,Easy,top,1.4701,0\r\n"
            "2026-13-09T11:32:05Z,OLL,2,Easy,top,1.470,0\r\n"
            "2026-12-09T11:32:05Z,OLL,2,Easy,top,1.470,0,R U,extra\r\n"
            "\r\n"
            "2026-12-09T11:32:06Z,PLL,21,Hard,2-side,2.000,1\n"   // a line end without CR reads too
            + HistoryHeaderWithoutScramble() + "\n"                // a second copy's header, of either kind
            + HistoryHeader() + "\n"
            "2026-12-09T11:32:07Z,OLL,9,Easy,top,3.000,0,R U R'\r\n"
            "2026-12-09T11:3";                                     // torn by a power cut
        const HistoryContent history = ParseHistory(content);
        QCOMPARE(history.attempts.size(), size_t(3));
        QCOMPARE(history.attempts[1].set, CaseSet::PLL);
        QCOMPARE(history.attempts[2].caseNumber, 9);
        QCOMPARE(history.skippedLines, 9);
    }

    // The split and the naming drill's answers: exact lines, read back; a
    // drill's miss has an empty time, and lines that mix the modes' fields
    // are damaged.
    void recognitionAndDrillLinesWriteAndReadBack()
    {
        Attempt split = Sample(21, 2310);
        split.mode = AttemptMode::Split;
        const AttemptDetail mark{880, {}, AttemptResult::None};
        Attempt named = Sample(27, 1240);
        named.mode = AttemptMode::Name;
        const AttemptDetail right{1240, QStringLiteral("27"), AttemptResult::Ok};
        Attempt missed = named;
        missed.milliseconds = 0;
        const AttemptDetail wrong{1905, QStringLiteral("Ga"), AttemptResult::Wrong};
        const AttemptDetail gaveUp{-1, {}, AttemptResult::GaveUp};
        const QByteArray time = "2026-12-09T11:32:05Z,OLL,";
        QCOMPARE(FormatAttempt(split, QStringLiteral("R U"), mark), time + "21,Easy,top,2.310,0,R U,split,0.880,,");
        QCOMPARE(FormatAttempt(named, {}, right), time + "27,Easy,top,1.240,0,,name,1.240,27,ok");
        QCOMPARE(FormatAttempt(missed, {}, wrong), time + "27,Easy,top,,0,,name,1.905,Ga,wrong");
        QCOMPARE(FormatAttempt(missed, {}, gaveUp), time + "27,Easy,top,,0,,name,,,gave-up");
        for (const auto& [attempt, detail] : {std::pair{split, mark}, std::pair{named, right}, std::pair{missed, wrong},
                                              std::pair{missed, gaveUp}}) {
            Attempt read;
            AttemptDetail readDetail;
            QVERIFY(ParseAttempt(FormatAttempt(attempt, {}, detail), read, nullptr, &readDetail));
            QCOMPARE(read, attempt);
            QCOMPARE(readDetail, detail);
        }
        for (const QByteArray& damaged : {
                 time + "1,Easy,top,1.000,0,,time,0.500,,",       // a split in a timed attempt
                 time + "1,Easy,top,1.000,0,,split,,,",           // a split attempt without its mark
                 time + "1,Easy,top,1.000,0,,split,1.001,,",      // the mark after the end
                 time + "1,Easy,top,1.000,0,,name,1.000,1,",      // a drill line without its result
                 time + "1,Easy,top,1.000,0,,name,1.000,1,wrong", // a miss with a time
                 time + "1,Easy,top,,0,,name,1.000,1,ok",         // a right answer without one
                 time + "1,Easy,top,,1,,name,,,gave-up",          // the drill is no exam
                 time + "1,Easy,top,1.000,0,,time,,,maybe",
                 time + "1,Easy,top,1.000,0,,race,,,",
                 time + "1,Easy,top,,0,,time,,,"}) {
            Attempt read;
            QVERIFY2(!ParseAttempt(damaged, read), damaged.constData());
        }
    }

    // Today's lines under the seven- and eight-column headers of older
    // files, and under a header with a column of a later program: the
    // drill's lines stay apart from the attempts, the splits in their table.
    void todaysLinesReadUnderEveryHeader()
    {
        Attempt split = Sample(21, 2310);
        split.mode = AttemptMode::Split;
        Attempt missed = Sample(27, 0);
        missed.mode = AttemptMode::Name;
        const AttemptDetail wrong{1905, QStringLiteral("Ga"), AttemptResult::Wrong};
        const QByteArray lines = FormatAttempt(Sample(1, 1000)).chopped(9) + "\r\n"   // seven fields, as first written
                                 + FormatAttempt(Sample(2, 2000), QStringLiteral("R U")).chopped(8) + "\r\n"
                                 + FormatAttempt(split, QStringLiteral("R U"), {880, {}, AttemptResult::None}) + "\r\n"
                                 + FormatAttempt(missed, {}, wrong) + "\r\n";
        const QByteArray later = "time,set,case,level,recognition,seconds,exam,scramble,mode,split,answer,result,hand";
        for (const QByteArray& header : {HistoryHeaderWithoutScramble(), HistoryHeaderWithoutScramble() + ",scramble",
                                         HistoryHeader(), later}) {
            for (const bool quick : {true, false}) {
                HistoryReader reader;
                reader.Parser().SetQuickPath(quick);
                const QByteArray content = header + "\r\n" + lines + (header == later ? FormatAttempt(split, {}, {880, {}, AttemptResult::None}) + ",left\r\n" : QByteArray());
                reader.Feed(content.constData(), static_cast<size_t>(content.size()));
                const HistoryContent read = reader.Finish();
                QCOMPARE(read.skippedLines, 0);
                QCOMPARE(CaseNumbers(read.attempts), header == later ? Ms({1, 2, 21, 21}) : Ms({1, 2, 21}));
                QCOMPARE(read.splits.front(), (AttemptSplit{2, 880}));
                QCOMPARE(read.drill, (std::vector<DrillRecord>{{missed, wrong}}));
            }
        }
        // A field past today's columns under an older header is damage.
        const QByteArray tooLong = HistoryHeaderWithoutScramble() + "\r\n" + FormatAttempt(Sample(1, 1000)) + ",x\r\n";
        QCOMPARE(ParseHistory(tooLong).skippedLines, 1);
    }

    void appendWritesHeaderOnceAndMendsTornLine()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("History.csv"));
        QVERIFY(AppendAttempt(path, Sample(1, 1000), QStringLiteral("F R U")));
        const QByteArray first = HistoryHeader() + "\r\n2026-12-09T11:32:05Z,OLL,1,Easy,top,1.000,0,F R U,time,,,\r\n";
        QCOMPARE(ReadAll(path), first);

        // Cut off inside a line, then between its CR and LF.
        QVERIFY(AppendBytes(path, "2026-12-09T11:"));
        QVERIFY(AppendAttempt(path, Sample(2, 2000)));
        QVERIFY(AppendBytes(path, "2026-12-09T11:32:05Z,OLL,3,Easy,top,3.000,0,\r"));
        QVERIFY(AppendAttempt(path, Sample(4, 4000)));
        QCOMPARE(ReadAll(path), first + "2026-12-09T11:\r\n2026-12-09T11:32:05Z,OLL,2,Easy,top,2.000,0,,time,,,\r\n"
                                        "2026-12-09T11:32:05Z,OLL,3,Easy,top,3.000,0,\r\n"
                                        "2026-12-09T11:32:05Z,OLL,4,Easy,top,4.000,0,,time,,,\r\n");

        QVERIFY(!AppendAttempt(dir.filePath(QStringLiteral("missing/History.csv")), Sample(1, 1000)));
    }

    // The file is never rewritten: one written before the scramble column
    // keeps its header and every byte, and gets its new lines with eight
    // fields in place, so that a hard link to it sees them and nothing is
    // made beside it. A byte order mark stays where it was.
    void anOldFileIsOnlyAppendedTo()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("History.csv"));
        const QByteArray old = HistoryHeaderWithoutScramble() + "\r\n2026-12-09T11:32:05Z,OLL,1,Easy,top,1.000,0\n"
                                    "\"2026-12-09T11:32:05Z\",OLL,2,Easy,top,2.5,0\r\n2026-12-09T11:3";
        QVERIFY(AppendBytes(path, old));
        QCOMPARE(::link(QFile::encodeName(path).constData(), QFile::encodeName(dir.filePath("linked.csv")).constData()), 0);
        const ino_t before = InodeOf(path);
        QVERIFY(AppendAttempt(path, Sample(3, 3000), QStringLiteral("R U")));
        QVERIFY(AppendAttempt(path, Sample(4, 4000)));
        const QByteArray appended = "2026-12-09T11:32:05Z,OLL,3,Easy,top,3.000,0,R U,time,,,\r\n"
                                    "2026-12-09T11:32:05Z,OLL,4,Easy,top,4.000,0,,time,,,\r\n";
        QCOMPARE(ReadAll(path), old + "\r\n" + appended);
        QCOMPARE(ReadAll(dir.filePath("linked.csv")), old + "\r\n" + appended);
        QCOMPARE(InodeOf(path), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), (QStringList{"History.csv", "linked.csv"}));
        QCOMPARE(ParseHistory(ReadAll(path)).attempts.size(), size_t(4));

        // A spreadsheet's save: a mark before the header, or nothing but it.
        const QByteArray mark = "\xEF\xBB\xBF";
        const QString marked = dir.filePath(QStringLiteral("marked.csv"));
        const QString empty = dir.filePath(QStringLiteral("empty.csv"));
        QVERIFY(AppendBytes(marked, mark + HistoryHeaderWithoutScramble() + "\r\n"));
        QVERIFY(AppendBytes(empty, mark));
        QVERIFY(AppendAttempt(marked, Sample(3, 3000), QStringLiteral("R U")));
        QVERIFY(AppendAttempt(empty, Sample(3, 3000), QStringLiteral("R U")));
        QCOMPARE(ReadAll(marked), mark + HistoryHeaderWithoutScramble() + "\r\n" + appended.left(appended.indexOf('\n') + 1));
        QCOMPARE(ReadAll(empty), mark + HistoryHeader() + "\r\n" + appended.left(appended.indexOf('\n') + 1));
    }

    // No room for the whole line (a full disk): the bytes that went in are
    // taken back, so no torn line is left to read as an attempt.
    void aShortWriteIsUndone()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("History.csv"));
        QVERIFY(AppendAttempt(path, Sample(1, 1000)));
        const QByteArray before = ReadAll(path);
        {
            const FileSizeLimit full(before.size() + 20);
            QCOMPARE(AppendLines(path, HistoryLine(Sample(2, 2000), QStringLiteral("R U R' U' F R F'"))),
                     AppendOutcome::Refused);
        }
        QCOMPARE(ReadAll(path), before);
    }

    // Only a header of the program's, its columns a strict start of
    // today's, is swapped; every other byte stays.
    void onlyAnOlderHeaderIsBroughtUpToDate()
    {
        const QByteArray mark = "\xEF\xBB\xBF";
        const QByteArray lines = "2026-12-09T11:32:05Z,OLL,1,Easy,top,1.000,0\n" + FormatAttempt(Sample(2, 2000)) + "\r\n";
        QCOMPARE(WithTodaysHeader(HistoryHeaderWithoutScramble() + "\r\n" + lines), HistoryHeader() + "\r\n" + lines);
        QCOMPARE(WithTodaysHeader(mark + " Time,SET,case,level,recognition,seconds,exam,scramble\n" + lines),
                 mark + HistoryHeader() + "\n" + lines);
        for (const QByteArray& kept : {HistoryHeader() + "\r\n" + lines, HistoryHeader() + ",source\r\n" + lines,
                                       QByteArray("set,time,case,level,recognition,seconds,exam\r\n") + lines,
                                       QByteArray("time,set,case,level,recognition,seconds\r\n") + lines,
                                       HistoryHeaderWithoutScramble() + ",notes\r\n" + lines,
                                       HistoryHeaderWithoutScramble(), QByteArray()})
            QVERIFY2(!WithTodaysHeader(kept), kept.left(60).constData());
    }

    // After the run's first append the store upgrades an older header on
    // a worker thread: a program that reads by the header then finds a
    // name for every field. A header it does not know stays as it was.
    void theStoreUpgradesAnOlderHeaderAfterAnAppend()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("History.csv"));
        const QByteArray body = "2026-12-09T11:32:05Z,OLL,1,Easy,top,1.000,0\r\n"
                                "2026-12-09T11:32:05Z,OLL,2,Easy,top,2.000,0,R U\n";
        QVERIFY(AppendBytes(path, "\xEF\xBB\xBF" + HistoryHeaderWithoutScramble() + ",scramble\r\n" + body));
        const QByteArray line = HistoryLine(Sample(3, 3000), QStringLiteral("F R"));
        {
            HistoryStore store(path);
            QVERIFY(store.Record(Sample(3, 3000), QStringLiteral("F R")).isEmpty());
            QCOMPARE(store.WaitForHeaderUpgrade(), ReplaceOutcome::Written);
            QVERIFY(store.Record(Sample(4, 4000)).isEmpty());
            QCOMPARE(store.WaitForHeaderUpgrade(), ReplaceOutcome::Unchanged);   // once a run
        }
        const QByteArray upgraded = ReadAll(path);
        QCOMPARE(upgraded, "\xEF\xBB\xBF" + HistoryHeader() + "\r\n" + body + line + HistoryLine(Sample(4, 4000)));
        std::vector<QByteArray> fields;
        for (const QByteArray& each : upgraded.trimmed().split('\n').mid(3)) {
            QVERIFY(SplitCsvLine(each.trimmed(), fields));
            QCOMPARE(qsizetype(fields.size()), HistoryHeader().count(',') + 1);
        }
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"History.csv"});

        const QByteArray foreign = "set,time,case,level,recognition,seconds,exam\r\nOLL,2026-12-09T11:32:05Z,1,Easy,top,1.000,0\r\n";
        const QString other = dir.filePath(QStringLiteral("other.csv"));
        QVERIFY(AppendBytes(other, foreign));
        HistoryStore store(other);
        QVERIFY(store.Record(Sample(3, 3000), QStringLiteral("F R")).isEmpty());
        QCOMPARE(store.WaitForHeaderUpgrade(), ReplaceOutcome::Unchanged);
        QCOMPARE(ReadAll(other), foreign + line);
    }

    // The lock taken by another copy, a full disk, a folder that takes no
    // new file, a file too large to hold: the appended lines are in, the
    // file is as it was, nothing is left beside it.
    void aFailedUpgradeLeavesTheFileAsItWas()
    {
        QTemporaryDir dir;
        const QByteArray old = HistoryHeaderWithoutScramble() + "\r\n" + FormatAttempt(Sample(1, 1000)) + "\r\n";
        const QString path = dir.filePath(QStringLiteral("History.csv"));
        QVERIFY(AppendBytes(path, old));
        {
            const int other = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
            QCOMPARE(::flock(other, LOCK_EX), 0);
            QCOMPARE(UpgradeHistoryHeader(path), ReplaceOutcome::LockTaken);
            ::close(other);
        }
        {
            const FileSizeLimit full(old.size() + 10);
            QCOMPARE(UpgradeHistoryHeader(path), ReplaceOutcome::Refused);
        }
        QCOMPARE(ReadAll(path), old);

        // Root writes in a read-only folder; a name too long for the
        // temporary beside it is refused to anyone.
        const QString name = ::geteuid() == 0 ? QString(250, QLatin1Char('h')) : QStringLiteral("History.csv");
        const QString refused = dir.filePath(name);
        QVERIFY(refused == path || AppendBytes(refused, old));
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
        {
            HistoryStore store(refused);
            QVERIFY(store.Record(Sample(2, 2000)).isEmpty());
            QCOMPARE(store.WaitForHeaderUpgrade(), ReplaceOutcome::Refused);
        }
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(ReadAll(refused), old + HistoryLine(Sample(2, 2000)));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), refused == path ? 1 : 2);

        // Sparse, it costs no disk; it is not read to be refused.
        QVERIFY(QFile::resize(path, kLargestHeaderUpgrade + 1));
        QCOMPARE(UpgradeHistoryHeader(path), ReplaceOutcome::Refused);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.read(old.size()), old);
    }

    // Two copies append at once, to a new file and to one with the old
    // header: one header, every line whole.
    void twoWritersNeverInterleave_data()
    {
        QTest::addColumn<QByteArray>("start");
        QTest::newRow("no file") << QByteArray();
        QTest::newRow("old header") << HistoryHeaderWithoutScramble() + "\r\n2026-12-09T11:32:05Z,OLL,1,Easy,top,1.000,0\r\n";
    }

    void twoWritersNeverInterleave()
    {
        QFETCH(QByteArray, start);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("History.csv"));
        if (!start.isEmpty())
            QVERIFY(AppendBytes(path, start));
        constexpr int kEach = 100;
        const pid_t child = fork();
        QVERIFY(child >= 0);
        for (int i = 0; i < kEach; ++i)
            AppendAttempt(path, Sample(child == 0 ? 1 : 2, 1000 + i));
        if (child == 0)
            _exit(0);
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        const QByteArray content = ReadAll(path);
        // The header the file had, or the current one for a new file.
        QVERIFY(content.startsWith((start.isEmpty() ? HistoryHeader() : HistoryHeaderWithoutScramble()) + "\r\n"));
        QCOMPARE(content.count(HistoryHeaderWithoutScramble()), 1);   // a prefix of the new header too
        const HistoryContent history = ParseHistory(content);
        QCOMPARE(history.skippedLines, 0);
        QCOMPARE(history.attempts.size(), size_t(2 * kEach + (start.isEmpty() ? 0 : 1)));
    }

    void aLockHeldElsewhereIsWaitedForBoundedly()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("History.csv"));
        QVERIFY(AppendAttempt(path, Sample(1, 1000)));
        const QByteArray before = ReadAll(path);
        const int other = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        QCOMPARE(::flock(other, LOCK_EX), 0);

        int pauses = 0;
        QVERIFY(!AppendAttempt(path, Sample(2, 2000), QString(), [&] { return ++pauses < 3; }));
        QCOMPARE(pauses, 3);
        QCOMPARE(ReadAll(path), before);

        // Released while waiting: the line goes in.
        QVERIFY(AppendAttempt(path, Sample(2, 2000), QString(), [&] { return ::flock(other, LOCK_UN) == 0; }));
        QCOMPARE(ParseHistory(ReadAll(path)).attempts.size(), size_t(2));
        ::close(other);
    }

    // A pipe at the name would block the window thread in open() for good,
    // a device would be read or written forever: both are refused at once.
    void onlyARegularFileIsOpened()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("History.csv"));
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
        ::alarm(20);   // a regression hangs: end the test instead
        HistoryStore store(path);
        store.EnsureLoaded();
        QVERIFY(store.Unreadable());
        QCOMPARE(store.Record(Sample(1, 1000)), UnableToWriteText(path));
        HistoryOpening opening = HistoryOpening::Opened;
        QCOMPARE(OpenHistoryForReading(QStringLiteral("/dev/zero"), opening), -1);
        QCOMPARE(opening, HistoryOpening::Refused);
        QVERIFY(!AppendAttempt(QStringLiteral("/dev/null"), Sample(1, 1000)));
        ::alarm(0);
        QCOMPARE(OpenHistoryForReading(dir.filePath(QStringLiteral("none.csv")), opening), -1);
        QCOMPARE(opening, HistoryOpening::Missing);
    }

    void storeReadsOnceAndReportsRefusalOnce()
    {
        QTemporaryDir dir;
        HistoryStore refused(dir.filePath(QStringLiteral("missing/History.csv")));
        QCOMPARE(refused.Record(Sample(1, 1000)), UnableToWriteText(refused.Path()));
        QCOMPARE(refused.Record(Sample(1, 1000)), QString());

        HistoryStore store(dir.filePath(QStringLiteral("History.csv")));
        QCOMPARE(store.Record(Sample(1, 1000)), QString());
        QVERIFY(!store.IsLoaded());
        store.EnsureLoaded();
        QCOMPARE(store.Attempts().size(), size_t(1));
        store.Record(Sample(2, 2000));   // kept in memory too, without reading again
        QCOMPARE(store.Attempts().size(), size_t(2));
        QCOMPARE(store.Attempts().back().caseNumber, 2);
    }

    // Lines the file does not take (no room, or another copy holding its
    // lock, which is never waited on) wait in memory, in order, and go in
    // whole before the next one or at the timer's tick; the store shows
    // them meanwhile, and the refusal is told once.
    void unwrittenLinesWaitAndGoInInOrder()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("History.csv"));
        HistoryStore store(path);
        store.EnsureLoaded();
        QSignalSpy changed(&store, &HistoryStore::PendingChanged);
        auto* timer = store.findChild<QTimer*>(QStringLiteral("historyRetryTimer"));
        QVERIFY(timer);
        QCOMPARE(store.Record(Sample(1, 1000)), QString());
        const QByteArray first = ReadAll(path);
        {
            const FileSizeLimit full(first.size() + 10);
            QCOMPARE(store.Record(Sample(2, 2000), QStringLiteral("R U")), UnableToWriteText(path));
            QCOMPARE(store.Record(Sample(3, 3000)), QString());
            QVERIFY(!store.RetryPending());
        }
        QCOMPARE(ReadAll(path), first);
        QCOMPARE(store.PendingCount(), 2);
        QVERIFY(timer->isActive());
        QCOMPARE(CaseNumbers(store.Attempts()), Ms({1, 2, 3}));

        int other = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        QCOMPARE(::flock(other, LOCK_EX), 0);
        QCOMPARE(store.Record(Sample(4, 4000)), QString());
        QCOMPARE(store.PendingCount(), 3);
        QCOMPARE(ReadAll(path), first);
        ::close(other);
        QVERIFY(QMetaObject::invokeMethod(timer, "timeout"));   // the timer's tick, without waiting for it
        QCOMPARE(store.PendingCount(), 0);
        QVERIFY(!timer->isActive());
        QCOMPARE(CaseNumbers(ParseHistory(ReadAll(path)).attempts), Ms({1, 2, 3, 4}));
        QVERIFY(ReadAll(path).contains(",2.000,0,R U,time,,,\r\n"));
        QList<int> counts;
        for (const QList<QVariant>& signal : changed)
            counts << signal.at(0).toInt();
        QCOMPARE(counts, (QList<int>{1, 2, 3, 0}));

        // A time still waiting when the reading begins is counted once.
        HistoryStore later(path);
        other = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        QCOMPARE(::flock(other, LOCK_EX), 0);
        later.Record(Sample(5, 5000));
        ::close(other);
        later.StartLoading();
        QVERIFY(later.RetryPending());
        later.EnsureLoaded();
        QCOMPARE(CaseNumbers(later.Attempts()), Ms({1, 2, 3, 4, 5}));
    }

    // The reading runs beside the event loop; a time recorded meanwhile is
    // counted once, after what was read; a pipe in the file's place is
    // reported, not waited for.
    void storeReadsInTheBackground()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("History.csv"));
        QByteArray content = HistoryHeader() + "\r\n";
        for (int i = 0; i < 20000; ++i)
            content += FormatAttempt(Sample(1 + i % 57, 1000 + i)) + "\r\n";
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
        file.close();
        HistoryStore store(path);
        QSignalSpy loaded(&store, &HistoryStore::Loaded);
        store.StartLoading();
        QVERIFY(store.Loading());
        store.Record(Sample(9, 777));
        QVERIFY(loaded.wait(10000));
        QCOMPARE(store.Attempts().size(), size_t(20001));
        QCOMPARE(store.Attempts().front(), Sample(1, 1000));
        QCOMPARE(store.Attempts().back(), Sample(9, 777));
        QCOMPARE(store.LoadedShare(), 1.0);

        HistoryStore abandoned(path);
        abandoned.StartLoading();
        abandoned.AbandonLoading();
        QVERIFY(!abandoned.Loading() && !abandoned.IsLoaded());

        const QString pipe = dir.filePath(QStringLiteral("pipe.csv"));
        QCOMPARE(mkfifo(QFile::encodeName(pipe).constData(), 0644), 0);
        HistoryStore fromPipe(pipe);
        fromPipe.EnsureLoaded();
        QVERIFY(fromPipe.IsLoaded() && fromPipe.Unreadable());
        QVERIFY(fromPipe.Attempts().empty());
    }

    // Read piece by piece, lines cut anywhere, the file reads as a whole.
    void piecewiseReadingAgreesWithTheWholeFile()
    {
        Attempt twoSide = Sample(4, 3210);
        twoSide.set = CaseSet::PLL;
        twoSide.level = Level::Hard;
        twoSide.twoSide = true;
        twoSide.exam = true;
        const QByteArray content = HistoryHeaderWithoutScramble() + "\r\n" + FormatAttempt(Sample(1, 1470)) + "\r\n"
                                   + HistoryHeader() + "\r\n"
                                   + FormatAttempt(twoSide) + "\n\r\n   \r\n"
                                   "2026-12-09T11:32:05Z,OLL,58,Easy,top,1.470,0\r\n"        // no such case
                                   "2026-02-30T11:32:05Z,OLL,5,Easy,top,1.470,0\r\n"         // no such day
                                   "2026-12-09T11:32:05Z,OLL,7,Easy,2-side,1.470,0\r\n"      // not PLL Hard
                                   "\"2026-12-09T11:32:05Z\",OLL,07,Easy,top,12,1\r\n"       // quoted, short forms
                                   "2026-12-09T11:32:05Z,OLL,7,Easy,top,86399.999,0\r\n"
                                   "2026-12-09T11:32:05Z,OLL,7,Easy,top,86400.999,0\r\n"     // above a day
                                   "2026-12-09T11:32:05Z,OLL,7,Easy,top,1.470,0,R U,time,,,,\r\n"    // a field too many
                                   "2026-12-09T11:32:05Z,OLL,8,Easy,top,1.470,0,R U' R2\r\n"  // with its scramble
                                   + FormatAttempt(Sample(57, 999));   // no line end: an append cut short
        const HistoryContent whole = ParseHistory(content);
        QCOMPARE(whole.attempts.size(), size_t(5));
        QCOMPARE(whole.skippedLines, 6);
        for (const qsizetype piece : {qsizetype(1), qsizetype(7), qsizetype(45), content.size()}) {
            for (const bool quick : {true, false}) {
                HistoryReader reader;
                reader.Parser().SetQuickPath(quick);
                for (qsizetype at = 0; at < content.size(); at += piece)
                    reader.Feed(content.constData() + at, static_cast<size_t>(std::min(piece, content.size() - at)));
                const HistoryContent read = reader.Finish();
                QCOMPARE(read.attempts, whole.attempts);
                QCOMPARE(read.skippedLines, whole.skippedLines);
            }
        }
        // Cut between its CR and LF, the last line is whole.
        QCOMPARE(ParseHistory(content + "\r").attempts.size(), size_t(6));
        HistoryReader overlong;
        const QByteArray noise(100 * 1024, 'x');
        overlong.Feed(noise.constData(), static_cast<size_t>(noise.size()));
        overlong.Feed("\n", 1);
        QCOMPARE(overlong.Finish().skippedLines, 1);
    }

    // The header names the columns; the program appends lines with a
    // scramble to files that still start with the old header.
    void headerNamesTheColumns()
    {
        Attempt pll = Sample(5, 2500);
        pll.set = CaseSet::PLL;
        pll.level = Level::Hard;
        pll.twoSide = true;
        const QByteArray content =
            "\xEF\xBB\xBF" + HistoryHeaderWithoutScramble() + "\r\n"   // as a spreadsheet saves it
            + FormatAttempt(Sample(1, 1000)).chopped(9) + "\r\n"          // seven fields, as first written
            + FormatAttempt(Sample(2, 2000), QStringLiteral("R U R'")) + "\r\n"
            + FormatAttempt(Sample(3, 3000)) + "\r\n"
            + FormatAttempt(Sample(4, 4000), QStringLiteral("R, U")) + "\r\n"   // quoted
            + "\r\n" + HistoryHeaderWithoutScramble() + "\r\n"                // a second copy's header
            + " Seconds,case,SET,time,level,exam,recognition,notes,scramble\r\n"   // another program's order
            + "2.5,5,PLL,2026-12-09T11:32:05Z,Hard,0,2-side,fast,F R\r\n"
            + "2.5,5,PLL,2026-12-09T11:32:05Z,Hard,0,2-side,\r\n"
            + FormatAttempt(Sample(6, 6000)) + "\r\n";                     // the program's order no longer holds
        for (const bool quick : {true, false}) {
            HistoryReader reader;
            reader.Parser().SetQuickPath(quick);
            reader.Feed(content.constData(), static_cast<size_t>(content.size()));
            const HistoryContent read = reader.Finish();
            QCOMPARE(read.attempts, (std::vector<Attempt>{Sample(1, 1000), Sample(2, 2000), Sample(3, 3000),
                                                          Sample(4, 4000), pll, pll}));
            QCOMPARE(read.skippedLines, 1);
        }

        HistoryLineParser parser;
        const QByteArray header = HistoryHeaderWithoutScramble();
        const QByteArray line = FormatAttempt(Sample(2, 2000), QStringLiteral("R U R'"));
        Attempt attempt;
        QString scramble;
        QCOMPARE(parser.Read(header.constBegin(), header.constEnd(), attempt), HistoryLineParser::Line::Header);
        QCOMPARE(parser.Read(line.constBegin(), line.constEnd(), attempt, &scramble), HistoryLineParser::Line::Attempt);
        QCOMPARE(scramble, QStringLiteral("R U R'"));
        // A header that lacks a column, or names one twice, is no header.
        for (const QByteArray& damaged : {QByteArray("time,set,case,level,recognition,seconds"),
                                          QByteArray("time,set,case,level,recognition,seconds,exam,exam")})
            QCOMPARE(parser.Read(damaged.constBegin(), damaged.constEnd(), attempt), HistoryLineParser::Line::Damaged);
    }

    // A sparse file of 100 GiB claims billions of lines: read without
    // sizing memory from it, its NUL bytes stop the reading after a few
    // megabytes, and it is reported as unreadable. NUL bytes a crash left
    // amid the lines cost only their line.
    void hugeFilesOfNulBytesAreReadBoundedly()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("History.csv"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        const QByteArray lines = HistoryHeader() + "\r\n" + FormatAttempt(Sample(1, 1000)) + "\r\n";
        QCOMPARE(file.write(lines), lines.size());
        file.close();
        QCOMPARE(::truncate(QFile::encodeName(path).constData(), 100LL << 30), 0);
        QElapsedTimer timer;
        timer.start();
        HistoryStore store(path);
        store.EnsureLoaded();
        QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(store.IsLoaded() && store.Unreadable());
        QCOMPARE(store.Attempts(), std::vector<Attempt>{Sample(1, 1000)});

        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        const QByteArray hole(1 << 20, '\0');
        const QByteArray after = "\r\n" + FormatAttempt(Sample(2, 2000)) + "\r\n";
        QVERIFY(file.write(lines + hole + after) == lines.size() + hole.size() + after.size());
        file.close();
        HistoryStore mended(path);
        mended.EnsureLoaded();
        QVERIFY(!mended.Unreadable());
        QCOMPARE(mended.Attempts(), (std::vector<Attempt>{Sample(1, 1000), Sample(2, 2000)}));
        QCOMPARE(mended.SkippedLines(), 1);
    }

    // The reading goes to the end of the file it opened, where it may meet
    // the times recorded meanwhile: each is kept once, in the file's order.
    void timesRecordedWhileReadingAreKeptOnce()
    {
        const std::vector<Attempt> read{Sample(1, 1000), Sample(2, 2000), Sample(3, 3000)};
        QCOMPARE(TimesAlreadyRead(read, {Sample(2, 2000), Sample(3, 3000), Sample(4, 4000)}), size_t(2));
        QCOMPARE(TimesAlreadyRead(read, {Sample(3, 3000)}), size_t(1));
        QCOMPARE(TimesAlreadyRead(read, {Sample(4, 4000)}), size_t(0));
        QCOMPARE(TimesAlreadyRead(read, {Sample(2, 2000)}), size_t(0));   // met, but not at the end: not this reading's
        QCOMPARE(TimesAlreadyRead({}, {Sample(1, 1000)}), size_t(0));
    }

    // Means from the whole milliseconds, rounded once, halves to even.
    void averagesDropBestAndWorstAndRoundOnce()
    {
        QCOMPARE(TrimmedMeanMs(Ms({5000, 1000, 3000, 4000, 2000}), 0, 5), 3000);
        const auto ao5 = RollingAverages(Ms({5000, 1000, 3000, 4000, 2000, 9000}), 5);
        QVERIFY(!ao5[3]);
        QCOMPARE(*ao5[4], 3000);
        QCOMPARE(*ao5[5], 3000);   // 1,3,4,2,9: without 1 and 9
        QCOMPARE(BestSoFar(Ms({3000, 4000, 2000, 2500})), Ms({3000, 3000, 2000, 2000}));
        QCOMPARE(TrimmedMeanMs(Ms({1000, 2000, 2001, 2002, 9000}), 0, 5), 2001);
        QCOMPARE(TrimmedMeanMs(Ms({1000, 2000, 2001, 9000}), 0, 4), 2000);   // 2000.5: to the even 2000
        QCOMPARE(TrimmedMeanMs(Ms({1000, 2001, 2002, 9000}), 0, 4), 2002);   // 2001.5: to the even 2002
        QCOMPARE(RoundedQuotient(-3, 2), -2);

        std::vector<int> tenAndOne(10, 2000);
        tenAndOne.push_back(2005);
        QCOMPARE(FiguresOf(tenAndOne).meanMs, 2000);   // 2000.45, not a rounded 2,001

        const CaseFigures few = FiguresOf(Ms({3000, 1000, 2000}));
        QCOMPARE(few.attempts, 3);
        QCOMPARE(few.bestMs, 1000);
        QCOMPARE(few.bestSingleIndex, size_t(1));
        QCOMPARE(few.meanMs, 2000);
        QVERIFY(!few.currentAo5 && !few.bestAo5);

        std::vector<int> twelve{10000, 2000, 2000, 2000, 2000, 2000, 3000, 3000, 3000, 3000, 3000, 500};
        const CaseFigures figures = FiguresOf(twelve);
        QCOMPARE(*figures.currentAo5, 3000);
        QCOMPARE(*figures.bestAo5, 2000);
        QCOMPARE(*figures.bestAo5Index, size_t(4));   // the first window to reach it
        QCOMPARE(*figures.currentAo12, 2500);   // without 10 and 0.5
    }

    void setRankingUsesLastTwelveSlowestFirstWithoutExams()
    {
        std::vector<Attempt> attempts;
        attempts.push_back(Sample(3, 60000));   // thirteenth from the end: left out
        for (int i = 0; i < 12; ++i)
            attempts.push_back(Sample(3, 2000));
        attempts.push_back(Sample(5, 4000));
        Attempt hard = Sample(9, 9000);
        hard.level = Level::Hard;
        attempts.push_back(hard);
        Attempt exam = Sample(11, 8000);
        exam.exam = true;
        exam.utcSeconds += 100;
        attempts.push_back(exam);

        const SetRanking all = RankSet(attempts, CaseSet::OLL, {});
        QCOMPARE(all.slowestFirst.size(), size_t(3));
        QCOMPARE(all.slowestFirst[0].caseNumber, 9);
        QCOMPARE(all.slowestFirst[1].caseNumber, 5);
        QCOMPARE(all.slowestFirst[2].caseNumber, 3);
        QCOMPARE(all.slowestFirst[2].milliseconds, 2000);
        QCOMPARE(all.withoutTimes.size(), size_t(54));

        AttemptFilter easy;
        easy.level = Level::Easy;
        const SetRanking easyOnly = RankSet(attempts, CaseSet::OLL, easy);
        QCOMPARE(easyOnly.slowestFirst.size(), size_t(2));
        QVERIFY(std::count(easyOnly.withoutTimes.begin(), easyOnly.withoutTimes.end(), 9) == 1);

        AttemptFilter withExam;
        withExam.withExam = true;
        QCOMPARE(RankSet(attempts, CaseSet::OLL, withExam).slowestFirst.size(), size_t(4));
        QCOMPARE(CaseAttempts(attempts, CaseSet::OLL, 11, {}).size(), size_t(0));
        QCOMPARE(*LastPractised(attempts, CaseSet::OLL, 11, withExam), exam.utcSeconds);
        QVERIFY(!LastPractised(attempts, CaseSet::OLL, 9, easy));
    }

    // Beside the main window where there is room, wholly on the screen.
    void progressWindowOpensBesideTheMainWindow()
    {
        const QRect screen(0, 0, 1280, 1024);
        const QSize frame(760, 570);
        const QRect picture(300, 200, 200, 200);
        QCOMPARE(PlaceBeside(QRect(0, 100, 500, 600), frame, screen, {picture}), QPoint(500, 100));
        QCOMPARE(PlaceBeside(QRect(800, 600, 480, 400), frame, screen, {picture}), QPoint(40, 454));   // left, raised
        // No room on either side: the corner that leaves the picture and the stopwatch free.
        const QRect wide(100, 0, 1100, 900);
        const QRect left(150, 100, 400, 300), stopwatch(150, 450, 400, 100);
        const QPoint at = PlaceBeside(wide, frame, screen, {left, stopwatch});
        QCOMPARE(at, QPoint(520, 454));   // bottom right: covers 30 x 96 px of the stopwatch
        QVERIFY(screen.contains(QRect(at, frame)));
    }
};
QTEST_GUILESS_MAIN(HistoryTest)
#include "test_core_history.moc"
