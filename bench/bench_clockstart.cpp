// When the stopwatch starts, against the moment the frame that shows the
// question is handed to the window system. This executable defines the xcb
// requests Qt's backing store sends a frame with and the socket writes that
// carry them (framehandover.h): a frame is handed over when the write that
// carries its request to the X server returns (CLOCK_MONOTONIC). The
// program's clock reading the attempt starts from is state.startTimeUs (the
// steady clock, CLOCK_MONOTONIC in microseconds). Per attempt, the frame is
// the first request drawing over the picture frame after the countdown's
// last tick began (under a setup scramble, the frame that takes the scramble
// away at the countdown's end).
//
// For information: the start of that frame's paint in the program's process,
// and the moment an X client of the bench's own (its own connection, on a
// thread of its own) is told by the DAMAGE extension that the frame's pixels
// reached the X server; the server reads the request after the hand-over,
// so that moment also holds the server's and the watcher's waits for a core.
//
// Real attempts through the program's own path: Start, the countdown's ticks
// from Timer2 in the event loop (every 40 ms instead of every second: the
// length of the countdown is not what is measured), the draw, the picture,
// the stopwatch; then Stop and Discard (Accept in the exam). Easy OLL, Hard
// OLL, PLL Hard by two sides, the exam and setup scrambles, idle and with a
// process spinning on the other core.
#include "benchprogram.h"
#include "benchstats.h"
#include "busycore.h"
#include "framehandover.h"
#include "trainer/pictures.h"

#include <QCheckBox>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <atomic>
#include <csignal>
#include <optional>
#include <mutex>
#include <poll.h>
#include <pthread.h>
#include <sched.h>
#include <thread>
#include <time.h>
#include <xcb/damage.h>
#include <xcb/xcb.h>

namespace {

qint64 MonotonicNs()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

struct Damage {
    qint64 atNs = 0;   // when the watcher received it
    QRect area;        // in the window's coordinates
};

// The bench's own X client: every rectangle drawn into the window, as the X
// server reports it, with the moment the report arrived.
class DamageWatcher {
public:
    explicit DamageWatcher(xcb_window_t window)
    {
        connection_ = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(connection_))
            return;
        const xcb_query_extension_reply_t* extension = xcb_get_extension_data(connection_, &xcb_damage_id);
        if (!extension || !extension->present)
            return;
        firstEvent_ = extension->first_event;
        xcb_damage_query_version_reply_t* version = xcb_damage_query_version_reply(
            connection_, xcb_damage_query_version(connection_, XCB_DAMAGE_MAJOR_VERSION, XCB_DAMAGE_MINOR_VERSION),
            nullptr);
        free(version);
        damage_ = xcb_generate_id(connection_);
        xcb_damage_create(connection_, damage_, window, XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
        xcb_flush(connection_);
        working_ = true;
        thread_ = std::thread([this] { Watch(); });
    }

    ~DamageWatcher()
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
        xcb_disconnect(connection_);
    }

    bool Working() const { return working_; }

    // The first damage that overlaps `area` and arrived at or after `fromNs`.
    std::optional<Damage> FirstOver(const QRect& area, qint64 fromNs) const
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        for (const Damage& damage : seen_)
            if (damage.atNs >= fromNs && damage.area.intersects(area))
                return damage;
        return std::nullopt;
    }

    void Forget()
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        seen_.clear();
    }

private:
    void Watch()
    {
        // Noted as soon as the server sends it, whatever else runs (where the
        // system allows a real-time thread; else at the usual priority).
        sched_param priority {};
        priority.sched_priority = 10;
        pthread_setschedparam(pthread_self(), SCHED_FIFO, &priority);
        pollfd descriptor {xcb_get_file_descriptor(connection_), POLLIN, 0};
        while (!stop_) {
            if (::poll(&descriptor, 1, 50) <= 0)
                continue;
            while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
                const qint64 atNs = MonotonicNs();
                if ((event->response_type & 0x7f) == firstEvent_ + XCB_DAMAGE_NOTIFY) {
                    const auto* notify = reinterpret_cast<const xcb_damage_notify_event_t*>(event);
                    const std::lock_guard<std::mutex> lock(mutex_);
                    seen_.push_back({atNs, QRect(notify->area.x, notify->area.y, notify->area.width,
                                                 notify->area.height)});
                }
                free(event);
            }
            if (xcb_connection_has_error(connection_))
                return;
        }
    }

    xcb_connection_t* connection_ = nullptr;
    xcb_damage_damage_t damage_ = 0;
    uint8_t firstEvent_ = 0;
    bool working_ = false;
    std::atomic<bool> stop_ = false;
    std::thread thread_;
    mutable std::mutex mutex_;
    std::vector<Damage> seen_;
};

// The moment each countdown tick of Timer2 begins (before its handler runs).
class TickWitness : public QObject {
public:
    explicit TickWitness(QTimer* timer) { timer->installEventFilter(this); }
    qint64 lastTickNs = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Timer)
            lastTickNs = MonotonicNs();
        return false;
    }
};

// The moments the picture frame is painted into the window's backing store
// (the start of each paint event of Image1).
class PaintWitness : public QObject {
public:
    explicit PaintWitness(QWidget* widget) { widget->installEventFilter(this); }
    std::vector<qint64> paintsNs;

    std::optional<qint64> FirstFrom(qint64 fromNs) const
    {
        for (const qint64 atNs : paintsNs)
            if (atNs >= fromNs)
                return atNs;
        return std::nullopt;
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            paintsNs.push_back(MonotonicNs());
        return false;
    }
};

void RunEventsUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer waited;
    waited.start();
    while (!done() && waited.elapsed() < timeoutMs)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
}

void RunEventsFor(int ms)
{
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
}

struct Attempts {
    std::vector<double> startAfterHandOverUs;   // the clock's start minus the frame's hand-over
    std::vector<double> startAfterPaintUs;      // the clock's start minus the start of the frame's paint
    std::vector<double> startAfterPixelsUs;     // the clock's start minus the pixels seen at the server
    int beforeHandOver = 0;   // clocks started before their frame was handed over (or with it never handed over)
    int unseen = 0;           // attempts whose frame request was not seen
    int pixelsUnseen = 0;     // frames the watcher was not told of in time (for information)
};

// The first request queued after `fromNs` that draws over `area` of `window`.
std::optional<FrameRequest> FirstFrameOver(xcb_window_t window, const QRect& area, qint64 fromNs)
{
    for (const FrameRequest& request : framehandover::Requests())
        if (request.drawable == window && request.queuedNs >= fromNs && request.area.intersects(area))
            return request;
    return std::nullopt;
}

// The picture frame in the top-level window's coordinates, where the
// backing store and the X server place it.
QRect PictureArea(TForm1& form)
{
    return QRect(form.Image1->mapTo(&form, QPoint(0, 0)), form.Image1->size());
}

void Record(Attempts& attempts, qint64 startUs, const FrameRequest& frame, std::optional<qint64> paintNs,
            std::optional<Damage> pixels)
{
    // The program's clock keeps whole microseconds: the hand-over is compared
    // in the same unit, so a reading a few hundred nanoseconds after it is not
    // taken for one before it.
    const qint64 handOverUs = frame.handedOverNs / 1000;
    if (frame.handedOverNs == 0 || handOverUs > startUs) {
        ++attempts.beforeHandOver;
        return;
    }
    attempts.startAfterHandOverUs.push_back(double(startUs * 1000 - frame.handedOverNs) / 1e3);
    if (paintNs)
        attempts.startAfterPaintUs.push_back(double(startUs * 1000 - *paintNs) / 1e3);
    if (pixels)
        attempts.startAfterPixelsUs.push_back(double(startUs * 1000 - pixels->atNs) / 1e3);
    else
        ++attempts.pixelsUnseen;
}

// One attempt: Start, the countdown in the event loop, the frame; then Stop
// and the way back to Idle.
void RunAttempt(TForm1& form, DamageWatcher& watcher, TickWitness& ticks, PaintWitness& paints, Attempts& attempts)
{
    watcher.Forget();
    paints.paintsNs.clear();
    framehandover::Forget();
    form.BitBtn1Click();   // Start
    RunEventsUntil([&] { return form.Timer1->isActive() || !form.state.attemptActive; }, 5000);
    if (!form.Timer1->isActive()) {
        ++attempts.unseen;
        return;
    }
    const qint64 startUs = form.state.startTimeUs;
    RunEventsFor(30);   // the frame's damage reaches the watcher
    const QRect picture = PictureArea(form);
    const std::optional<FrameRequest> frame = FirstFrameOver(xcb_window_t(form.winId()), picture, ticks.lastTickNs);
    const std::optional<Damage> pixels = watcher.FirstOver(picture, ticks.lastTickNs);
    const std::optional<qint64> paintNs = paints.FirstFrom(ticks.lastTickNs);
    if (frame)
        Record(attempts, startUs, *frame, paintNs, pixels);
    else
        ++attempts.unseen;
    form.BitBtn1Click();   // Stop
    if (form.state.examActive)
        form.BitBtn2Click();   // Accept: the exam goes on with the next case
    else
        form.BitBtn3Click();   // Discard
    RunEventsFor(5);
}

// Hard questions: the Easy picture of each case stands in for its Hard ones
// (and answers), which only need to be GIF files of the usual size.
void LayOutHardPictures(const QString& folder)
{
    const auto copyEasy = [&](CaseSet set, int n, const QString& hardFolder) {
        QDir().mkpath(InFolder(folder, hardFolder));
        QFile::copy(InFolder(folder, EasyPicturePath(set, n)), InFolder(folder, hardFolder + QStringLiteral("1.gif")));
    };
    for (int n = 1; n <= CaseCount(CaseSet::OLL); ++n)
        copyEasy(CaseSet::OLL, n, HardPictureFolder(CaseSet::OLL, false, n));
    for (int n = 1; n <= CaseCount(CaseSet::PLL); ++n) {
        EnsureEasyPicture(folder, CaseSet::PLL, n);
        copyEasy(CaseSet::PLL, n, HardPictureFolder(CaseSet::PLL, true, n));
        const QString answer = AnswerPicturePath(true, n, QStringLiteral("1.gif"));
        QDir().mkpath(QFileInfo(InFolder(folder, answer)).absolutePath());
        QFile::copy(InFolder(folder, EasyPicturePath(CaseSet::PLL, n)), InFolder(folder, answer));
    }
}

enum class Condition { Easy, Hard, TwoSides, Exam, Scramble };

QString Name(Condition condition)
{
    switch (condition) {
    case Condition::Easy: return QStringLiteral("Easy picture");
    case Condition::Hard: return QStringLiteral("Hard picture");
    case Condition::TwoSides: return QStringLiteral("PLL two-side picture");
    case Condition::Exam: return QStringLiteral("exam");
    case Condition::Scramble: return QStringLiteral("setup scramble, the countdown's end");
    }
    return {};
}

void SetUp(TForm1& form, Condition condition)
{
    if (condition == Condition::Hard && form.state.level != Level::Hard)
        form.BitBtn10Click();
    if (condition == Condition::TwoSides) {
        if (form.state.currentSet != CaseSet::PLL)
            form.BitBtn6Click();
        if (form.state.level != Level::Hard)
            form.BitBtn10Click();
        form.CheckBox1->setChecked(true);
    }
    if (condition == Condition::Exam)
        form.BitBtn7Click();
    if (condition == Condition::Scramble) {
        form.CheckBox2->setChecked(true);
        form.CheckBox2Click();
    }
}

Attempts Measure(const QString& folder, Condition condition, int count)
{
    std::unique_ptr<Program> program = StartIn(folder);
    TForm1& form = *program->form1;
    RunEventsFor(200);   // the window mapped and painted, the work after its first frame done
    SetUp(form, condition);
    form.Timer2->setInterval(40);
    DamageWatcher watcher(xcb_window_t(form.winId()));
    TickWitness ticks(form.Timer2);
    PaintWitness paints(form.Image1);
    framehandover::WatchConnection(
        xcb_get_file_descriptor(qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection()));
    Attempts attempts;
    if (!watcher.Working()) {
        std::fprintf(stderr, "bench_clockstart: no DAMAGE extension on this display\n");
        attempts.unseen = count;
        return attempts;
    }
    RunEventsFor(100);
    for (int i = 0; i < count; ++i) {
        // The exam ends when every case has been drawn: a new one begins.
        if (condition == Condition::Exam && form.state.examCompleted) {
            form.BitBtn7Click();
            form.BitBtn7Click();
        }
        RunAttempt(form, watcher, ticks, paints, attempts);
    }
    form.close();
    return attempts;
}

// Met when, for 99 % of the attempts, the clock started no earlier than the
// frame's hand-over and at most 1 ms after it; an attempt whose frame was
// not seen counts against it.
void Report(Condition condition, const QString& load, const Attempts& attempts, int count)
{
    const std::vector<double>& afterHandOver = attempts.startAfterHandOverUs;
    const auto overMs = std::count_if(afterHandOver.begin(), afterHandOver.end(), [](double us) { return us > 1000; });
    const auto missed = overMs + attempts.beforeHandOver + attempts.unseen;
    const bool met = attempts.beforeHandOver == 0 && double(missed) <= 0.01 * count;
    const std::vector<double>& afterPaint = attempts.startAfterPaintUs;
    const std::vector<double>& afterPixels = attempts.startAfterPixelsUs;
    PrintRow(QStringLiteral("Stopwatch start, %1, %2 (%3 attempts)").arg(Name(condition), load).arg(count),
             QStringLiteral("after the frame's hand-over to the X server: median %1 ms, p99 %2 ms, max %3 ms "
                            "(before it: %4, over 1 ms: %5, frame not seen: %6); for information, after the "
                            "frame's paint began: median %7 ms, p99 %8 ms; against the pixels' arrival at the X "
                            "server (DAMAGE): median %9 ms, p1 %10 ms, not told in 30 ms: %11")
                 .arg(Fixed(Median(afterHandOver) / 1e3, 3), Fixed(Quantile(afterHandOver, 0.99) / 1e3, 3),
                      Fixed(Largest(afterHandOver) / 1e3, 3))
                 .arg(attempts.beforeHandOver)
                 .arg(overMs)
                 .arg(attempts.unseen)
                 .arg(Fixed(Median(afterPaint) / 1e3, 3), Fixed(Quantile(afterPaint, 0.99) / 1e3, 3),
                      Fixed(Median(afterPixels) / 1e3, 3), Fixed(Quantile(afterPixels, 0.01) / 1e3, 3))
                 .arg(attempts.pixelsUnseen),
             QStringLiteral("no earlier than the frame's hand-over and ≤ 1 ms after it, for 99 %"), met);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 100;
    QTemporaryDir folder;
    {
        // The first run writes the Easy pictures; the Hard ones are copied from them.
        std::unique_ptr<Program> first = StartIn(folder.path());
        first->form1->close();
    }
    LayOutHardPictures(folder.path());
    for (const Condition condition :
         {Condition::Easy, Condition::Hard, Condition::TwoSides, Condition::Exam, Condition::Scramble}) {
        for (const bool busy : {false, true}) {
            QTemporaryDir run;
            QDir().rmdir(run.path());
            // Each condition starts from the same folder: the Settings.ini of the last is not carried on.
            QProcess::execute(QStringLiteral("cp"), {QStringLiteral("-r"), folder.path(), run.path()});
            QFile::remove(InFolder(run.path(), QStringLiteral("Settings.ini")));
            const pid_t spinner = busy ? StartBusyCore() : 0;
            const Attempts attempts = Measure(run.path(), condition, count);
            if (spinner > 0) {
                ::kill(spinner, SIGKILL);
                ::waitpid(spinner, nullptr, 0);
            }
            Report(condition, busy ? QStringLiteral("other core busy") : QStringLiteral("idle"), attempts, count);
        }
    }
    return 0;
}
