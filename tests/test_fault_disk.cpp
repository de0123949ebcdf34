// The disk running out of room under the whole program, simulated with a
// file size limit (RLIMIT_FSIZE, SIGXFSZ ignored) on a child process: each
// refused write is reported with its own text, nothing is left half written,
// and the files written before stay whole.
//
// The same executable is the program under test: started with
// "--limited <bytes> <folder>" it limits its file sizes, starts the program
// in the folder, closes it, and prints every message box on its output.
#include "app/program.h"
#include "window/tform1.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <cstdio>
#include <sys/resource.h>

namespace {

class PrintedMessages : public Messages {
public:
    void Inform(const QString& text) override { Print("info: " + text); }
    bool Ask(const QString& caption, const QString& text) override
    {
        Print("ask: " + caption + u'|' + text);
        return true;
    }
    void ShowError(const QString& text) override { Print("error: " + text); }

private:
    static void Print(const QString& line)
    {
        std::printf("%s\n", line.toUtf8().constData());
        std::fflush(stdout);
    }
};

// The child's files may grow to argv[2] bytes at most: a disk that fills.
bool LimitFileSizes(char** argv)
{
    const rlimit limit{rlim_t(std::atoll(argv[2])), rlim_t(std::atoll(argv[2]))};
    std::signal(SIGXFSZ, SIG_IGN);
    return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

// The program in the folder argv[3], its messages printed.
Environment ChildEnvironment(char** argv, std::shared_ptr<ManualClock> clock)
{
    Environment env;
    env.files = FileLocations::Portable(QString::fromLocal8Bit(argv[3]));
    env.clock = std::move(clock);
    env.random = std::make_shared<SeededRandom>(1);
    env.messages = std::make_shared<PrintedMessages>();
    env.systemLanguage = [] { return QStringLiteral("en_US"); };
    return env;
}

int RunLimited(int argc, char** argv)
{
    if (!LimitFileSizes(argv))
        return 3;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    Program program(ChildEnvironment(argv, std::make_shared<ManualClock>()));
    program.form1->show();
    program.form1->close();
    return 0;
}

// Three whole attempts accepted, then the count the status bar shows, then
// the close.
int RunLimitedAccepts(int argc, char** argv)
{
    if (!LimitFileSizes(argv))
        return 3;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    auto clock = std::make_shared<ManualClock>();
    Program program(ChildEnvironment(argv, clock));
    TForm1& form = *program.form1;
    form.show();
    for (int attempt = 0; attempt < 3; ++attempt) {
        form.BitBtn1Click();
        while (form.Timer2->isActive()) {
            clock->Advance(1000);
            form.Timer2Timer();
        }
        clock->Advance(1470);
        form.Timer1Timer();
        form.BitBtn1Click();
        form.BitBtn2Click();
    }
    std::printf("status: %s\n", form.StatusBar1->PanelAlert(3).toUtf8().constData());
    std::fflush(stdout);
    form.close();
    return 0;
}

// The message boxes the limited program showed, in order.
QStringList RunProgramLimitedTo(qint64 bytes, const QString& folder, const QString& mode = QStringLiteral("--limited"))
{
    QProcess child;
    child.setProcessChannelMode(QProcess::SeparateChannels);
    child.start(QCoreApplication::applicationFilePath(), {mode, QString::number(bytes), folder});
    if (!child.waitForFinished(120000) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        return {QStringLiteral("the program failed: ") + child.readAllStandardError()};
    return QString::fromUtf8(child.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class FaultDiskTest : public QObject {
    Q_OBJECT

private slots:
    // Room for the font, the pictures and the settings, not for the cube's
    // 98 358-byte texture: its error box, no short texture left for the
    // reader, and everything else in place.
    void noRoomForTheCubeTexture()
    {
        QTemporaryDir dir;
        const QStringList shown = RunProgramLimitedTo(60000, dir.path());
        const QString texture = QDir::toNativeSeparators(dir.filePath("Images/cube.bmp"));
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown.at(0).startsWith(QStringLiteral("error: Cannot create file \"%1\". ").arg(texture))
                     && shown.at(0).endsWith(u'.'),
                 qPrintable(shown.join(u'\n')));
        QVERIFY(!QFileInfo::exists(dir.filePath("Images/cube.bmp")));
        const QByteArray written = ReadBytes(dir.filePath("Settings.ini"));
        QVERIFY(written.contains("hint21=F R U' R' U' R U R' F' R U R' U' R' F R F'\r\n"));   // the last built-in hint
        QVERIFY(written.contains("\r\nLanguage=en\r\n"));
        QVERIFY(written.contains("\r\nnes57=0\r\n"));   // shut-down's last write
        QCOMPARE(QDir(dir.filePath("Images/OLL")).entryList(QDir::Files).size(), 57);
    }

    // Settings.ini at the edge of the room left: shut-down's first write does
    // not fit, it says so (and asks), and the file is exactly as it was.
    void noRoomForShutdownsWrites()
    {
        QTemporaryDir dir;
        QByteArray settings = "[Settings]\r\nLanguage=en\r\n[Results]\r\navg1=1,000\r\nbes1=1,000\r\nnes1=1\r\n[Notes]\r\n";
        while (settings.size() < 59900)
            settings += "note=kept by the user, and to be kept\r\n";
        settings += "last=" + QByteArray(59990 - settings.size() - 7, 'x') + "\r\n";   // 10 bytes of room
        QFile file(dir.filePath("Settings.ini"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(settings) == settings.size());
        file.close();
        const QStringList shown = RunProgramLimitedTo(60000, dir.path());
        const QString path = QDir::toNativeSeparators(dir.filePath("Settings.ini"));
        QVERIFY2(shown.contains(QStringLiteral("error: Unable to write to ") + path), qPrintable(shown.join(u'\n')));
        QVERIFY(shown.last().startsWith("ask: Tesselo|"));
        QCOMPARE(ReadBytes(dir.filePath("Settings.ini")), settings);
        QCOMPARE(QDir(dir.path()).entryList({"Settings.ini.*"}, QDir::AllEntries | QDir::Hidden), QStringList());
    }

    // History.csv a few bytes short of the room left: no accepted time fits.
    // Each write is taken back whole (no torn line), the refusal is said
    // once, the status bar counts the times that wait, and the close says
    // they would be lost.
    void noRoomForAcceptedTimes()
    {
        QTemporaryDir dir;
        constexpr qint64 kRoom = 200000;   // the start-up's files fit
        QByteArray history = "time,set,case,level,recognition,seconds,exam,scramble\r\n";
        while (history.size() < kRoom - 60)
            history += "2026-12-09T11:32:05Z,OLL,1,Easy,top,1.000,0,\r\n";
        QFile file(dir.filePath("History.csv"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(history) == history.size());
        file.close();
        const QStringList shown = RunProgramLimitedTo(kRoom, dir.path(), QStringLiteral("--limited-accepts"));
        const QString path = QDir::toNativeSeparators(dir.filePath("History.csv"));
        QCOMPARE(shown, (QStringList{QStringLiteral("error: Unable to write to ") + path,
                                     QStringLiteral("status: 3 times not yet written to History.csv"),
                                     QStringLiteral("ask: Tesselo|3 times could not be written to History.csv and will "
                                                    "be lost. Close anyway?")}));
        QCOMPARE(ReadBytes(dir.filePath("History.csv")), history);
    }
};

int main(int argc, char** argv)
{
    if (argc >= 4 && qstrcmp(argv[1], "--limited") == 0)
        return RunLimited(argc, argv);
    if (argc >= 4 && qstrcmp(argv[1], "--limited-accepts") == 0)
        return RunLimitedAccepts(argc, argv);
    QApplication application(argc, argv);
    FaultDiskTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_fault_disk.moc"
