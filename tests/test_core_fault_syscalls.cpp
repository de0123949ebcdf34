// The system calls under a whole-file replacement, seen through stand-ins
// for two of libc's functions that this executable defines (they take the
// place of libc's for the program code linked into it): a folder flush the
// disk refuses, and who changes the process's file-creation mask.
#include "platform/atomicfile.h"
#include "settings/settingsfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <cerrno>
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::atomic<bool> refuseFolderFlush{false};
std::atomic<int> umaskCalls{0};

template <typename Function> Function Real(const char* name)
{
    return reinterpret_cast<Function>(::dlsym(RTLD_NEXT, name));
}

}   // namespace

extern "C" int fsync(int fd)
{
    struct stat info {};
    if (refuseFolderFlush && ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        errno = EIO;
        return -1;
    }
    static const auto real = Real<int (*)(int)>("fsync");
    return real(fd);
}

extern "C" mode_t umask(mode_t mask)
{
    ++umaskCalls;
    static const auto real = Real<mode_t (*)(mode_t)>("umask");
    return real(mask);
}

class CoreFaultSyscallsTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;
    QString Path() const { return dir.filePath(QStringLiteral("Settings.ini")); }

private slots:
    void init() { QFile::remove(Path()); }

    // The rename happened but the folder never reached the disk: a power cut
    // may bring the old file back, so the write is not reported done, and
    // Settings.ini keeps its write to try again.
    void aFolderFlushTheDiskRefusesFailsTheWrite()
    {
        refuseFolderFlush = true;
        const bool replaced = ReplaceFileAtomically(Path(), "[Settings]\r\nmode=PLL\r\n");
        const int cause = errno;
        SettingsFile file(Path(), SettingsFile::Commit::AtClose);
        file.WriteString(QStringLiteral("Settings"), QStringLiteral("mode"), QStringLiteral("OLL"));
        QVERIFY_THROWS_EXCEPTION(TesseloError, file.Close());
        refuseFolderFlush = false;
        QVERIFY(!replaced);
        QCOMPARE(cause, EIO);
        file.Close();   // the disk is back: the same write goes through
        QCOMPARE(SettingsFile(Path()).ReadString(QStringLiteral("Settings"), QStringLiteral("mode"), QString()),
                 QStringLiteral("OLL"));
    }

    // A new file gets the mode asked for less the process's mask, read
    // without setting it: another thread creating a file meanwhile must never
    // run under a mask of 0.
    void newFilesTakeTheMaskWithoutChangingIt()
    {
        const mode_t saved = ::umask(027);
        umaskCalls = 0;
        FileReplacement how;
        how.newFileMode = 0666;
        const bool replaced = ReplaceFileAtomically(Path(), "x", how);
        const int calls = umaskCalls;
        ::umask(saved);
        QVERIFY(replaced);
        QCOMPARE(calls, 0);
        struct stat info {};
        QCOMPARE(::stat(QFile::encodeName(Path()).constData(), &info), 0);
        QCOMPARE(info.st_mode & 0777, mode_t(0640));
    }
};

QTEST_GUILESS_MAIN(CoreFaultSyscallsTest)
#include "test_core_fault_syscalls.moc"
