// History.csv on the disk: opening it without ever waiting on a pipe or a
// device, and the append under a lock, whole or not at all. An append never
// rewrites the file: a file with the header of before the scramble column
// keeps it, and its new lines carry the scramble as an eighth field. Only an
// import, and the one-time upgrade of an older header (on a worker thread,
// after an append), rewrite it, whole and atomically, under the appends' lock.

#include "history/historyfile.h"

#include "platform/atomicfile.h"
#include "platform/descriptorio.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr char kLineEnd[] = "\r\n";
// Another program (an editor saving the file) may replace the file while
// this one locks it; each time, the new file is opened again.
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

// A file that holds nothing but a byte order mark (a spreadsheet's empty
// save) is empty too: the header goes after the mark, which stays.
bool HoldsNoLine(int fd, qint64 size)
{
    static const QByteArray kByteOrderMark = QByteArrayLiteral("\xEF\xBB\xBF");
    if (size == 0)
        return true;
    if (size != kByteOrderMark.size())
        return false;
    QByteArray start(size, '\0');
    return ReadAt(fd, start.data(), size, 0) && start == kByteOrderMark;
}

// With the lock held: the header when the file holds no line, a line end
// when its last line was torn off, then the lines, in one write that reaches
// the disk. A file that still starts with the header without the scramble
// column keeps it: the file is never rewritten, only appended to. A write
// cut short (a full disk) or a flush refused is undone to the size the file
// had, so that no torn line is left and the lines can be written again.
bool WriteLocked(int fd, const QByteArray& lines)
{
    struct stat status {};
    if (::fstat(fd, &status) != 0)
        return false;
    QByteArray bytes;
    if (HoldsNoLine(fd, status.st_size)) {
        bytes = HistoryHeader() + kLineEnd;
    } else {
        char last = 0;
        if (!ReadAt(fd, &last, 1, status.st_size - 1))
            return false;
        bytes = LineEndAfter(last);
    }
    bytes += lines;
    if (WriteWhole(fd, bytes) && ::fdatasync(fd) == 0)
        return true;
    while (::ftruncate(fd, status.st_size) != 0 && errno == EINTR) {
    }
    return false;
}

} // namespace

int OpenHistoryForReading(const QString& path, HistoryOpening& opening)
{
    const int fd = OpenRegularFile(QFile::encodeName(path), O_RDONLY);
    opening = fd >= 0 ? HistoryOpening::Opened : errno == ENOENT ? HistoryOpening::Missing : HistoryOpening::Refused;
    return fd;
}

bool AppendAttempt(const QString& path, const Attempt& attempt, const QString& scramble)
{
    return AppendLines(path, HistoryLine(attempt, scramble), BoundedLockWait()) == AppendOutcome::Written;
}

bool AppendAttempt(const QString& path, const Attempt& attempt, const QString& scramble, const LockWait& wait)
{
    return AppendLines(path, HistoryLine(attempt, scramble), wait) == AppendOutcome::Written;
}

QByteArray HistoryLine(const Attempt& attempt, const QString& scramble, const AttemptDetail& detail)
{
    return FormatAttempt(attempt, scramble, detail) + kLineEnd;
}

AppendOutcome AppendLines(const QString& path, const QByteArray& lines, const LockWait& wait)
{
    const QByteArray name = QFile::encodeName(path);
    for (int opening = 0; opening < kMostReopenings; ++opening) {
        const Descriptor file(OpenRegularFile(name, O_RDWR | O_APPEND | O_CREAT));
        if (file.get() < 0)
            return AppendOutcome::Refused;
        // Another copy of the program checks the file's start and end and
        // writes under the same lock: two headers, or a line glued to a torn
        // one, cannot happen.
        switch (LockExclusive(file.get(), wait)) {
        case Locking::Locked:
            break;
        case Locking::Taken:
            return AppendOutcome::LockTaken;
        case Locking::Refused:
            return AppendOutcome::Refused;
        }
        if (StillAtName(file.get(), name))
            return WriteLocked(file.get(), lines) ? AppendOutcome::Written : AppendOutcome::Refused;
    }
    return AppendOutcome::Refused;
}

namespace {

// The file a link at the name points to is the one rewritten: the link stays.
QString ReplacedPath(const QString& path)
{
    const QFileInfo info(path);
    return info.isSymLink() && info.exists() ? info.canonicalFilePath() : path;
}

// Opens the file to lock it, creating it when missing; created tells which.
int OpenOrCreate(const QByteArray& name, bool& created)
{
    created = false;
    const int fd = OpenRegularFile(name, O_RDWR);
    if (fd >= 0 || errno != ENOENT)
        return fd;
    created = true;
    return OpenRegularFile(name, O_RDWR | O_CREAT | O_EXCL);
}

// With the lock held: the bytes read, changed, and written in place of the file.
ReplaceOutcome ReplaceLocked(int fd, const QString& path, const HistoryChange& change, qsizetype largest)
{
    const std::optional<QByteArray> content = ReadAll(fd, largest);
    if (!content)
        return ReplaceOutcome::Refused;
    std::optional<QByteArray> replacement;
    try {
        replacement = change(*content);
    } catch (...) {
        return ReplaceOutcome::Refused;
    }
    if (!replacement)
        return ReplaceOutcome::Unchanged;
    return ReplaceFileAtomically(ReplacedPath(path), *replacement) ? ReplaceOutcome::Written
                                                                   : ReplaceOutcome::Refused;
}

} // namespace

ReplaceOutcome ReplaceHistory(const QString& path, const HistoryChange& change, const LockWait& wait,
                              qsizetype largest)
{
    const QByteArray name = QFile::encodeName(path);
    for (int opening = 0; opening < kMostReopenings; ++opening) {
        // Created when missing: an append must not make a file of its own
        // at the name while this one prepares the replacement.
        bool created = false;
        const Descriptor file(OpenOrCreate(name, created));
        if (file.get() < 0) {
            if (errno == EEXIST)
                continue;   // another program made it meanwhile
            return ReplaceOutcome::Refused;
        }
        switch (LockExclusive(file.get(), wait)) {
        case Locking::Locked:
            break;
        case Locking::Taken:
            return ReplaceOutcome::LockTaken;
        case Locking::Refused:
            return ReplaceOutcome::Refused;
        }
        if (!StillAtName(file.get(), name))
            continue;
        // The lock is released with the old file's descriptor, after the
        // rename: a waiting append then finds the new file at the name.
        const ReplaceOutcome outcome = ReplaceLocked(file.get(), path, change, largest);
        // Nothing written: the file made only to be locked goes again,
        // unless an append got to it first.
        struct stat status {};
        if (created && outcome != ReplaceOutcome::Written && ::fstat(file.get(), &status) == 0 && status.st_size == 0)
            ::unlink(name.constData());
        return outcome;
    }
    return ReplaceOutcome::Refused;
}

namespace {

constexpr qsizetype kHeaderLookBytes = 4096;

bool IsOlderHeader(const QByteArray& line)
{
    static const QList<QByteArray> today = HistoryHeader().split(',');
    static const qsizetype oldest = HistoryHeaderWithoutScramble().count(',') + 1;
    std::vector<QByteArray> fields;
    if (!SplitCsvLine(line, fields) || qsizetype(fields.size()) < oldest || qsizetype(fields.size()) >= today.size())
        return false;
    for (size_t i = 0; i < fields.size(); ++i)
        if (fields[i].trimmed().compare(today[qsizetype(i)], Qt::CaseInsensitive) != 0)
            return false;
    return true;
}

// The first bytes of the file, enough to hold any header of the program's;
// nothing for a file too large to upgrade, so that it is not read in vain.
std::optional<QByteArray> FileStart(const QString& path)
{
    HistoryOpening opening = HistoryOpening::Missing;
    const Descriptor file(OpenHistoryForReading(path, opening));
    struct stat status {};
    if (file.get() < 0 || ::fstat(file.get(), &status) != 0 || status.st_size > kLargestHeaderUpgrade)
        return std::nullopt;
    QByteArray start(kHeaderLookBytes, '\0');
    const ssize_t got = ::pread(file.get(), start.data(), static_cast<size_t>(start.size()), 0);
    if (got < 0)
        return std::nullopt;
    start.truncate(got);
    return start;
}

} // namespace

std::optional<QByteArray> WithTodaysHeader(const QByteArray& content)
{
    static const QByteArray kByteOrderMark = QByteArrayLiteral("\xEF\xBB\xBF");
    const qsizetype begin = content.startsWith(kByteOrderMark) ? kByteOrderMark.size() : 0;
    const qsizetype lineFeed = content.indexOf('\n', begin);
    if (lineFeed < 0)
        return std::nullopt;   // no whole first line: nothing appended under it yet
    const qsizetype end = lineFeed > begin && content[lineFeed - 1] == '\r' ? lineFeed - 1 : lineFeed;
    if (!IsOlderHeader(content.sliced(begin, end - begin)))
        return std::nullopt;
    const QByteArray header = HistoryHeader();
    QByteArray upgraded;
    upgraded.reserve(content.size() - (end - begin) + header.size());
    upgraded.append(content.constData(), begin).append(header).append(content.constData() + end, content.size() - end);
    return upgraded;
}

ReplaceOutcome UpgradeHistoryHeader(const QString& path, const std::atomic<bool>* abandoned)
{
    const std::optional<QByteArray> start = FileStart(path);
    if (!start)
        return ReplaceOutcome::Refused;
    if (!WithTodaysHeader(*start))
        return ReplaceOutcome::Unchanged;
    // Checked again under the lock: another copy may have upgraded it meanwhile.
    const HistoryChange change = [abandoned](const QByteArray& content) -> std::optional<QByteArray> {
        if (abandoned && abandoned->load())
            return std::nullopt;
        return WithTodaysHeader(content);
    };
    return ReplaceHistory(path, change, LockWait(), kLargestHeaderUpgrade);
}
