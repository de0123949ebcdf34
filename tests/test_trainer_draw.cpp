// The draw choice through the real window: the weak rule over a History.csv,
// rounds with accepted and discarded attempts, the drop-down and its key.
#include "test_trainer_support.h"

#include "window/progresshub.h"

#include <QComboBox>
#include <QWheelEvent>
#include <map>
#include <set>

using namespace trainertest;

namespace {

// Six enabled OLL cases, 1 to 6, and the rule.
QByteArray SixCases(const char* rule)
{
    QByteArray extra = QByteArray("Draw=") + rule + "\n";
    for (int n = 7; n <= kOllCases; ++n)
        extra += "al" + QByteArray::number(n) + "=1\n";
    return Settings("en", "OLL", false, extra);
}

// Five times of each of cases 1 to 6; case 4 takes 5 s, the others 1 s.
QByteArray HistoryWithOneSlowCase()
{
    QByteArray text = "time,set,case,level,recognition,seconds,exam\r\n";
    for (int i = 0; i < 5; ++i)
        for (int n = 1; n <= 6; ++n)
            text += "2026-12-08T10:00:00Z,OLL," + QByteArray::number(n) + (i % 2 ? ",Hard,top," : ",Easy,top,")
                    + (n == 4 ? "5.000" : "1.000") + ",0\r\n";
    return text;
}

int DrawThenDiscard(Harness& h)
{
    h.StartAttempt();
    const int drawn = h.form->state.currentCase;
    h.form->BitBtn1Click();
    h.form->BitBtn3Click();
    return drawn;
}

int DrawThenAccept(Harness& h)
{
    h.StartAttempt();
    h.Tick(1500);
    const int drawn = h.form->state.currentCase;
    h.form->BitBtn1Click();
    h.form->BitBtn2Click();
    return drawn;
}

QString RoundNote(TForm1* form)
{
    return form->StatusBar1->PanelNote(3);
}

} // namespace

class DrawWindowTest : public QObject {
    Q_OBJECT
private slots:
    void weakDrawPractisesTheSlowCase()
    {
        Harness h;
        h.WriteSettings(SixCases("weak"));
        WriteBytes(h.Path(QStringLiteral("History.csv")), HistoryWithOneSlowCase());
        TForm1* f = h.Start();
        QCOMPARE(f->ComboBox1->currentText(), QStringLiteral("Weak cases more often"));
        QVERIFY(!f->progress->Store().IsLoaded());   // not read at start-up
        DrawThenDiscard(h);   // the reading begins with the first countdown
        QTRY_VERIFY(f->progress->Store().IsLoaded());
        std::map<int, int> drawn;
        for (int i = 0; i < 270; ++i)
            ++drawn[DrawThenDiscard(h)];
        // Weights 1, 1, 1, 4, 1, 1: the slow case about 120 times, each other about 30.
        QCOMPARE(drawn.size(), size_t(6));
        for (int n : {1, 2, 3, 5, 6})
            QVERIFY2(drawn[4] > 2 * drawn[n], qPrintable(QStringLiteral("%1 against %2").arg(drawn[4]).arg(drawn[n])));
        QVERIFY(RoundNote(f).isEmpty());
    }

    void roundsShowEveryCaseOnceAndTakeBackDiscards()
    {
        Harness h;
        h.WriteSettings(Settings("ru", "PLL", false, "Draw=round\n"));
        TForm1* f = h.Start();
        EnableOnly(f, {2, 5, 9, 14, 21});
        QCOMPARE(RoundNote(f), QStringLiteral("Круг 1: 0 из 5"));
        std::vector<int> shown;
        for (int i = 0; i < 10; ++i)
            shown.push_back(DrawThenAccept(h));
        QCOMPARE(std::set<int>(shown.begin(), shown.begin() + 5), (std::set<int>{2, 5, 9, 14, 21}));
        QCOMPARE(std::set<int>(shown.begin() + 5, shown.end()), (std::set<int>{2, 5, 9, 14, 21}));
        QCOMPARE(RoundNote(f), QStringLiteral("Круг 2: 5 из 5"));

        // Round 3: a discarded case comes again before the round ends, and a
        // case disabled in the middle leaves it.
        const int first = DrawThenAccept(h);
        const int discarded = DrawThenDiscard(h);
        QCOMPARE(RoundNote(f), QStringLiteral("Круг 3: 1 из 5"));
        const int leaving = first == 21 ? 14 : 21;
        ToggleCaseOnBoard(*f, leaving);
        std::set<int> rest;
        for (int i = 0; i < 3; ++i)
            rest.insert(DrawThenAccept(h));
        std::set<int> expected = {2, 5, 9, 14, 21};
        expected.erase(first);
        expected.erase(leaving);
        QCOMPARE(rest, expected);
        QVERIFY(leaving == discarded || rest.count(discarded));
        QCOMPARE(RoundNote(f), QStringLiteral("Круг 3: 4 из 4"));

        // An exam keeps its own rule and hides the round.
        f->BitBtn7Click();
        QVERIFY(RoundNote(f).isEmpty());
        QVERIFY(!f->ComboBox1->isEnabled());
    }

    // Under setup scrambles the case is drawn in Idle: the round takes it then,
    // and a redraw (the case disabled under its scramble) gives it back.
    void roundsHoldUnderSetupScrambles()
    {
        Harness h;
        h.WriteSettings(Settings("en", "PLL", false, "Draw=round\nScramble=1\n"));
        TForm1* f = h.Start();
        EnableOnly(f, {2, 5, 9, 14, 21});
        QCOMPARE(RoundNote(f), QStringLiteral("Round 1: 1 of 5"));
        const int waiting = f->state.nextCase;
        ToggleCaseOnBoard(*f, waiting);
        ToggleCaseOnBoard(*f, waiting);
        std::vector<int> shown;
        for (int i = 0; i < 10; ++i)
            shown.push_back(DrawThenAccept(h));
        QCOMPARE(std::set<int>(shown.begin(), shown.begin() + 5), (std::set<int>{2, 5, 9, 14, 21}));
        QCOMPARE(std::set<int>(shown.begin() + 5, shown.end()), (std::set<int>{2, 5, 9, 14, 21}));
    }

    // Rounds chosen while a case waits under its setup scramble: that case
    // opens round 1 and does not come twice in it.
    void waitingCaseOpensTheRoundChosenOverIt()
    {
        Harness h;
        h.WriteSettings(Settings("en", "PLL", false, "Scramble=1\n"));
        TForm1* f = h.Start();
        EnableOnly(f, {2, 5, 14, 21});
        const int waiting = f->state.nextCase;
        f->ComboBox1->setCurrentIndex(2);
        emit f->ComboBox1->activated(2);
        QCOMPARE(f->state.nextCase, waiting);
        QCOMPARE(RoundNote(f), QStringLiteral("Round 1: 1 of 4"));
        std::vector<int> shown;
        for (int i = 0; i < 4; ++i)
            shown.push_back(DrawThenAccept(h));
        QCOMPARE(shown.front(), waiting);
        QCOMPARE(std::set<int>(shown.begin(), shown.end()), (std::set<int>{2, 5, 14, 21}));
    }

    // The round's count: a given-up case is not done, and ticking or
    // clearing Setup scramble (which draws in Idle) is counted at once.
    void roundCountFollowsGiveUpAndSetupScramble()
    {
        Harness h;
        h.WriteSettings(Settings("en", "OLL", false, "Draw=round\n"));
        TForm1* f = h.Start();
        EnableOnly(f, {1, 2, 3});
        h.StartAttempt();
        QCOMPARE(RoundNote(f), QStringLiteral("Round 1: 1 of 3"));
        f->Image1Click();
        QVERIFY(f->res->isVisible());
        QCOMPARE(RoundNote(f), QStringLiteral("Round 1: 0 of 3"));
        QVERIFY(IsIdle(f));
        f->CheckBox2->click();
        QCOMPARE(RoundNote(f), QStringLiteral("Round 1: 1 of 3"));
        f->CheckBox2->click();
        QCOMPARE(RoundNote(f), QStringLiteral("Round 1: 0 of 3"));
    }

    void choiceIsKeptAndOnlyChangedInIdle()
    {
        Harness h;
        h.WriteSettings(Settings("en", "OLL", false, "Draw=sometimes\n"));
        TForm1* f = h.Start();
        QCOMPARE(f->ComboBox1->currentIndex(), 0);   // an unknown value is the uniform draw
        QVERIFY(f->ComboBox1->isEnabled());
        h.StartAttempt();
        QVERIFY(!f->ComboBox1->isEnabled());
        f->BitBtn1Click();
        f->BitBtn3Click();
        QVERIFY(f->ComboBox1->isEnabled());
        // A wheel turned over the unfocused box leaves the rule alone.
        QWheelEvent wheel(QPointF(5, 5), f->ComboBox1->mapToGlobal(QPointF(5, 5)), {}, QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(f->ComboBox1, &wheel);
        QCOMPARE(f->ComboBox1->currentIndex(), 0);
        f->ComboBox1->setCurrentIndex(2);
        emit f->ComboBox1->activated(2);
        QCOMPARE(RoundNote(f), QStringLiteral("Round 1: 0 of 57"));
        f = h.Restart();
        QVERIFY(h.ReadSettings().contains("Draw=round\r\n"));
        QCOMPARE(f->ComboBox1->currentText(), QStringLiteral("Each case once"));
        f->ComboBox1->setCurrentIndex(0);
        emit f->ComboBox1->activated(0);
        h.Stop();
        QVERIFY(h.ReadSettings().contains("Draw=random\r\n"));

        // A file that never had the key does not get it.
        Harness fresh;
        fresh.WriteSettings(Settings("en", "OLL", false));
        fresh.Start();
        fresh.Stop();
        QVERIFY(!fresh.ReadSettings().contains("Draw"));
    }
};

QTEST_MAIN(DrawWindowTest)
#include "test_trainer_draw.moc"
