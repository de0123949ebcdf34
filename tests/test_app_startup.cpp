// Start-up and shut-down as the user meets them: the first run's file, the
// language, everything written at the end and shown again at the next start,
// the saved set, a bad colour, the stopwatch font and a refused write.

#include "support/harness.h"
#include "resources/resources.h"
#include "core/builtin_hints.h"
#include "app/stopwatchfont.h"
#include "window/fonts.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QScreen>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

namespace {

const QByteArray kEnglish = "[Settings]\nLanguage=en\n";

// What a first run followed by a plain close leaves, built from the key
// tables rather than by the program's own writer.
QByteArray ExpectedFirstRunFile(const QByteArray& language)
{
    QByteArray text;
    auto line = [&text](const QByteArray& content) { text += content + "\r\n"; };
    line("[Tuning]");
    line("EnabledBarBckColor=$00B9FFB9");
    line("EnabledBarTrackColor=$0042BB42");
    line("DisabledBarBckColor=$00CCCCCC");
    line("DisabledBarTrackColor=$00999999");
    line("EnabledTextColor=$00000000");
    line("DisabledTextColor=$00777777");
    line("TimerBack=$0095A295");
    line("TimerOffDigits=$008C988C");
    line("TimerOnDigits=$00272A27");
    line("[OLL hints]");
    for (int n = 1; n <= 57; ++n)
        line("hint" + QByteArray::number(n) + "=" + kBuiltInOllHints[n - 1]);
    line("[PLL hints]");
    for (int n = 1; n <= 21; ++n)
        line("hint" + QByteArray::number(n) + "=" + kBuiltInPllHints[n - 1]);
    line("[Position]");
    line("X=0");
    line("Y=0");
    line("Width=800");
    line("Height=644");
    line("max=0");
    line("[Settings]");
    line("Language=" + language);
    line("showexamnotice=1");
    line("ShowStatusBar=1");
    line("mode=OLL");
    line("1-layers=0");
    line("Scramble=0");
    line("Split=0");
    line("omode=0");
    for (int n = 1; n <= 57; ++n)
        line("al" + QByteArray::number(n) + "=0");
    line("[Results]");
    for (int n = 1; n <= 57; ++n) {
        line("avg" + QByteArray::number(n) + "=0,000");
        line("bes" + QByteArray::number(n) + "=0,000");
        line("nes" + QByteArray::number(n) + "=0");
    }
    return text;
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray Entry(const QByteArray& file, const QByteArray& key)
{
    for (const QByteArray& line : file.split('\n'))
        if (line.startsWith(key + "="))
            return line.mid(key.size() + 1).trimmed();
    return "<missing>";
}

// How many fonts this process has registered for itself.
int ApplicationFonts()
{
    QFontDatabase::families();   // brings the registrations up to date after a removal
    int count = 0;
    for (int id = 0; id < 2000; ++id)
        count += QFontDatabase::applicationFontFamilies(id).isEmpty() ? 0 : 1;
    return count;
}

void PressTile(TForm1* form, int n)
{
    CaseTile* tile = form->Tile(n);
    QTest::mousePress(tile->caseEnabled ? tile->ioll : tile->bioll, Qt::LeftButton, {}, QPoint(10, 10));
}

}   // namespace

class AppStartupTest : public QObject {
    Q_OBJECT

private slots:
    // A Settings.ini that is a link to a file in a folder that is not there
    // (a drive not mounted): the first run says so and writes nothing, the
    // link stays, and once the folder is back the next start writes the
    // whole first-run content through the link.
    void firstRunThroughALinkIntoAMissingFolderWritesNothing()
    {
        Harness h(QStringLiteral("ru_RU"));
        const QString target = h.Path(QStringLiteral("drive/Settings.ini"));
        QVERIFY(QFile::link(target, h.Path(QStringLiteral("Settings.ini"))));
        h.Start();
        QCOMPARE(h.messages->errors.size(), 1);
        QVERIFY(h.messages->errors.first().contains(QStringLiteral("— ссылка на ") + target));
        h.program.reset();   // ended without shut-down
        h.form = nullptr;
        QVERIFY(QFileInfo(h.Path(QStringLiteral("Settings.ini"))).isSymLink());
        QVERIFY(!QFileInfo::exists(h.Path(QStringLiteral("drive"))));
        QVERIFY(QDir(h.Folder()).mkdir(QStringLiteral("drive")));
        h.Start();
        h.Stop();
        QVERIFY(QFileInfo(h.Path(QStringLiteral("Settings.ini"))).isSymLink());
        QCOMPARE(ReadFile(target), ExpectedFirstRunFile("ru"));
    }

    // A link to a missing file in a folder that exists: the file is made
    // there, and the link stays a link through the whole run.
    void firstRunThroughALinkMakesItsFile()
    {
        Harness h;
        QVERIFY(QDir(h.Folder()).mkdir(QStringLiteral("elsewhere")));
        const QString target = h.Path(QStringLiteral("elsewhere/Settings.ini"));
        QVERIFY(QFile::link(QStringLiteral("elsewhere/Settings.ini"), h.Path(QStringLiteral("Settings.ini"))));
        h.Start();
        QVERIFY(h.messages->errors.isEmpty());
        QVERIFY(ReadFile(target).contains("[OLL hints]\r\nhint1="));
        h.form->BitBtn6Click();
        h.Stop();
        QVERIFY(QFileInfo(h.Path(QStringLiteral("Settings.ini"))).isSymLink());
        QCOMPARE(Entry(ReadFile(target), "mode"), QByteArray("PLL"));
    }

    void firstRunFileByteForByte_data()
    {
        QTest::addColumn<QString>("system");
        QTest::addColumn<QByteArray>("language");
        QTest::addColumn<QString>("title");
        QTest::newRow("English system") << "en_US" << QByteArray("en") << "Tesselo [OLL mode]";
        QTest::newRow("Ukrainian system") << "uk_UA" << QByteArray("ru") << QStringLiteral("Tesselo [режим OLL]");
        QTest::newRow("German system") << "de_DE" << QByteArray("en") << "Tesselo [OLL mode]";
    }

    void firstRunFileByteForByte()
    {
        QFETCH(QString, system);
        QFETCH(QByteArray, language);
        QFETCH(QString, title);
        Harness h(system);
        TForm1* form = h.Start();
        QCOMPARE(form->windowTitle(), title);
        QCOMPARE(form->state.currentSet, CaseSet::OLL);
        QCOMPARE(form->state.level, Level::Easy);
        QCOMPARE(form->state.enabledCount, 57);
        QCOMPARE(form->hints[57 - 1], QString::fromLatin1(kBuiltInOllHints[56]));
        QCOMPARE(form->Tile(1)->avoll->text(), QStringLiteral("0,000"));
        QCOMPARE(form->frameGeometry(), QRect(0, 0, 800, 644));
        h.Stop();
        QCOMPARE(h.ReadSettings(), ExpectedFirstRunFile(language));
    }

    void startupCaptionsInBothLanguages()
    {
        Harness english;
        english.WriteSettings(kEnglish);
        TForm1* form = english.Start();
        QCOMPARE(form->BitBtn1->text(), QStringLiteral("Start"));
        QCOMPARE(form->BitBtn2->text(), QStringLiteral("Accept"));
        QCOMPARE(form->BitBtn3->text(), QStringLiteral("Discard"));
        QCOMPARE(form->BitBtn4->text(), QStringLiteral("Enable all"));
        QCOMPARE(form->BitBtn5->text(), QStringLiteral("Disable all"));
        QCOMPARE(form->BitBtn9->text(), QStringLiteral("About..."));
        QCOMPARE(form->Label2->text(), QStringLiteral("Start timeout:"));
        QCOMPARE(form->BitBtn7->text(), QStringLiteral("Exam"));
        QCOMPARE(form->Label4->text(), QStringLiteral("Mode:"));
        QCOMPARE(form->Label6->text(), QStringLiteral("OLL"));
        QCOMPARE(form->BitBtn6->text(), QStringLiteral("=> PLL"));
        QCOMPARE(form->Label5->text(), QStringLiteral("Level:"));
        QCOMPARE(form->Label7->text(), QStringLiteral("Easy"));
        QCOMPARE(form->BitBtn10->text(), QStringLiteral("=> Hard"));
        // A missing Language key means Russian, and it is not written back.
        Harness russian;
        russian.WriteSettings("[Settings]\nmode=OLL\n");
        form = russian.Start();
        QCOMPARE(form->BitBtn1->text(), QStringLiteral("Старт"));
        QCOMPARE(form->BitBtn8->toolTip(), QStringLiteral("Очистить статистику"));
        QVERIFY(form->CheckBoxSplit->toolTip().startsWith(QStringLiteral("Пока идёт секундомер")));
        QCOMPARE(form->BitBtn9->text(), QStringLiteral("О программе..."));
        QCOMPARE(form->BitBtn7->text(), QStringLiteral("Экзамен"));
        QCOMPARE(form->Label4->text(), QStringLiteral("Режим:"));
        QCOMPARE(form->Label7->text(), QStringLiteral("Простой"));
        QCOMPARE(form->BitBtn10->text(), QStringLiteral("=> Сложный"));
        QCOMPARE(form->windowTitle(), QStringLiteral("Tesselo [режим OLL]"));
        russian.Stop();
        QCOMPARE(Entry(russian.ReadSettings(), "Language"), QByteArray("<missing>"));
    }

    void idleAfterStartup()
    {
        Harness h;
        h.WriteSettings(kEnglish);
        TForm1* form = h.Start();
        QVERIFY(!form->RzPanel1->isVisible());
        QVERIFY(!form->res->isVisible());
        QCOMPARE(form->Label1->text(), QStringLiteral("0"));
        QVERIFY(!form->Image1->HasPicture());
        QVERIFY(!form->Image1->isEnabled());
        QVERIFY(!form->BitBtn2->isEnabled());
        QVERIFY(!form->BitBtn3->isEnabled());
        QVERIFY(form->BitBtn1->isEnabled());
        QVERIFY(form->Edit1->isEnabled());
        QVERIFY(!form->state.attemptActive);
        QVERIFY(!form->Timer1->isActive() && !form->Timer2->isActive());
        // The thumbnails come from the Images folder, restored from the program.
        QVERIFY(QFile::exists(h.Path("Images/OLL/57.gif")));
        QVERIFY(form->Tile(57)->ioll->HasPicture());
    }

    void roundTripOfResultsFlagsAndPlacement()
    {
        Harness h;
        h.WriteSettings(kEnglish);
        TForm1* form = h.Start();
        PressTile(form, 3);
        PressTile(form, 40);
        form->session.SetRecord(5, CaseRecord::FromTexts(QStringLiteral("4,546"), QStringLiteral("3,912"),
                                                         QStringLiteral("12")));
        form->BitBtn10Click();
        form->setGeometry(QRect(form->geometry().topLeft() + QPoint(40, 30), QSize(900, 700)));
        const QRect outer = form->frameGeometry();
        h.Stop();
        const QByteArray file = h.ReadSettings();
        QCOMPARE(Entry(file, "al3"), QByteArray("1"));
        QCOMPARE(Entry(file, "al4"), QByteArray("0"));
        QCOMPARE(Entry(file, "avg5"), QByteArray("4,546"));
        QCOMPARE(Entry(file, "omode"), QByteArray("1"));
        QCOMPARE(Entry(file, "Width"), QByteArray::number(outer.width()));

        form = h.Start();
        QCOMPARE(form->frameGeometry(), outer);
        QVERIFY(!form->Tile(3)->caseEnabled);
        QVERIFY(form->Tile(3)->bioll->isVisible());
        QVERIFY(!form->Tile(40)->caseEnabled);
        QCOMPARE(form->state.enabledCount, 55);
        QCOMPARE(form->Tile(5)->avoll->text(), QStringLiteral("4,546"));
        QCOMPARE(form->Tile(5)->bvoll->text(), QStringLiteral("3,912"));
        QCOMPARE(form->Tile(5)->nvoll->text(), QStringLiteral("12"));
        QCOMPARE(form->state.level, Level::Hard);
        QCOMPARE(form->Label7->text(), QStringLiteral("Hard"));
    }

    void maximisedWindowKeepsItsNormalBounds()
    {
        Harness h;
        h.WriteSettings(kEnglish + "[Position]\nX=20\nY=10\nWidth=820\nHeight=610\n");
        TForm1* form = h.Start();
        QCOMPARE(form->frameGeometry(), QRect(20, 10, 820, 610));
        form->showMaximized();
        QVERIFY(form->isMaximized());
        h.Stop();
        QByteArray file = h.ReadSettings();
        QCOMPARE(Entry(file, "max"), QByteArray("1"));
        QCOMPARE(Entry(file, "X"), QByteArray("20"));
        QCOMPARE(Entry(file, "Y"), QByteArray("10"));
        QCOMPARE(Entry(file, "Width"), QByteArray("820"));
        QCOMPARE(Entry(file, "Height"), QByteArray("610"));

        form = h.Start();
        QVERIFY(form->isMaximized());
        form->showNormal();
        QCOMPARE(form->frameGeometry(), QRect(20, 10, 820, 610));
        h.Stop();
        file = h.ReadSettings();
        QCOMPARE(Entry(file, "max"), QByteArray("0"));
    }

    void placementValuesInOtherForms()
    {
        Harness h;
        h.WriteSettings(kEnglish + "[Position]\nX=$10\nY=0x10\nWidth=300\nHeight=200\nmax=2\n");
        TForm1* form = h.Start();
        QVERIFY(form->isMaximized());
        form->showNormal();
        QCOMPARE(form->frameGeometry().topLeft(), QPoint(16, 16));
        QCOMPARE(form->frameGeometry().size(), QSize(800, 600));   // the minimum holds
    }

    void boundsOffEveryScreenComeBackToTheScreen()
    {
        Harness h;
        h.WriteSettings(kEnglish + "[Position]\nX=-5000\nY=9000\nWidth=850\nHeight=650\n");
        TForm1* form = h.Start();
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(form->frameGeometry(), QRect(screen.topLeft(), QSize(850, 650)));
    }

    // Hand-edited extremes: the window opens on the screen, no larger than
    // it, and that is what the next run finds saved.
    void extremeBoundsAreKeptOnTheScreen_data()
    {
        QTest::addColumn<QByteArray>("position");
        QTest::newRow("far left, huge") << QByteArray("X=-2147483648\nY=0\nWidth=99999999\nHeight=644\n");
        QTest::newRow("overlapping, huge") << QByteArray("X=-1675\nY=-20\nWidth=32767\nHeight=32767\n");
    }
    void extremeBoundsAreKeptOnTheScreen()
    {
        QFETCH(QByteArray, position);
        Harness h;
        h.WriteSettings(kEnglish + "[Position]\n" + position);
        TForm1* form = h.Start();
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY2(screen.contains(form->frameGeometry()), qPrintable(QStringLiteral("%1,%2 %3x%4").arg(form->frameGeometry().x())
            .arg(form->frameGeometry().y()).arg(form->frameGeometry().width()).arg(form->frameGeometry().height())));
        h.Stop();
        QVERIFY(Entry(h.ReadSettings(), "Width").toInt() <= screen.width());
        QVERIFY(Entry(h.ReadSettings(), "X").toInt() >= screen.left());
    }

    void pllAsTheSavedMode_data()
    {
        QTest::addColumn<QByteArray>("language");
        QTest::addColumn<QString>("title");
        QTest::newRow("en") << QByteArray("en") << "Tesselo [PLL mode]";
        QTest::newRow("ru") << QByteArray("ru") << QStringLiteral("Tesselo [режим PLL]");
    }

    void pllAsTheSavedMode()
    {
        QFETCH(QByteArray, language);
        QFETCH(QString, title);
        Harness h;
        h.WriteSettings("[Settings]\nLanguage=" + language + "\nmode=PLL\npmode=1\n1-layers=1\npal2=1\n"
                        "[Results]\npavg7=2,500\n[PLL hints]\nhint7=R U R'\n");
        TForm1* form = h.Start();
        for (int n = 1; n <= 57; ++n)
            QCOMPARE(form->Tile(n)->isVisible(), n <= 21);
        QCOMPARE(form->BitBtn6->text(), QStringLiteral("=> OLL"));
        QCOMPARE(form->Label6->text(), QStringLiteral("PLL"));
        QCOMPARE(form->windowTitle(), title);
        QCOMPARE(form->state.currentSet, CaseSet::PLL);
        QCOMPARE(form->state.level, Level::Hard);
        QVERIFY(form->CheckBox1->isVisible());
        QVERIFY(form->CheckBox1->isChecked());
        QCOMPARE(form->state.enabledCount, 20);
        QCOMPARE(form->Tile(7)->avoll->text(), QStringLiteral("2,500"));
        QCOMPARE(form->hints[7 - 1], QStringLiteral("R U R'"));
        QVERIFY(QFile::exists(h.Path("Images/PLL/21.gif")));
        h.Stop();
        const QByteArray file = h.ReadSettings();
        QCOMPARE(Entry(file, "mode"), QByteArray("PLL"));
        QCOMPARE(Entry(file, "pavg7"), QByteArray("2,500"));
        QCOMPARE(Entry(file, "pal2"), QByteArray("1"));
        QCOMPARE(Entry(file, "avg1"), QByteArray("<missing>"));   // OLL keys untouched
    }

    void everyCaseDisabledDisablesStart()
    {
        QByteArray settings = kEnglish;
        for (int n = 1; n <= 57; ++n)
            settings += "al" + QByteArray::number(n) + "=1\n";
        Harness h;
        h.WriteSettings(settings);
        TForm1* form = h.Start();
        QCOMPARE(form->state.enabledCount, 0);
        QVERIFY(!form->BitBtn1->isEnabled());
    }

    void badColourIsReportedOnceAndKept()
    {
        Harness h;
        h.WriteSettings(kEnglish + "[Tuning]\nTimerBack=grey\nEnabledBarTrackColor=$0000FF\n");
        TForm1* form = h.Start();
        QCOMPARE(h.messages->errors, QStringList{"'grey' is not a valid integer value"});
        QCOMPARE(form->RzPanel1->FillColour(), QColor(0x95, 0xA2, 0x95));
        QCOMPARE(form->Tile(1)->proll->BarColour(), QColor(0xFF, 0, 0));
        QCOMPARE(form->state.enabledCount, 57);   // the set is loaded in full
        h.Stop();
        QCOMPARE(Entry(h.ReadSettings(), "TimerBack"), QByteArray("grey"));
        QCOMPARE(Entry(h.ReadSettings(), "avg57"), QByteArray("0,000"));
    }

    void stopwatchFontLivesForTheRun()
    {
        Harness h;
        h.WriteSettings(kEnglish);
        RegisterInterfaceFonts();
        const int before = ApplicationFonts();
        TForm1* form = h.Start();
        QVERIFY(QFile::exists(h.Path("digital.ttf")));
        QCOMPARE(ReadFile(h.Path("digital.ttf")), EmbeddedResource("MyWave"));
        QCOMPARE(ApplicationFonts(), before + 1);
        QCOMPARE(form->Label1->font().family(), QStringLiteral("DSEG7 Classic"));
        QCOMPARE(form->Label3->font(), form->Label1->font());
        QVERIFY(h.messages->shown.isEmpty());
        h.Stop();
        QVERIFY(!QFile::exists(h.Path("digital.ttf")));
        QCOMPARE(ApplicationFonts(), before);
    }

    // The largest size at which "88.888" fits the box, whatever the box.
    void stopwatchFontIsTheLargestThatFits()
    {
        Harness h;
        h.Start();
        for (const QSize box : {QSize(180, 53), QSize(120, 30), QSize(300, 90), QSize(20, 8)}) {
            const QFont fitted = FittedStopwatchFont(QStringLiteral("DSEG7 Classic"), 61, box);
            int largest = 9;
            for (int size = 61; size > 9; --size) {
                QFont font(QStringLiteral("DSEG7 Classic"));
                font.setPixelSize(size);
                const QFontMetrics metrics(font);
                if (metrics.horizontalAdvance(QStringLiteral("88.888")) <= box.width() - 2
                    && metrics.height() <= box.height()) {
                    largest = size;
                    break;
                }
            }
            QCOMPARE(fitted.pixelSize(), largest);
        }
    }

    void fontFileThatCannotBeWritten()
    {
        Harness h;
        h.WriteSettings(kEnglish);
        QVERIFY(QDir(h.Folder()).mkdir("digital.ttf"));   // a folder stands in the way
        h.Start();
        QCOMPARE(h.messages->shown,
                 (QStringList{QStringLiteral("Не могу сохранить шрифт"), QStringLiteral("Не могу подключить шрифт")}));
    }

    void fontFileThatIsALinkIsReplacedNotWrittenThrough()
    {
        Harness h;
        h.WriteSettings(kEnglish);
        const QByteArray precious = "the user's own file";
        QFile victim(h.Path("precious.txt"));
        QVERIFY(victim.open(QIODevice::WriteOnly));
        victim.write(precious);
        victim.close();
        QVERIFY(QFile::link(h.Path("precious.txt"), h.Path("digital.ttf")));
        h.Start();
        QVERIFY(!QFileInfo(h.Path("digital.ttf")).isSymLink());
        QCOMPARE(ReadFile(h.Path("digital.ttf")), EmbeddedResource("MyWave"));
        QCOMPARE(ReadFile(h.Path("precious.txt")), precious);
        QVERIFY(h.messages->shown.isEmpty());
    }

    void refusedWriteAtShutdownKeepsTheWindowOpenUntilItIsClosedAgain()
    {
        Harness h;
        h.WriteSettings(kEnglish);
        TForm1* form = h.Start();
        form->session.SetRecord(2, CaseRecord::FromTexts(QStringLiteral("7,000"), form->session.Record(2).BestText(),
                                                         form->session.Record(2).CountText()));
        // Settings.ini replaced by a folder: every write is refused.
        QVERIFY(QFile::remove(h.Path("Settings.ini")));
        QVERIFY(QDir(h.Folder()).mkdir("Settings.ini"));
        h.messages->answers = {false};
        QVERIFY(!form->close());
        QCOMPARE(h.messages->errors.size(), 1);
        QVERIFY(h.messages->errors[0].startsWith("Unable to write to "));
        QVERIFY(h.messages->errors[0].endsWith("Settings.ini"));
        QCOMPARE(h.messages->asked.size(), 1);
        QVERIFY(form->isVisible());
        QVERIFY(QFile::exists(h.Path("digital.ttf")));   // nothing released yet
        const int registered = ApplicationFonts();

        QVERIFY(QDir(h.Folder()).rmdir("Settings.ini"));
        QVERIFY(form->close());
        QVERIFY(!QFile::exists(h.Path("digital.ttf")));
        QCOMPARE(ApplicationFonts(), registered - 1);
        QCOMPARE(Entry(h.ReadSettings(), "avg2"), QByteArray("7,000"));
        // A further close writes and releases nothing.
        QVERIFY(QFile::remove(h.Path("Settings.ini")));
        form->FormClose();
        QVERIFY(!QFile::exists(h.Path("Settings.ini")));
        QCOMPARE(ApplicationFonts(), registered - 1);
    }

    void refusedWriteAtShutdownStopsTheRemainingWrites()
    {
        Harness h;
        h.WriteSettings(kEnglish);
        TForm1* form = h.Start();
        form->session.SetRecord(1, CaseRecord::FromTexts(QStringLiteral("5,000"), form->session.Record(1).BestText(),
                                                         form->session.Record(1).CountText()));
        const QByteArray before = h.ReadSettings();
        // The file may not grow: the first new key (max) is refused.
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        rlimit tight = saved;
        tight.rlim_cur = static_cast<rlim_t>(before.size());
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &tight), 0);
        h.messages->answers = {true};
        const bool closed = form->close();
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous);
        QVERIFY(closed);
        QCOMPARE(h.messages->errors.size(), 1);
        QCOMPARE(h.ReadSettings(), before);
        QVERIFY(!QFile::exists(h.Path("digital.ttf")));
    }
};

int main(int argc, char** argv)
{
    UseDesktopSizedOffscreenScreen();
    QApplication application(argc, argv);
    application.setAttribute(Qt::AA_Use96Dpi, true);
    AppStartupTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "test_app_startup.moc"
