// The program ended from outside. The signals go to this same executable
// started with "--accept-and-wait": it runs the program offscreen, accepts one
// time, leaves a second attempt running, prints the case, its average and the
// program folder, and waits in the event loop. Started with "--start-in
// <folder>" it starts the program with real message boxes and prints "box"
// once one is up.
#include "app/program.h"
#include "app/sessionend.h"
#include "settings/settingsfile.h"
#include "support/harness.h"
#include "window/tform1.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

const QString kResults = QStringLiteral("Results");

void AcceptOneTime(Harness& h)
{
    h.StartAttempt();
    h.Tick(4321);
    h.form->BitBtn1Click();
    h.form->BitBtn2Click();
}

int RunAcceptAndWait(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    Harness h;
    h.dir.setAutoRemove(false);
    TForm1* f = h.Start();
    h.program->FollowTheSession();
    AcceptOneTime(h);
    const int accepted = f->state.currentCase;
    h.StartAttempt();   // in progress when the signal comes: not saved
    h.Tick(1000);
    std::printf("%d %s %s\n", accepted, qPrintable(f->Tile(accepted)->avoll->text()), qPrintable(h.Folder()));
    std::fflush(stdout);
    return application.exec();
}

int RunStartIn(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    Environment environment = Environment::Default();
    environment.files = FileLocations::Portable(QString::fromLocal8Bit(argv[2]));
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&watch] {
        if (!QApplication::activeModalWidget())
            return;
        watch.stop();
        std::printf("box\n");
        std::fflush(stdout);
    });
    watch.start(5);
    Program program(std::move(environment));
    program.FollowTheSession();
    program.form1->show();
    return application.exec();
}

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class AppSessionEndTest : public QObject {
    Q_OBJECT

private slots:
    void signalRunsTheShutDown_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGHUP") << int(SIGHUP);
        QTest::newRow("SIGINT") << int(SIGINT);
    }

    void signalRunsTheShutDown()
    {
        QFETCH(int, signalNumber);
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--accept-and-wait")});
        while (!child.canReadLine() && child.waitForReadyRead(30000)) {
        }
        const QStringList said = QString::fromLocal8Bit(child.readLine()).trimmed().split(u' ');
        QCOMPARE(said.size(), 3);
        const QString n = said[0];
        const QString folder = said[2];
        const auto removeFolder = qScopeGuard([&] { QDir(folder).removeRecursively(); });
        QVERIFY(QFile::exists(folder + QStringLiteral("/digital.ttf")));

        QCOMPARE(::kill(pid_t(child.processId()), signalNumber), 0);
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
        const SettingsFile file(folder + QStringLiteral("/Settings.ini"));
        QCOMPARE(file.ReadString(kResults, QStringLiteral("avg") + n, {}), said[1]);
        QCOMPARE(file.ReadString(kResults, QStringLiteral("nes") + n, {}), QStringLiteral("1"));
        QVERIFY(!QFile::exists(folder + QStringLiteral("/digital.ttf")));
        QVERIFY(!QFile::exists(folder + QStringLiteral("/Images/cube.bmp")));
    }

    // A start-up message box is up ("'$ZZZ' is not a valid integer value")
    // when the session ends: the program ends with 0, its font file gone and
    // Settings.ini as it was, not written back from a half-done start-up.
    void signalDuringStartUpEndsCleanly()
    {
        QTemporaryDir dir;
        const QByteArray settings = "[Settings]\r\nLanguage=en\r\n[Tuning]\r\nTimerBack=$ZZZ\r\n";
        QFile file(dir.filePath("Settings.ini"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(settings) == settings.size());
        file.close();
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--start-in"), dir.path()});
        while (!child.canReadLine() && child.waitForReadyRead(30000)) {
        }
        QCOMPARE(child.readLine().trimmed(), QByteArray("box"));
        QVERIFY(QFile::exists(dir.filePath("digital.ttf")));

        QCOMPARE(::kill(pid_t(child.processId()), SIGTERM), 0);
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
        QVERIFY(!QFile::exists(dir.filePath("digital.ttf")));
        QVERIFY(!QFile::exists(dir.filePath("Images/cube.bmp")));
        QCOMPARE(ReadBytes(dir.filePath("Settings.ini")), settings);
    }

    // nohup: a hang-up ignored by whoever started the program stays ignored.
    void ignoredSignalsStayIgnored()
    {
        struct sigaction ignore {}, saved {}, now {};
        ignore.sa_handler = SIG_IGN;
        QCOMPARE(::sigaction(SIGHUP, &ignore, &saved), 0);
        const auto restore = qScopeGuard([&] { ::sigaction(SIGHUP, &saved, nullptr); });
        {
            TerminationSignals handlers;
            ::sigaction(SIGHUP, nullptr, &now);
            QVERIFY(now.sa_handler == SIG_IGN);
            ::sigaction(SIGTERM, nullptr, &now);
            QVERIFY(now.sa_handler != SIG_IGN && now.sa_handler != SIG_DFL);
        }
        ::sigaction(SIGHUP, nullptr, &now);
        QVERIFY(now.sa_handler == SIG_IGN);
    }

    // The session manager may still cancel the logout: the program goes on
    // with its font, and a later ordinary close whose write is refused asks
    // as always. The session's end itself (its quit) asks nobody.
    void sessionEndSavesWithoutAskingOnlyWhileItEnds()
    {
        Harness h;
        TForm1* f = h.Start();
        h.program->FollowTheSession();
        AcceptOneTime(h);
        const QString n = QString::number(f->state.currentCase);
        SaveForSessionEnd(*f);
        QCOMPARE(SettingsFile(h.Path("Settings.ini")).ReadString(kResults, QStringLiteral("nes") + n, {}),
                 QStringLiteral("1"));
        QVERIFY(QFile::exists(h.Path("digital.ttf")));

        QVERIFY(QFile::remove(h.Path("Settings.ini")));   // every write now refused
        QVERIFY(QDir(h.Folder()).mkdir("Settings.ini"));
        h.messages->answers << false;   // "close without saving?" No
        QVERIFY(!f->close());
        QCOMPARE(h.messages->asked.size(), 1);

        QEvent quit(QEvent::Quit);
        QCoreApplication::sendEvent(qApp, &quit);
        QCOMPARE(h.messages->asked.size(), 1);
        QVERIFY(!QFile::exists(h.Path("digital.ttf")));   // shut down all the same
    }

    // Another copy holds History.csv: Accept does not wait, the times wait
    // in the status bar's count, the close asks (No keeps the window open)
    // and the session's end writes them without asking once the file is free.
    void unwrittenTimesAreCountedAndAskedAboutAtTheClose()
    {
        Harness h;
        TForm1* f = h.Start();
        AcceptOneTime(h);
        QCOMPARE(f->StatusBar1->PanelAlert(3), QString());
        const int other = ::open(QFile::encodeName(h.Path("History.csv")).constData(), O_RDONLY | O_CLOEXEC);
        QCOMPARE(::flock(other, LOCK_EX), 0);
        AcceptOneTime(h);
        QCOMPARE(f->StatusBar1->PanelAlert(3), QStringLiteral("1 time not yet written to History.csv"));
        AcceptOneTime(h);
        QCOMPARE(f->StatusBar1->PanelAlert(3), QStringLiteral("2 times not yet written to History.csv"));
        QCOMPARE(h.messages->errors, QStringList());   // a lock taken is no refusal

        h.messages->answers << false;
        QVERIFY(!f->close());
        QCOMPARE(h.messages->asked, QStringList{QStringLiteral(
            "Tesselo|2 times could not be written to History.csv and will be lost. Close anyway?")});

        ::close(other);
        SaveForSessionEnd(*f);
        QCOMPARE(f->StatusBar1->PanelAlert(3), QString());
        QCOMPARE(ReadBytes(h.Path("History.csv")).count("\r\n"), 4);   // the header and three times
        QVERIFY(f->close());
        QCOMPARE(h.messages->asked.size(), 1);
    }

    // In Russian the count needs no plural ending.
    void unwrittenTimesAreCountedInRussian()
    {
        Harness h(QStringLiteral("ru_RU"));
        TForm1* f = h.Start();
        QVERIFY(QDir(h.Folder()).mkdir(QStringLiteral("History.csv")));   // every write refused
        AcceptOneTime(h);
        AcceptOneTime(h);
        QCOMPARE(f->StatusBar1->PanelAlert(3), QStringLiteral("Не записано в History.csv: 2"));
        QCOMPARE(h.messages->errors.size(), 1);   // "Unable to write to …" once
        h.messages->answers << true;
        QVERIFY(f->close());
        QCOMPARE(h.messages->asked, QStringList{QStringLiteral(
            "Tesselo|Не записано в History.csv: 2. Закрыть программу? Незаписанное будет потеряно.")});
    }
};

int main(int argc, char** argv)
{
    if (argc >= 2 && qstrcmp(argv[1], "--accept-and-wait") == 0)
        return RunAcceptAndWait(argc, argv);
    if (argc >= 3 && qstrcmp(argv[1], "--start-in") == 0)
        return RunStartIn(argc, argv);
    QApplication application(argc, argv);
    AppSessionEndTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_app_sessionend.moc"
