// Setup scrambles in the training cycle: the next case drawn in Idle under
// its scramble, timed without a picture, answered with its Easy picture, and
// drawn again only when what can be drawn no longer holds it.

#include "history/historyfile.h"
#include "test_trainer_support.h"

#include "core/caseidentity.h"
#include "core/setupscramble.h"

#include <QKeyEvent>

using namespace trainertest;

namespace {

QByteArray ScrambleSettings(const char* mode = "OLL", bool hard = false, const char* language = "en")
{
    return Settings(language, mode, hard, "Scramble=1\n");
}

// A key as the window system delivers it: the layout's key, the physical
// key's code (the Latin N's key is 57) and the text it types.
void PressKey(TForm1* form, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, quint32 keyCode = 0,
              const QString& text = QString())
{
    QWidget* target = form->focusWidget() ? form->focusWidget() : form;
    QKeyEvent press(QEvent::KeyPress, key, modifiers, keyCode, 0, 0, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, keyCode, 0, 0, text);
    QApplication::sendEvent(target, &release);
}

int HistoryRows(const Harness& h)
{
    QFile file(h.Path(QStringLiteral("History.csv")));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    return static_cast<int>(file.readAll().trimmed().count('\n'));   // the header line not counted
}

// The scramble column of History.csv's last row.
QString LastScrambleInHistory(const Harness& h)
{
    QFile file(h.Path(QStringLiteral("History.csv")));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("(no History.csv)");
    const QList<QByteArray> rows = file.readAll().trimmed().split('\n');
    Attempt attempt;
    QString scramble;
    return ParseAttempt(rows.last().trimmed(), attempt, &scramble) ? scramble : QStringLiteral("(unread)");
}

bool ScrambleShown(TForm1* f)
{
    return f->ScrambleLabel->isVisible() && f->ScrambleLabel->text() == f->state.nextScramble
           && !f->state.nextScramble.isEmpty();
}

} // namespace

class TrainerScrambleTest : public QObject {
    Q_OBJECT

private slots:
    void scrambledCaseIsTheTimedCase();
    void drawnAgainOnlyWhenTheCaseCannotBeDrawn();
    void examDrawsInAdvanceByItsRule();
    void optionIsStoredAndFixedDuringAnAttempt();
    void drawnAgainWhenCasesAreEnabledOneByOne();
    void giveUpShowsTheCaseUntilDiscard();
    void anotherScrambleForTheWaitingCase();
    void anotherSetupIsAnotherPoolEntry();
};

void TrainerScrambleTest::scrambledCaseIsTheTimedCase()
{
    for (const char* mode : {"OLL", "PLL"}) {
        for (bool hard : {false, true}) {
            Harness h;
            h.WriteSettings(ScrambleSettings(mode, hard));
            TForm1* f = h.Start();
            EnableOnly(f, {5, 9});
            QVERIFY(ScrambleShown(f));
            QCOMPARE(f->ScrambleHold->text(), QStringLiteral("Hold a solved cube: yellow on top, green in front"));
            QVERIFY(f->ScrambleLabel->font().pixelSize() >= 18);
            const int drawn = f->state.nextCase;
            const QString scramble = f->state.nextScramble;
            QVERIFY(drawn == 5 || drawn == 9);

            h.StartAttempt();
            QCOMPARE(f->state.currentCase, drawn);
            QCOMPARE(f->state.currentScramble, scramble);
            QVERIFY(f->Timer1->isActive());
            QVERIFY(!f->Image1->HasPicture());
            QVERIFY(f->ScrambleLabel->isHidden());

            h.Tick(1500);
            f->BitBtn1Click();
            const QString easy = QStringLiteral("Images/%1/%2.gif").arg(mode).arg(drawn);
            QCOMPARE(f->Image1->Picture(), QImage(h.Path(easy)).convertToFormat(f->Image1->Picture().format()));
            QVERIFY(h.messages->shown.isEmpty());

            f->BitBtn2Click();
            QCOMPARE(LastScrambleInHistory(h), scramble);
            QVERIFY(IsIdle(f));
            QVERIFY(ScrambleShown(f));
            QVERIFY(f->state.nextScramble != scramble || f->state.nextCase != drawn);
        }
    }
}

void TrainerScrambleTest::drawnAgainOnlyWhenTheCaseCannotBeDrawn()
{
    Harness h;
    h.WriteSettings(ScrambleSettings());
    TForm1* f = h.Start();
    EnableOnly(f, {3, 7, 8});
    const int drawn = f->state.nextCase;
    const QString scramble = f->state.nextScramble;
    const int other = drawn == 3 ? 7 : 3;

    f->BitBtn10Click();         // a level switch keeps the scramble
    QCOMPARE(f->state.nextScramble, scramble);
    QVERIFY(ScrambleShown(f));
    ToggleCaseOnBoard(*f, other);   // another case off: drawn again among the rest
    QVERIFY(f->state.nextCase != other && f->state.nextCase > 0);
    QVERIFY(ScrambleShown(f));
    ToggleCaseOnBoard(*f, other);

    const int waiting = f->state.nextCase;
    ToggleCaseOnBoard(*f, waiting);   // the drawn case off: drawn again
    QVERIFY(f->state.nextCase != waiting && f->state.nextCase > 0);
    QVERIFY(ScrambleShown(f));

    f->BitBtn6Click();          // the other set: its own case
    QCOMPARE(f->state.nextSet, CaseSet::PLL);
    QVERIFY(ScrambleShown(f));

    // A countdown given up keeps the case; a discarded attempt draws anew.
    const QString beforeStart = f->state.nextScramble;
    f->BitBtn1Click();
    f->BitBtn1Click();
    QCOMPARE(f->state.nextScramble, beforeStart);
    QVERIFY(ScrambleShown(f));
    h.StartAttempt();
    QCOMPARE(f->state.currentScramble, beforeStart);
    f->FormKeyPress(QChar(27));
    QVERIFY(IsIdle(f));
    QVERIFY(ScrambleShown(f));

    f->DisableAllCases();
    QVERIFY(f->ScrambleLabel->isHidden());
    QCOMPARE(f->state.nextCase, 0);

    f->CheckBox2->click();      // off: the frame is empty again
    f->EnableAllCases();
    QVERIFY(f->ScrambleLabel->isHidden());
    h.StartAttempt();
    QVERIFY(f->Image1->HasPicture());
    h.Tick(800);
    f->BitBtn1Click();
    f->BitBtn2Click();
    QVERIFY(LastScrambleInHistory(h).isEmpty());
}

void TrainerScrambleTest::examDrawsInAdvanceByItsRule()
{
    Harness h;
    h.WriteSettings(ScrambleSettings("OLL", false) + "Showexamnotice=0\n");
    TForm1* f = h.Start();
    EnableOnly(f, {2, 4});
    f->BitBtn7Click();
    QVERIFY(f->state.examActive);
    QList<int> timed;
    for (int attempt = 0; attempt < 2; ++attempt) {
        QVERIFY(ScrambleShown(f));
        const int drawn = f->state.nextCase;
        h.StartAttempt();
        QCOMPARE(f->state.currentCase, drawn);
        h.Tick(900);
        f->BitBtn1Click();
        timed << drawn;
        const QString scramble = f->state.currentScramble;
        f->BitBtn2Click();
        QCOMPARE(LastScrambleInHistory(h), scramble);
    }
    std::sort(timed.begin(), timed.end());
    QCOMPARE(timed, (QList<int>{2, 4}));
    QCOMPARE(f->state.nextCase, 0);   // every case was drawn
    QVERIFY(f->ScrambleLabel->isHidden());
}

void TrainerScrambleTest::optionIsStoredAndFixedDuringAnAttempt()
{
    Harness h;
    TForm1* f = h.Start();
    QVERIFY(!f->CheckBox2->isChecked());   // missing: off
    QVERIFY(f->ScrambleLabel->isHidden());
    f->CheckBox2->click();
    QVERIFY(ScrambleShown(f));
    f->BitBtn1Click();
    QVERIFY(!f->CheckBox2->isEnabled());
    // Its label greys as a disabled button's text does.
    QCOMPARE(f->CheckBox2->palette().color(QPalette::Disabled, QPalette::WindowText),
             f->BitBtn1->palette().color(QPalette::Disabled, QPalette::ButtonText));
    f->BitBtn1Click();
    QVERIFY(f->CheckBox2->isEnabled());
    f = h.Restart();
    QVERIFY(h.ReadSettings().contains("Scramble=1\r\n"));
    QVERIFY(f->CheckBox2->isChecked());
    QVERIFY(ScrambleShown(f));
}

// After "disable all", the cases enabled one by one: the case waiting for
// the first Start is any of them, not always the first tile enabled.
void TrainerScrambleTest::drawnAgainWhenCasesAreEnabledOneByOne()
{
    Harness h;
    h.WriteSettings(ScrambleSettings());
    TForm1* f = h.Start();
    QSet<int> waiting;
    for (int trial = 0; trial < 30; ++trial) {
        EnableOnly(f, {11, 12, 13, 14, 15, 16});
        QVERIFY(ScrambleShown(f));
        QCOMPARE(f->state.enabledCases.size(), 6);
        waiting << f->state.nextCase;
    }
    QVERIFY2(waiting.size() >= 4, qPrintable(QString::number(waiting.size())));
    QVERIFY(!waiting.contains(0));
}

// A give-up shows the case as Stop does, with its name and algorithm; the
// next scramble comes with the Idle that Discard brings, and nothing counts.
void TrainerScrambleTest::giveUpShowsTheCaseUntilDiscard()
{
    struct Run {
        const char* language;
        const char* mode;
        bool hard;
        QString name;
    };
    for (const Run& run : {Run{"en", "OLL", true, QStringLiteral("OLL 27 Sune")},
                           Run{"ru", "PLL", false, QStringLiteral("PLL Ub")}}) {
        Harness h;
        h.WriteSettings(ScrambleSettings(run.mode, run.hard, run.language)
                        + "[OLL hints]\nhint4=R U R' U R U2 R'\n[PLL hints]\nhint1=R2 U R U R' U' R' U' R' U R'\n");
        TForm1* f = h.Start();
        const int caseNumber = run.mode == QByteArray("OLL") ? 4 : 1;
        EnableOnly(f, {caseNumber});
        QCOMPARE(CaseTitle(f->state.currentSet, caseNumber), run.name);
        const QStringList recordBefore = Record(f, caseNumber);
        h.StartAttempt();
        h.Tick(4200);
        f->Image1Click();

        const QString easy = QStringLiteral("Images/%1/%2.gif").arg(run.mode).arg(caseNumber);
        QCOMPARE(f->Image1->Picture(), QImage(h.Path(easy)).convertToFormat(f->Image1->Picture().format()));
        QVERIFY(f->res->isVisible());
        QCOMPARE(f->res->text(), run.mode == QByteArray("OLL") ? QStringLiteral("R U R' U R U2 R'")
                                                               : QStringLiteral("R2 U R U R' U' R' U' R' U R'"));
        const QLabel* name = h.Find<QLabel>(QStringLiteral("CaseName"));
        QVERIFY(name && name->isVisible());
        QCOMPARE(name->text(), run.name);
        QVERIFY(f->ScrambleLabel->isHidden());
        QVERIFY(f->AnotherScramble->isHidden());
        QVERIFY(!f->Timer1->isActive());
        QVERIFY(!f->BitBtn1->isEnabled());
        QVERIFY(!f->BitBtn2->isEnabled());
        QCOMPARE(f->focusWidget(), f->BitBtn3);

        // Space presses the focused Discard: the next scramble, no time kept.
        PressKey(f, Qt::Key_Space, Qt::NoModifier, 65, QStringLiteral(" "));
        QVERIFY(IsIdle(f));
        QVERIFY(ScrambleShown(f));
        QVERIFY(name->isHidden());
        QVERIFY(f->res->isHidden());
        QCOMPARE(Record(f, caseNumber), recordBefore);
        QCOMPARE(HistoryRows(h), 0);
        QCOMPARE(f->focusWidget(), f->BitBtn1);
        QVERIFY(h.messages->shown.isEmpty());
    }
}

// "Another scramble" and N: a new setup for the same case, the one then
// timed and recorded; the focus stays on Start; only in Idle with a case waiting.
void TrainerScrambleTest::anotherScrambleForTheWaitingCase()
{
    for (const char* language : {"en", "ru"}) {
        Harness h;
        h.WriteSettings(ScrambleSettings("PLL", false, language));
        TForm1* f = h.Start();
        EnableOnly(f, {3, 4});
        QAbstractButton* another = h.Find<QPushButton>(QStringLiteral("AnotherScramble"));
        QVERIFY(another && another->isVisible());
        QCOMPARE(another->text(), language == QByteArray("en") ? QStringLiteral("Another scramble")
                                                               : QStringLiteral("Другой скрамбл"));
        QCOMPARE(f->focusWidget(), f->BitBtn1);
        const int waiting = f->state.nextCase;

        QString shown = f->state.nextScramble;
        QTest::mouseClick(another, Qt::LeftButton);
        QVERIFY(f->state.nextScramble != shown);
        shown = f->state.nextScramble;
        PressKey(f, Qt::Key_N, Qt::NoModifier, 57, QStringLiteral("n"));
        QVERIFY(f->state.nextScramble != shown);
        shown = f->state.nextScramble;
        PressKey(f, 0x422, Qt::NoModifier, 57, QStringLiteral("т"));   // Russian layout: the N key gives Т
        QVERIFY(f->state.nextScramble != shown);
        shown = f->state.nextScramble;
        PressKey(f, Qt::Key_N, Qt::ControlModifier, 57, QStringLiteral("n"));
        PressKey(f, 0x41D, Qt::NoModifier, 29, QStringLiteral("н"));   // the Y key: not N
        QCOMPARE(f->state.nextScramble, shown);
        QCOMPARE(f->state.nextCase, waiting);
        QVERIFY(ScrambleShown(f));
        QCOMPARE(f->focusWidget(), f->BitBtn1);

        // A tile preview takes the place under the frame; hidden again, the button is back.
        ShowCaseHint(*f, 5);
        QVERIFY(another->isHidden());
        ShowCaseHint(*f, 5);
        QVERIFY(another->isVisible());

        f->BitBtn1Click();   // the countdown: no new setup any more
        QVERIFY(another->isHidden());
        PressKey(f, Qt::Key_N, Qt::NoModifier, 57, QStringLiteral("n"));
        QCOMPARE(f->state.nextScramble, shown);
        f->BitBtn1Click();   // cancelled: the case still waits
        QVERIFY(another->isVisible());

        h.StartAttempt();
        QVERIFY(another->isHidden());
        QCOMPARE(f->state.currentCase, waiting);
        QCOMPARE(f->state.currentScramble, shown);
        h.Tick(2500);
        f->BitBtn1Click();
        QVERIFY(another->isHidden());
        f->BitBtn2Click();
        QCOMPARE(LastScrambleInHistory(h), shown);
        QVERIFY(another->isVisible());

        f->DisableAllCases();
        QVERIFY(another->isHidden());
        f->EnableAllCases();
        f->CheckBox2->click();
        QVERIFY(another->isHidden());
        PressKey(f, Qt::Key_N, Qt::NoModifier, 57, QStringLiteral("n"));
        QCOMPARE(f->state.nextCase, 0);
    }
}

void TrainerScrambleTest::anotherSetupIsAnotherPoolEntry()
{
    const QString first = QStringLiteral("R U R' U R U2 R'");
    const QString second = QStringLiteral("F R U R' U' F'");
    const ScramblePool pool = ScramblePool::Parse(("PLL 5 " + first + "\nPLL 5 " + second + "\nOLL 9 " + first + "\n").toLatin1());
    SeededRandom random(7);
    QSet<QString> sides;
    for (int i = 0; i < 60; ++i) {
        // The first entry seen from the left with a last U turn: the other one comes.
        const QString shown = WithFinalUTurns(TurnedAboutVertical(first, 1), 2);
        const QString another = DrawAnotherSetupScramble(pool, CaseSet::PLL, 5, shown, random);
        bool fromSecond = false;
        for (int side = 0; side < 4; ++side)
            for (int lastU = 0; lastU < 4; ++lastU)
                fromSecond |= another == WithFinalUTurns(TurnedAboutVertical(second, side), lastU);
        QVERIFY2(fromSecond, qPrintable(another));
        sides << another;
        // The case's only setup: never the very text shown.
        QVERIFY(DrawAnotherSetupScramble(pool, CaseSet::OLL, 9, first, random) != first);
    }
    QVERIFY(sides.size() >= 8);   // sides and last U turns drawn anew
    QVERIFY(DrawAnotherSetupScramble(pool, CaseSet::OLL, 1, first, random).isEmpty());
}

QTEST_MAIN(TrainerScrambleTest)
#include "test_trainer_scramble.moc"
