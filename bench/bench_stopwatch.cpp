// Stopwatch fidelity: the real 10 ms stopwatch timer in the event loop,
// stopped at known monotonic moments from 0.3 s to 20 s, with the processor
// idle and with the other core fully busy.
//
// The program reads the steady clock in whole milliseconds, as SteadyClock
// does; this clock does exactly that and also keeps the nanoseconds of each
// reading, so that the true start of an attempt is known. A "stop" is what
// Stop would record when its key press is handled at that moment: the text of
// the last tick (lastTimeText). Each attempt also ends with a real Stop.
#include "app/program.h"
#include "benchstats.h"
#include "trainer/timetext.h"
#include "window/tform1.h"

#include <QApplication>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <csignal>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace {

qint64 SteadyNs()
{
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

class WitnessedSteadyClock : public Clock {
public:
    qint64 MonotonicMs() override { return MonotonicUs() / 1000; }
    qint64 MonotonicUs() override
    {
        lastReadingNs = SteadyNs();
        readingsNs.push_back(lastReadingNs);
        return lastReadingNs / 1000;
    }
    qint64 lastReadingNs = 0;
    std::vector<qint64> readingsNs;   // every reading: during an attempt, the ticks'
};

struct Stop {
    double atSeconds = 0;   // true elapsed time when the stop was handled
    double errorMs = 0;     // recorded minus true: never above 0 is the target
};

double RecordedMs(const QString& text)
{
    return ParseTimeText(text).value_or(NAN) * 1000;
}

// One attempt: Start, the countdown's ticks run at once (they are not what is
// measured), then stops sampled at random moments until the real Stop at `lengthS`.
void RunAttempt(TForm1& form, WitnessedSteadyClock& clock, double lengthS, std::mt19937& random,
                std::vector<Stop>& stops, std::vector<double>& tickGapsMs)
{
    form.BitBtn1Click();
    while (form.Timer2->isActive())
        form.Timer2Timer();
    if (!form.Timer1->isActive())
        return;
    const qint64 startNs = clock.lastReadingNs;
    clock.readingsNs = {startNs};
    QEventLoop loop;
    const auto trueSeconds = [startNs] { return double(SteadyNs() - startNs) / 1e9; };
    const auto sample = [&](bool real) {
        const double at = trueSeconds();
        if (real)
            form.BitBtn1Click();
        const double recorded = RecordedMs(form.state.lastTimeText);
        if (at >= 0.3)
            stops.push_back({at, recorded - at * 1000});
    };
    std::uniform_int_distribution<int> gapMs(5, 60);
    std::function<void()> next = [&] {
        if (trueSeconds() >= lengthS) {
            sample(true);
            loop.quit();
            return;
        }
        sample(false);
        QTimer::singleShot(gapMs(random), Qt::PreciseTimer, &loop, next);
    };
    QTimer::singleShot(gapMs(random), Qt::PreciseTimer, &loop, next);
    loop.exec();
    for (size_t i = 1; i < clock.readingsNs.size(); ++i)
        tickGapsMs.push_back(double(clock.readingsNs[i] - clock.readingsNs[i - 1]) / 1e6);
    form.BitBtn3Click();   // Discard
}

// A process that keeps one core busy until it is killed.
pid_t StartBusyCore()
{
    const pid_t child = ::fork();
    if (child == 0) {
        volatile unsigned long spin = 0;
        for (;;)
            spin = spin + 1;
    }
    return child;
}

struct Measured {
    std::vector<Stop> stops;
    std::vector<double> tickGapsMs;   // between successive tick readings: 10 ms when on time
};

void Report(const QString& condition, const Measured& measured)
{
    const std::vector<Stop>& stops = measured.stops;
    std::vector<double> below;
    std::vector<double> late;   // stops after 15 s: a drifting tick would show here
    int above = 0;
    double worstAbove = 0;
    for (const Stop& stop : stops) {
        below.push_back(-stop.errorMs);
        if (stop.errorMs > 0) {
            ++above;
            worstAbove = std::max(worstAbove, stop.errorMs);
        }
        if (stop.atSeconds > 15)
            late.push_back(-stop.errorMs);
    }
    const double p99 = Quantile(below, 0.99);
    PrintRow(QStringLiteral("Stopwatch, %1: %2 stops from 0.3 s to 20 s").arg(condition).arg(stops.size()),
             QStringLiteral("below the true time: median %1 ms, p99 %2 ms, max %3 ms; above it: %4 stops (max %5 ms); "
                            "after 15 s: median %6 ms, max %7 ms")
                 .arg(Fixed(Median(below), 2), Fixed(p99, 2), Fixed(Largest(below), 2)).arg(above)
                 .arg(Fixed(worstAbove, 2), Fixed(Median(late), 2), Fixed(Largest(late), 2)),
             QStringLiteral("never above; ≤ 10 ms below for 99 %"), above == 0 && p99 <= 10);
    std::printf("| Stopwatch ticks, %s: time between successive readings | median %s ms, p99 %s ms, max %s ms "
                "| (for information: 10 ms when on time) | |\n",
                qPrintable(condition), qPrintable(Fixed(Median(measured.tickGapsMs), 2)),
                qPrintable(Fixed(Quantile(measured.tickGapsMs, 0.99), 2)), qPrintable(Fixed(Largest(measured.tickGapsMs), 2)));
    std::fflush(stdout);
}

Measured Measure(TForm1& form, WitnessedSteadyClock& clock, std::uint32_t seed)
{
    std::mt19937 random(seed);
    Measured measured;
    for (const double lengthS : {0.3, 0.5, 0.8, 1.2, 2.0, 3.5, 6.0, 10.0, 20.0})
        RunAttempt(form, clock, lengthS, random, measured.stops, measured.tickGapsMs);
    return measured;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QTemporaryDir dir(QCoreApplication::applicationDirPath() + QStringLiteral("/stopwatch-XXXXXX"));
    auto clock = std::make_shared<WitnessedSteadyClock>();
    Environment env = Environment::Default();
    env.programFolder = dir.path();
    env.clock = clock;
    env.messages = std::make_shared<RecordingMessages>();
    Program program(env);
    TForm1& form = *program.form1;
    form.show();
    QApplication::processEvents();

    Report(QStringLiteral("idle"), Measure(form, *clock, 1));
    const pid_t busy = StartBusyCore();
    Report(QStringLiteral("other core busy"), Measure(form, *clock, 2));
    ::kill(busy, SIGKILL);
    ::waitpid(busy, nullptr, 0);
    form.close();
    return 0;
}
