#pragma once
// One running copy per program folder. Each copy writes its whole set of
// results at the switch and the close, so two copies in one folder would drop
// each other's times: the first copy holds a lock on the folder for its whole
// life, and a second one started from there asks the first to come to the
// front and ends without writing anything. Copies in other folders are
// unaffected.

#include <QObject>
#include <QString>
#include <functional>

class QSocketNotifier;

// An exclusive lock on ".tesselo.lock" in the program folder, held until the
// object is destroyed (or the process ends, however it ends). The file stays
// in place; only the lock is released.
class ProgramFolderLock {
public:
    enum class State {
        Held,            // this copy holds it
        HeldByAnother,   // another copy runs from this folder
        Unavailable,     // no lock file can be made or locked (a read-only folder): nothing to guard
    };
    explicit ProgramFolderLock(const QString& folder);
    ~ProgramFolderLock();
    ProgramFolderLock(const ProgramFolderLock&) = delete;
    ProgramFolderLock& operator=(const ProgramFolderLock&) = delete;
    State state() const { return state_; }

private:
    int fd_ = -1;
    State state_ = State::Unavailable;
};

// The lock file's name: hidden, and no name the program or its user gives a file.
inline constexpr const char* kProgramFolderLockName = ".tesselo.lock";

// The first copy listens for a second one's "raise" on a local socket named
// from the folder's canonical path, and calls raise for each request.
class RaiseRequests : public QObject {
public:
    RaiseRequests(const QString& folder, std::function<void()> raise, QObject* parent = nullptr);
    ~RaiseRequests() override;

private:
    void Accept();
    void Read(int connection, QSocketNotifier* notifier);
    std::function<void()> raise_;
    int listening_ = -1;
};

// The second copy's request; false when no copy listens (it may be stopped,
// or still starting). Never waits.
bool AskRunningCopyToRaise(const QString& folder);

// "Tesselo is already running from this folder", in the interface language.
QString AlreadyRunningText(bool russian);
