// History.csv on the disk: opening it without ever waiting on a pipe or a
// device, the append under a lock that is never waited on for long, and the
// one-time upgrade of an old header to the one with the scramble column.

#include "history/historyfile.h"
#include "settings/atomicfile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace {

constexpr char kLineEnd[] = "\r\n";
constexpr auto kLockPause = std::chrono::milliseconds(10);
constexpr auto kLockPatience = std::chrono::seconds(2);
// Another copy may replace the file (its header upgrade) while this one
// waits for the lock; each time, the new file is opened again.
constexpr int kMostReopenings = 8;

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() { if (fd_ >= 0) ::close(fd_); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

// Something other than a regular file at the name is refused before it is
// opened: opening a device may already do something, opening a pipe waits.
bool IsOtherThanRegularFile(const QByteArray& name)
{
    struct stat status {};
    return ::stat(name.constData(), &status) == 0 && !S_ISREG(status.st_mode);
}

// Opened without blocking, then checked again on what was opened: the name
// may have changed between the two looks.
int OpenRegularFile(const QByteArray& name, int flags)
{
    if (IsOtherThanRegularFile(name)) {
        errno = EINVAL;
        return -1;
    }
    Descriptor file(::open(name.constData(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0644));
    if (file.get() < 0)
        return -1;
    struct stat status {};
    if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        errno = EINVAL;
        return -1;
    }
    return file.release();
}

bool WriteWhole(int fd, const QByteArray& bytes)
{
    ssize_t written;
    do {
        written = ::write(fd, bytes.constData(), static_cast<size_t>(bytes.size()));
    } while (written < 0 && errno == EINTR);
    return written == bytes.size();
}

bool ReadAt(int fd, char* data, qsizetype size, off_t offset)
{
    while (size > 0) {
        const ssize_t done = ::pread(fd, data, static_cast<size_t>(size), offset);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return false;
        data += done;
        size -= done;
        offset += done;
    }
    return true;
}

bool LockWithin(int fd, const LockWait& wait)
{
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return true;
        if (errno != EWOULDBLOCK && errno != EINTR)
            return false;
        if (errno == EWOULDBLOCK && !wait())
            return false;
    }
}

// The lock is on the file that was opened; it counts only if that file is
// still the one at the name.
bool StillAtName(int fd, const QByteArray& name)
{
    struct stat opened {}, named {};
    return ::fstat(fd, &opened) == 0 && ::stat(name.constData(), &named) == 0 && opened.st_dev == named.st_dev
           && opened.st_ino == named.st_ino;
}

// What a new line needs before it so that it starts on a line of its own.
QByteArray LineEndAfter(char last)
{
    if (last == '\n')
        return {};
    if (last == '\r')
        return QByteArrayLiteral("\n");   // cut off between CR and LF
    return kLineEnd;
}

bool StartsWithOldHeader(int fd, qint64 size)
{
    const QByteArray old = HistoryHeaderWithoutScramble();
    const qsizetype wanted = std::min<qint64>(size, old.size() + 1);
    QByteArray start(wanted, '\0');
    if (wanted < old.size() || !ReadAt(fd, start.data(), wanted, 0))
        return false;
    return start.startsWith(old) && (start.size() == old.size() || start.back() == '\r' || start.back() == '\n');
}

// The whole file again with the new header in place of the old one, every
// other byte as it was, and the line after it; written as a new file that is
// renamed over the old one, so that readers see the old file or the new one.
bool ReplaceWithNewHeader(int fd, qint64 size, const QString& path, const QByteArray& line)
{
    const QByteArray header = HistoryHeader();
    const qsizetype oldHeaderSize = HistoryHeaderWithoutScramble().size();
    QByteArray content;
    content.reserve(header.size() + size - oldHeaderSize + 2 + line.size());
    content += header;
    content.resize(header.size() + size - oldHeaderSize);
    if (!ReadAt(fd, content.data() + header.size(), size - oldHeaderSize, oldHeaderSize))
        return false;
    content += LineEndAfter(content.back()) + line;
    // Through a link the file it points to is upgraded, as an append would write there.
    const QString target = QFileInfo(path).canonicalFilePath();
    return !target.isEmpty() && ReplaceFileAtomically(target, content);
}

// With the lock held: the header, a line end, the line, in one write.
bool WriteLocked(int fd, const QString& path, const QByteArray& line)
{
    struct stat status {};
    if (::fstat(fd, &status) != 0)
        return false;
    QByteArray bytes;
    if (status.st_size == 0) {
        bytes = HistoryHeader() + kLineEnd;
    } else if (StartsWithOldHeader(fd, status.st_size)) {
        return ReplaceWithNewHeader(fd, status.st_size, path, line);
    } else {
        char last = 0;
        if (!ReadAt(fd, &last, 1, status.st_size - 1))
            return false;
        bytes = LineEndAfter(last);
    }
    bytes += line;
    return WriteWhole(fd, bytes) && ::fdatasync(fd) == 0;
}

} // namespace

int OpenHistoryForReading(const QString& path, HistoryOpening& opening)
{
    const int fd = OpenRegularFile(QFile::encodeName(path), O_RDONLY);
    opening = fd >= 0 ? HistoryOpening::Opened : errno == ENOENT ? HistoryOpening::Missing : HistoryOpening::Refused;
    return fd;
}

LockWait BoundedLockWait()
{
    const auto giveUpAt = std::chrono::steady_clock::now() + kLockPatience;
    return [giveUpAt] {
        if (std::chrono::steady_clock::now() >= giveUpAt)
            return false;
        std::this_thread::sleep_for(kLockPause);
        return true;
    };
}

bool AppendAttempt(const QString& path, const Attempt& attempt, const QString& scramble)
{
    return AppendAttempt(path, attempt, scramble, BoundedLockWait());
}

bool AppendAttempt(const QString& path, const Attempt& attempt, const QString& scramble, const LockWait& wait)
{
    const QByteArray name = QFile::encodeName(path);
    const QByteArray line = FormatAttempt(attempt, scramble) + kLineEnd;
    for (int opening = 0; opening < kMostReopenings; ++opening) {
        const Descriptor file(OpenRegularFile(name, O_RDWR | O_APPEND | O_CREAT));
        if (file.get() < 0)
            return false;
        // Another copy of the program checks the file's start and end and
        // writes under the same lock: two headers, a line glued to a torn
        // one, or a line lost to an upgrade cannot happen.
        if (!LockWithin(file.get(), wait))
            return false;
        if (StillAtName(file.get(), name))
            return WriteLocked(file.get(), path, line);
    }
    return false;
}
