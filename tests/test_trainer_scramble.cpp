// Setup scrambles in the training cycle: the next case drawn in Idle under
// its scramble, timed without a picture, answered with its Easy picture, and
// drawn again only when what can be drawn no longer holds it.

#include "history/historyfile.h"
#include "test_trainer_support.h"

using namespace trainertest;

namespace {

QByteArray ScrambleSettings(const char* mode = "OLL", bool hard = false)
{
    return Settings("en", mode, hard, "Scramble=1\n");
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
    f->SetCaseEnabled(other);   // another case off: drawn again among the rest
    QVERIFY(f->state.nextCase != other && f->state.nextCase > 0);
    QVERIFY(ScrambleShown(f));
    f->SetCaseEnabled(other);

    const int waiting = f->state.nextCase;
    f->SetCaseEnabled(waiting);   // the drawn case off: drawn again
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

    // Giving up shows the algorithm under the frame and the next scramble in it.
    h.StartAttempt();
    const int givenUp = f->state.currentCase;
    f->Image1Click();
    QVERIFY(f->res->isVisible());
    QCOMPARE(f->res->text(), f->Tile(givenUp)->hint);
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

QTEST_MAIN(TrainerScrambleTest)
#include "test_trainer_scramble.moc"
