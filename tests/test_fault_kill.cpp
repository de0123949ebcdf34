// The program killed with SIGKILL at random moments while a user switches
// sets, accepts times and edits hints. After every kill Settings.ini must be
// whole, the interrupted piece of work must be there whole or not at all
// (every key holding the value it had before it, or every key the value it
// was writing), and temporary files must not pile up.
//
// The same executable is the program under test: started with "--drive
// <folder> <seed>" it runs the real main window offscreen and loops over
// those actions forever, announcing on its standard output, before each
// action, every key it will write ("I" lines), then "W" as the work begins
// and "D" when it is done.
//
// TESSELO_KILLS sets the number of kills (200 by default).
#include "app/program.h"
#include "board/tform3.h"
#include "history/historyfile.h"
#include "settings/defaults.h"
#include "settings/settingsfile.h"
#include "support/harness.h"
#include "core/catalogue.h"
#include "window/tform1.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <cstdio>
#include <map>
#include <random>

namespace {

const QString kSettings = QStringLiteral("Settings");
const QString kResults = QStringLiteral("Results");
const QString kAbsent = QStringLiteral("\x01absent");

struct Key {
    QString section;
    QString name;
    bool operator<(const Key& other) const
    {
        return std::pair(section.toLower(), name.toLower()) < std::pair(other.section.toLower(), other.name.toLower());
    }
};

QString Numbered(const char* prefix, int n) { return QLatin1String(prefix) + QString::number(n); }

// Every key the program keeps, including those the actions never write
// (they must never change).
std::vector<Key> AllKeys()
{
    std::vector<Key> keys;
    for (const char* name : {"X", "Y", "Width", "Height", "max"})
        keys.push_back({QStringLiteral("Position"), QLatin1String(name)});
    for (const char* name : {"Language", "mode", "omode", "pmode", "1-layers", "showexamnotice", "ShowStatusBar"})
        keys.push_back({kSettings, QLatin1String(name)});
    for (int t = 0; t < TuningColours::KeyCount; ++t)
        keys.push_back({QStringLiteral("Tuning"), TuningColours::KeyName(TuningColours::Key(t))});
    for (int n = 1; n <= 57; ++n) {
        keys.push_back({kSettings, Numbered("al", n)});
        for (const char* prefix : {"avg", "bes", "nes"})
            keys.push_back({kResults, Numbered(prefix, n)});
        keys.push_back({QStringLiteral("OLL hints"), Numbered("hint", n)});
    }
    for (int n = 1; n <= 21; ++n) {
        keys.push_back({kSettings, Numbered("pal", n)});
        for (const char* prefix : {"pavg", "pbes", "pnes"})
            keys.push_back({kResults, Numbered(prefix, n)});
        keys.push_back({QStringLiteral("PLL hints"), Numbered("hint", n)});
    }
    return keys;
}

// ------------------------------------------------------------------ driver

void Say(const QString& line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

// Tells the parent an action begins and waits for its go: the parent picks
// the action it will cut short and strikes a measured moment after the go.
void BeginWork()
{
    Say(QStringLiteral("W"));
    char go[8];
    if (!std::fgets(go, sizeof go, stdin))
        std::_Exit(0);   // the parent is gone
}

void Announce(const QString& section, const QString& key, const QString& value)
{
    Say(QStringLiteral("I\t%1\t%2\t%3").arg(section, key, value));
}

// What SaveSetRecords and the level keys of a set switch will write.
void AnnounceSwitch(TForm1& f)
{
    const bool fromOll = f.state.currentSet == CaseSet::OLL;
    const int count = CaseCount(f.state.currentSet);
    for (int n = 1; n <= count; ++n) {
        CaseTile* tile = f.Tile(n);
        Announce(kSettings, Numbered(fromOll ? "al" : "pal", n), tile->caseEnabled ? QStringLiteral("0") : QStringLiteral("1"));
        Announce(kResults, Numbered(fromOll ? "avg" : "pavg", n), tile->avoll->text());
        Announce(kResults, Numbered(fromOll ? "bes" : "pbes", n), tile->bvoll->text());
        Announce(kResults, Numbered(fromOll ? "nes" : "pnes", n), tile->nvoll->text());
    }
    const QString level = f.state.level == Level::Hard ? QStringLiteral("1") : QStringLiteral("0");
    if (!fromOll)
        Announce(kSettings, QStringLiteral("1-layers"), f.CheckBox1->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    Announce(kSettings, fromOll ? QStringLiteral("omode") : QStringLiteral("pmode"), level);
}

// Start, the countdown, some stopwatch ticks, Stop and Accept: the result
// stays in memory until the next switch writes it.
void AcceptOneTime(TForm1& f, ManualClock& clock, std::mt19937& random)
{
    if (!f.BitBtn1->isEnabled())
        return;
    f.BitBtn1Click();
    while (f.Timer2->isActive()) {
        clock.Advance(1000);
        f.Timer2Timer();
    }
    for (int tick = 0; tick < 3 && f.Timer1->isActive(); ++tick) {
        clock.Advance(500 + qint64(random() % 3000));
        f.Timer1Timer();
    }
    if (f.Timer1->isActive())
        f.BitBtn1Click();
    if (f.BitBtn2->isEnabled())
        f.BitBtn2Click();
}

// The results of a long practice on every case of the set, held on the
// tiles as accepted times are: the next switch then rewrites every record.
void RecordPractice(TForm1& f, int step)
{
    for (int n = 1; n <= CaseCount(f.state.currentSet); ++n) {
        f.session.SetRecord(
            n, CaseRecord::FromTexts(QStringLiteral("%1,%2").arg(3 + n % 7).arg(step % 1000, 3, 10, QLatin1Char('0')),
                                     QStringLiteral("2,%1").arg((step + n) % 1000, 3, 10, QLatin1Char('0')),
                                     QString::number(step + n)));
    }
}

// The preview of case n, then the hint editor with a new text saved.
void EditHint(TForm1& f, int n, const QString& text)
{
    ShowCaseHint(f, n);
    QTimer::singleShot(0, qApp, [text] {
        if (auto* editor = qobject_cast<TForm3*>(QApplication::activeModalWidget())) {
            editor->Edit1->setText(text);
            editor->BitBtn1Click();
        }
    });
    f.N1Click();
}

[[noreturn]] void DriveForever(Program& program, ManualClock& clock, std::uint32_t seed)
{
    TForm1& f = *program.form1;
    std::mt19937 random(seed);
    Say(QStringLiteral("ready"));
    for (int step = 0;; ++step) {
        switch (random() % 3) {
        case 0:
            AnnounceSwitch(f);
            BeginWork();
            f.BitBtn6Click();
            break;
        case 1:
            BeginWork();
            AcceptOneTime(f, clock, random);
            RecordPractice(f, step);
            break;
        default: {
            const bool oll = f.state.currentSet == CaseSet::OLL;
            const int n = 1 + int(random() % std::uint32_t(CaseCount(f.state.currentSet)));
            const QString text = QStringLiteral("R U R' seed %1 step %2").arg(seed).arg(step);
            Announce(oll ? QStringLiteral("OLL hints") : QStringLiteral("PLL hints"), Numbered("hint", n), text);
            BeginWork();
            EditHint(f, n, text);
            break;
        }
        }
        Say(QStringLiteral("D"));
    }
}

int RunDriver(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QStringList args = application.arguments();
    auto clock = std::make_shared<ManualClock>();
    Environment env;
    env.files = FileLocations::Portable(args.value(2));
    env.clock = clock;
    env.random = std::make_shared<SeededRandom>(args.value(3).toUInt());
    env.messages = std::make_shared<RecordingMessages>();
    env.systemLanguage = [] { return QStringLiteral("en_US"); };
    Program program(env);
    program.form1->show();
    DriveForever(program, *clock, args.value(3).toUInt());
}

// ------------------------------------------------------------------ checks

using Values = std::map<Key, QString>;

Values ReadAll(const QString& path)
{
    const SettingsFile file(path);
    Values values;
    for (const Key& key : AllKeys())
        values[key] = file.ReadString(key.section, key.name, kAbsent);
    return values;
}

// What a child said: the writes it completed are folded into `settled`; the
// announced writes of the action it was killed in stay in `inFlight`.
struct Transcript {
    Values settled;
    Values inFlight;
    int lines = 0;
    int actionsBegun = 0;

    void Take(const QByteArray& rawLine)
    {
        ++lines;
        actionsBegun += rawLine.startsWith("W\n") ? 1 : 0;
        const QString line = QString::fromUtf8(rawLine).chopped(rawLine.endsWith('\n') ? 1 : 0);
        if (line == QLatin1String("D")) {
            for (const auto& [key, value] : inFlight)
                settled[key] = value;
            inFlight.clear();
        } else if (line.startsWith(QLatin1String("I\t"))) {
            const QStringList parts = line.split(u'\t');
            inFlight[{parts.value(1), parts.value(2)}] = parts.value(3);
        }
    }
};

// How many of the interrupted action's keys already hold their new value
// (none, some or all tells where in the action the kill landed).
int KeysAlreadyWritten(const Values& onDisk, const Transcript& transcript)
{
    int written = 0;
    for (const auto& [key, value] : transcript.inFlight)
        if (onDisk.at(key) == value && transcript.settled.at(key) != value)
            ++written;
    return written;
}

int KeysToChange(const Transcript& transcript)
{
    int changing = 0;
    for (const auto& [key, value] : transcript.inFlight)
        changing += transcript.settled.at(key) != value ? 1 : 0;
    return changing;
}

// Each key holds its settled value or the value the interrupted action was writing.
QStringList KeysOutOfPlace(const Values& onDisk, const Transcript& transcript)
{
    QStringList wrong;
    for (const auto& [key, value] : onDisk) {
        const auto flying = transcript.inFlight.find(key);
        const bool settled = value == transcript.settled.at(key);
        const bool written = flying != transcript.inFlight.end() && value == flying->second;
        if (!settled && !written)
            wrong << QStringLiteral("%1/%2 = '%3', expected '%4'%5")
                         .arg(key.section, key.name, value, transcript.settled.at(key),
                              flying == transcript.inFlight.end() ? QString() : QStringLiteral(" or '%1'").arg(flying->second));
    }
    return wrong;
}

// Lines are sections, entries or blank, all ending in CR LF.
bool IsWellFormed(const QByteArray& text)
{
    if (!text.isEmpty() && !text.endsWith("\r\n"))
        return false;
    for (const QByteArray& line : text.split('\n')) {
        const QByteArray body = line.endsWith('\r') ? line.chopped(1) : line;
        if (body.contains('\r') || (!body.isEmpty() && !body.startsWith('[') && !body.contains('=')))
            return false;
    }
    return true;
}


// Spins (does not sleep) for up to some milliseconds, so that kills land
// anywhere inside an action rather than always at its start.
void SpinMicroseconds(qint64 us)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.nsecsElapsed() < us * 1000) {
    }
}

int KillsWanted()
{
    bool ok = false;
    const int wanted = qEnvironmentVariableIntValue("TESSELO_KILLS", &ok);
    return ok && wanted > 0 ? wanted : 200;
}

} // namespace

class FaultKillTest : public QObject {
    Q_OBJECT

private slots:
    void killedAtRandomMomentsLosesNothing()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString settings = dir.filePath(QStringLiteral("Settings.ini"));
        {
            SettingsFile file(settings, SettingsFile::Commit::AtClose);
            WriteFirstRunContent(file, QStringLiteral("en"));
            file.Close();
        }
        std::mt19937 random(20261209);
        const int kills = KillsWanted();
        QStringList filesSeen;
        int actionsDone = 0;
        int killsDuringASwitch = 0;
        for (int kill = 0; kill < kills; ++kill) {
            Transcript transcript;
            transcript.settled = ReadAll(settings);
            QProcess child;
            child.setProcessChannelMode(QProcess::SeparateChannels);
            child.start(QCoreApplication::applicationFilePath(),
                        {QStringLiteral("--drive"), dir.path(), QString::number(1000 + kill)});
            QVERIFY2(child.waitForStarted(), qPrintable(child.errorString()));
            // Let a few actions begin, then strike a random moment after the
            // go of the chosen one. Two kills in three pick a set switch, whose
            // writes come within its first milliseconds.
            const int trigger = 1 + int(random() % 6);
            const bool aimAtSwitch = random() % 3 != 0;
            bool ready = false;
            bool struck = false;
            while (!struck) {
                if (!child.canReadLine() && !child.waitForReadyRead(60000))
                    break;
                while (child.canReadLine() && !struck) {
                    const QByteArray line = child.readLine();
                    ready = ready || line.startsWith("ready");
                    const bool isSwitch = transcript.inFlight.size() > 40;
                    transcript.Take(line);
                    if (!line.startsWith("W\n"))
                        continue;
                    child.write("go\n");
                    child.waitForBytesWritten(10000);
                    struck = transcript.actionsBegun >= trigger && (isSwitch || !aimAtSwitch);
                }
            }
            QVERIFY2(ready, qPrintable(QStringLiteral("the driver never got ready: ") + child.readAllStandardError()));
            SpinMicroseconds(qint64(random() % (aimAtSwitch ? 10000 : 30000)));
            QVERIFY2(child.state() == QProcess::Running,
                     qPrintable(QStringLiteral("the program ended by itself: ") + child.readAllStandardError()));
            child.kill();
            QVERIFY(child.waitForFinished(30000));
            QCOMPARE(child.exitStatus(), QProcess::CrashExit);
            while (child.canReadLine())
                transcript.Take(child.readLine());
            actionsDone += transcript.lines;

            const QByteArray text = [&] { QFile f(settings); return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray(); }();
            QVERIFY2(IsWellFormed(text), qPrintable(QStringLiteral("kill %1: Settings.ini is damaged").arg(kill)));
            const Values onDisk = ReadAll(settings);
            const QStringList wrong = KeysOutOfPlace(onDisk, transcript);
            QVERIFY2(wrong.isEmpty(), qPrintable(QStringLiteral("kill %1:\n").arg(kill) + wrong.mid(0, 10).join(u'\n')));
            const int written = KeysAlreadyWritten(onDisk, transcript);
            const int changing = KeysToChange(transcript);
            QVERIFY2(written == 0 || written == changing,
                     qPrintable(QStringLiteral("kill %1: %2 of %3 keys written").arg(kill).arg(written).arg(changing)));
            if (changing > 0 && transcript.inFlight.size() > 40)
                ++killsDuringASwitch;
            // A run clears the temporary a killed one left before it writes.
            QVERIFY(QDir(dir.path()).entryList({QStringLiteral("Settings.ini.tmp.*")}, QDir::Files).size() <= 1);
            for (const QString& file : FilesBelow(dir.path()))
                if (!filesSeen.contains(file))
                    filesSeen << file;
        }
        // The program's own files, temporaries beside Settings.ini, the
        // folder's lock file, and nothing else however many runs were cut short.
        const QStringList stray = filesSeen.filter(QRegularExpression(QStringLiteral(
            R"(^(?!Settings\.ini(\.tmp\.\w{6})?$|History\.csv$|digital\.ttf$|\.tesselo\.lock$|Images/cube\.bmp$|Images/(OLL|PLL)/\d+\.gif$).*)")));
        QVERIFY2(stray.isEmpty(), qPrintable(stray.join(u' ')));
        // Each accepted time went to History.csv in one write: no kill tore a line.
        QFile history(dir.filePath(QStringLiteral("History.csv")));
        QVERIFY(history.open(QIODevice::ReadOnly));
        QCOMPARE(ParseHistory(history.readAll()).skippedLines, 0);
        QVERIFY(actionsDone > kills);
        qInfo("%d kills over %d lines of actions, %d of them during a set switch", kills, actionsDone, killsDuringASwitch);
        // The loop must really cut work in the middle, not only between actions.
        QVERIFY(killsDuringASwitch >= kills / 10);
    }
};

int main(int argc, char** argv)
{
    if (argc >= 4 && qstrcmp(argv[1], "--drive") == 0)
        return RunDriver(argc, argv);
    QApplication application(argc, argv);
    FaultKillTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_fault_kill.moc"
