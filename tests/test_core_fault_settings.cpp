// Settings.ini under faults the program cannot prevent: files no settings
// file should be, a stale temporary that points elsewhere, a disk that fills
// up between two writes, and the process killed in the middle of writing.
// Whatever happens, the file holds either its old or its new text.
#include "settings/settingsfile.h"
#include "core/errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <functional>
#include <fcntl.h>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QStringList FolderEntries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
}

// The text of a refused write, or an empty text when the write went through.
QString RefusalOf(SettingsFile& file, const QString& section, const QString& key, const QString& value)
{
    try {
        file.WriteString(section, key, value);
    } catch (const TesseloError& error) {
        return error.text();
    }
    return QString();
}

// Runs body in a forked child so that limits and signal settings stay there;
// gives the child's exit status (0 when body returned true).
int InChild(const std::function<bool()>& body)
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(body() ? 0 : 1);
    int status = -1;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// --------------------------------------------------------------- kill loop

constexpr int kKeys = 24;

QString KeyName(int key) { return QStringLiteral("avg%1").arg(key + 1); }

// Write number w (counting from 0) stores "v<w>" under key w mod kKeys, so
// the whole file after c writes is known: key k holds the value of the last
// write to it, or nothing.
QString ValueAfter(qint64 writes, int key)
{
    const qint64 rounds = writes / kKeys + (key < writes % kKeys ? 1 : 0);
    return rounds == 0 ? QString() : QStringLiteral("v%1").arg((rounds - 1) * kKeys + key);
}

bool FileIsStateAfter(const QString& path, qint64 writes)
{
    SettingsFile file(path);
    for (int key = 0; key < kKeys; ++key)
        if (file.ReadString(QStringLiteral("Results"), KeyName(key), QString()) != ValueAfter(writes, key))
            return false;
    return true;
}

// Writes from number `first` on, forever, telling the parent after each one.
[[noreturn]] void WriteForever(const QString& path, qint64 first, int tellFd)
{
    SettingsFile file(path);
    file.RemoveStaleTemporaries();   // as the program's start-up does
    for (qint64 w = first;; ++w) {
        file.WriteString(QStringLiteral("Results"), KeyName(int(w % kKeys)), QStringLiteral("v%1").arg(w));
        const char done = 1;
        if (::write(tellFd, &done, 1) != 1)
            ::_exit(3);
    }
}

// Waits until the child has reported `count` writes done.
bool AwaitWrites(int readFd, int count)
{
    char buffer[256];
    while (count > 0) {
        const ssize_t got = ::read(readFd, buffer, std::min<size_t>(sizeof buffer, size_t(count)));
        if (got <= 0)
            return false;
        count -= int(got);
    }
    return true;
}

// The number of writes the file shows, at least `acknowledged`; -1 when it
// matches no moment of the sequence.
qint64 WritesShownBy(const QString& path, qint64 acknowledged)
{
    for (qint64 c = acknowledged; c < acknowledged + 4096; ++c)
        if (FileIsStateAfter(path, c))
            return c;
    return -1;
}

} // namespace

class CoreFaultSettingsTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;
    QString Path() const { return dir.filePath(QStringLiteral("Settings.ini")); }
    QString Absolute() const { return QFileInfo(Path()).absoluteFilePath(); }

private slots:
    void init()
    {
        QVERIFY(dir.isValid());
        for (const QString& name : FolderEntries(dir.path()))
            QVERIFY(QFile::remove(dir.filePath(name)));
    }

    // A file far beyond any settings file (a disk image dropped there by
    // mistake) is neither read into memory nor replaced by a few keys.
    void aHugeFileIsNeitherReadNorReplaced()
    {
        QFile huge(Path());
        QVERIFY(huge.open(QIODevice::WriteOnly));
        QVERIFY(huge.write("[Settings]\r\nmode=PLL\r\n") > 0);
        QVERIFY(huge.resize(65LL * 1024 * 1024));   // sparse: costs no disk
        huge.close();
        SettingsFile file(Path());
        QCOMPARE(file.ReadString("Settings", "mode", "OLL"), QStringLiteral("OLL"));
        QCOMPARE(RefusalOf(file, "Settings", "mode", "OLL"), QStringLiteral("Unable to write to %1").arg(Absolute()));
        QCOMPARE(QFileInfo(Path()).size(), 65LL * 1024 * 1024);
        QVERIFY(ReadBytes(Path()).startsWith("[Settings]\r\nmode=PLL\r\n"));
    }

    // A pipe or a device in the file's place: reading must not block or
    // stream forever, and nothing is written into it.
    void specialFilesReadAsDefaultsWithoutBlocking_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("named pipe") << "fifo";
        QTest::newRow("link to /dev/zero") << "/dev/zero";
        QTest::newRow("link to /dev/urandom") << "/dev/urandom";
    }
    void specialFilesReadAsDefaultsWithoutBlocking()
    {
        QFETCH(QString, kind);
        if (kind == QLatin1String("fifo"))
            QCOMPARE(::mkfifo(QFile::encodeName(Path()).constData(), 0644), 0);
        else
            QVERIFY(QFile::link(kind, Path()));
        SettingsFile file(Path());
        QVERIFY(file.Exists());
        QCOMPARE(file.ReadInteger("Position", "Width", 800), 800);
        QCOMPARE(RefusalOf(file, "Position", "Width", "1"), QStringLiteral("Unable to write to %1").arg(Absolute()));
        QCOMPARE(FolderEntries(dir.path()), QStringList{QStringLiteral("Settings.ini")});
    }

    // A temporary left behind as a link to another file (by an older copy of
    // the program, a backup tool or a prank) is never written through.
    void aStaleTemporaryLinkIsNeverFollowed()
    {
        const QString victim = dir.filePath(QStringLiteral("victim.txt"));
        QVERIFY(WriteBytes(victim, "precious"));
        QVERIFY(WriteBytes(Path(), "[Settings]\r\nmode=OLL\r\n"));
        QVERIFY(QFile::link(victim, Path() + ".tmp"));
        {
            SettingsFile file(Path());
            file.RemoveStaleTemporaries();
            QCOMPARE(RefusalOf(file, "Settings", "mode", "PLL"), QString());
            QCOMPARE(file.ReadString("Settings", "mode", ""), QStringLiteral("PLL"));
        }
        QCOMPARE(ReadBytes(victim), QByteArray("precious"));
        QCOMPARE(ReadBytes(Path()), QByteArray("[Settings]\r\nmode=PLL\r\n"));
        QCOMPARE(FolderEntries(dir.path()), (QStringList{QStringLiteral("Settings.ini"), QStringLiteral("victim.txt")}));
    }

    // The disk fills up after a write has gone through: the failed write
    // must leave the text of the successful one, and no temporary behind.
    void aDiskThatFillsUpBetweenWritesKeepsTheLastGoodText()
    {
        QVERIFY(WriteBytes(Path(), "[Settings]\r\nmode=OLL\r\n"));
        const QString path = Path();
        const int status = InChild([path] {
            std::signal(SIGXFSZ, SIG_IGN);
            SettingsFile file(path);
            file.WriteString("Settings", "mode", "PLL");
            rlimit tight {4096, 4096};
            if (::setrlimit(RLIMIT_FSIZE, &tight) != 0)
                return false;
            try {
                file.WriteString("OLL hints", "hint1", QString(8000, u'R'));
                return false;   // the write cannot have fit
            } catch (const TesseloError& error) {
                if (error.text() != QStringLiteral("Unable to write to %1").arg(QFileInfo(path).absoluteFilePath()))
                    return false;
            }
            file.Close();
            return file.ReadString("Settings", "mode", "") == QLatin1String("PLL");
        });
        QCOMPARE(status, 0);
        QCOMPARE(ReadBytes(Path()), QByteArray("[Settings]\r\nmode=PLL\r\n"));
        QCOMPARE(FolderEntries(dir.path()), QStringList{QStringLiteral("Settings.ini")});
    }

    // The process killed with SIGKILL at 200 moments while it writes: after
    // every kill the file is whole and shows exactly the writes up to some
    // point at or after the last one reported done; the next run clears the
    // temporary the killed one left.
    void killedWhileWritingLeavesAWholeFile()
    {
        std::mt19937 random(7);
        qint64 writes = 0;
        for (int kill = 0; kill < 200; ++kill) {
            int tell[2];
            QCOMPARE(::pipe(tell), 0);
            const pid_t child = ::fork();
            if (child == 0) {
                ::close(tell[0]);
                WriteForever(Path(), writes, tell[1]);
            }
            ::close(tell[1]);
            const int awaited = int(random() % 40);
            QVERIFY(AwaitWrites(tell[0], awaited));
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);
            ::close(tell[0]);
            QVERIFY(FolderEntries(dir.path()).size() <= 2);   // the file and at most one temporary
            const qint64 shown = WritesShownBy(Path(), writes + awaited);
            QVERIFY2(shown >= 0, qPrintable(QStringLiteral("kill %1: the file matches no moment after write %2")
                                                .arg(kill).arg(writes + awaited)));
            writes = shown;
        }
        QVERIFY(writes > 200);
        SettingsFile(Path()).RemoveStaleTemporaries();
        QCOMPARE(FolderEntries(dir.path()), QStringList{QStringLiteral("Settings.ini")});
    }

    // Two copies of the program writing at the same time: neither refuses a
    // write, neither loses the other's keys, and the file stays well formed.
    void twoWritersKeepEachOthersKeys()
    {
        constexpr int kEach = 40;
        QVERIFY(WriteBytes(Path(), "[Settings]\r\nmode=OLL\r\n"));
        const QString path = Path();
        const auto writer = [path](char name) {
            return [path, name] {
                SettingsFile file(path);
                for (int n = 1; n <= kEach; ++n)
                    if (!RefusalOf(file, "Results", QStringLiteral("%1%2").arg(name).arg(n), QString::number(n)).isEmpty())
                        return false;
                return true;
            };
        };
        std::vector<pid_t> children;
        for (const char name : {'a', 'b'}) {
            const auto body = writer(name);
            const pid_t child = ::fork();
            if (child == 0)
                ::_exit(body() ? 0 : 1);
            children.push_back(child);
        }
        for (const pid_t child : children) {
            int status = -1;
            ::waitpid(child, &status, 0);
            QCOMPARE(status, 0);
        }
        const SettingsFile file(Path());
        for (int n = 1; n <= kEach; ++n) {
            QCOMPARE(file.ReadInteger("Results", QStringLiteral("a%1").arg(n), 0), n);
            QCOMPARE(file.ReadInteger("Results", QStringLiteral("b%1").arg(n), 0), n);
        }
        QVERIFY(ReadBytes(Path()).endsWith("\r\n"));
        QCOMPARE(ReadBytes(Path()).count('\n'), 3 + 2 * kEach);   // nothing but the entries
        QCOMPARE(FolderEntries(dir.path()), QStringList{QStringLiteral("Settings.ini")});
    }
};

QTEST_GUILESS_MAIN(CoreFaultSettingsTest)
#include "test_core_fault_settings.moc"
