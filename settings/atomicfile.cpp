#include "settings/atomicfile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool WriteAll(int fd, const QByteArray& bytes)
{
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t done = ::write(fd, data, static_cast<size_t>(left));
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return false;
        data += done;
        left -= done;
    }
    return true;
}

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

bool IsTemporaryName(const QByteArray& entry, const QByteArray& base)
{
    const QByteArray prefix = base + ".tmp";
    return entry == prefix || (entry.size() == prefix.size() + 7 && entry.startsWith(prefix + '.'));
}

}  // namespace

void SyncFolderOf(const QString& path)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
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
        const mode_t mask = ::umask(0);
        ::umask(mask);
        (void)::fchmod(fd, how.newFileMode & ~mask);
    }
    bool written = WriteAll(fd, bytes) && (!how.durable || ::fsync(fd) == 0);
    written = ::close(fd) == 0 && written;
    if (!written || ::rename(name.constData(), target.constData()) != 0) {
        const int cause = errno;
        ::unlink(name.constData());
        errno = cause;
        return false;
    }
    if (how.durable)
        SyncFolderOf(path);
    return true;
}

void RemoveStaleTemporaries(const QString& path)
{
    const QFileInfo info(path);
    const QByteArray folder = QFile::encodeName(info.absolutePath());
    const QByteArray base = QFile::encodeName(info.fileName());
    DIR* entries = ::opendir(folder.constData());
    if (!entries)
        return;
    while (const dirent* entry = ::readdir(entries)) {
        if (!IsTemporaryName(entry->d_name, base))
            continue;
        struct stat found {};
        if (::fstatat(::dirfd(entries), entry->d_name, &found, AT_SYMLINK_NOFOLLOW) == 0
            && (S_ISREG(found.st_mode) || S_ISLNK(found.st_mode)))
            ::unlinkat(::dirfd(entries), entry->d_name, 0);
    }
    ::closedir(entries);
}
