// The training cycle through the real window: Start, countdown, draw,
// stopwatch, Stop with the result line, Accept, Discard, give-up and every
// way back to Idle.

#include "test_trainer_support.h"

#include <QListWidget>
#include <QPushButton>
#include <QTimer>

using namespace trainertest;

class TrainerCycleTest : public QObject {
    Q_OBJECT

private slots:
    void countdownDrawsAndStopwatchRuns();
    void stopwatchNeverRunsAheadOfTrueTime();
    void stopShowsComparisonWithBest();
    void acceptFoldsTimesIntoRunningMean();
    void overlongAttemptIsDiscarded();
    void abortPathsReturnToIdle();
    void countdownFieldIsClamped();
    void giveUpAtEasyShowsHint();
    void pllHardShowsAnswers();
    void missingPicturesAreReported_data();
    void missingPicturesAreReported();
    void acceptWithoutTimeActsAsDiscard();
    void acceptOnUnreadableRecordKeepsIt();
};

void TrainerCycleTest::countdownDrawsAndStopwatchRuns()
{
    Harness h;
    TForm1* f = h.Start();
    EnableOnly(f, {5});

    f->BitBtn1Click();
    QVERIFY(f->state.attemptActive);
    QVERIFY(f->Timer2->isActive());
    QVERIFY(f->RzPanel1->isVisible());
    QCOMPARE(f->Label1->text(), QStringLiteral("2"));
    QCOMPARE(f->BitBtn1->text(), QStringLiteral("Stop"));
    QVERIFY(!f->BitBtn4->isEnabled() && !f->BitBtn6->isEnabled() && !f->BitBtn7->isEnabled());

    h.clock->Advance(1000);
    f->Timer2Timer();
    QCOMPARE(f->Label1->text(), QStringLiteral("1"));
    QVERIFY(!f->Image1->HasPicture());

    h.clock->Advance(1000);
    f->Timer2Timer();
    QCOMPARE(f->state.currentCase, 5);
    QVERIFY(f->Image1->HasPicture());
    QVERIFY(f->Image1->isEnabled());
    QVERIFY(!f->Timer2->isActive());
    QVERIFY(f->Timer1->isActive());
    QCOMPARE(f->Label1->text(), QStringLiteral("1"));   // until the first stopwatch tick

    h.Tick(40);
    QCOMPARE(f->Label1->text(), QStringLiteral("0,040"));
    h.clock->Advance(7);   // stopped between two ticks: the time of the press counts
    f->BitBtn1Click();
    QCOMPARE(f->state.lastTimeText, QStringLiteral("0,047"));
    QCOMPARE(f->Label1->text(), QStringLiteral("0,047"));
    QVERIFY(f->BitBtn2->isEnabled() && f->BitBtn3->isEnabled() && !f->BitBtn1->isEnabled());
    QCOMPARE(f->focusWidget(), f->BitBtn2);
    QCOMPARE(f->BitBtn1->text(), QStringLiteral("Start"));
    QVERIFY(f->res->isHidden());   // no best yet: no comparison

    f->BitBtn2Click();
    QCOMPARE(Record(f, 5), (QStringList{"0,047", "0,047", "1"}));
    QVERIFY(IsIdle(f));
    QCOMPARE(f->Label1->text(), QStringLiteral("0"));
    QVERIFY(!f->Image1->HasPicture());
    QCOMPARE(f->focusWidget(), f->BitBtn1);
}

// Readings in whole milliseconds would turn a start at x,9 ms and a tick at
// y,1 ms into one millisecond more than really elapsed.
void TrainerCycleTest::stopwatchNeverRunsAheadOfTrueTime()
{
    Harness h;
    TForm1* f = h.Start();
    EnableOnly(f, {5});
    h.clock->extraUs = 900;   // the stopwatch starts at ...,900 ms
    h.StartAttempt();
    h.clock->extraUs = 100;
    h.Tick(9);                // 8,2 ms have really passed
    QCOMPARE(f->Label1->text(), QStringLiteral("0,008"));
    h.clock->extraUs = 900;
    h.Tick(0);                // exactly 9 ms
    QCOMPARE(f->state.lastTimeText, QStringLiteral("0,009"));
}

void TrainerCycleTest::stopShowsComparisonWithBest()
{
    Harness h;
    TForm1* f = h.Start();
    EnableOnly(f, {3});
    SetRecord(f, 3, "13,000", "12,500", "4");

    h.StartAttempt();
    h.Tick(11875);
    f->BitBtn1Click();
    QVERIFY(f->res->isVisible());
    QCOMPARE(f->res->text(), QStringLiteral("New best! (-0,625)"));
    QCOMPARE(f->res->palette().color(QPalette::WindowText), QColor(Qt::red));
    QCOMPARE(f->res->font().pixelSize(), 11);
    QCOMPARE(f->res->y(), 312);
    QCOMPARE(Tag(f->res), -1);
    f->BitBtn3Click();
    QCOMPARE(Record(f, 3), (QStringList{"13,000", "12,500", "4"}));
    QVERIFY(f->res->isHidden());

    h.StartAttempt();
    h.Tick(12500);   // equal to the best is not a new best
    f->BitBtn1Click();
    QCOMPARE(f->res->text(), QStringLiteral("Current best: 12,500"));
    QCOMPARE(f->res->palette().color(QPalette::WindowText), QColor(Qt::black));
    f->BitBtn3Click();

    SetRecord(f, 3, "13,000", "0,000", "4");
    h.StartAttempt();
    h.Tick(9000);
    f->BitBtn1Click();
    QVERIFY(f->res->isHidden());
    f->BitBtn3Click();

    h.StartAttempt();   // stopped before the first tick: nothing to compare
    SetRecord(f, 3, "13,000", "12,500", "4");
    f->BitBtn1Click();
    QVERIFY(f->res->isHidden());
    f->BitBtn3Click();
}

void TrainerCycleTest::acceptFoldsTimesIntoRunningMean()
{
    Harness h;
    TForm1* f = h.Start();
    EnableOnly(f, {7});

    h.StartAttempt();
    h.Tick(12345);
    f->BitBtn1Click();
    f->BitBtn2Click();
    QCOMPARE(Record(f, 7), (QStringList{"12,345", "12,345", "1"}));

    h.StartAttempt();
    h.Tick(10000);
    f->BitBtn1Click();
    QCOMPARE(f->res->text(), QStringLiteral("New best! (-2,345)"));
    f->BitBtn2Click();
    QCOMPARE(Record(f, 7), (QStringList{"11,173", "10,000", "2"}));

    h.StartAttempt();
    h.Tick(10000);   // equal to the best: the best stays as it is
    f->BitBtn1Click();
    f->BitBtn2Click();
    QCOMPARE(Record(f, 7), (QStringList{"10,782", "10,000", "3"}));
    QVERIFY(IsIdle(f));
}

void TrainerCycleTest::overlongAttemptIsDiscarded()
{
    Harness h;
    TForm1* f = h.Start();
    EnableOnly(f, {2});
    SetRecord(f, 2, "20,000", "15,000", "1");

    h.StartAttempt();
    h.Tick(59000);
    QCOMPARE(f->Label1->text(), QStringLiteral("59,000"));
    QVERIFY(f->Timer1->isActive());
    h.Tick(10);
    QVERIFY(IsIdle(f));
    QCOMPARE(f->Label1->text(), QString());
    QVERIFY(f->state.lastTimeText.isEmpty());
    QVERIFY(f->res->isHidden());
    QCOMPARE(Record(f, 2), (QStringList{"20,000", "15,000", "1"}));
    QVERIFY(h.messages->shown.isEmpty());

    // Stop pressed past the limit before the tick that would end it.
    h.StartAttempt();
    h.Tick(58995);
    h.clock->Advance(8);
    f->BitBtn1Click();
    QVERIFY(IsIdle(f));
    QVERIFY(f->state.lastTimeText.isEmpty());
    QCOMPARE(Record(f, 2), (QStringList{"20,000", "15,000", "1"}));
}

void TrainerCycleTest::abortPathsReturnToIdle()
{
    Harness h;
    TForm1* f = h.Start();
    EnableOnly(f, {4});
    f->state.currentCase = 0;

    // Cancelling the countdown keeps the last drawn case.
    f->BitBtn1Click();
    f->BitBtn1Click();
    QVERIFY(IsIdle(f));
    QCOMPARE(f->state.currentCase, 0);
    QCOMPARE(f->BitBtn1->text(), QStringLiteral("Start"));
    QVERIFY(f->BitBtn6->isEnabled() && f->BitBtn7->isEnabled());

    // Abort while running.
    h.StartAttempt();
    h.Tick(500);
    AbortAttempt(*f);
    QVERIFY(IsIdle(f));
    QVERIFY(!f->Image1->isEnabled());
    QCOMPARE(Record(f, 4), (QStringList{"0,000", "0,000", "0"}));

    // Discard when stopped.
    h.StartAttempt();
    h.Tick(800);
    f->BitBtn1Click();
    f->BitBtn3Click();
    QVERIFY(IsIdle(f));
    QCOMPARE(Record(f, 4), (QStringList{"0,000", "0,000", "0"}));

    // A draw without enabled cases ends quietly.
    f->BitBtn1Click();
    f->state.enabledCases.clear();
    h.clock->Advance(1000);
    f->Timer2Timer();
    h.clock->Advance(1000);
    f->Timer2Timer();
    QVERIFY(IsIdle(f));
    QVERIFY(!f->Image1->HasPicture());
    QVERIFY(h.messages->shown.isEmpty());
}

void TrainerCycleTest::countdownFieldIsClamped()
{
    Harness h;
    TForm1* f = h.Start();
    f->Edit1->setText("9");
    f->BitBtn1Click();
    QCOMPARE(f->Edit1->text(), QStringLiteral("5"));
    QCOMPARE(f->Label1->text(), QStringLiteral("5"));
    f->BitBtn1Click();
    f->Edit1->setText("1");
    f->BitBtn1Click();
    QCOMPARE(f->Edit1->text(), QStringLiteral("2"));
    QCOMPARE(f->state.countdownLeft, 2);
    f->BitBtn1Click();
}

void TrainerCycleTest::giveUpAtEasyShowsHint()
{
    Harness h;
    TForm1* f = h.Start();
    EnableOnly(f, {6});
    f->hints[6 - 1] = QStringLiteral("F R U R' U' F'");
    SetRecord(f, 6, "5,000", "4,000", "2");

    h.StartAttempt();
    h.Tick(3000);
    f->Image1Click();
    QVERIFY(!f->state.attemptActive && !f->state.answerShown);
    QVERIFY(!f->Timer1->isActive());
    QVERIFY(f->res->isVisible());
    QCOMPARE(f->res->text(), QStringLiteral("F R U R' U' F'"));
    QCOMPARE(f->res->y(), 264);
    QCOMPARE(f->res->font().pixelSize(), 13);
    QCOMPARE(Tag(f->res), 6);
    QVERIFY(f->RzPanel1->isHidden());
    QVERIFY(f->Image1->HasPicture());   // the picture stays until the next Start
    QCOMPARE(f->Label1->text(), QStringLiteral("0"));
    QCOMPARE(f->BitBtn1->text(), QStringLiteral("Start"));
    QVERIFY(!f->BitBtn2->isEnabled() && !f->BitBtn3->isEnabled());
    QVERIFY(f->BitBtn6->isEnabled() && f->BitBtn7->isEnabled());
    QCOMPARE(Record(f, 6), (QStringList{"5,000", "4,000", "2"}));

    f->BitBtn1Click();   // the next Start clears it all
    QVERIFY(f->res->isHidden());
    QVERIFY(!f->Image1->HasPicture());
    f->BitBtn1Click();
}

void TrainerCycleTest::pllHardShowsAnswers()
{
    Harness h;
    h.WriteSettings(Settings("en", "PLL", true));
    WriteBytes(h.Path("Images/PLL-2/2/a.gif"), PictureBytes(1));
    WriteBytes(h.Path("Images/PLL-2/Answers/2/a.gif"), PictureBytes(2));
    TForm1* f = h.Start();
    EnableOnly(f, {2});
    const QImage question = Decoded(PictureBytes(1)), answer = Decoded(PictureBytes(2));

    // At Stop: the answer replaces the question; the time can be accepted.
    h.StartAttempt();
    QCOMPARE(f->Image1->Picture(), question);
    h.Tick(4000);
    f->BitBtn1Click();
    QCOMPARE(f->Image1->Picture(), answer);
    QVERIFY(!f->Image1->isEnabled());
    f->BitBtn2Click();
    QCOMPARE(Record(f, 2), (QStringList{"4,000", "4,000", "1"}));

    // At the give-up: the answer stays on screen, nothing is recorded.
    h.StartAttempt();
    h.Tick(2000);
    f->Image1Click();
    QCOMPARE(f->Image1->Picture(), answer);
    QVERIFY(!f->state.attemptActive && f->RzPanel1->isHidden());
    QCOMPARE(Record(f, 2), (QStringList{"4,000", "4,000", "1"}));

    // The answer missing at Stop: a message, and the attempt goes on.
    QFile::remove(h.Path("Images/PLL-2/Answers/2/a.gif"));
    h.StartAttempt();
    h.Tick(3000);
    f->BitBtn1Click();
    QCOMPARE(h.messages->shown.last(), QStringLiteral("Image \"\\Images\\PLL-2\\Answers\\2\\a.gif\" not found"));
    QCOMPARE(f->Image1->Picture(), question);
    QVERIFY(f->BitBtn2->isEnabled());
    f->BitBtn2Click();
    QCOMPARE(Record(f, 2)[2], QStringLiteral("2"));

    // The answer missing at the give-up: the attempt is aborted first.
    h.messages->shown.clear();
    h.StartAttempt();
    h.Tick(1000);
    f->Image1Click();
    QVERIFY(IsIdle(f));
    QCOMPARE(h.messages->shown, QStringList{"Image \"\\Images\\PLL-2\\Answers\\2\\a.gif\" not found"});

    // An answer that does not decode is reported as unreadable.
    WriteBytes(h.Path("Images/PLL-2/Answers/2/a.gif"), "GIF89a broken");
    h.StartAttempt();
    h.Tick(1000);
    f->BitBtn1Click();
    QCOMPARE(h.messages->shown.last(), QStringLiteral("Image \"\\Images\\PLL-2\\Answers\\2\\a.gif\" cannot be read"));
    f->BitBtn3Click();

    // The 2-side box draws from its own folder.
    f->CheckBox1->setChecked(true);
    h.messages->shown.clear();
    f->BitBtn1Click();
    h.clock->Advance(2000);
    f->Timer2Timer();
    f->Timer2Timer();
    QVERIFY(IsIdle(f));
    QCOMPARE(h.messages->shown,
             QStringList{"Images in folder \"" + QDir::toNativeSeparators(h.Path("Images/PLL-2-sides/2")) + "/\" not found"});
}

void TrainerCycleTest::missingPicturesAreReported_data()
{
    QTest::addColumn<QByteArray>("language");
    QTest::addColumn<QByteArray>("mode");
    QTest::addColumn<bool>("hard");
    QTest::addColumn<QString>("create");   // a picture file placed before the draw
    QTest::addColumn<QString>("remove");   // a picture file deleted before the draw
    QTest::addColumn<QString>("message");

    QTest::newRow("OLL Easy en") << QByteArray("en") << QByteArray("OLL") << false << QString() << "Images/OLL/9.gif"
                                 << "Image \"\\Images\\OLL\\9.gif\" not found";
    QTest::newRow("OLL Easy ru") << QByteArray("ru") << QByteArray("OLL") << false << QString() << "Images/OLL/9.gif"
                                 << "Файл изображения \"\\Images\\OLL\\9.gif\" не найден";
    QTest::newRow("PLL Easy en") << QByteArray("en") << QByteArray("PLL") << false << QString() << "Images/PLL/9.gif"
                                 << "Image  \"\\Images\\PLL\\9.gif\" not found";
    QTest::newRow("PLL Easy ru") << QByteArray("ru") << QByteArray("PLL") << false << QString() << "Images/PLL/9.gif"
                                 << "Файл изображения \"\\Images\\PLL\\9.gif\" не найден";
    QTest::newRow("OLL Hard folder en") << QByteArray("en") << QByteArray("OLL") << true << QString() << QString()
                                        << "Images in folder \"<folder>Images/OLL-2/9/\" not found";
    QTest::newRow("PLL Hard folder ru") << QByteArray("ru") << QByteArray("PLL") << true << QString() << QString()
                                        << "Файлы изображений в папке \"<folder>Images/PLL-2/9/\" не найдены";
    QTest::newRow("OLL Hard directory only") << QByteArray("en") << QByteArray("OLL") << true
                                             << "Images/OLL-2/9/x.gif/keep.gif" << QString()
                                             << "Images in folder \"<folder>Images/OLL-2/9/\" not found";
    QTest::newRow("PLL Hard broken link ru") << QByteArray("ru") << QByteArray("PLL") << true
                                             << "link:Images/PLL-2/9/gone.gif" << QString()
                                             << "Файл изображения \"\\Images\\PLL-2\\9\\gone.gif\" не найден";
}

void TrainerCycleTest::missingPicturesAreReported()
{
    QFETCH(QByteArray, language);
    QFETCH(QByteArray, mode);
    QFETCH(bool, hard);
    QFETCH(QString, create);
    QFETCH(QString, remove);
    QFETCH(QString, message);

    Harness h;
    h.WriteSettings(Settings(language, mode, hard));
    TForm1* f = h.Start();
    EnableOnly(f, {9});
    if (create.startsWith("link:")) {
        const QString link = h.Path(create.mid(5));
        QDir().mkpath(QFileInfo(link).absolutePath());
        QVERIFY(QFile::link(h.Path("nowhere.gif"), link));
    } else if (!create.isEmpty()) {
        WriteBytes(h.Path(create), PictureBytes(1));
    }
    if (!remove.isEmpty())
        QVERIFY(QFile::remove(h.Path(remove)));
    message.replace("<folder>", QDir::toNativeSeparators(h.Folder() + "/"));

    h.StartAttempt();
    QVERIFY(IsIdle(f));
    QVERIFY(!f->Image1->HasPicture());
    QCOMPARE(h.messages->shown, QStringList{message});
}

void TrainerCycleTest::acceptWithoutTimeActsAsDiscard()
{
    Harness h;
    TForm1* f = h.Start();
    EnableOnly(f, {8});
    h.StartAttempt();
    f->BitBtn1Click();   // stopped before the first stopwatch tick
    QVERIFY(f->BitBtn2->isEnabled());
    f->BitBtn2Click();
    QVERIFY(IsIdle(f));
    QCOMPARE(Record(f, 8), (QStringList{"0,000", "0,000", "0"}));
    QVERIFY(h.messages->errors.isEmpty());
}

void TrainerCycleTest::acceptOnUnreadableRecordKeepsIt()
{
    Harness h;
    TForm1* f = h.Start();
    EnableOnly(f, {8});
    const QList<QStringList> records = {
        {"abc", "1,000", "2"}, {"2,000", "1,000", "two"}, {"2,000", "", "2"}, {"2,000", "1,000", "-1"}};
    const QStringList errors = {"'abc' is not a valid floating point value", "'two' is not a valid integer value",
                                "'' is not a valid floating point value", "'-1' is not a valid integer value"};
    for (int i = 0; i < records.size(); ++i) {
        SetRecord(f, 8, records[i][0], records[i][1], records[i][2]);
        h.StartAttempt();
        h.Tick(1500);
        f->BitBtn1Click();
        f->BitBtn2Click();
        QVERIFY(IsIdle(f));
        QCOMPARE(Record(f, 8), records[i]);
        QCOMPARE(h.messages->errors.last(), errors[i]);
    }
}

QTEST_MAIN(TrainerCycleTest)
#include "test_trainer_cycle.moc"
