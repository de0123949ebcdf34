// Start-up against a bare Qt window: from starting the executable to its
// window on screen, and peak memory, median of N runs each (alternating, after
// one unmeasured run each to warm the file cache).
//   bench_startup <program> <bare> [runs]
#include "benchstats.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

namespace {

struct Start {
    double ms = NAN;
    double peakKiB = NAN;
};

Start MeasureOnce(const QString& executable)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer timer;
    timer.start();
    child.start(executable, {});
    Start start;
    while (child.waitForReadyRead(30000)) {
        const QByteArray line = child.readLine();
        if (line.startsWith("shown ")) {
            start.ms = double(timer.nsecsElapsed()) / 1e6;
            start.peakKiB = line.mid(6).trimmed().toDouble();
            break;
        }
    }
    if (!child.waitForFinished(30000))
        child.kill();
    return start;
}

struct Series {
    std::vector<double> ms;
    std::vector<double> peakKiB;
    void Add(const Start& start)
    {
        ms.push_back(start.ms);
        peakKiB.push_back(start.peakKiB);
    }
};

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList args = application.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: bench_startup <program> <bare> [runs]\n");
        return 2;
    }
    const int runs = args.size() > 3 ? args[3].toInt() : 7;
    MeasureOnce(args[1]);
    MeasureOnce(args[2]);
    Series program;
    Series bare;
    for (int run = 0; run < runs; ++run) {
        program.Add(MeasureOnce(args[1]));
        bare.Add(MeasureOnce(args[2]));
    }
    const double timeRatio = Median(program.ms) / Median(bare.ms);
    const double memoryRatio = Median(program.peakKiB) / Median(bare.peakKiB);
    PrintRow(QStringLiteral("Start-up to the main window shown (median of %1)").arg(runs),
             QStringLiteral("%1 ms against %2 ms for a bare window: %3 ×")
                 .arg(Fixed(Median(program.ms), 0), Fixed(Median(bare.ms), 0), Fixed(timeRatio, 2)),
             QStringLiteral("≤ 1.3 ×"), timeRatio <= 1.3);
    PrintRow(QStringLiteral("Peak memory at that moment (median of %1)").arg(runs),
             QStringLiteral("%1 MiB against %2 MiB: %3 ×")
                 .arg(Fixed(Median(program.peakKiB) / 1024, 1), Fixed(Median(bare.peakKiB) / 1024, 1), Fixed(memoryRatio, 2)),
             QStringLiteral("≤ 1.3 ×"), memoryRatio <= 1.3);
    return 0;
}
