#include "app/singlecopy.h"

#include "core/language.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

const QByteArray kRaise = QByteArrayLiteral("raise");
constexpr qsizetype kMostWaitingConnections = 8;

// O_NOFOLLOW: a link planted in the lock's place is never followed to make
// or open a file elsewhere.
int OpenLockFile(const QString& folder)
{
    const QByteArray path = QFile::encodeName(QDir(folder).filePath(QLatin1String(kProgramFolderLockName)));
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd >= 0 || errno == ELOOP)
        return fd;
    // A folder that takes no new file may still hold the lock file of an earlier run.
    return ::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
}

// An abstract socket (Linux): it leaves no file anywhere and goes away with
// the copy that made it, however that copy ends.
sockaddr_un SocketAddress(const QString& folder, socklen_t& length)
{
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    const QByteArray hash = QCryptographicHash::hash(QFile::encodeName(canonical.isEmpty() ? folder : canonical),
                                                     QCryptographicHash::Sha256)
                                .toHex()
                                .left(40);
    const QByteArray name = "tesselo-" + hash;
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path + 1, name.constData(), static_cast<size_t>(name.size()));
    length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
    return address;
}

}   // namespace

ProgramFolderLock::ProgramFolderLock(const QString& folder) : fd_(OpenLockFile(folder))
{
    if (fd_ < 0)
        return;
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0)
        state_ = State::Held;
    else if (errno == EWOULDBLOCK)
        state_ = State::HeldByAnother;
}

ProgramFolderLock::~ProgramFolderLock()
{
    if (fd_ >= 0)
        ::close(fd_);   // releases the lock; the file stays
}

RaiseRequests::RaiseRequests(const QString& folder, std::function<void()> raise, QObject* parent)
    : QObject(parent), raise_(std::move(raise))
{
    socklen_t length = 0;
    const sockaddr_un address = SocketAddress(folder, length);
    listening_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (listening_ < 0)
        return;
    if (::bind(listening_, reinterpret_cast<const sockaddr*>(&address), length) != 0 || ::listen(listening_, 4) != 0) {
        ::close(listening_);   // the name is taken: requests go unanswered, nothing else changes
        listening_ = -1;
        return;
    }
    auto* notifier = new QSocketNotifier(listening_, QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] { Accept(); });
}

RaiseRequests::~RaiseRequests()
{
    // The listening socket and every connection still waiting for its
    // request; a disabled notifier's socket is closed already.
    for (QSocketNotifier* notifier : findChildren<QSocketNotifier*>()) {
        if (!notifier->isEnabled())
            continue;
        const int fd = int(notifier->socket());
        delete notifier;
        ::close(fd);
    }
}

void RaiseRequests::Accept()
{
    for (int connection; (connection = ::accept4(listening_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC)) >= 0;) {
        // Connections that never send anything cannot pile up.
        if (findChildren<QSocketNotifier*>().size() > kMostWaitingConnections) {
            ::close(connection);
            continue;
        }
        // The request may come a moment after the connection.
        auto* notifier = new QSocketNotifier(connection, QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, [this, connection, notifier] { Read(connection, notifier); });
    }
}

void RaiseRequests::Read(int connection, QSocketNotifier* notifier)
{
    char buffer[16];
    const ssize_t got = ::recv(connection, buffer, sizeof buffer, 0);
    if (got < 0 && (errno == EAGAIN || errno == EINTR))
        return;
    // Not deleted here, inside its own signal: disabled, it no longer
    // watches the socket, which can then be closed.
    notifier->setEnabled(false);
    notifier->deleteLater();
    ::close(connection);
    if (got > 0 && QByteArray(buffer, int(got)).startsWith(kRaise) && raise_)
        raise_();
}

bool AskRunningCopyToRaise(const QString& folder)
{
    socklen_t length = 0;
    const sockaddr_un address = SocketAddress(folder, length);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool sent = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0
                      && ::send(fd, kRaise.constData(), size_t(kRaise.size()), MSG_NOSIGNAL) == kRaise.size();
    ::close(fd);
    return sent;
}

QString AlreadyRunningText(bool russian)
{
    return Tr(russian, QStringLiteral("Tesselo уже запущен из этой папки"),
              QStringLiteral("Tesselo is already running from this folder"));
}
