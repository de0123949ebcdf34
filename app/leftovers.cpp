#include "app/leftovers.h"

#include "platform/atomicfile.h"
#include "settings/settingsfile.h"
#include "core/catalogue.h"
#include "window/pictures.h"
#include "core/seams.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Older versions wrote the first run's content to this draft and renamed it.
const QString kOldFirstRunDraft = QStringLiteral("Settings.ini.new");

void RemoveFileOrLink(const QString& path)
{
    struct stat found {};
    const QByteArray name = QFile::encodeName(path);
    if (::lstat(name.constData(), &found) == 0 && (S_ISREG(found.st_mode) || S_ISLNK(found.st_mode)))
        ::unlink(name.constData());
}

// An import and the one-time header upgrade replace History.csv (the file a
// link points to) under the lock on that file: while another copy holds it,
// its temporary may be in use.
void RemoveHistoryTemporaries(const QString& history)
{
    const int fd = ::open(QFile::encodeName(history).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        // No file, so no replacement of it in progress.
        RemoveStaleTemporaries(history);
        return;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        const QString target = QFileInfo(history).canonicalFilePath();
        RemoveStaleTemporaries(target.isEmpty() ? history : target);
    }
    ::close(fd);
}

QList<QByteArray> EasyPictureNames(int cases)
{
    QList<QByteArray> names;
    for (int n = 1; n <= cases; ++n)
        names << QByteArray::number(n) + ".gif";
    return names;
}

void RemovePictureTemporaries(const QString& dataFolder)
{
    RemoveStaleTemporaries(InFolder(dataFolder, QStringLiteral("Images/cube.bmp")));
    for (const CaseSet set : {CaseSet::OLL, CaseSet::PLL}) {
        const QString folder = QFileInfo(InFolder(dataFolder, EasyPicturePath(set, 1))).absolutePath();
        RemoveStaleTemporaries(folder, EasyPictureNames(set == CaseSet::OLL ? kOllCases : kPllCases));
    }
}

}   // namespace

void RemoveProgramLeftovers(const FileLocations& files)
{
    if (!files.FontFilePath().isEmpty())
        RemoveStaleTemporaries(files.FontFilePath());
    RemoveStaleTemporaries(files.settingsFolder, {QFile::encodeName(kOldFirstRunDraft)});
    RemoveFileOrLink(InFolder(files.settingsFolder, kOldFirstRunDraft));
    SettingsFile(files.SettingsPath()).RemoveStaleTemporaries();
    RemoveHistoryTemporaries(files.HistoryPath());
    RemovePictureTemporaries(files.dataFolder);
}
