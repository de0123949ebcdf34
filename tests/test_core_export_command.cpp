// `tesselo --export FORMAT FILE` run as users run it: the built program,
// copied into a folder of its own, with no display at all.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

namespace {

const QByteArray kHistory = "time,set,case,level,recognition,seconds,exam,scramble\r\n"
                            "2026-12-09T11:32:05Z,OLL,4,Easy,top,1.470,0,R U R' U'\r\n";

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

} // namespace

class ExportCommandTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    QString program;   // the copy, in the folder that holds History.csv

    Run Export(const QStringList& arguments)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QString::fromLatin1(name));
        environment.insert("LC_ALL", "C");
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(dir.filePath("work"));
        process.start(program, QStringList("--export") + arguments);
        if (!process.waitForFinished(30000))
            qFatal("the export did not end");
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput(),
                process.readAllStandardError()};
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        QVERIFY(QDir(dir.path()).mkdir("work"));
        // A portable folder: History.csv beside the executable, not the user's own.
        QFile marker(dir.filePath("portable"));
        QVERIFY(marker.open(QIODevice::WriteOnly));
        program = dir.filePath("tesselo");
        // The program's folder is where its executable is: a hard link is one there.
        const QByteArray built = TESSELO_BUILD_DIR "/tesselo";
        if (::link(built.constData(), QFile::encodeName(program).constData()) != 0)
            QVERIFY(QFile::copy(QString::fromUtf8(built), program));
    }

    void writesBothFormatsWithoutADisplay()
    {
        QFile history(dir.filePath("History.csv"));
        QVERIFY(history.open(QIODevice::WriteOnly) && history.write(kHistory) == kHistory.size());
        history.close();

        Run run = Export({"cstimer", "out.json"});   // beside the working folder
        QVERIFY2(run.exitCode == 0, run.err.constData());
        const QByteArray json = ReadAll(dir.filePath("work/out.json"));
        QVERIFY(json.startsWith("{\"session1\":[[[0,1470],\"R U R' U'\",\"OLL 27 Sune, Easy\",1796815923]]"));
        QVERIFY(run.out.startsWith("Exported 1 OLL and 0 PLL times to out.json."));

        run = Export({"TwistyTimer", dir.filePath("backup.txt")});
        QVERIFY2(run.exitCode == 0, run.err.constData());
        QCOMPARE(ReadAll(dir.filePath("backup.txt")).split('\n').value(1),
                 QByteArray("\"333\";\"Tesselo OLL\";\"1470\";\"1796815925000\";\"R U R' U'\";\"0\";\"OLL 27 Sune, Easy\""));
    }

    // Each failure says what was wrong, exits non-zero and writes nothing.
    void failures_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("historyIsAFolder");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("unknown format") << QStringList({"csv", "x.csv"}) << false << 2
                                        << QByteArray("Unknown export format \"csv\"");
        QTest::newRow("no file") << QStringList({"cstimer"}) << false << 2
                                 << QByteArray("The export format or the file is missing.");
        QTest::newRow("unwritable file") << QStringList({"cstimer", "no/such/folder/x.json"}) << false << 1
                                         << QByteArray("Cannot write no/such/folder/x.json: No such file or directory");
        QTest::newRow("unreadable History.csv") << QStringList({"cstimer", "x.json"}) << true << 1
                                                << QByteArray("Cannot read ");
    }
    void failures()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, historyIsAFolder);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, message);
        QFile::remove(dir.filePath("History.csv"));
        if (historyIsAFolder)
            QVERIFY(QDir(dir.path()).mkdir("History.csv"));
        const QStringList before = QDir(dir.filePath("work")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        const Run run = Export(arguments);
        QDir(dir.path()).rmdir("History.csv");
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.err.contains(message), run.err.constData());
        QVERIFY(run.out.isEmpty());
        QCOMPARE(QDir(dir.filePath("work")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    }
};

QTEST_GUILESS_MAIN(ExportCommandTest)
#include "test_core_export_command.moc"
