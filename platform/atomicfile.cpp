#include "platform/atomicfile.h"

#include "platform/descriptorio.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <cerrno>
#include <optional>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qsizetype kLargestProcStatus = 1 << 20;

// Changing the owner clears the set-id bits, so the mode is given after it.
// Where the system does not permit the owner, the group alone is still tried;
// neither refusal stops the write.
void TakeOwnerAndMode(int fd, const struct stat& replaced)
{
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return;
    if ((info.st_uid != replaced.st_uid || info.st_gid != replaced.st_gid)
        && ::fchown(fd, replaced.st_uid, replaced.st_gid) != 0 && info.st_gid != replaced.st_gid)
        (void)::fchown(fd, static_cast<uid_t>(-1), replaced.st_gid);
    (void)::fchmod(fd, replaced.st_mode & 07777);
}

bool IsAsciiLetterOrDigit(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// "Umask:\t0022" in /proc/self/status; nothing where /proc is not mounted.
std::optional<mode_t> UmaskFromProc()
{
    const int fd = ::open("/proc/self/status", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    const QByteArray status = ReadAll(fd, kLargestProcStatus).value_or(QByteArray());
    ::close(fd);
    const qsizetype at = status.indexOf("\nUmask:");
    if (at < 0)
        return std::nullopt;
    bool valid = false;
    const qsizetype end = status.indexOf('\n', at + 1);
    const uint mask = status.mid(at + 7, end < 0 ? -1 : end - at - 7).trimmed().toUInt(&valid, 8);
    return valid ? std::optional<mode_t>(static_cast<mode_t>(mask & 0777)) : std::nullopt;
}

// Read once while the program starts, before it has any thread: the only
// moment setting and restoring the mask races with nothing.
const mode_t kUmaskAtStart = [] {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}();

}  // namespace

bool IsTemporaryName(const QByteArray& entry, const QByteArray& name)
{
    const QByteArray prefix = name + ".tmp";
    if (entry == prefix)
        return true;
    if (entry.size() != prefix.size() + 7 || !entry.startsWith(prefix + '.'))
        return false;
    return std::all_of(entry.end() - 6, entry.end(), IsAsciiLetterOrDigit);
}

mode_t CurrentUmask()
{
    return UmaskFromProc().value_or(kUmaskAtStart);
}

bool SyncFolderOf(const QString& path)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return true;
    const bool flushed = ::fsync(fd) == 0 || errno == EINVAL || errno == EROFS;
    const int cause = errno;
    ::close(fd);
    errno = cause;
    return flushed;
}

bool ReplaceFileAtomically(const QString& path, const QByteArray& bytes, const FileReplacement& how)
{
    const QByteArray target = QFile::encodeName(QFileInfo(path).absoluteFilePath());
    struct stat existing {};
    const bool exists = ::lstat(target.constData(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode) && !S_ISLNK(existing.st_mode)) {
        errno = S_ISDIR(existing.st_mode) ? EISDIR : EINVAL;
        return false;
    }

    QByteArray name = target + ".tmp.XXXXXX";
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    if (exists && S_ISREG(existing.st_mode) && how.keepOwnerAndMode) {
        TakeOwnerAndMode(fd, existing);
    } else {
        (void)::fchmod(fd, how.newFileMode & ~CurrentUmask());
    }
    bool written = WriteAll(fd, bytes) && (!how.durable || ::fsync(fd) == 0);
    written = ::close(fd) == 0 && written;
    if (!written || ::rename(name.constData(), target.constData()) != 0) {
        const int cause = errno;
        ::unlink(name.constData());
        errno = cause;
        return false;
    }
    return !how.durable || SyncFolderOf(path);
}

void RemoveStaleTemporaries(const QString& path)
{
    const QFileInfo info(path);
    RemoveStaleTemporaries(info.absolutePath(), {QFile::encodeName(info.fileName())});
}

void RemoveStaleTemporaries(const QString& folder, const QList<QByteArray>& names)
{
    DIR* entries = ::opendir(QFile::encodeName(folder).constData());
    if (!entries)
        return;
    while (const dirent* entry = ::readdir(entries)) {
        // Every temporary's name holds ".tmp": the picture folders' 57 or 21
        // names are matched only against the entries that could be one.
        if (!std::strstr(entry->d_name, ".tmp"))
            continue;
        const QByteArray entryName(entry->d_name);
        const bool temporary = std::any_of(names.begin(), names.end(),
                                           [&](const QByteArray& name) { return IsTemporaryName(entryName, name); });
        if (!temporary)
            continue;
        struct stat found {};
        if (::fstatat(::dirfd(entries), entry->d_name, &found, AT_SYMLINK_NOFOLLOW) == 0
            && (S_ISREG(found.st_mode) || S_ISLNK(found.st_mode)))
            ::unlinkat(::dirfd(entries), entry->d_name, 0);
    }
    ::closedir(entries);
}
