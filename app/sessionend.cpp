// The program ended from outside runs the shut-down of a closed main window:
// logging out or shutting the computer down after a training session keeps
// the times accepted in it.

#include "app/sessionend.h"

#include "about/tfrmgl.h"
#include "app/stopwatchfont.h"
#include "window/tform1.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QSessionManager>
#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::array<int, 3> kTerminationSignals{SIGTERM, SIGHUP, SIGINT};

// The byte written for a signal that came during the start-up.
constexpr unsigned char kDuringStartUp = 0x80;

int signalPipe[2] = {-1, -1};
struct sigaction previousActions[kTerminationSignals.size()];
bool handled[kTerminationSignals.size()] = {};
volatile sig_atomic_t startUpDone = 0;

// Runs inside the signal: only async-signal-safe calls.
void WriteSignalToPipe(int signalNumber)
{
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber) | (startUpDone ? 0 : kDuringStartUp);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
    errno = savedErrno;
}

}   // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent)
{
    if (signalPipe[0] >= 0)
        return;   // another instance has them: this one stays inert
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        signalPipe[0] = signalPipe[1] = -1;
        return;
    }
    owner_ = true;
    notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::ReadPipe);
    startUpDone = 0;
    struct sigaction action {};
    action.sa_handler = WriteSignalToPipe;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kTerminationSignals.size(); ++i) {
        // Ignored by whoever started the program (nohup, a background job):
        // it stays ignored.
        handled[i] = ::sigaction(kTerminationSignals[i], nullptr, &previousActions[i]) == 0
            && previousActions[i].sa_handler != SIG_IGN
            && ::sigaction(kTerminationSignals[i], &action, nullptr) == 0;
    }
}

void TerminationSignals::StartUpDone() { startUpDone = 1; }

TerminationSignals::~TerminationSignals()
{
    if (!owner_)
        return;
    for (std::size_t i = 0; i < kTerminationSignals.size(); ++i)
        if (handled[i])
            ::sigaction(kTerminationSignals[i], &previousActions[i], nullptr);
    delete notifier_;
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
}

void TerminationSignals::ReadPipe()
{
    unsigned char byte = 0;
    while (::read(signalPipe[0], &byte, 1) == 1)
        emit received(byte & ~kDuringStartUp, (byte & kDuringStartUp) != 0);
}

namespace {

// The session manager's "die" reaches the program as a quit event, which
// closes the windows: the shut-down then runs unasked, before the main
// window's close could ask anything.
class SessionQuitWatcher : public QObject {
public:
    explicit SessionQuitWatcher(TForm1* form) : QObject(form), form_(form) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Quit && watched == qApp)
            ShutDownUnasked(*form_);
        return false;
    }

private:
    TForm1* form_;
};

}   // namespace

// Nothing read half-way is written back: the start-up's own files go (the
// font, the texture if it was written) and the program ends with 0. Inside
// the start-up (a message box's event loop read the signal) it ends at
// once, before the start-up could go on writing.
void EndRunUnsaved(TForm1* form, TfrmGL* about, const QString& fontFile, bool startingUp)
{
    if (form)
        EndWithoutSaving(*form);
    else
        QFontDatabase::removeAllApplicationFonts();
    if (!fontFile.isEmpty())
        QFile::remove(fontFile);
    if (about)
        about->FormClose();
    if (startingUp) {
        std::fflush(nullptr);
        ::_exit(0);
    }
    QCoreApplication::exit(0);
}

// A signal ends the event loop, even one a modal window runs, after the
// shut-down; the windows are then destroyed as after a close. The desktop
// session's requests only save: the session manager decides whether the
// program ends, and it is not asked anything from then on. A quit that no
// close came before (the session manager ending the program) shuts down
// the same way.
void FollowDesktopSession(TForm1* form, TerminationSignals* terminationSignals)
{
    QObject::connect(terminationSignals, &TerminationSignals::received, form,
                     [form](int, bool duringStartUp) {
                         if (duringStartUp)
                             return;   // EndDuringStartUp
                         const bool saved = ShutDownUnasked(*form);
                         QCoreApplication::exit(saved ? 0 : 1);
                     });
    const auto save = [form](QSessionManager&) { SaveForSessionEnd(*form); };
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, form, save);
    QObject::connect(qApp, &QGuiApplication::saveStateRequest, form, save);
    qApp->installEventFilter(new SessionQuitWatcher(form));
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, form, [form] { ShutDownUnasked(*form); });
}
