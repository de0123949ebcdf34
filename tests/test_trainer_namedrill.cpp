// "Name the case" in the window: answers typed under the Latin and the
// Russian layout (read from the key, as Ctrl+A is), a tile click, Escape,
// the stopwatch's limit, no recognition mark, a tile's preview after the verdict,
// Enter closing an OLL number without stopping the clock, the box usable
// only in Idle, and the tiles' records untouched by drill answers.

#include "history/historyfile.h"
#include "trainer/drawchoice.h"
#include "window/progresshub.h"
#include "test_trainer_support.h"

#include <QApplication>
#include <QKeyEvent>

using namespace trainertest;

namespace {

QWidget* KeyTarget(TForm1* form)
{
    return form->focusWidget() ? form->focusWidget() : form;
}

void Click(TForm1* form, Qt::Key key)
{
    QTest::keyClick(KeyTarget(form), key);
}

// A letter of the Russian layout: its own key code and text, the physical
// key's X code.
void RussianKey(TForm1* form, int key, quint32 keyCode, const QString& text)
{
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, keyCode, 0, 0, text);
    QApplication::sendEvent(KeyTarget(form), &event);
}

HistoryContent ReadHistory(const Harness& h)
{
    QFile file(h.Path(QStringLiteral("History.csv")));
    return file.open(QIODevice::ReadOnly) ? ParseHistory(file.readAll()) : HistoryContent();
}

// Space, the countdown, the picture up for 500 ms.
void Ask(Harness& h)
{
    Click(h.form, Qt::Key_Space);
    while (h.form->Timer2->isActive()) {
        h.clock->Advance(1000);
        h.form->Timer2Timer();
    }
    h.Tick(500);
}

bool IdleWithVerdict(TForm1* f, const QString& verdict)
{
    return !f->state.attemptActive && !f->Timer1->isActive() && f->BitBtn1->isEnabled()
           && f->BitBtn1->text() == (f->state.russianInterface ? "Старт" : "Start")
           && !f->BitBtn2->isEnabled() && f->res->isVisible() && f->res->text() == verdict
           && f->CheckBoxNaming->isEnabled();
}

std::vector<AttemptResult> Results(const HistoryContent& history)
{
    std::vector<AttemptResult> results;
    for (const DrillRecord& line : history.drill)
        results.push_back(line.detail.result);
    return results;
}

} // namespace

class TrainerNameDrillTest : public QObject {
    Q_OBJECT

private slots:
    // PLL Jb (case 8): "Ga" typed under the Russian layout is a miss, "Jb"
    // under the Latin one is right, a tile answers, Escape gives up.
    void pllAnswersByKeysTileAndEscape()
    {
        Harness h;
        h.WriteSettings(Settings("en", "PLL", false, "Split=1\n"));
        TForm1* f = h.Start();
        EnableOnly(f, {8});
        SetRecord(f, 8, "3,000", "2,000", "4");
        const QStringList record = Record(f, 8);
        f->CheckBoxNaming->click();

        Ask(h);
        QVERIFY(!f->CheckBoxNaming->isEnabled());
        Click(f, Qt::Key_Left);   // no answer key, and no recognition mark: the answer is the split
        QVERIFY(f->SplitLabel->isHidden() && f->NamingLabel->isHidden());
        RussianKey(f, 0x41F, 42, QStringLiteral("п"));   // the G key
        QCOMPARE(f->NamingLabel->text(), QStringLiteral("G"));
        QVERIFY(f->Timer1->isActive());
        h.clock->Advance(400);
        RussianKey(f, 0x424, 38, QStringLiteral("ф"));   // the A key
        QVERIFY(IdleWithVerdict(f, "Wrong: Ga. It is Jb"));
        QCOMPARE(f->Label1->text(), QStringLiteral("0,900"));
        QVERIFY(!f->Image1->Picture().isNull());   // the right case's picture

        Ask(h);
        Click(f, Qt::Key_J);
        h.clock->Advance(240);
        Click(f, Qt::Key_B);
        QVERIFY(IdleWithVerdict(f, "Right: Jb"));
        QCOMPARE(f->Label1->text(), QStringLiteral("0,740"));

        Ask(h);
        f->ioll1MouseDown(f->Tile(7), Qt::LeftButton);   // a disabled tile answers, and stays disabled
        QVERIFY(IdleWithVerdict(f, "Wrong: E. It is Jb"));
        QVERIFY(!f->session.CaseEnabled(7));
        Ask(h);
        f->ioll1MouseDown(f->Tile(8), Qt::LeftButton);
        QVERIFY(IdleWithVerdict(f, "Right: Jb"));
        h.clock->Advance(100);
        f->ioll1MouseDown(f->Tile(8), Qt::LeftButton);   // a double click's second press: still the answer's
        QVERIFY(f->session.CaseEnabled(8));
        h.clock->Advance(1000);
        f->ioll1MouseDown(f->Tile(8), Qt::LeftButton);   // a later click is the board's again
        QVERIFY(!f->session.CaseEnabled(8));
        f->ioll1MouseDown(f->Tile(8), Qt::LeftButton);
        QVERIFY(f->session.CaseEnabled(8));

        Ask(h);
        Click(f, Qt::Key_Escape);
        QVERIFY(IdleWithVerdict(f, "It is Jb"));
        Ask(h);
        h.Tick(60000);   // past the stopwatch's limit
        QVERIFY(IdleWithVerdict(f, "It is Jb"));
        f->ioll1MouseDown(f->Tile(8), Qt::RightButton);   // the preview replaces the verdict
        QVERIFY(f->RzPanel1->isHidden() && f->res->isVisible() && Tag(f->res) == 8);
        Click(f, Qt::Key_Space);   // Space starts the next case
        QVERIFY(f->Timer2->isActive() && f->res->isHidden());

        const HistoryContent history = ReadHistory(h);
        QVERIFY(history.attempts.empty());
        QCOMPARE(Results(history), (std::vector<AttemptResult>{AttemptResult::Wrong, AttemptResult::Ok,
                                                                AttemptResult::Wrong, AttemptResult::Ok,
                                                                AttemptResult::GaveUp, AttemptResult::GaveUp}));
        QCOMPARE(history.drill[0].detail, (AttemptDetail{900, QStringLiteral("Ga"), AttemptResult::Wrong}));
        QCOMPARE(history.drill[1].attempt.milliseconds, 740);
        QCOMPARE(history.drill[2].detail.answer, QStringLiteral("E"));
        QCOMPARE(Record(f, 8), record);
        QVERIFY(h.messages->errors.isEmpty() && h.messages->shown.isEmpty());
    }

    // OLL 27 (standard 55): Enter closes the number and does not stop the
    // clock before; with the box cleared the cycle times solves again.
    void ollNumberClosedByEnterThenBackToSolves()
    {
        Harness h;
        h.WriteSettings(Settings("ru", "OLL", false));
        TForm1* f = h.Start();
        EnableOnly(f, {27});
        f->CheckBoxNaming->click();
        QCOMPARE(f->CheckBoxNaming->text(), QStringLiteral("Назови случай"));
        Ask(h);
        Click(f, Qt::Key_Return);   // nothing typed: the question waits
        QVERIFY(f->Timer1->isActive());
        // A slip is taken back with Backspace: "58" names no case.
        Click(f, Qt::Key_5);
        Click(f, Qt::Key_8);
        Click(f, Qt::Key_Return);
        QVERIFY(f->Timer1->isActive());
        Click(f, Qt::Key_Backspace);
        QCOMPARE(f->NamingLabel->text(), QStringLiteral("5"));
        Click(f, Qt::Key_5);
        QCOMPARE(f->NamingLabel->text(), QStringLiteral("55"));
        h.clock->Advance(300);
        Click(f, Qt::Key_Return);
        QVERIFY(IdleWithVerdict(f, "Верно: 55 Highway"));
        QCOMPARE(ReadHistory(h).drill.size(), size_t(1));

        f->CheckBoxNaming->click();
        Ask(h);
        Click(f, Qt::Key_5);   // no answer outside the drill
        QVERIFY(f->NamingLabel->isHidden());
        Click(f, Qt::Key_Space);   // Stop
        Click(f, Qt::Key_Space);   // Accept
        QCOMPARE(Record(f, 27)[2], QStringLiteral("1"));
        QCOMPARE(ReadHistory(h).attempts.size(), size_t(1));
    }

    // "Weak cases more often" reads the drill's answers in the drill (a miss
    // as a slow answer), the solves outside it.
    void weakDrawReadsTheDrillsAnswersInTheDrill()
    {
        Harness h;
        h.WriteSettings(Settings("en", "PLL", false, "Draw=weak\n"));
        TForm1* f = h.Start();
        EnableOnly(f, {8});
        f->progress->Store().EnsureLoaded();
        f->CheckBoxNaming->click();
        Ask(h);
        Click(f, Qt::Key_T);   // a miss
        Ask(h);
        f->ioll1MouseDown(f->Tile(8), Qt::LeftButton);
        const std::vector<Attempt>* answers = HistoryForDraw(*f);
        QVERIFY(answers && answers->size() == 2);
        QCOMPARE((*answers)[0].milliseconds, kMissedAnswerMs);
        QCOMPARE((*answers)[1].milliseconds, 500);
        f->CheckBoxNaming->click();
        QCOMPARE(HistoryForDraw(*f), &f->progress->Store().Attempts());
    }
};

QTEST_MAIN(TrainerNameDrillTest)
#include "test_trainer_namedrill.moc"
