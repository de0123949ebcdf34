#pragma once
// The end of the session around the program: SIGTERM, SIGHUP and SIGINT (the
// terminal or the system ending it) and the desktop session's logout.

#include <QObject>

class QSocketNotifier;
class QString;
class TForm1;
class TfrmGL;

// Turns SIGTERM, SIGHUP and SIGINT into a Qt signal on the user-interface
// thread. The handler only writes the signal's number into a pipe; the
// event loop reads it from there. A signal ignored when the program started
// (nohup) stays ignored. One instance at a time (one made while another
// lives does nothing); its destruction puts the previous handlers back.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    // Signals from now on come after the start-up (they are told apart when
    // they arrive, not when the event loop reads them).
    static void StartUpDone();

signals:
    void received(int signalNumber, bool duringStartUp);

private:
    void ReadPipe();
    QSocketNotifier* notifier_ = nullptr;
    bool owner_ = false;   // holds the pipe and the handlers
};

// A signal during the start-up: the start-up's own files go and nothing read
// half-way is written back; the program ends with 0.
void EndRunUnsaved(TForm1* form, TfrmGL* about, const QString& fontFile, bool startingUp);

// SIGTERM, SIGHUP, SIGINT and the end of the desktop session save the run as
// closing the main window does.
void FollowDesktopSession(TForm1* form, TerminationSignals* terminationSignals);
