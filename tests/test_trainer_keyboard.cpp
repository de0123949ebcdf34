// Driving the cycle from the keyboard with real key events sent to the
// focused control: Space and Enter on key-down, Escape, Ctrl+A and the
// countdown field's filter.

#include "history/historyfile.h"
#include "test_trainer_support.h"

#include <QApplication>
#include <QKeyEvent>

using namespace trainertest;

namespace {

QWidget* KeyTarget(TForm1* form)
{
    return form->focusWidget() ? form->focusWidget() : form;
}

void Press(TForm1* form, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyPress(KeyTarget(form), key, modifiers);
}

void Release(TForm1* form, Qt::Key key)
{
    QTest::keyRelease(KeyTarget(form), key);
}

void Click(TForm1* form, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(KeyTarget(form), key, modifiers);
}

// What the system sends while a key is held: release and press, both marked
// as auto-repeat.
void AutoRepeat(TForm1* form, Qt::Key key, const QString& text)
{
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text, true);
    QApplication::sendEvent(KeyTarget(form), &release);
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text, true);
    QApplication::sendEvent(KeyTarget(form), &press);
}

// A key event stamped with the window system's time, as X11 delivers it.
void Stamped(TForm1* form, QEvent::Type type, Qt::Key key, quint64 timestamp, bool flaggedRepeat = false)
{
    QKeyEvent event(type, key, Qt::NoModifier, QStringLiteral(" "), flaggedRepeat);
    event.setTimestamp(timestamp);
    QApplication::sendEvent(KeyTarget(form), &event);
}

// How X11 often sends a held key: release and press with one time stamp and
// no repeat flag.
void UnflaggedRepeats(TForm1* form, Qt::Key key, quint64 from, int count)
{
    for (int i = 0; i < count; ++i) {
        Stamped(form, QEvent::KeyRelease, key, from + 40 * i);
        Stamped(form, QEvent::KeyPress, key, from + 40 * i);
    }
}

// Ctrl and a key as X11 delivers it: the layout's own key code and the
// physical key's code.
void CtrlKeyAt(TForm1* form, int key, quint32 keyCode, const QString& text, bool repeat = false)
{
    QKeyEvent event(QEvent::KeyPress, key, Qt::ControlModifier, keyCode, 0, 0x4, text, repeat);
    QApplication::sendEvent(KeyTarget(form), &event);
}

// A key of a Russian layout: the letter's own key code, the physical key's code.
void RussianKey(TForm1* form, int key, quint32 keyCode, const QString& text)
{
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, keyCode, 0, 0, text);
    QApplication::sendEvent(KeyTarget(form), &event);
}

// The last line of History.csv, read by its header.
HistoryContent ReadHistory(const Harness& h)
{
    QFile file(h.Path(QStringLiteral("History.csv")));
    return file.open(QIODevice::ReadOnly) ? ParseHistory(file.readAll()) : HistoryContent();
}

void RunCountdown(Harness& h)
{
    while (h.form->Timer2->isActive()) {
        h.clock->Advance(1000);
        h.form->Timer2Timer();
    }
}

} // namespace

class TrainerKeyboardTest : public QObject {
    Q_OBJECT

private slots:
    void keysActOnKeyDownAndRecordOneTime_data();
    void keysActOnKeyDownAndRecordOneTime();
    void heldKeyDoesNothingMore();
    void heldKeyWithUnflaggedRepeatsDoesNothingMore();
    void escapeInEachPhase();
    void ctrlATogglesAllCases();
    void ctrlAOnTheKeyOfTheLatinA();
    void spaceAndEnterDoNothingOnceStartIsDisabled();
    void countdownFieldFilter();
    void recognitionMarkedByTheFirstOtherKeyOrClick();
    void recognitionUntimedWithTheOptionOff();
    void tabMarksWithoutTakingSpaceFromStop();
};

void TrainerKeyboardTest::keysActOnKeyDownAndRecordOneTime_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Space") << int(Qt::Key_Space);
    QTest::newRow("Return") << int(Qt::Key_Return);
    QTest::newRow("Enter") << int(Qt::Key_Enter);
}

void TrainerKeyboardTest::keysActOnKeyDownAndRecordOneTime()
{
    QFETCH(int, key);
    const auto k = Qt::Key(key);
    Harness h;
    TForm1* f = h.Start();
    EnableOnly(f, {12});
    QCOMPARE(f->focusWidget(), f->BitBtn1);

    Press(f, k);   // Start, before the key comes up
    QVERIFY(f->state.attemptActive && f->Timer2->isActive());
    Release(f, k);
    QVERIFY(f->Timer2->isActive());   // the release does not cancel it
    RunCountdown(h);
    h.Tick(2500);
    h.clock->Advance(300);   // the key goes down between two ticks

    Press(f, k);   // Stop at key-down: the time is the press's
    QVERIFY(f->BitBtn2->isEnabled() && !f->Timer1->isActive());
    QCOMPARE(f->state.lastTimeText, QStringLiteral("2,800"));
    QCOMPARE(f->focusWidget(), f->BitBtn2);
    Release(f, k);   // the release reaches Accept but must not press it
    QVERIFY(f->BitBtn2->isEnabled());
    QCOMPARE(Record(f, 12)[2], QStringLiteral("0"));

    Click(f, k);   // Accept
    QCOMPARE(Record(f, 12), (QStringList{"2,800", "2,800", "1"}));
    QVERIFY(IsIdle(f));
    QCOMPARE(f->focusWidget(), f->BitBtn1);
}

void TrainerKeyboardTest::heldKeyDoesNothingMore()
{
    Harness h;
    TForm1* f = h.Start();
    EnableOnly(f, {12});

    Press(f, Qt::Key_Space);
    for (int i = 0; i < 5; ++i)
        AutoRepeat(f, Qt::Key_Space, " ");
    QVERIFY(f->Timer2->isActive());   // still counting down: not cancelled
    Release(f, Qt::Key_Space);
    RunCountdown(h);
    h.Tick(1000);

    Press(f, Qt::Key_Space);   // Stop
    for (int i = 0; i < 5; ++i)
        AutoRepeat(f, Qt::Key_Space, " ");
    QVERIFY(f->BitBtn2->isEnabled());   // the held key did not accept the time
    QCOMPARE(Record(f, 12)[2], QStringLiteral("0"));
    Release(f, Qt::Key_Space);

    Press(f, Qt::Key_Escape);
    for (int i = 0; i < 3; ++i)
        AutoRepeat(f, Qt::Key_Escape, QString(QChar(27)));
    Release(f, Qt::Key_Escape);
    QVERIFY(IsIdle(f));

    // A held Escape from the countdown does not reach the next attempt.
    Click(f, Qt::Key_Space);
    Press(f, Qt::Key_Escape);
    QVERIFY(!f->state.attemptActive);
    Click(f, Qt::Key_Space);
    AutoRepeat(f, Qt::Key_Escape, QString(QChar(27)));
    QVERIFY(f->state.attemptActive && f->Timer2->isActive());
}

void TrainerKeyboardTest::heldKeyWithUnflaggedRepeatsDoesNothingMore()
{
    Harness h;
    TForm1* f = h.Start();
    EnableOnly(f, {12});

    Stamped(f, QEvent::KeyPress, Qt::Key_Space, 5000);   // Start
    UnflaggedRepeats(f, Qt::Key_Space, 5660, 7);
    Stamped(f, QEvent::KeyRelease, Qt::Key_Space, 6000);
    QVERIFY(f->state.attemptActive && f->Timer2->isActive());   // not cancelled

    RunCountdown(h);
    h.Tick(1500);
    Stamped(f, QEvent::KeyPress, Qt::Key_Space, 9000);   // Stop: a real press
    QVERIFY(f->BitBtn2->isEnabled());
    UnflaggedRepeats(f, Qt::Key_Space, 9660, 5);
    QVERIFY(f->BitBtn2->isEnabled());   // the held key did not accept the time
    QCOMPARE(Record(f, 12)[2], QStringLiteral("0"));
    Stamped(f, QEvent::KeyRelease, Qt::Key_Space, 10000);
    QVERIFY(f->BitBtn2->isEnabled());   // nor did its last release

    // A flagged repeat after an unflagged pair changes nothing either, and
    // the next real press, a moment after the release, accepts.
    Stamped(f, QEvent::KeyPress, Qt::Key_Space, 10000, true);
    QVERIFY(f->BitBtn2->isEnabled());
    Stamped(f, QEvent::KeyPress, Qt::Key_Space, 10150);
    QCOMPARE(Record(f, 12), (QStringList{"1,500", "1,500", "1"}));
    QVERIFY(IsIdle(f));
}

void TrainerKeyboardTest::escapeInEachPhase()
{
    Harness h;
    TForm1* f = h.Start();
    EnableOnly(f, {20});
    f->hints[20 - 1] = QStringLiteral("R U R'");

    Click(f, Qt::Key_Escape);   // Idle: nothing
    QVERIFY(IsIdle(f));
    QVERIFY(f->BitBtn1->isEnabled());

    f->BitBtn1Click();   // Countdown: cancelled
    Click(f, Qt::Key_Escape);
    QVERIFY(IsIdle(f));
    QCOMPARE(f->BitBtn1->text(), QStringLiteral("Start"));

    h.StartAttempt();   // Running: stopped and discarded
    h.Tick(3000);
    Click(f, Qt::Key_Escape);
    QVERIFY(IsIdle(f));
    QVERIFY(f->res->isHidden());
    QCOMPARE(Record(f, 20), (QStringList{"0,000", "0,000", "0"}));

    h.StartAttempt();   // Stopped: discarded
    h.Tick(3000);
    f->BitBtn1Click();
    Click(f, Qt::Key_Escape);
    QVERIFY(IsIdle(f));
    QCOMPARE(Record(f, 20), (QStringList{"0,000", "0,000", "0"}));

    h.StartAttempt();   // after a give-up: the hint stays
    h.Tick(3000);
    f->Image1Click();
    Click(f, Qt::Key_Escape);
    QVERIFY(f->res->isVisible());
    QCOMPARE(f->res->text(), QStringLiteral("R U R'"));
}

void TrainerKeyboardTest::ctrlATogglesAllCases()
{
    Harness h;
    TForm1* f = h.Start();
    EnableOnly(f, {1, 2, 3});
    QCOMPARE(f->state.enabledCount, 3);

    Click(f, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(f->state.enabledCount, 0);
    QVERIFY(!f->BitBtn1->isEnabled());
    QVERIFY(!f->Tile(2)->caseEnabled);

    Click(f, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(f->state.enabledCount, 57);
    QVERIFY(f->BitBtn1->isEnabled());
    QVERIFY(f->Tile(57)->caseEnabled);

    Click(f, Qt::Key_A);   // A alone does nothing
    QCOMPARE(f->state.enabledCount, 57);

    f->BitBtn1Click();   // not during an attempt
    Click(f, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(f->state.enabledCount, 57);
    f->BitBtn1Click();

    h.messages->answers = {true};   // nor during an exam
    f->BitBtn7Click();
    QVERIFY(f->state.examActive);
    Click(f, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(f->state.enabledCount, 57);
}

void TrainerKeyboardTest::ctrlAOnTheKeyOfTheLatinA()
{
    Harness h;
    TForm1* f = h.Start();
    CtrlKeyAt(f, 0x424, 38, QStringLiteral("ф"));   // Russian: the A key gives Ф
    QCOMPARE(f->state.enabledCount, 0);
    CtrlKeyAt(f, 0x424, 38, QStringLiteral("ф"), true);   // held: nothing more
    QCOMPARE(f->state.enabledCount, 0);
    CtrlKeyAt(f, 0x391, 38, QStringLiteral("α"));   // Greek
    CtrlKeyAt(f, 0x42F, 52, QStringLiteral("я"));   // the Z key: not Ctrl+A
    QCOMPARE(f->state.enabledCount, 57);

    // AZERTY: Q sits on the US A key and A on the US Q key.
    CtrlKeyAt(f, Qt::Key_Q, 38, QStringLiteral("q"));
    QCOMPARE(f->state.enabledCount, 57);
    CtrlKeyAt(f, Qt::Key_A, 24, QStringLiteral("a"));
    QCOMPARE(f->state.enabledCount, 0);
}

void TrainerKeyboardTest::spaceAndEnterDoNothingOnceStartIsDisabled()
{
    Harness h;
    TForm1* f = h.Start();
    const QByteArray written = h.ReadSettings();
    QCOMPARE(f->focusWidget(), f->BitBtn1);

    Click(f, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(f->state.enabledCount, 0);
    for (Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter})
        Click(f, key);
    QCOMPARE(f->state.currentSet, CaseSet::OLL);
    QCOMPARE(h.ReadSettings(), written);
    QCOMPARE(f->focusWidget(), f);
    Click(f, Qt::Key_A, Qt::ControlModifier);   // Ctrl+A still reaches the window
    QCOMPARE(f->state.enabledCount, 57);
}

void TrainerKeyboardTest::countdownFieldFilter()
{
    Harness h;
    TForm1* f = h.Start();
    QVERIFY(f->Edit1KeyPress(QChar(u'7')));
    QVERIFY(!f->Edit1KeyPress(QChar(u'x')));
    QVERIFY(!f->Edit1KeyPress(QChar(u'\b')));

    f->Edit1->show();   // laid out hidden; shown here to type into it
    f->Edit1->setFocus();
    f->Edit1->setText("3");
    QTest::keyClick(f->Edit1, Qt::Key_X);
    QCOMPARE(f->Edit1->text(), QStringLiteral("3"));
    QTest::keyClick(f->Edit1, Qt::Key_Backspace);
    QCOMPARE(f->Edit1->text(), QStringLiteral("3"));
    QTest::keyClick(f->Edit1, Qt::Key_4);
    QVERIFY(f->Edit1->text().contains(u'4'));

    // Every key-down writes the up-down's position back into the field.
    f->UpDown1->SetPosition(5);
    f->Edit1->setText("junk");
    QTest::keyClick(f->Edit1, Qt::Key_Shift);
    QCOMPARE(f->Edit1->text(), QStringLiteral("5"));
}

QTEST_MAIN(TrainerKeyboardTest)
// Time recognition on: Shift does not mark, the first letter does (under a
// Russian layout too), a later key changes nothing; Space stops and the line shows both parts; Accept records the
// split and the tile takes in the total. Then the picture: its first click
// marks, the second gives up.
void TrainerKeyboardTest::recognitionMarkedByTheFirstOtherKeyOrClick()
{
    Harness h;
    h.WriteSettings(Settings("ru", "OLL", false, "Split=1\n"));
    TForm1* f = h.Start();
    QVERIFY(f->CheckBoxSplit->isChecked());
    EnableOnly(f, {12});
    Click(f, Qt::Key_Space);
    RunCountdown(h);
    h.Tick(500);
    h.clock->Advance(380);
    Press(f, Qt::Key_Shift);
    QVERIFY(f->SplitLabel->isHidden());
    RussianKey(f, 0x424, 38, QStringLiteral("ф"));
    QCOMPARE(f->SplitLabel->text(), QStringLiteral("0,880 + …"));
    QVERIFY(f->SplitLabel->isVisible());
    h.Tick(600);
    Click(f, Qt::Key_J);   // a later key: the first mark stays
    h.Tick(830);
    Press(f, Qt::Key_Space);
    QCOMPARE(f->SplitLabel->text(), QStringLiteral("0,880 + 1,430"));
    Release(f, Qt::Key_Space);
    Click(f, Qt::Key_Space);   // Accept
    QCOMPARE(Record(f, 12), (QStringList{"2,310", "2,310", "1"}));
    QVERIFY(f->SplitLabel->isHidden());
    const HistoryContent history = ReadHistory(h);
    QCOMPARE(history.attempts.size(), size_t(1));
    QCOMPARE(history.attempts[0].mode, AttemptMode::Split);
    QCOMPARE(history.attempts[0].milliseconds, 2310);
    QCOMPARE(history.splits, (std::vector<AttemptSplit>{{0, 880}}));

    // The picture: the first click marks, the second gives up (Easy: the hint).
    Click(f, Qt::Key_Space);
    RunCountdown(h);
    h.Tick(700);
    f->Image1Click();
    QCOMPARE(f->SplitLabel->text(), QStringLiteral("0,700 + …"));
    QVERIFY(f->Timer1->isActive());
    f->Image1Click();
    QVERIFY(!f->Timer1->isActive() && f->res->isVisible());   // the hint
    QVERIFY(f->SplitLabel->isHidden());
}

// Tab is a key a cuber may well mark with: it must not hand the focus on, or
// the next Space would press another button and leave the stopwatch running.
void TrainerKeyboardTest::tabMarksWithoutTakingSpaceFromStop()
{
    Harness h;
    h.WriteSettings(Settings("ru", "OLL", false, "Split=1\n"));
    TForm1* f = h.Start();
    EnableOnly(f, {12});
    Click(f, Qt::Key_Space);
    RunCountdown(h);
    h.Tick(600);
    Click(f, Qt::Key_Tab);
    QCOMPARE(f->SplitLabel->text(), QStringLiteral("0,600 + …"));
    QCOMPARE(f->focusWidget(), static_cast<QWidget*>(f->BitBtn1));
    Click(f, Qt::Key_Space);
    QVERIFY(!f->Timer1->isActive());
    QVERIFY(f->BitBtn2->isEnabled());   // Accept waits, nothing else was pressed
}

// The option off (missing from Settings.ini): letters and clicks mark
// nothing, the line holds a plain time.
void TrainerKeyboardTest::recognitionUntimedWithTheOptionOff()
{
    Harness h;
    TForm1* f = h.Start();
    QVERIFY(!f->CheckBoxSplit->isChecked());
    EnableOnly(f, {12});
    Click(f, Qt::Key_Space);
    RunCountdown(h);
    h.Tick(900);
    Click(f, Qt::Key_F);
    QVERIFY(f->SplitLabel->isHidden());
    Press(f, Qt::Key_Space);
    Release(f, Qt::Key_Space);
    QVERIFY(f->SplitLabel->isHidden());
    Click(f, Qt::Key_Space);
    const HistoryContent history = ReadHistory(h);
    QCOMPARE(history.attempts.size(), size_t(1));
    QCOMPARE(history.attempts[0].mode, AttemptMode::Time);
    QVERIFY(history.splits.empty());
    QVERIFY(h.ReadSettings().contains("Split=0") || !h.ReadSettings().contains("Split=1"));
}

#include "test_trainer_keyboard.moc"
