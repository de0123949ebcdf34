// Stopwatch fidelity: the real 10 ms stopwatch timer in the event loop and
// real Stops, a Space key press sent to the window at moments from 0.3 s to
// 20 s after the picture appeared, with the processor idle and with the other
// core fully busy.
//
// The program reads the steady clock in microseconds, as SteadyClock does;
// this clock does exactly that and also keeps the nanoseconds of each reading,
// so that the true start of an attempt and the true moment Stop is handled
// (its clock reading) are known. The recorded time is the stopwatch text Stop
// leaves (lastTimeText), compared with the true elapsed time at that moment
// and with the moment the key event's delivery began.
#include "app/program.h"
#include "benchstats.h"
#include "busycore.h"
#include "core/timetext.h"
#include "window/tform1.h"

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <random>

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
    double atSeconds = 0;     // true elapsed time when Stop read the clock
    double errorMs = 0;       // recorded minus true: never above 0 is the target
    double deliveryUs = 0;    // from the start of the key event's delivery to Stop's reading
    double errorFromKeyMs = 0;   // recorded minus the elapsed time when the delivery began
};

double RecordedMs(const QString& text)
{
    return ParseTimeText(text).value_or(NAN) * 1000;
}

// Space to the window's focus (Start/Stop while the stopwatch runs), through
// the window's key preview as a press from the keyboard goes.
void SendSpace(TForm1& form, QEvent::Type type)
{
    QWidget* target = form.focusWidget();
    if (!target)
        target = form.BitBtn1;
    QKeyEvent key(type, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "));
    QApplication::sendEvent(target, &key);
}

// One attempt: Start, the countdown's ticks run at once (they are not what is
// measured), the stopwatch ticking in the event loop until the Space press that
// stops it at `lengthS`, then Discard.
void RunAttempt(TForm1& form, WitnessedSteadyClock& clock, double lengthS, std::vector<Stop>& stops,
                std::vector<double>& tickGapsMs)
{
    form.BitBtn1Click();
    while (form.Timer2->isActive())
        form.Timer2Timer();
    if (!form.Timer1->isActive())
        return;
    const qint64 startNs = clock.lastReadingNs;
    clock.readingsNs = {startNs};
    QEventLoop loop;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setSingleShot(true);
    const auto remainingMs = [&] { return int(std::ceil((lengthS - double(SteadyNs() - startNs) / 1e9) * 1000)); };
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        if (remainingMs() > 0) {   // woken early
            timer.start(remainingMs());
            return;
        }
        const qint64 deliveryNs = SteadyNs();
        SendSpace(form, QEvent::KeyPress);
        const qint64 readingNs = clock.lastReadingNs;
        SendSpace(form, QEvent::KeyRelease);
        const double recorded = RecordedMs(form.state.lastTimeText);
        stops.push_back({double(readingNs - startNs) / 1e9, recorded - double(readingNs - startNs) / 1e6,
                         double(readingNs - deliveryNs) / 1e3, recorded - double(deliveryNs - startNs) / 1e6});
        clock.readingsNs.pop_back();   // Stop's reading is not a tick
        loop.quit();
    });
    timer.start(remainingMs());
    loop.exec();
    for (size_t i = 1; i < clock.readingsNs.size(); ++i)
        tickGapsMs.push_back(double(clock.readingsNs[i] - clock.readingsNs[i - 1]) / 1e6);
    form.BitBtn3Click();   // Discard
}

struct Measured {
    std::vector<Stop> stops;
    std::vector<double> tickGapsMs;   // between successive tick readings: 10 ms when on time
};

void Report(const QString& condition, const Measured& measured)
{
    const std::vector<Stop>& stops = measured.stops;
    std::vector<double> below, late, delivery;   // late: stops after 15 s, where a drift would show
    int above = 0, aboveKey = 0;
    double worstAbove = 0, worstAboveKey = 0;
    for (const Stop& stop : stops) {
        below.push_back(-stop.errorMs);
        delivery.push_back(stop.deliveryUs);
        if (stop.errorMs > 0) {
            ++above;
            worstAbove = std::max(worstAbove, stop.errorMs);
        }
        if (stop.errorFromKeyMs > 0) {
            ++aboveKey;
            worstAboveKey = std::max(worstAboveKey, stop.errorFromKeyMs);
        }
        if (stop.atSeconds > 15)
            late.push_back(-stop.errorMs);
    }
    const double p99 = Quantile(below, 0.99);
    PrintRow(QStringLiteral("Stopwatch, %1: %2 real Stops (Space key) from 0.3 s to 20 s").arg(condition).arg(stops.size()),
             QStringLiteral("below the true time: median %1 ms, p99 %2 ms, max %3 ms; above it: %4 stops (max %5 ms); "
                            "after 15 s: max %6 ms below")
                 .arg(Fixed(Median(below), 2), Fixed(p99, 2), Fixed(Largest(below), 2)).arg(above)
                 .arg(Fixed(worstAbove, 2), Fixed(Largest(late), 2)),
             QStringLiteral("never above; ≤ 1 ms below for 99 %"), above == 0 && p99 <= 1);
    std::printf("| Stopwatch, %s: from the key event's delivery to Stop's clock reading | median %s µs, max %s µs; "
                "against the delivery's start: %d stops above by up to %s µs | (for information) | |\n",
                qPrintable(condition), qPrintable(Fixed(Median(delivery), 1)), qPrintable(Fixed(Largest(delivery), 1)),
                aboveKey, qPrintable(Fixed(worstAboveKey * 1000, 1)));
    std::printf("| Stopwatch ticks, %s: time between successive readings | median %s ms, p99 %s ms, max %s ms "
                "| (for information: 10 ms when on time) | |\n",
                qPrintable(condition), qPrintable(Fixed(Median(measured.tickGapsMs), 2)),
                qPrintable(Fixed(Quantile(measured.tickGapsMs, 0.99), 2)), qPrintable(Fixed(Largest(measured.tickGapsMs), 2)));
    std::fflush(stdout);
}

// Many short attempts for the statistics, a few long ones for drift.
Measured Measure(TForm1& form, WitnessedSteadyClock& clock, std::uint32_t seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> shortLength(0.3, 0.5);
    std::vector<double> lengths{1.0, 3.0, 10.0, 20.0};
    for (int i = 0; i < 100; ++i)
        lengths.push_back(shortLength(random));
    std::shuffle(lengths.begin(), lengths.end(), random);
    Measured measured;
    for (const double lengthS : lengths)
        RunAttempt(form, clock, lengthS, measured.stops, measured.tickGapsMs);
    return measured;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QTemporaryDir dir(QCoreApplication::applicationDirPath() + QStringLiteral("/stopwatch-XXXXXX"));
    auto clock = std::make_shared<WitnessedSteadyClock>();
    Environment env = Environment::Default();
    env.files = FileLocations::Portable(dir.path());
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
