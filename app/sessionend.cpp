// The program ended from outside runs the shut-down of a closed main window:
// logging out or shutting the computer down after a training session keeps
// the times accepted in it.

#include "app/sessionend.h"

#include "app/program.h"
#include "window/tform1.h"

#include <QApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::array<int, 3> kTerminationSignals{SIGTERM, SIGHUP, SIGINT};

int signalPipe[2] = {-1, -1};
struct sigaction previousActions[kTerminationSignals.size()];

// Runs inside the signal: only async-signal-safe calls.
void WriteSignalToPipe(int signalNumber)
{
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
    errno = savedErrno;
}

}   // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent)
{
    Q_ASSERT(signalPipe[0] < 0);
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        signalPipe[0] = signalPipe[1] = -1;
        return;
    }
    notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::ReadPipe);
    struct sigaction action {};
    action.sa_handler = WriteSignalToPipe;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kTerminationSignals.size(); ++i)
        ::sigaction(kTerminationSignals[i], &action, &previousActions[i]);
}

TerminationSignals::~TerminationSignals()
{
    if (signalPipe[0] < 0)
        return;
    for (std::size_t i = 0; i < kTerminationSignals.size(); ++i)
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
        emit received(byte);
}

// A signal ends the event loop, even one a modal window runs, after the
// shut-down; the windows are then destroyed as after a close. The desktop
// session's requests only save: the session manager decides whether the
// program ends, and it is not asked anything from then on. A quit that no
// close came before (the session manager ending the program) shuts down
// the same way.
void Program::FollowTheSession()
{
    terminationSignals = std::make_unique<TerminationSignals>();
    TForm1* form = form1.get();
    QObject::connect(terminationSignals.get(), &TerminationSignals::received, form, [form] {
        const bool saved = form->ShutDownUnasked();
        QCoreApplication::exit(saved ? 0 : 1);
    });
    const auto save = [form](QSessionManager&) { form->SaveForSessionEnd(); };
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, form, save);
    QObject::connect(qApp, &QGuiApplication::saveStateRequest, form, save);
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, form, [form] { form->ShutDownUnasked(); });
}
