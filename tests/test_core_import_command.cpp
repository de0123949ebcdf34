// `tesselo --import FILE` run as users run it: the built program, copied into
// folders of its own, with no display at all. A History.csv exported from
// one folder imports into another as the same attempts (csTimer keeps the
// split too), and only once.
#include "history/historyfile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// Setups of the program's pool: OLL 27 Sune (case 4), the Ub perm (PLL case 1).
const QByteArray kHistory = "time,set,case,level,recognition,seconds,exam,scramble,mode,split,answer,result\r\n"
                            "2026-12-09T11:32:05Z,OLL,4,Easy,top,1.470,0,B L U L' U' B' F' L' B L' B' L2 F,time,,,\r\n"
                            "2026-12-09T11:33:00Z,PLL,1,Hard,2-side,2.000,1,B L F' L F D F' D F D2 L B' L,split,0.700,,\r\n"
                            "2026-12-09T11:34:00Z,OLL,4,Hard,top,0.999,0,B L U L' U' B' F' L' B L' B' L2 F,time,,,\r\n";

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

// A portable program folder: the executable and the file that makes it portable.
QString ProgramIn(const QString& folder)
{
    QFile marker(folder + "/portable");
    if (!marker.open(QIODevice::WriteOnly))
        qFatal("no portable marker");
    const QString program = folder + "/tesselo";
    const QByteArray built = TESSELO_BUILD_DIR "/tesselo";
    if (::link(built.constData(), QFile::encodeName(program).constData()) != 0 && !QFile::copy(built, program))
        qFatal("the program was not copied");
    return program;
}

Run Start(const QString& program, const QStringList& arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    environment.insert("LC_ALL", "C");
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(30000))
        qFatal("the program did not end");
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput(),
            process.readAllStandardError()};
}

} // namespace

class ImportCommandTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString from, into;   // the programs of the exporting and the importing folder

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        QVERIFY(QDir(dir.path()).mkdir("from") && QDir(dir.path()).mkdir("into"));
        from = ProgramIn(dir.filePath("from"));
        into = ProgramIn(dir.filePath("into"));
        Write(dir.filePath("from/History.csv"), kHistory);
    }

    void roundTripOnceWithoutADisplay()
    {
        for (const char* format : {"cstimer", "twistytimer"}) {
            QFile::remove(dir.filePath("into/History.csv"));
            const QString exported = dir.filePath(QString("exported.") + format);
            Run run = Start(from, {"--export", format, exported});
            QVERIFY2(run.exitCode == 0, run.err.constData());

            run = Start(into, {"--import", exported});
            QVERIFY2(run.exitCode == 0, run.err.constData());
            QVERIFY2(run.out.contains("2 OLL and 1 PLL times"), run.out.constData());
            QVERIFY(run.out.contains("OLL 27 Sune: 2") && run.out.contains("PLL Ub: 1"));
            QVERIFY(run.out.contains("not in the tiles' averages"));
            const QByteArray imported = ReadAll(dir.filePath("into/History.csv"));
            const HistoryContent read = ParseHistory(imported), original = ParseHistory(kHistory);
            QCOMPARE(read.skippedLines, 0);
            // TwistyTimer keeps no split: the time comes back whole.
            std::vector<Attempt> expected = original.attempts;
            if (QByteArray(format) == "twistytimer")
                for (Attempt& attempt : expected)
                    attempt.mode = AttemptMode::Time;
            QVERIFY(read.attempts == expected);
            QCOMPARE(read.splits.size(), QByteArray(format) == "cstimer" ? size_t(1) : size_t(0));

            run = Start(into, {"--import", exported});
            QVERIFY2(run.exitCode == 0, run.err.constData());
            QVERIFY2(run.out.contains("Nothing new"), run.out.constData());
            QCOMPARE(ReadAll(dir.filePath("into/History.csv")), imported);
        }
    }

    // Each failure says what was wrong, exits non-zero and leaves History.csv as it was.
    void failures_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("content");   // of the file to import
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("no file named") << QStringList() << QByteArray() << 2
                                       << QByteArray("The file to import is missing.");
        QTest::newRow("two files") << QStringList({"a", "b"}) << QByteArray() << 2
                                   << QByteArray("Unexpected arguments after the file name.");
        QTest::newRow("missing file") << QStringList({"no/such.json"}) << QByteArray() << 1
                                      << QByteArray("Cannot import no/such.json: ");
        QTest::newRow("nothing to import") << QStringList({"in.json"})
                                           << QByteArray("{\"session1\":[[[-1,1470],\"R U R' U'\",\"\",1796815923]]}") << 1
                                           << QByteArray("Nothing to import");
        QTest::newRow("truncated") << QStringList({"in.json"}) << QByteArray("{\"session1\":[[[0,1470],\"R U") << 1
                                   << QByteArray("Cannot import ");
    }
    void failures()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, content);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, message);
        Write(dir.filePath("into/History.csv"), kHistory);
        if (!content.isEmpty())
            Write(dir.filePath("into/in.json"), content);
        QStringList relative;
        for (const QString& argument : arguments)
            relative << (argument == "in.json" ? dir.filePath("into/in.json") : argument);
        const Run run = Start(into, QStringList("--import") + relative);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.err.contains(message), run.err.constData());
        QVERIFY(run.out.isEmpty());
        QCOMPARE(ReadAll(dir.filePath("into/History.csv")), kHistory);
    }

    // A window running from the folder holds its lock: the command refuses.
    void refusedWhileTheProgramRuns()
    {
        Write(dir.filePath("into/History.csv"), kHistory);
        const QString exported = dir.filePath("exported.cstimer");
        QVERIFY(Start(from, {"--export", "cstimer", exported}).exitCode == 0);
        const int lock = ::open(QFile::encodeName(dir.filePath("into/.tesselo.lock")).constData(),
                                O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        QVERIFY(lock >= 0 && ::flock(lock, LOCK_EX) == 0);
        const Run run = Start(into, {"--import", exported});
        ::close(lock);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.err.contains("Tesselo is running from this folder"), run.err.constData());
        QCOMPARE(ReadAll(dir.filePath("into/History.csv")), kHistory);
    }
};

QTEST_GUILESS_MAIN(ImportCommandTest)
#include "test_core_import_command.moc"
