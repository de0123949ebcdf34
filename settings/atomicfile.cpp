#include "settings/atomicfile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
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
    if (exists && !S_ISREG(existing.st_mode) && !S_ISLNK(existing.st_mode))
        return false;

    QByteArray name = target + ".XXXXXX";
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
        ::unlink(name.constData());
        return false;
    }
    if (how.durable)
        SyncFolderOf(path);
    return true;
}
