// Start-up against a bare Qt window: from starting the executable to its
// window on screen, peak memory and the processor time spent to that moment,
// median of N runs each (alternating, after one unmeasured run each to warm
// the file cache). The processor time is what load does not stretch: on a
// busy machine the wall time also holds the waits for a core.
//   bench_startup <program> <bare> [runs] [parts]
#include "benchstats.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

namespace {

struct Start {
    double ms = NAN;
    double peakKiB = NAN;
    double cpuMs = NAN;
};

Start MeasureOnce(const QString& executable, const QStringList& arguments = {})
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer timer;
    timer.start();
    child.start(executable, arguments);
    Start start;
    while (child.waitForReadyRead(30000)) {
        const QByteArray line = child.readLine();
        if (line.startsWith("shown ")) {
            start.ms = double(timer.nsecsElapsed()) / 1e6;
            const QList<QByteArray> fields = line.mid(6).trimmed().split(' ');
            start.peakKiB = fields.value(0).toDouble();
            start.cpuMs = fields.size() > 1 ? fields[1].toDouble() : NAN;
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
    std::vector<double> cpuMs;
    void Add(const Start& start)
    {
        ms.push_back(start.ms);
        peakKiB.push_back(start.peakKiB);
        cpuMs.push_back(start.cpuMs);
    }
};

// The parts of start-up (bench_startup_parts), median of each over the runs.
void ReportParts(const QString& executable, int runs)
{
    std::vector<double> parts[5];
    for (int run = 0; run < runs; ++run) {
        QProcess child;
        child.start(executable, {});
        child.waitForFinished(60000);
        const QList<QByteArray> fields = child.readAllStandardOutput().trimmed().split(' ');
        if (fields.size() != 6 || fields[0] != "parts")
            continue;
        for (int i = 0; i < 5; ++i)
            parts[i].push_back(fields[i + 1].toDouble());
    }
    std::printf("| Start-up, its parts (median of %d) | application %s ms; main window and its start-up %s ms; "
                "About window (OpenGL context, texture) %s ms; the two dialogs %s ms; first show until exposed %s ms "
                "| (for information) | |\n",
                runs, qPrintable(Fixed(Median(parts[0]), 0)), qPrintable(Fixed(Median(parts[1]), 0)),
                qPrintable(Fixed(Median(parts[3]), 0)), qPrintable(Fixed(Median(parts[2]), 1)),
                qPrintable(Fixed(Median(parts[4]), 0)));
    std::fflush(stdout);
}

// The program against the other bare windows: the empty one (it never loads
// the font system), and 600 labels (as many controls as the main window).
void ReportAgainstOtherWindows(const QString& programPath, const QString& barePath, int runs)
{
    QStringList measured;
    for (const int labels : {0, 600}) {
        const QStringList arguments{QString::number(labels)};
        MeasureOnce(barePath, arguments);
        Series program;
        Series bare;
        for (int run = 0; run < runs; ++run) {
            program.Add(MeasureOnce(programPath));
            bare.Add(MeasureOnce(barePath, arguments));
        }
        measured << QStringLiteral("%1: %2 ms, %3 MiB (the program %4 × and %5 ×)")
                        .arg(labels == 0 ? QStringLiteral("empty") : QStringLiteral("with %1 labels").arg(labels))
                        .arg(Fixed(Median(bare.ms), 0), Fixed(Median(bare.peakKiB) / 1024, 1),
                             Fixed(Median(program.ms) / Median(bare.ms), 2),
                             Fixed(Median(program.peakKiB) / Median(bare.peakKiB), 2));
    }
    std::printf("| Start-up against other bare windows (median of %d, alternating) | %s | (for information) | |\n",
                runs, qPrintable(measured.join(QStringLiteral("; "))));
    std::fflush(stdout);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList args = application.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: bench_startup <program> <bare> [runs]\n");
        return 2;
    }
    const int runs = args.size() > 3 ? args[3].toInt() : 15;
    // The yardstick: the bare window drawing one line of text.
    const QStringList oneLine{QStringLiteral("1")};
    MeasureOnce(args[1]);
    MeasureOnce(args[2], oneLine);
    Series program;
    Series bare;
    for (int run = 0; run < runs; ++run) {
        program.Add(MeasureOnce(args[1]));
        bare.Add(MeasureOnce(args[2], oneLine));
    }
    const double timeRatio = Median(program.ms) / Median(bare.ms);
    const double memoryRatio = Median(program.peakKiB) / Median(bare.peakKiB);
    PrintRow(QStringLiteral("Start-up to the main window shown (median of %1)").arg(runs),
             QStringLiteral("%1 ms against %2 ms for a bare window drawing one line of text: %3 × "
                            "(processor time to that moment, every thread: %4 ms against %5 ms, %6 ×)")
                 .arg(Fixed(Median(program.ms), 0), Fixed(Median(bare.ms), 0), Fixed(timeRatio, 2),
                      Fixed(Median(program.cpuMs), 0), Fixed(Median(bare.cpuMs), 0),
                      Fixed(Median(program.cpuMs) / Median(bare.cpuMs), 2)),
             QStringLiteral("≤ 1.3 ×"), timeRatio <= 1.3);
    PrintRow(QStringLiteral("Peak memory at that moment (median of %1)").arg(runs),
             QStringLiteral("%1 MiB against %2 MiB: %3 ×")
                 .arg(Fixed(Median(program.peakKiB) / 1024, 1), Fixed(Median(bare.peakKiB) / 1024, 1), Fixed(memoryRatio, 2)),
             QStringLiteral("≤ 1.3 ×"), memoryRatio <= 1.3);
    if (args.size() > 4)
        ReportParts(args[4], runs);
    ReportAgainstOtherWindows(args[1], args[2], runs);
    return 0;
}
