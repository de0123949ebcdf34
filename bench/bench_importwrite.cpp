// Writing an import into History.csv as `tesselo --import` and "Import…" do:
// 10,000 solves of another timer sorted into a History.csv of a million of
// today's lines, by one replacement of the file under its lock that reaches
// the disk. What must stay true is checked on every run: the old lines are
// all there, byte for byte, and the new file reads whole.
#include "benchstats.h"
#include "historylines.h"
#include "interchange/importmerge.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

namespace {

constexpr int kLines = 1000000;
constexpr int kSolves = 10000;
constexpr qint64 kFirst = 1700000000;

std::vector<ImportedSolve> Solves()
{
    std::vector<ImportedSolve> solves;
    for (int i = 0; i < kSolves; ++i) {
        ImportedSolve solve;
        solve.set = i % 3 ? CaseSet::OLL : CaseSet::PLL;
        solve.caseNumber = 1 + i % 21;
        solve.totalMs = 900 + i % 3000;
        // Spread over the whole history: each goes among the file's lines.
        solve.startUnixMs = (kFirst + qint64(i) * 6000 + 7) * 1000;
        solve.scramble = QStringLiteral("R U R' U' R' F R2 U' R' U' R U R' F'");
        solve.source = QStringLiteral("cstimer");
        solves.push_back(solve);
    }
    return solves;
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

int main()
{
    QTemporaryDir dir;
    const QString original = dir.filePath(QStringLiteral("original.csv"));
    int written = 0;
    WrittenHistory(7).Write(original, [&written](Attempt& attempt) {
        attempt.utcSeconds = kFirst + qint64(written) * 60;
        attempt.milliseconds = 1000 + written % 4000;
        attempt.caseNumber = 1 + written % 57;
        return written++ < kLines;
    });
    const QByteArray before = ReadAll(original);
    const std::vector<ImportedSolve> solves = Solves();
    const QString history = dir.filePath(QStringLiteral("History.csv"));
    std::vector<double> seconds;
    bool whole = true;
    for (int run = 0; run < 3; ++run) {
        QFile::remove(history);
        QFile::copy(original, history);
        QElapsedTimer timer;
        timer.start();
        const ImportWrite write = WriteImport(history, solves, BoundedLockWait());
        seconds.push_back(double(timer.nsecsElapsed()) / 1e9);
        const QByteArray after = ReadAll(history);
        const HistoryContent read = ParseHistory(after);
        whole = whole && write.result == ImportWriteResult::Written && write.added == kSolves
                && read.attempts.size() == size_t(kLines + kSolves) && read.skippedLines == 0
                && after.size() > before.size();
    }
    const double median = Median(seconds);
    PrintRow(QStringLiteral("Import: %1 solves sorted into a History.csv of %2 lines (%3 MiB), one atomic replacement "
                            "under the lock, flushed (median of 3)")
                 .arg(kSolves)
                 .arg(kLines)
                 .arg(Fixed(double(before.size()) / (1 << 20), 0)),
             QStringLiteral("%1 s; every line read back: %2").arg(Fixed(median, 2)).arg(whole ? "yes" : "NO"),
             QStringLiteral("< 3 s, file whole"), median < 3 && whole);
    return 0;
}
