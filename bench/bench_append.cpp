// The first Accept of a run on a History.csv of 200 MB written before the
// scramble column (its header and 7-field lines): the whole Accept on the
// window thread, through the real buttons, its line on the disk (flushed)
// before it returns. The append must not depend on the file's size; the
// header is brought up to date afterwards, on a worker thread. The bench
// also checks that every old line after the header stayed as it was, under
// the old header or today's.
#include "benchprogram.h"
#include "benchstats.h"
#include "history/historyfile.h"
#include "history/historystore.h"
#include "core/seams.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <unistd.h>

namespace {

constexpr qint64 kFileBytes = 200LL * 1000 * 1000;
constexpr int kRuns = 7;

// The old header, then 7-field lines over the 57 OLL cases up to the size.
qint64 WriteOldHistory(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return 0;
    qint64 written = file.write(HistoryHeaderWithoutScramble() + "\r\n");
    QByteArray piece;
    for (int i = 0; written < kFileBytes; ++i) {
        piece += QByteArrayLiteral("2026-12-09T11:32:05Z,OLL,") + QByteArray::number(1 + i % 57)
                 + QByteArrayLiteral(",Easy,top,") + QByteArray::number(1 + i % 7) + QByteArrayLiteral(".470,0\r\n");
        if (piece.size() > (1 << 20)) {
            written += file.write(piece);
            piece.clear();
        }
    }
    written += file.write(piece);
    // On the disk, as a file of months of practice is: the first Accept's
    // flush then carries its own line only.
    file.flush();
    ::fsync(file.handle());
    return written;
}

QByteArray FirstLine(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readLine() : QByteArray();
}

// The digest of bytes bytes of the file, from offset on.
QByteArray Digest(const QString& path, qint64 offset, qint64 bytes)
{
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha1);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(offset))
        return {};
    while (bytes > 0) {
        const QByteArray piece = file.read(std::min<qint64>(bytes, 1 << 20));
        if (piece.isEmpty())
            break;
        hash.addData(piece);
        bytes -= piece.size();
    }
    return hash.result();
}

// One run of the program: a time stopped, then the Accept timed.
double FirstAcceptMs(const QString& folder)
{
    Environment env = Environment::Default();
    env.files = FileLocations::Portable(folder);
    auto clock = std::make_shared<ManualClock>();
    env.clock = clock;
    env.messages = std::make_shared<RecordingMessages>();
    Program program(env);
    TForm1& form = *program.form1;
    form.show();
    QApplication::processEvents();
    form.BitBtn1Click();
    while (form.Timer2->isActive()) {
        clock->Advance(1000);
        form.Timer2Timer();
    }
    clock->Advance(1470);
    form.Timer1Timer();
    form.BitBtn1Click();   // Stop
    const double ms = TimeMs([&] { form.BitBtn2Click(); });
    form.close();
    return ms;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("History.csv"));
    const qint64 oldBytes = WriteOldHistory(path);
    const QByteArray oldHeader = FirstLine(path);
    const qint64 oldLines = oldBytes - oldHeader.size();
    const QByteArray oldDigest = Digest(path, oldHeader.size(), oldLines);
    std::vector<double> ms, appendMs;
    for (int run = 0; run < kRuns; ++run) {
        ms.push_back(FirstAcceptMs(folder.path()));
        // The append alone, as a new run's store makes it.
        HistoryStore store(path);
        appendMs.push_back(TimeMs([&] { store.Record(Attempt()); }));
    }   // each run ends before its header upgrade writes: every Accept above met the old header
    // One more run, left to finish its upgrade: the time it took on its worker thread.
    double upgradeMs = 0;
    ReplaceOutcome upgrade = ReplaceOutcome::Unchanged;
    {
        HistoryStore store(path);
        upgradeMs = TimeMs([&] {
            store.Record(Attempt());
            upgrade = store.WaitForHeaderUpgrade();
        });
    }
    const QByteArray header = FirstLine(path);
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    file.seek(header.size() + oldLines);
    const QByteArray appended = file.readAll();
    const bool untouched = (header == oldHeader || header == HistoryHeader() + "\r\n")
                           && Digest(path, header.size(), oldLines) == oldDigest && appended.count('\n') == 2 * kRuns + 1;
    PrintRow(QStringLiteral("The first Accept of a run on a History.csv of 200 MB with the header of before the scramble "
                            "column, its line flushed to the disk (%1 runs)")
                 .arg(kRuns),
             QStringLiteral("median %1 ms, max %2 ms; the append alone (a new run's first), with its flush: median %3 ms; "
                            "%4 lines appended, every old line %5, the header %6 (the upgrade after a last append: %7 ms on "
                            "its worker thread)")
                 .arg(Fixed(Median(ms), 2), Fixed(Largest(ms), 2), Fixed(Median(appendMs), 2))
                 .arg(appended.count('\n'))
                 .arg(untouched ? QStringLiteral("as it was") : QStringLiteral("**changed**"),
                      header == oldHeader ? QStringLiteral("the old one") : QStringLiteral("today's"))
                 .arg(upgrade == ReplaceOutcome::Written ? Fixed(upgradeMs, 0) : QStringLiteral("**not done**")),
             QStringLiteral("≤ 17 ms (one frame); every old line kept"), Largest(ms) <= 17 && untouched);
    return 0;
}
