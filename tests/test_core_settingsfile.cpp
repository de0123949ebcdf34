// Settings.ini reading and writing against files written by hand: spacing,
// quotes, duplicates, comments, line ends, long values, bytes that are not
// ASCII, refused writes and hostile files.
#include "platform/atomicfile.h"
#include "settings/settingsfile.h"
#include "core/errors.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <csignal>
#include <ctime>
#include <sys/resource.h>
#include <sys/stat.h>
#include <random>
#include <unistd.h>

namespace {

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QString Refusal(const QString& path) { return QStringLiteral("Unable to write to %1").arg(path); }

qint64 ThreadCpuNs()
{
    timespec now {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<qint64>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

bool RunningAsRoot() { return ::geteuid() == 0; }

// Names in the folder other than the given ones: temporary files left behind.
QStringList Leftovers(const QString& folder, const QStringList& expected)
{
    QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QString& name : expected)
        names.removeAll(name);
    return names;
}

const char kHandWritten[] =
    "orphan=before any section\n"
    "; a comment line\n"
    "\n"
    "[SeCtIoN]\n"
    "   Spaced   =   value with blanks inside   \n"
    "dquoted=\"in double quotes\"\n"
    "squoted='in single quotes'\n"
    "mismatched=\"half'\n"
    "onequote=\"\n"
    "inner=a \"b\" c\n"
    "empty=\n"
    "blanks=   \t \n"
    "equals=a=b=c\n"
    "dup=first\n"
    "DUP=second\n"
    "; hidden=comment\n"
    "noequals\n"
    "\n"
    "[other]\n"
    "dup=other section\n"
    "crlf=yes\r\n"
    "last=no final newline";

} // namespace

class SettingsFileTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;
    QString Path() const { return dir.filePath(QStringLiteral("Settings.ini")); }

private slots:
    void init()
    {
        QVERIFY(dir.isValid());
        QDir folder(dir.path());
        for (const QString& name : folder.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
            QFile::setPermissions(dir.filePath(name), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            QFileInfo(dir.filePath(name)).isDir() ? (void)QDir(dir.filePath(name)).removeRecursively()
                                                  : (void)QFile::remove(dir.filePath(name));
        }
    }

    void readsHandWrittenValues_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        QTest::newRow("blanks around") << "section" << "spaced" << "value with blanks inside";
        QTest::newRow("double quotes") << "SECTION" << "dquoted" << "in double quotes";
        QTest::newRow("single quotes") << "Section" << "squoted" << "in single quotes";
        QTest::newRow("mismatched quotes") << "section" << "mismatched" << "\"half'";
        QTest::newRow("a lone quote") << "section" << "onequote" << "\"";
        QTest::newRow("inner quotes") << "section" << "inner" << "a \"b\" c";
        QTest::newRow("present empty") << "section" << "empty" << "";
        QTest::newRow("only blanks") << "section" << "blanks" << "";
        QTest::newRow("first equals sign") << "section" << "equals" << "a=b=c";
        QTest::newRow("first duplicate wins") << "section" << "dup" << "first";
        QTest::newRow("same key elsewhere") << "OTHER" << "DUP" << "other section";
        QTest::newRow("CR LF line") << "other" << "crlf" << "yes";
        QTest::newRow("no final newline") << "other" << "last" << "no final newline";
        QTest::newRow("before any section") << "section" << "orphan" << "<default>";
        QTest::newRow("comment") << "section" << "hidden" << "<default>";
        QTest::newRow("no equals sign") << "section" << "noequals" << "<default>";
        QTest::newRow("missing section") << "nowhere" << "dup" << "<default>";
    }
    void readsHandWrittenValues()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        WriteBytes(Path(), kHandWritten);
        const SettingsFile file(Path());
        QVERIFY(file.Exists());
        QCOMPARE(file.ReadString(section, key, QStringLiteral("<default>")), expected);
    }

    void missingFileReadsDefaults()
    {
        const SettingsFile file(Path());
        QVERIFY(!file.Exists());
        QCOMPARE(file.ReadString("Settings", "Language", "ru"), QStringLiteral("ru"));
        QCOMPARE(file.ReadInteger("Position", "Width", 800), 800);
        QCOMPARE(file.ReadBool("Settings", "ShowStatusBar", true), true);
    }

    void longValueIsCutAt2047Characters()
    {
        const QByteArray ascii(3000, 'R');
        const QByteArray cyrillic = QString(3000, QChar(0x0416)).toUtf8();
        WriteBytes(Path(), "[OLL hints]\r\nhint1=" + ascii + "\r\nhint2=" + cyrillic + "\r\n");
        const SettingsFile file(Path());
        QCOMPARE(file.ReadString("OLL hints", "hint1", ""), QString(2047, u'R'));
        QCOMPARE(file.ReadString("OLL hints", "hint2", ""), QString(2047, QChar(0x0416)));
    }

    void integerForms_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");   // -999: the default
        QTest::newRow("decimal") << "644" << 644;
        QTest::newRow("negative") << "-12" << -12;
        QTest::newRow("plus sign") << "+7" << 7;
        QTest::newRow("leading blanks") << "\"  7\"" << 7;
        QTest::newRow("trailing blanks") << "\"7  \"" << -999;
        QTest::newRow("dollar") << "$10" << 16;
        QTest::newRow("x") << "x10" << 16;
        QTest::newRow("X") << "X1f" << 31;
        QTest::newRow("0x") << "0x10" << 16;
        QTest::newRow("0X") << "0X10" << 16;
        QTest::newRow("signed hex") << "-$10" << -16;
        QTest::newRow("colour") << "$00B9FFB9" << 0x00B9FFB9;
        QTest::newRow("all bits") << "$FFFFFFFF" << -1;
        QTest::newRow("hex too long") << "$100000000" << -999;
        QTest::newRow("largest") << "2147483647" << 2147483647;
        QTest::newRow("smallest") << "-2147483648" << int(-2147483647 - 1);
        QTest::newRow("overflow") << "2147483648" << -999;
        QTest::newRow("word") << "word" << -999;
        QTest::newRow("empty") << "" << -999;
        QTest::newRow("lone dollar") << "$" << -999;
        QTest::newRow("lone 0x") << "0x" << -999;
        QTest::newRow("trailing junk") << "12abc" << -999;
        QTest::newRow("decimal point") << "1.5" << -999;
        QTest::newRow("bad hex digit") << "$1G" << -999;
    }
    void integerForms()
    {
        QFETCH(QString, text);
        QFETCH(int, expected);
        WriteBytes(Path(), "[Position]\r\nX=" + text.toUtf8() + "\r\n");
        const SettingsFile file(Path());
        QCOMPARE(file.ReadInteger("Position", "X", -999), expected);
    }

    void booleans()
    {
        WriteBytes(Path(), "[Settings]\nmax=2\nzero=0\nword=yes\nempty=\n");
        const SettingsFile file(Path());
        QCOMPARE(file.ReadBool("Settings", "max", false), true);
        QCOMPARE(file.ReadBool("Settings", "zero", true), false);
        QCOMPARE(file.ReadBool("Settings", "word", false), false);
        QCOMPARE(file.ReadBool("Settings", "word", true), true);
        QCOMPARE(file.ReadBool("Settings", "empty", true), true);
        QCOMPARE(file.ReadBool("Settings", "missing", false), false);
    }

    void writeReplacesInPlaceKeepingSpellingAndPosition()
    {
        WriteBytes(Path(), "; keep me\r\n[Settings]\r\n  Showexamnotice =  0 \r\nmode=OLL\r\n[Tuning]\r\nTimerBack=$1\r\n");
        SettingsFile file(Path());
        file.WriteBool("SETTINGS", "showexamnotice", true);
        file.WriteString("tuning", "timerback", "$0095A295");
        QCOMPARE(ReadBytes(Path()),
                 QByteArray("; keep me\r\n[Settings]\r\nShowexamnotice=1\r\nmode=OLL\r\n[Tuning]\r\nTimerBack=$0095A295\r\n"));
        QCOMPARE(file.ReadBool("Settings", "Showexamnotice", false), true);
    }

    void newKeysAndSectionsGoToTheEnd()
    {
        WriteBytes(Path(), "[A]\nx=1\n; note\n\n\n[B]\ny=2");
        SettingsFile file(Path());
        file.WriteString("a", "new", "3");
        file.WriteString("b", "z", "4");
        file.WriteString("C", "w", "5");
        QCOMPARE(ReadBytes(Path()),
                 QByteArray("[A]\nx=1\n; note\nnew=3\r\n\n\n[B]\ny=2\r\nz=4\r\n[C]\r\nw=5\r\n"));
        QCOMPARE(file.ReadString("A", "new", ""), QStringLiteral("3"));
        QCOMPARE(file.ReadString("C", "W", ""), QStringLiteral("5"));
    }

    void firstWriteCreatesTheFileWithCrLf()
    {
        SettingsFile file(Path());
        file.WriteString("Tuning", "EnabledBarBckColor", "$00B9FFB9");
        file.WriteInteger("Position", "X", -3);
        file.WriteInteger("Position", "Width", 800);
        file.Close();
        QCOMPARE(ReadBytes(Path()),
                 QByteArray("[Tuning]\r\nEnabledBarBckColor=$00B9FFB9\r\n[Position]\r\nX=-3\r\nWidth=800\r\n"));
        QCOMPARE(Leftovers(dir.path(), {"Settings.ini"}), QStringList());
    }

    void everyReadSeesEveryWriteAcrossObjects()
    {
        SettingsFile reader(Path());
        QCOMPARE(reader.ReadString("OLL hints", "hint1", "none"), QStringLiteral("none"));
        {
            SettingsFile writer(Path());
            writer.WriteString("OLL hints", "hint1", "R U R'");
        }
        QCOMPARE(reader.ReadString("OLL hints", "hint1", "none"), QStringLiteral("R U R'"));
        QFile::remove(Path());
        QCOMPARE(reader.ReadString("OLL hints", "hint1", "none"), QStringLiteral("none"));
    }

    void valuesReadBackAsWritten_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("cyrillic hint") << QStringLiteral("Р У Р' У' (правая рука)");
        QTest::newRow("blanks around") << QStringLiteral("  R U  ");
        QTest::newRow("double quoted") << QStringLiteral("\"R U\"");
        QTest::newRow("single quoted") << QStringLiteral("'R U'");
        QTest::newRow("empty") << QString();
        QTest::newRow("emoji") << QStringLiteral("R \U0001F600");
    }
    void valuesReadBackAsWritten()
    {
        QFETCH(QString, value);
        SettingsFile file(Path());
        file.WriteString("PLL hints", "hint3", value);
        QCOMPARE(file.ReadString("PLL hints", "hint3", "<default>"), value);
        QCOMPARE(SettingsFile(Path()).ReadString("PLL hints", "hint3", "<default>"), value);
    }

    void cyrillicIsStoredAsUtf8()
    {
        SettingsFile(Path()).WriteString("OLL hints", "hint2", QStringLiteral("Р У"));
        QCOMPARE(ReadBytes(Path()), QByteArray("[OLL hints]\r\nhint2=\xD0\xA0 \xD0\xA3\r\n"));
    }

    void foreignBytesSurviveReadAndWrite()
    {
        const QByteArray odd("[OLL hints]\nhint1=\xC0\xFF R \x80\xE2\x82 U\n\xFE\xFF junk line \x01\n");
        WriteBytes(Path(), odd);
        SettingsFile file(Path());
        const QString hint = file.ReadString("OLL hints", "hint1", "");
        file.WriteString("OLL hints", "hint1", hint);
        file.WriteString("OLL hints", "hint2", hint);
        QCOMPARE(ReadBytes(Path()),
                 QByteArray("[OLL hints]\nhint1=\xC0\xFF R \x80\xE2\x82 U\n\xFE\xFF junk line \x01\n"
                            "hint2=\xC0\xFF R \x80\xE2\x82 U\r\n"));
    }

    void lineBreaksInAValueCannotForgeEntries()
    {
        SettingsFile file(Path());
        file.WriteString("OLL hints", "hint1", "R U\r\n[Settings]\r\nmode=PLL");
        QCOMPARE(file.ReadString("Settings", "mode", "none"), QStringLiteral("none"));
        QCOMPARE(file.ReadString("OLL hints", "hint1", ""), QStringLiteral("R U  [Settings]  mode=PLL"));
    }

    void refusedWriteWhenTheFileIsAFolder()
    {
        QVERIFY(QDir(dir.path()).mkdir("Settings.ini"));
        SettingsFile file(Path());
        QVERIFY(file.Exists());
        QCOMPARE(file.ReadString("Settings", "Language", "ru"), QStringLiteral("ru"));
        QVERIFY_THROWS_EXCEPTION(TesseloError, file.WriteString("Settings", "mode", "PLL"));
        try {
            file.WriteString("Settings", "mode", "PLL");
        } catch (const TesseloError& error) {
            QCOMPARE(error.text(), Refusal(QFileInfo(Path()).absoluteFilePath()));
        }
        QCOMPARE(Leftovers(dir.path(), {"Settings.ini"}), QStringList());
    }

    void refusedWriteWhenTheFolderIsAFile()
    {
        WriteBytes(dir.filePath("notafolder"), "x");
        const QString path = dir.filePath("notafolder/Settings.ini");
        SettingsFile file(path);
        QVERIFY(!file.Exists());
        try {
            file.WriteInteger("Position", "X", 1);
            QFAIL("no error");
        } catch (const TesseloError& error) {
            QCOMPARE(error.text(), Refusal(path));
        }
        QCOMPARE(ReadBytes(dir.filePath("notafolder")), QByteArray("x"));
    }

    void refusedWriteInAReadOnlyFolderKeepsTheOldFile()
    {
        if (RunningAsRoot())
            QSKIP("root ignores permissions; the folder and file cases above cover the refusal");
        const QByteArray old("[Settings]\r\nmode=OLL\r\n");
        WriteBytes(Path(), old);
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
        SettingsFile file(Path());
        QVERIFY_THROWS_EXCEPTION(TesseloError, file.WriteString("Settings", "mode", "PLL"));
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(ReadBytes(Path()), old);
        QCOMPARE(file.ReadString("Settings", "mode", ""), QStringLiteral("OLL"));
        QCOMPARE(Leftovers(dir.path(), {"Settings.ini"}), QStringList());
    }

    void writeThatRunsOutOfSpaceKeepsTheOldFile()
    {
        const QByteArray old("[Settings]\r\nmode=OLL\r\n");
        WriteBytes(Path(), old);
        SettingsFile file(Path());
        // A file size limit makes the write fail part-way, as a full disk would.
        rlimit saved {};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit tight = saved;
        tight.rlim_cur = 512;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &tight), 0);
        bool refused = false;
        try {
            file.WriteString("OLL hints", "hint1", QString(4000, u'R'));
        } catch (const TesseloError& error) {
            refused = error.text() == Refusal(QFileInfo(Path()).absoluteFilePath());
        }
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
        QVERIFY(refused);
        QCOMPARE(ReadBytes(Path()), old);
        QCOMPARE(file.ReadString("OLL hints", "hint1", "none"), QStringLiteral("none"));
        QCOMPARE(Leftovers(dir.path(), {"Settings.ini"}), QStringList());
        file.WriteString("Settings", "mode", "PLL");   // usable again once there is room
        QCOMPARE(ReadBytes(Path()), QByteArray("[Settings]\r\nmode=PLL\r\n"));
    }

    void refusedWriteToAReadOnlyFile()
    {
        if (RunningAsRoot())
            QSKIP("root ignores permissions");
        const QByteArray old("[Settings]\r\nmode=OLL\r\n");
        WriteBytes(Path(), old);
        QFile::setPermissions(Path(), QFile::ReadOwner);
        SettingsFile file(Path());
        QVERIFY_THROWS_EXCEPTION(TesseloError, file.WriteString("Settings", "mode", "PLL"));
        QCOMPARE(ReadBytes(Path()), old);
    }

    // As with the private-profile functions: a section written twice is known
    // by its first occurrence, for reading and for writing.
    void aSectionWrittenTwiceIsKnownByItsFirstOccurrence()
    {
        WriteBytes(Path(), "[Settings]\r\nmode=OLL\r\n[Tuning]\r\nTimerBack=$0\r\n"
                           "[settings]\r\nmode=PLL\r\nomode=1\r\n");
        SettingsFile file(Path());
        QCOMPARE(file.ReadString("Settings", "mode", ""), QStringLiteral("OLL"));
        QCOMPARE(file.ReadString("Settings", "omode", "unset"), QStringLiteral("unset"));
        file.WriteString("Settings", "omode", "0");
        file.WriteString("Settings", "mode", "PLL");
        QCOMPARE(ReadBytes(Path()), QByteArray("[Settings]\r\nmode=PLL\r\nomode=0\r\n[Tuning]\r\nTimerBack=$0\r\n"
                                               "[settings]\r\nmode=PLL\r\nomode=1\r\n"));
        QCOMPARE(file.ReadString("Settings", "omode", "unset"), QStringLiteral("0"));
    }

    // A run as root must not take the file from the user it belongs to.
    void rewritesKeepTheFilesOwnerGroupAndMode()
    {
        if (!RunningAsRoot())
            QSKIP("only root can give a file to another owner");
        WriteBytes(Path(), "[Settings]\r\nmode=OLL\r\n");
        const QByteArray name = QFile::encodeName(Path());
        QCOMPARE(::chown(name.constData(), 65534, 65533), 0);
        QCOMPARE(::chmod(name.constData(), 0640), 0);
        SettingsFile file(Path());
        for (const char* mode : {"PLL", "OLL", "PLL"}) {   // the temporary is reused from write to write
            file.WriteString("Settings", "mode", mode);
            struct stat info {};
            QCOMPARE(::stat(name.constData(), &info), 0);
            QCOMPARE(info.st_uid, uid_t(65534));
            QCOMPARE(info.st_gid, gid_t(65533));
            QCOMPARE(info.st_mode & 07777, mode_t(0640));
        }
    }

    void aSymbolicLinkStaysOne()
    {
        QVERIFY(QDir(dir.path()).mkdir("real"));
        const QString real = dir.filePath("real/Settings.ini");
        WriteBytes(real, "[Settings]\r\nmode=OLL\r\n");
        QVERIFY(QFile::link(real, Path()));
        {
            SettingsFile file(Path());
            file.WriteString("Settings", "mode", "PLL");
        }
        QVERIFY(QFileInfo(Path()).isSymLink());
        QCOMPARE(ReadBytes(real), QByteArray("[Settings]\r\nmode=PLL\r\n"));
        QCOMPARE(Leftovers(dir.filePath("real"), {"Settings.ini"}), QStringList());
    }

    void staleTemporaryFileIsRemoved()
    {
        WriteBytes(Path(), "[Settings]\r\nmode=PLL\r\n");
        WriteBytes(Path() + ".tmp.k1Lled", "[Settings]\r\nmode=half wri");
        SettingsFile file(Path());
        file.RemoveStaleTemporaries();
        QCOMPARE(Leftovers(dir.path(), {"Settings.ini"}), QStringList());
        QCOMPARE(file.ReadString("Settings", "mode", ""), QStringLiteral("PLL"));
    }

    void hostileFilesReadAsDefaults_data()
    {
        QTest::addColumn<QByteArray>("content");
        std::mt19937 random(2024);
        QByteArray garbage(1 << 20, '\0');
        for (char& c : garbage)
            c = static_cast<char>(random());
        QTest::newRow("binary garbage") << garbage;
        QTest::newRow("NUL bytes") << QByteArray("[Settings]\0\nmode\0=PLL\n\0\0\0", 21);
        QTest::newRow("10 MB without line ends") << QByteArray(10 * 1024 * 1024, 'k');
        QTest::newRow("1 MB of brackets") << QByteArray(1024 * 1024, '[');
        QTest::newRow("1 MB of empty lines") << QByteArray(1024 * 1024, '\n');
        QTest::newRow("only CRs") << QByteArray(1000, '\r');
    }
    void hostileFilesReadAsDefaults()
    {
        QFETCH(QByteArray, content);
        WriteBytes(Path(), content);
        SettingsFile file(Path());
        for (int i = 0; i < 300; ++i)
            QCOMPARE(file.ReadString("Settings", "mode", "OLL"), QStringLiteral("OLL"));
        QCOMPARE(file.ReadInteger("Position", "Width", 800), 800);
        // Writing keeps every byte of what was there and adds the entry.
        file.WriteString("Settings", "mode", "PLL");
        QCOMPARE(file.ReadString("Settings", "mode", "OLL"), QStringLiteral("PLL"));
        QVERIFY(ReadBytes(Path()).startsWith(content));
    }

    void aSetSwitchWorthOfWritesIsQuick()
    {
        // A normal file: first-run hints and every key of both sets.
        QByteArray text = "[Tuning]\r\nEnabledBarBckColor=$00B9FFB9\r\n[OLL hints]\r\n";
        for (int n = 1; n <= 57; ++n)
            text += "hint" + QByteArray::number(n) + "=R U R' U R U2' R' F R F'\r\n";
        text += "[Settings]\r\n";
        for (int n = 1; n <= 57; ++n)
            text += "al" + QByteArray::number(n) + "=0\r\n";
        WriteBytes(Path(), text);
        SettingsFile file(Path(), SettingsFile::Commit::AtClose);
        QElapsedTimer timer;
        timer.start();
        const qint64 cpuStart = ThreadCpuNs();
        for (int n = 1; n <= 57; ++n) {
            file.WriteInteger("Settings", QStringLiteral("al%1").arg(n), n % 2);
            file.WriteString("Results", QStringLiteral("avg%1").arg(n), "4,546");
            file.WriteString("Results", QStringLiteral("bes%1").arg(n), "3,912");
            file.WriteString("Results", QStringLiteral("nes%1").arg(n), "12");
        }
        file.WriteBool("Settings", "omode", true);
        const qint64 elapsedUs = timer.nsecsElapsed() / 1000;
        const qint64 cpuUs = (ThreadCpuNs() - cpuStart) / 1000;
        file.Close();
        const qint64 withFlushUs = timer.nsecsElapsed() / 1000;
        qInfo("229 writes: %lld us (%lld us of processor time); with the closing flush: %lld us; file of %lld bytes",
              elapsedUs, cpuUs, withFlushUs, static_cast<long long>(ReadBytes(Path()).size()));
        QCOMPARE(SettingsFile(Path()).ReadString("Results", "avg57", ""), QStringLiteral("4,546"));
        QCOMPARE(SettingsFile(Path()).ReadInteger("Settings", "al57", 0), 1);
        // Processor time, so that a busy machine does not fail the test; the
        // bound is generous and only catches a collapse (the target is well
        // under 30 ms of wall time on an idle machine).
#ifndef __SANITIZE_ADDRESS__   // the sanitizers slow every allocation many times over
        QVERIFY2(cpuUs < 100000, qPrintable(QString::number(cpuUs)));
#endif
    }

    // The replacement every rewritten file goes through: a link at the name
    // is replaced (what it points to untouched), a file keeps its mode, and
    // a folder is refused with nothing left behind.
    void wholeFileReplacement()
    {
        const QString victim = dir.filePath(QStringLiteral("victim"));
        const QString name = dir.filePath(QStringLiteral("cube.bmp"));
        WriteBytes(victim, "precious");
        QVERIFY(QFile::link(victim, name));
        QVERIFY(ReplaceFileAtomically(name, "texture"));
        QVERIFY(!QFileInfo(name).isSymLink());
        QCOMPARE(ReadBytes(name), QByteArray("texture"));
        QCOMPARE(ReadBytes(victim), QByteArray("precious"));
        QCOMPARE(::chmod(QFile::encodeName(name).constData(), 0640), 0);
        QVERIFY(ReplaceFileAtomically(name, "again"));
        struct stat info {};
        QCOMPARE(::stat(QFile::encodeName(name).constData(), &info), 0);
        QCOMPARE(info.st_mode & 07777, mode_t(0640));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
        QVERIFY(!ReplaceFileAtomically(dir.filePath(QStringLiteral("folder")), "x"));
        QCOMPARE(errno, EISDIR);
        QCOMPARE(Leftovers(dir.path(), {"victim", "cube.bmp", "folder"}), QStringList());
    }

    // A backup made as a hard link keeps the text it was made with, however
    // many writes follow: no write goes into a file that already exists.
    void aHardLinkKeepsItsText()
    {
        const QByteArray original = "[Settings]\r\nmode=OLL\r\n";
        WriteBytes(Path(), original);
        const QString backup = dir.filePath(QStringLiteral("backup.ini"));
        QCOMPARE(::link(QFile::encodeName(Path()).constData(), QFile::encodeName(backup).constData()), 0);
        SettingsFile file(Path());
        for (const char* mode : {"PLL", "OLL", "PLL"})
            file.WriteString("Settings", "mode", mode);
        QCOMPARE(ReadBytes(backup), original);
        QCOMPARE(ReadBytes(Path()), QByteArray("[Settings]\r\nmode=PLL\r\n"));
    }

    // A piece of work leaves the file untouched until it closes, reads its
    // own writes back meanwhile, then leaves exactly the text of the same
    // writes made one by one, with what another writer wrote in between kept.
    void aPieceOfWorkReplacesTheFileOnceWithThePerKeyText()
    {
        const QByteArray original = "[Settings]\r\nmode=OLL\r\n\r\n[Results]\r\navg1=2,000\r\n";
        WriteBytes(Path(), original);
        const QString oneByOne = dir.filePath(QStringLiteral("one-by-one.ini"));
        WriteBytes(oneByOne, original);
        const auto writeAll = [](SettingsFile& file) {
            file.WriteString("Results", "avg1", "1,500");
            file.WriteString("Settings", "omode", "1");
            file.WriteString("PLL hints", "hint3", " R U ");
            file.WriteString("Results", "avg1", "1,400");
        };
        SettingsFile work(Path(), SettingsFile::Commit::AtClose);
        writeAll(work);
        QCOMPARE(ReadBytes(Path()), original);
        QCOMPARE(work.ReadString("Results", "avg1", ""), QStringLiteral("1,400"));
        SettingsFile(Path()).WriteString("Results", "nes1", "7");   // another copy, meanwhile
        SettingsFile(oneByOne).WriteString("Results", "nes1", "7");
        work.Close();
        SettingsFile reference(oneByOne);
        writeAll(reference);
        QCOMPARE(ReadBytes(Path()), ReadBytes(oneByOne));
        QCOMPARE(work.ReadString("Results", "nes1", ""), QStringLiteral("7"));
    }
};

QTEST_GUILESS_MAIN(SettingsFileTest)
#include "test_core_settingsfile.moc"
