// History.csv and the Progress window: the first opening on 10,000 and on
// 100,000 recorded times (reading the file in the background, building the
// window, its first paint), the reading of 4.5 million lines with the window
// thread's longest pause, the cost of one append with and without the window
// open (the first append to a file written before the scramble column is
// bench_append's), and the recognition figures of 100,000 lines with splits
// and naming drill answers on the window thread.
// Every file is written as the program writes it today (historylines.h).
#include "benchprogram.h"
#include "benchstats.h"
#include "historylines.h"
#include "history/historyfile.h"
#include "history/historystore.h"
#include "history/progressstats.h"
#include "window/progresshub.h"
#include "history/progressview.h"
#include "window/tform1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <ctime>
#include <fcntl.h>
#include <random>
#include <unistd.h>

namespace {

constexpr int kBusyCase = 21;   // the case most of the practice went into

// lines times as the program writes them: half of them on one case, the
// rest spread over the set; with both sets, over all 78 cases.
void WriteHistory(const QString& path, int lines, bool bothSets)
{
    std::mt19937 random(5);
    WrittenHistory written(5);
    int i = 0;
    written.Write(path, [&](Attempt& attempt) {
        attempt = Attempt();
        attempt.utcSeconds = 1790000000 + i * 60LL;
        attempt.set = bothSets && random() % 78 >= 57 ? CaseSet::PLL : CaseSet::OLL;
        attempt.caseNumber = !bothSets && i % 2 ? kBusyCase : 1 + static_cast<int>(random() % CaseCount(attempt.set));
        attempt.level = random() % 4 ? Level::Easy : Level::Hard;
        attempt.milliseconds = 1200 + static_cast<int>(random() % 4000);
        return i++ < lines;
    });
}

// 4.5 million times over the 78 cases, some twenty seconds apart (a few
// thousand a day for years), as the program writes them.
void WriteHugeHistory(const QString& path, int lines)
{
    WrittenHistory written(7);
    int i = 0;
    written.Write(path, [&](Attempt& attempt) {
        attempt = Attempt();
        const bool pll = i % 78 >= 57;
        attempt.utcSeconds = 1700000000 + i * 20LL;
        attempt.set = pll ? CaseSet::PLL : CaseSet::OLL;
        attempt.caseNumber = pll ? i % 78 - 56 : i % 78 + 1;
        attempt.level = i % 7 == 3 ? Level::Hard : Level::Easy;
        attempt.milliseconds = 900 + static_cast<int>((i * 7919LL) % 5000);
        attempt.exam = i % 50 == 0;
        return i++ < lines;
    });
}

struct Opening {
    double totalMs = 0;        // from the opening to the filled window painted
    double openMs = 0;         // the opening itself: the plugin loaded, the window built and shown
    double longestPauseMs = 0; // the longest gap between two beats of the window thread after that
    double longestWorkMs = 0;  // the most processor time the window thread spent within one such gap
};

// The processor time of the calling thread: on a loaded machine the window
// thread also waits for a core, which is not work of the program's own.
double ThreadCpuMs()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// The processor time of the whole process: the reading runs on a thread of its own.
double ProcessCpuMs()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// Opens the window, lets the file be read with the event loop running, and
// paints the filled window. A 1 ms beat shows how long the window thread
// was held at a time.
template <typename Open> Opening OpenAndFill(ProgressHub& hub, Open&& open)
{
    Opening result;
    QElapsedTimer total, sinceBeat;
    double cpuAtBeat = 0;
    QTimer beat;
    beat.setInterval(1);
    const auto noteBeat = [&] {
        result.longestPauseMs = std::max(result.longestPauseMs, double(sinceBeat.nsecsElapsed()) / 1e6);
        result.longestWorkMs = std::max(result.longestWorkMs, ThreadCpuMs() - cpuAtBeat);
        sinceBeat.restart();
        cpuAtBeat = ThreadCpuMs();
    };
    QObject::connect(&beat, &QTimer::timeout, noteBeat);
    QEventLoop loop;
    QObject::connect(&hub.Store(), &HistoryStore::Loaded, &loop, [&] { QTimer::singleShot(0, &loop, &QEventLoop::quit); });
    total.start();
    open(hub);
    result.openMs = double(total.nsecsElapsed()) / 1e6;
    sinceBeat.start();
    cpuAtBeat = ThreadCpuMs();
    beat.start();
    if (!hub.Store().IsLoaded())
        loop.exec();
    hub.Window()->Widget()->repaint();
    QApplication::processEvents();
    result.totalMs = double(total.nsecsElapsed()) / 1e6;
    noteBeat();
    return result;
}

template <typename Open> Opening OpeningIn(const QString& folder, Open&& open)
{
    auto program = StartIn(folder);
    return OpenAndFill(*program->form1->progress, open);
}

void BenchOpening(const QString& folder, int lines, bool bothSets, int caseNumber, const QString& which)
{
    WriteHistory(folder + QStringLiteral("/History.csv"), lines, bothSets);
    std::vector<double> caseMs, setMs;
    for (int run = 0; run < 7; ++run) {
        caseMs.push_back(OpeningIn(folder, [&](ProgressHub& hub) { hub.OpenCase(CaseSet::OLL, caseNumber); }).totalMs);
        setMs.push_back(OpeningIn(folder, [](ProgressHub& hub) { hub.OpenSet(CaseSet::OLL); }).totalMs);
    }
    PrintRow(QStringLiteral("Progress window, first opening on %1 lines: %2 (median of 7)").arg(lines).arg(which),
             QStringLiteral("%1 ms (max %2 ms)").arg(Fixed(Median(caseMs), 1), Fixed(Largest(caseMs), 1)),
             QStringLiteral("< 200 ms"), Median(caseMs) < 200);
    PrintRow(QStringLiteral("Progress window, first opening on %1 lines: the set view (median of 7)").arg(lines),
             QStringLiteral("%1 ms (max %2 ms)").arg(Fixed(Median(setMs), 1), Fixed(Largest(setMs), 1)),
             QStringLiteral("< 200 ms"), Median(setMs) < 200);
}

double ResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble();
    return 0;
}

double MiB(const QString& path) { return double(QFileInfo(path).size()) / (1 << 20); }

void BenchHugeFile(const QString& folder)
{
    constexpr int kHugeLines = 4500000;
    const QString path = folder + QStringLiteral("/History.csv");
    WriteHugeHistory(path, kHugeLines);
    {
        const double residentBefore = ResidentKiB();
        HistoryStore store(path);
        const double cpuBefore = ProcessCpuMs();
        const double readMs = TimeMs([&] { store.EnsureLoaded(); });
        const double cpuMs = ProcessCpuMs() - cpuBefore;
        const double times = double(store.Attempts().size());
        const double residentBytes = (ResidentKiB() - residentBefore) * 1024;
        // What does not grow with the file: the reading thread, the store.
        const double fixedMiB = (residentBytes - times * sizeof(Attempt)) / (1 << 20);
        PrintRow(QStringLiteral("History.csv of 4.5 million lines as the program writes them (%1 MiB, half with a "
                                "scramble): the reading alone (HistoryStore::EnsureLoaded)").arg(Fixed(MiB(path), 0)),
                 QStringLiteral("%1 s (processor time %2 s), %3 times, %4 damaged lines; resident memory grew by "
                                "%5 bytes per time kept: 16 a time and %6 MiB besides")
                     .arg(Fixed(readMs / 1000, 2), Fixed(cpuMs / 1000, 2))
                     .arg(store.Attempts().size())
                     .arg(store.SkippedLines())
                     .arg(Fixed(residentBytes / times, 2), Fixed(fixedMiB, 2)),
                 QStringLiteral("≤ 1 s; 16 bytes a time (besides, less than 1 MiB)"),
                 readMs <= 1000 && fixedMiB < 1 && store.Attempts().size() == size_t(kHugeLines));
    }
    auto program = StartIn(folder);
    ProgressHub& hub = *program->form1->progress;
    const double before = ResidentKiB();
    const Opening opening = OpenAndFill(hub, [](ProgressHub& h) { h.OpenSet(CaseSet::OLL); });
    const double bytesPerTime = (ResidentKiB() - before) * 1024 / double(hub.Store().Attempts().size());
    PrintRow(QStringLiteral("History.csv of 4.5 million lines as the program writes them: opening the set view to its filled paint"),
             QStringLiteral("%1 s; the window up in %2 ms, then the window thread busy at most %3 ms at a time "
                            "(longest gap between its beats %4 ms, waiting for a core included); %5 bytes per time "
                            "kept, the window and its chart library included")
                 .arg(Fixed(opening.totalMs / 1000, 2), Fixed(opening.openMs, 1), Fixed(opening.longestWorkMs, 1),
                      Fixed(opening.longestPauseMs, 1), Fixed(bytesPerTime, 1)),
             QStringLiteral("≤ 1 s; ≤ 17 ms (one frame)"), opening.totalMs <= 1000 && opening.longestWorkMs <= 17);
}

// What the disk's flush alone costs for a line-sized append.
double FlushUs(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CREAT, 0644);
    Attempt attempt;
    attempt.utcSeconds = 1796815925;
    attempt.caseNumber = kBusyCase;
    attempt.milliseconds = 1470;
    const QByteArray line = FormatAttempt(attempt, QStringLiteral("R U R' U' R' F R2 U' R' U' R U R' F'")) + "\r\n";
    if (::write(fd, line.constData(), static_cast<size_t>(line.size())) != line.size())
        std::perror("write");
    QElapsedTimer timer;
    timer.start();
    ::fdatasync(fd);
    const double us = double(timer.nsecsElapsed()) / 1000;
    ::close(fd);
    return us;
}

void BenchAppend(const QString& folder)
{
    const QString path = folder + QStringLiteral("/append.csv");
    std::vector<double> appendUs;
    std::vector<double> flushUs;
    Attempt attempt;
    attempt.utcSeconds = 1796815925;
    attempt.caseNumber = kBusyCase;
    attempt.milliseconds = 1470;
    for (int i = 0; i < 200; ++i) {
        const QString scramble = i % 2 ? QStringLiteral("R U R' U' R' F R2 U' R' U' R U R' F'") : QString();
        appendUs.push_back(TimeMs([&] { AppendAttempt(path, attempt, scramble); }) * 1000);
        flushUs.push_back(FlushUs(folder + QStringLiteral("/flush.csv")));
    }
    const double withoutFlush = Median(appendUs) - Median(flushUs);
    PrintRow(QStringLiteral("One append to History.csv, flush included (median of 200)"),
             QStringLiteral("%1 ms, of which the flush %2 ms").arg(Fixed(Median(appendUs) / 1000, 3), Fixed(Median(flushUs) / 1000, 3)),
             QStringLiteral("< 1 ms plus the flush"), withoutFlush < 1000);
}

// An accepted time with the window open on a case: append and redraw, on the
// busy case and on one with an ordinary number of times.
void BenchAppendWithWindow(const QString& folder, int caseNumber, const QString& which)
{
    auto program = StartIn(folder);
    ProgressHub& hub = *program->form1->progress;
    OpenAndFill(hub, [&](ProgressHub& h) { h.OpenCase(CaseSet::OLL, caseNumber); });
    program->form1->state.currentCase = caseNumber;
    std::vector<double> ms, appendMs;
    for (int i = 0; i < 20; ++i) {
        Attempt attempt;
        attempt.caseNumber = caseNumber;
        attempt.milliseconds = 1470 + i * 100;
        // What RecordAccepted does: the append (with the disk's flush), then the window.
        const QString scramble = i % 2 ? QStringLiteral("F R U R' U' F'") : QString();
        appendMs.push_back(TimeMs([&] { hub.Store().Record(attempt, scramble); }));
        ms.push_back(TimeMs([&] {
            hub.Window()->AddAttempt(attempt);
            QApplication::processEvents();
        }));
    }
    PrintRow(QStringLiteral("An accepted time with the window open on %1: its redraw (median of 20)").arg(which),
             QStringLiteral("%1 ms (max %2 ms); the append before it %3 ms")
                 .arg(Fixed(Median(ms), 1), Fixed(Largest(ms), 1), Fixed(Median(appendMs), 1)),
             QStringLiteral("< 17 ms (one frame)"), Median(ms) < 17);
}

// 100,000 lines as the program writes them with the recognition timed and
// the naming drill in use: a third of the times split, a tenth of the lines
// drill answers (a quarter of them misses), over the 78 cases.
void WriteRecognitionHistory(const QString& path, int lines)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    std::mt19937 random(9);
    QByteArray content = WrittenHistory::Header();
    for (int i = 0; i < lines; ++i) {
        Attempt attempt;
        AttemptDetail detail;
        attempt.utcSeconds = 1790000000 + i * 60LL;
        attempt.set = random() % 78 >= 57 ? CaseSet::PLL : CaseSet::OLL;
        attempt.caseNumber = i % 2 ? kBusyCase : 1 + static_cast<int>(random() % CaseCount(attempt.set));
        attempt.milliseconds = 1200 + static_cast<int>(random() % 4000);
        if (i % 10 == 0) {
            attempt.mode = AttemptMode::Name;
            detail.answer = QStringLiteral("27");
            detail.result = random() % 4 ? AttemptResult::Ok : AttemptResult::Wrong;
            if (detail.result == AttemptResult::Ok)
                detail.splitMilliseconds = attempt.milliseconds;
            else
                attempt.milliseconds = 0;
        } else if (i % 3 == 0) {
            attempt.mode = AttemptMode::Split;
            detail.splitMilliseconds = 300 + static_cast<int>(random() % 900);
        }
        content += FormatAttempt(attempt, QString(), detail) + "\r\n";
    }
    file.write(content);
}

// What the window thread computes for the recognition figures once the
// file is read, alone and with the window's redraw.
void BenchRecognitionFigures(const QString& folder)
{
    constexpr int kLines = 100000;
    WriteRecognitionHistory(folder + QStringLiteral("/History.csv"), kLines);
    auto program = StartIn(folder);
    ProgressHub& hub = *program->form1->progress;
    OpenAndFill(hub, [](ProgressHub& h) { h.OpenCase(CaseSet::OLL, kBusyCase); });
    const HistoryStore& store = hub.Store();
    std::vector<double> splitMs, namingMs, recognitionViewMs;
    int checksum = 0;
    for (int run = 0; run < 21; ++run) {
        splitMs.push_back(TimeMs([&] {
            const SplitFigures figures =
                SplitMeans(TimesOf(CaseAttempts(store.Attempts(), CaseSet::OLL, kBusyCase, {})),
                           CaseSplits(store.Attempts(), store.Splits(), CaseSet::OLL, kBusyCase, {}));
            checksum += figures.recognitionMs;
        }));
        namingMs.push_back(TimeMs([&] { checksum += RankNaming(store.Drill(), CaseSet::OLL, {}).worstFirst.front().misses; }));
        hub.Window()->Widget()->findChild<QPushButton*>(QStringLiteral("recognitionButton"))->click();
        recognitionViewMs.push_back(TimeMs([&] {
            hub.Window()->Refresh();
            hub.Window()->Widget()->repaint();
        }));
    }
    PrintRow(QStringLiteral("Recognition figures of 100,000 lines (%1 split times, %2 drill answers), on the window "
                            "thread (median of 21): a case's split means (its 50,000 times listed and their splits found), the naming ranking")
                 .arg(store.Splits().size())
                 .arg(store.Drill().size()),
             QStringLiteral("%1 ms; %2 ms (checksum %3)").arg(Fixed(Median(splitMs), 2), Fixed(Median(namingMs), 2)).arg(checksum),
             QStringLiteral("a few ms"), Median(splitMs) + Median(namingMs) < 5);
    PrintRow(QStringLiteral("The same file: the Recognition view redrawn and painted (median of 21)"),
             QStringLiteral("%1 ms (max %2 ms)").arg(Fixed(Median(recognitionViewMs), 1), Fixed(Largest(recognitionViewMs), 1)),
             QStringLiteral("< 17 ms (one frame)"), Median(recognitionViewMs) < 17);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QTemporaryDir folder;
    // --large: only the 4.5 million lines (for comparing two builds).
    if (argc > 1 && QByteArray(argv[1]) == "--large") {
        BenchHugeFile(folder.path());
        return 0;
    }
    if (argc > 1 && QByteArray(argv[1]) == "--recognition") {
        BenchRecognitionFigures(folder.path());
        return 0;
    }
    BenchOpening(folder.path(), 10000, false, kBusyCase, QStringLiteral("a case with 5,000 times"));
    BenchAppend(folder.path());
    BenchAppendWithWindow(folder.path(), kBusyCase, QStringLiteral("the case with 5,000 times"));
    BenchAppendWithWindow(folder.path(), 1, QStringLiteral("a case with about 90 times"));
    BenchOpening(folder.path(), 100000, true, kBusyCase, QStringLiteral("a case with about 1,300 times"));
    BenchRecognitionFigures(folder.path());
    BenchHugeFile(folder.path());
    return 0;
}
