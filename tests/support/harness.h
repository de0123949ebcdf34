#pragma once
// Starts the whole program in a temporary program folder with a hand-driven
// clock, a seeded generator and recorded message boxes. Timers are driven by
// calling their tick handlers, never by waiting.

#include "app/program.h"
#include "core/seams.h"
#include "window/tform1.h"

#include <QByteArray>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>

class Harness {
public:
    // systemLanguage is what the first run asks the system for.
    explicit Harness(QString systemLanguage = QStringLiteral("en_US"));
    ~Harness();

    // Writes Settings.ini (CR LF added where lines end in LF only) before Start.
    void WriteSettings(const QByteArray& content);
    QByteArray ReadSettings() const;
    QString Folder() const { return dir.path(); }
    QString Path(const QString& relative) const;

    // Creates the four windows (start-up runs) and shows the main window.
    TForm1* Start();
    // Closes the main window (shut-down runs) and destroys the windows.
    void Stop();
    // Stop, then Start again in the same folder.
    TForm1* Restart();

    template <typename T> T* Find(const QString& name) const { return form->findChild<T*>(name); }

    // Presses Start and runs the countdown's ticks until the stopwatch runs.
    void StartAttempt();
    // Advances the clock by ms and runs one stopwatch tick.
    void Tick(qint64 ms);

    QTemporaryDir dir;
    std::shared_ptr<ManualClock> clock = std::make_shared<ManualClock>();
    std::shared_ptr<SeededRandom> random = std::make_shared<SeededRandom>(12345);
    std::shared_ptr<RecordingMessages> messages = std::make_shared<RecordingMessages>();
    QString systemLanguage;
    std::unique_ptr<Program> program;
    TForm1* form = nullptr;
};

// The offscreen platform's one screen is 800 x 600, no larger than the main
// window's smallest size, so restored bounds could only be clamped to it:
// tests of restored bounds give it the size of the X tests' screen
// (1280 x 1024). Call before the application is created.
void UseDesktopSizedOffscreenScreen();

// Every file below a folder (hidden ones too), relative to it, sorted.
QStringList FilesBelow(const QString& folder);

// The X tools the tests start (openbox, xprop, xdotool, setxkbmap) are not
// built with the sanitizers: they run without the runtime that a sanitized
// run preloads into the tests. RunTool waits for the tool and tells whether
// it succeeded.
void StartTool(QProcess& process, const QString& program, const QStringList& arguments);
bool RunTool(const QString& program, const QStringList& arguments, QByteArray* output = nullptr, int timeoutMs = 10000);

// Starts openbox on the test's X display and waits until it manages windows
// (a window shown earlier could stay unframed); false when it cannot.
bool StartWindowManager(QProcess& openbox, int timeoutMs = 10000);
