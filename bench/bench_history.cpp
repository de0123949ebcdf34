// History.csv and the Progress window: the first opening on 10,000 recorded
// times (reading the file, building the window, its first paint), and the
// cost of one append with and without the window open.
#include "benchprogram.h"
#include "benchstats.h"
#include "history/historyfile.h"
#include "history/progresshub.h"
#include "history/progresswindow.h"
#include "window/tform1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <random>
#include <unistd.h>

namespace {

constexpr int kLines = 10000;
constexpr int kBusyCase = 21;   // the case most of the practice went into

// 10,000 times: half of them on one case, the rest spread over the set.
void WriteHistory(const QString& path)
{
    std::mt19937 random(5);
    QByteArray content = HistoryHeader() + "\r\n";
    for (int i = 0; i < kLines; ++i) {
        Attempt attempt;
        attempt.utcSeconds = 1790000000 + i * 60;
        attempt.caseNumber = i % 2 ? kBusyCase : 1 + static_cast<int>(random() % 57);
        attempt.level = random() % 4 ? Level::Easy : Level::Hard;
        attempt.milliseconds = 1200 + static_cast<int>(random() % 4000);
        content += FormatAttempt(attempt) + "\r\n";
    }
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(content);
}

// Reading, building and the first paint of the window.
template <typename Open> double OpeningMs(const QString& folder, Open&& open)
{
    auto program = StartIn(folder);
    ProgressHub& hub = *program->form1->progress;
    return TimeMs([&] {
        open(hub);
        hub.Window()->repaint();
        QApplication::processEvents();
    });
}

void BenchOpening(const QString& folder)
{
    std::vector<double> caseMs;
    std::vector<double> setMs;
    for (int run = 0; run < 7; ++run) {
        caseMs.push_back(OpeningMs(folder, [](ProgressHub& hub) { hub.OpenCase(CaseSet::OLL, kBusyCase); }));
        setMs.push_back(OpeningMs(folder, [](ProgressHub& hub) { hub.OpenSet(CaseSet::OLL); }));
    }
    PrintRow(QStringLiteral("Progress window, first opening on %1 lines: a case with 5,000 times (median of 7)").arg(kLines),
             QStringLiteral("%1 ms (max %2 ms)").arg(Fixed(Median(caseMs), 1), Fixed(Largest(caseMs), 1)),
             QStringLiteral("< 200 ms"), Median(caseMs) < 200);
    PrintRow(QStringLiteral("Progress window, first opening on %1 lines: the set view (median of 7)").arg(kLines),
             QStringLiteral("%1 ms (max %2 ms)").arg(Fixed(Median(setMs), 1), Fixed(Largest(setMs), 1)),
             QStringLiteral("< 200 ms"), Median(setMs) < 200);
}

// What the disk's flush alone costs for a line-sized append.
double FlushUs(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CREAT, 0644);
    const QByteArray line = "2026-12-09T11:32:05Z,OLL,21,Easy,top,1.470,0\r\n";
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
        appendUs.push_back(TimeMs([&] { AppendAttempt(path, attempt); }) * 1000);
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
    hub.OpenCase(CaseSet::OLL, caseNumber);
    QApplication::processEvents();
    program->form1->state.currentCase = caseNumber;
    std::vector<double> ms;
    for (int i = 0; i < 20; ++i)
        ms.push_back(TimeMs([&] {
            hub.RecordAccepted(1.470, false);
            QApplication::processEvents();
        }));
    PrintRow(QStringLiteral("An accepted time with the window open on %1: append and redraw (median of 20)").arg(which),
             QStringLiteral("%1 ms (max %2 ms)").arg(Fixed(Median(ms), 1), Fixed(Largest(ms), 1)),
             QStringLiteral("< 17 ms (one frame)"), Median(ms) < 17);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QTemporaryDir folder;
    WriteHistory(folder.filePath(QStringLiteral("History.csv")));
    BenchOpening(folder.path());
    BenchAppend(folder.path());
    BenchAppendWithWindow(folder.path(), kBusyCase, QStringLiteral("the case with 5,000 times"));
    BenchAppendWithWindow(folder.path(), 1, QStringLiteral("a case with about 90 times"));
    return 0;
}
