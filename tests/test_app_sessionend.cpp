// The program ended from outside. The signals go to this same executable
// started with "--accept-and-wait": it runs the program offscreen, accepts one
// time, leaves a second attempt running, prints the case, its average and the
// program folder, and waits in the event loop.
#include "app/program.h"
#include "settings/settingsfile.h"
#include "support/harness.h"
#include "window/tform1.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QScopeGuard>
#include <QtTest>

#include <csignal>
#include <cstdio>

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

    // The session manager may still cancel the logout: the program goes on
    // with its font, and its later shut-down asks nothing either.
    void sessionEndSavesWithoutAsking()
    {
        Harness h;
        TForm1* f = h.Start();
        AcceptOneTime(h);
        const QString n = QString::number(f->state.currentCase);
        f->SaveForSessionEnd();
        QCOMPARE(SettingsFile(h.Path("Settings.ini")).ReadString(kResults, QStringLiteral("nes") + n, {}),
                 QStringLiteral("1"));
        QVERIFY(QFile::exists(h.Path("digital.ttf")));

        QVERIFY(QFile::remove(h.Path("Settings.ini")));   // every write now refused
        QVERIFY(QDir(h.Folder()).mkdir("Settings.ini"));
        QVERIFY(f->close());
        QVERIFY(h.messages->asked.isEmpty() && h.messages->errors.isEmpty());
    }
};

int main(int argc, char** argv)
{
    if (argc >= 2 && qstrcmp(argv[1], "--accept-and-wait") == 0)
        return RunAcceptAndWait(argc, argv);
    QApplication application(argc, argv);
    AppSessionEndTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_app_sessionend.moc"
