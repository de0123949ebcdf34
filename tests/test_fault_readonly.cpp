// A program folder the user cannot write (installed by an administrator,
// or on read-only media): every refusal is reported in order, with its own
// text, and the program stays usable.
//
// Permissions do not bind root, so when the tests run as root each case is
// run again in a child process as the user "nobody" (setpriv), which checks
// everything itself; otherwise the folder is made read-only in place.
#include "app/program.h"
#include "resources/resources.h"
#include "settings/settingsfile.h"
#include "window/controls.h"
#include "window/tform1.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <unistd.h>

namespace {

const char kFolderVariable[] = "TESSELO_READONLY_FOLDER";

// Every box in the order shown, each tagged with its kind.
class OrderedMessages : public Messages {
public:
    void Inform(const QString& text) override { log << QStringLiteral("info: ") + text; }
    bool Ask(const QString& caption, const QString& text) override
    {
        log << QStringLiteral("ask: ") + caption + u'|' + text;
        return answers.isEmpty() ? true : answers.takeFirst();
    }
    void ShowError(const QString& text) override { log << QStringLiteral("error: ") + text; }
    QStringList log;
    QList<bool> answers;   // Yes when empty
};

struct Run {
    std::shared_ptr<ManualClock> clock = std::make_shared<ManualClock>();
    std::shared_ptr<OrderedMessages> messages = std::make_shared<OrderedMessages>();
    std::unique_ptr<Program> program;

    explicit Run(const QString& folder)
    {
        Environment env;
        env.files = FileLocations::Portable(folder);
        env.clock = clock;
        env.random = std::make_shared<SeededRandom>(5);
        env.messages = messages;
        env.systemLanguage = [] { return QStringLiteral("en_US"); };
        program = std::make_unique<Program>(env);
        program->form1->show();
    }
    TForm1* Form() const { return program->form1.get(); }
    // The boxes shown since the last call, one a line.
    QString TakeLog() { return std::exchange(messages->log, {}).join(u'\n'); }
};

bool WriteBytes(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString Native(const QString& folder, const QString& relative)
{
    return QDir::toNativeSeparators(QDir(folder).filePath(relative));
}

// A refused write at shut-down: the error, then the question whether to close anyway.
QString RefusedShutdown(const QString& folder)
{
    return QStringLiteral("error: Unable to write to ") + Native(folder, "Settings.ini")
           + QStringLiteral("\nask: Tesselo|The settings were not saved. Close the program without saving?");
}

// Start, the two countdown ticks and the draw.
void PressStartAndCountDown(Run& run)
{
    TForm1* f = run.Form();
    f->BitBtn1Click();
    while (f->Timer2->isActive()) {
        run.clock->Advance(1000);
        f->Timer2Timer();
    }
}

// A copy of the program as an administrator left it after running it once:
// the settings with a result, the stopwatch font and the Easy pictures.
void InstallProgramInto(const QString& folder)
{
    QVERIFY(WriteBytes(QDir(folder).filePath("Settings.ini"),
                       "[Settings]\r\nLanguage=en\r\nmode=OLL\r\n[Results]\r\navg3=5,000\r\nbes3=4,000\r\nnes3=2\r\n"));
    QVERIFY(WriteBytes(QDir(folder).filePath("digital.ttf"), EmbeddedResource(QStringLiteral("MyWave"))));
    for (int n = 1; n <= 57; ++n)
        QVERIFY(WriteBytes(QDir(folder).filePath(QStringLiteral("Images/OLL/%1.gif").arg(n)),
                           EmbeddedResource(QStringLiteral("O%1").arg(n))));
}

// ------------------------------------------------------------ the checks

// Nothing there and nothing can be made: the two font messages first, then
// the settings file, the first picture and the cube's texture, each once.
void CheckEmptyFolder(const QString& folder)
{
    Run run(folder);
    TForm1* f = run.Form();
    const QStringList startup = run.TakeLog().split(u'\n');
    QCOMPARE(startup.size(), 5);
    QCOMPARE(startup.at(0), QStringLiteral("info: Не могу сохранить шрифт"));
    QCOMPARE(startup.at(1), QStringLiteral("info: Не могу подключить шрифт"));
    QCOMPARE(startup.at(2), QStringLiteral("error: Unable to write to ") + Native(folder, "Settings.ini"));
    QCOMPARE(startup.at(3), QStringLiteral("error: Unable to write to ") + Native(folder, "Images/OLL/1.gif"));
    QVERIFY2(startup.at(4).startsWith(QStringLiteral("error: Cannot create file \"%1\". ").arg(Native(folder, "Images/cube.bmp")))
                 && startup.at(4).endsWith(u'.'),
             qPrintable(startup.at(4)));

    // The refused first run still speaks the system's language.
    QCOMPARE(f->BitBtn1->text(), QStringLiteral("Start"));
    QVERIFY(f->isVisible());
    QCOMPARE(f->state.enabledCount, 57);

    // Usable: an attempt runs into the missing picture and ends cleanly.
    PressStartAndCountDown(run);
    const QStringList draw = run.TakeLog().split(u'\n');
    QCOMPARE(draw.size(), 1);
    QVERIFY2(draw.at(0).startsWith(QStringLiteral("info: Image \"\\Images\\OLL\\")) && draw.at(0).endsWith(" not found"),
             qPrintable(draw.at(0)));
    QVERIFY(!f->state.attemptActive);
    QVERIFY(f->BitBtn1->isEnabled());

    // Shut-down reports the refused write and asks; No keeps the window open
    // and usable, Yes closes it, and nothing runs a second time after that.
    run.messages->answers = {false, true};
    f->close();
    QCOMPARE(run.TakeLog(), RefusedShutdown(folder));
    QVERIFY(f->isVisible());
    f->close();
    QCOMPARE(run.TakeLog(), RefusedShutdown(folder));
    QVERIFY(!f->isVisible());
    f->close();
    QCOMPARE(run.TakeLog(), QString());
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
}

// Installed and run once by the administrator: the font file is there, so
// only its writing fails; results can be practised but not saved.
void CheckInstalledFolder(const QString& folder)
{
    const QByteArray settingsBefore = ReadBytes(QDir(folder).filePath("Settings.ini"));
    Run run(folder);
    TForm1* f = run.Form();
    const QStringList startup = run.TakeLog().split(u'\n');
    QCOMPARE(startup.size(), 2);
    QCOMPARE(startup.at(0), QStringLiteral("info: Не могу сохранить шрифт"));
    QVERIFY2(startup.at(1).startsWith(QStringLiteral("error: Cannot create file \"%1\". ").arg(Native(folder, "Images/cube.bmp"))),
             qPrintable(startup.at(1)));
    QCOMPARE(f->Tile(3)->nvoll->text(), QStringLiteral("2"));
    QVERIFY(f->Tile(3)->ioll->HasPicture());

    // A whole attempt with the real pictures, accepted.
    f->DisableAllCases();
    ToggleCaseOnBoard(*f, 3);
    PressStartAndCountDown(run);
    QVERIFY(f->Timer1->isActive());
    run.clock->Advance(3000);
    f->Timer1Timer();
    f->BitBtn1Click();
    f->BitBtn2Click();
    QCOMPARE(f->Tile(3)->nvoll->text(), QStringLiteral("3"));
    // The time counts; History.csv cannot take it, which is said once.
    QCOMPARE(run.TakeLog(), QStringLiteral("error: Unable to write to ") + Native(folder, "History.csv"));

    // The set switch stops at its first refused write and stays in OLL with
    // the records it had.
    f->BitBtn6Click();
    QCOMPARE(run.TakeLog(), QStringLiteral("error: Unable to write to ") + Native(folder, "Settings.ini"));
    QCOMPARE(f->state.currentSet, CaseSet::OLL);
    QCOMPARE(f->Tile(3)->nvoll->text(), QStringLiteral("3"));

    // The time waits for History.csv, counted in the status bar; the close
    // tells that it would be lost.
    QCOMPARE(f->StatusBar1->PanelAlert(3), QStringLiteral("1 time not yet written to History.csv"));
    f->close();
    QCOMPARE(run.TakeLog(), QStringLiteral("ask: Tesselo|1 time could not be written to History.csv and will be lost. "
                                           "Close anyway?\n")
                                + RefusedShutdown(folder));
    QCOMPARE(ReadBytes(QDir(folder).filePath("Settings.ini")), settingsBefore);
}

// ------------------------------------------------------------ privileges

bool RunningAsRoot() { return ::geteuid() == 0; }

// Root: everything belongs to root and stays readable; the child runs as
// nobody. Anyone else: the folder and its files are made read-only.
void LockFolder(const QString& folder, bool locked)
{
    const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
                                        | QFile::ReadOther | QFile::ExeOther;
    const QFile::Permissions open = readOnly | QFile::WriteOwner;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    QStringList entries{folder};
    while (it.hasNext())
        entries << it.next();
    for (const QString& path : entries) {
        const QFile::Permissions lockedMode = QFileInfo(path).isDir() ? readOnly : readOnly & ~QFile::ExeOwner & ~QFile::ExeGroup & ~QFile::ExeOther;
        QFile::setPermissions(path, locked && !RunningAsRoot() ? lockedMode : open);
    }
}

// Runs one test function of this executable as the user nobody.
void RunAsNobody(const char* function, const QString& folder)
{
    const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    if (setpriv.isEmpty())
        QSKIP("running as root without setpriv: no way to drop the privileges that ignore permissions");
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QLatin1String(kFolderVariable), folder);
    env.insert(QStringLiteral("HOME"), folder);
    env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(setpriv, {QStringLiteral("--reuid=nobody"), QStringLiteral("--regid=nogroup"), QStringLiteral("--clear-groups"),
                          QStringLiteral("--"), QCoreApplication::applicationFilePath(), QLatin1String(function)});
    QVERIFY(child.waitForFinished(120000));
    const QByteArray output = child.readAll();
    if (output.contains("failed to execute"))
        QSKIP("the test executable cannot be run by nobody here (a folder above it is private)");
    QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0, output.constData());
}

} // namespace

class FaultReadOnlyFolderTest : public QObject {
    Q_OBJECT

    // Prepares the folder, then checks in place or in an unprivileged child.
    void RunCase(const char* function, void (*prepare)(const QString&), void (*check)(const QString&))
    {
        const QByteArray given = qgetenv(kFolderVariable);
        if (!given.isEmpty()) {   // the unprivileged child
            QVERIFY2(!RunningAsRoot(), "the child must not have root's privileges");
            check(QString::fromLocal8Bit(given));
            return;
        }
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        if (prepare)
            prepare(dir.path());
        LockFolder(dir.path(), true);
        if (RunningAsRoot())
            RunAsNobody(function, dir.path());
        else
            check(dir.path());
        LockFolder(dir.path(), false);
    }

private slots:
    void emptyFolder() { RunCase("emptyFolder", nullptr, CheckEmptyFolder); }
    void installedFolder() { RunCase("installedFolder", InstallProgramInto, CheckInstalledFolder); }
};

QTEST_MAIN(FaultReadOnlyFolderTest)
#include "test_fault_readonly.moc"
