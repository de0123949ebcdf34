// The exam through the real window: its questions, labels, draw without
// repetition, result, finishing early, and that nothing of it is recorded.

#include "core/caseidentity.h"
#include "test_trainer_support.h"

#include <QSet>

using namespace trainertest;

namespace {

const QString kDash = QStringLiteral("\u2014");

const QString kStartQuestionEn = QStringLiteral(
    "Start exam|The exam consists of enabled algorithms given in random order. \r\n"
    "Each algorithm is shown once.\r\nDo you want to start the exam?");
const QString kFinishQuestionEn = QStringLiteral(
    "Finish exam|You have not completed all the algorithms. Do you really want to finish the exam?\r\n"
    "Your results will not be saved.");

QString ResultEn(int done, int total)
{
    return QStringLiteral("The exam is over. You have completed: %1 out of %2.\r\n"
                          "If you want to save your results, make a screenshot.")
        .arg(done)
        .arg(total);
}

// Runs one exam attempt to Stop and returns the case drawn.
int StopOneCase(Harness& h, qint64 ms)
{
    h.StartAttempt();
    h.Tick(ms);
    h.form->BitBtn1Click();
    return h.form->state.currentCase;
}

bool StatisticsShown(TForm1* form, int n)
{
    CaseTile* tile = form->Tile(n);
    return !tile->avoll->isHidden() && !tile->bvoll->isHidden() && !tile->nvoll->isHidden()
           && !tile->acoll->isHidden() && !tile->bcoll->isHidden() && !tile->ncoll->isHidden();
}

} // namespace

class TrainerExamTest : public QObject {
    Q_OBJECT

private slots:
    void everyEnabledCaseOnceThenResult();
    void finishingEarlyAsksFirst();
    void noticeOffStartsWithoutQuestion();
    void russianTexts();
    void failuresDuringExamMarkTheCase();
    void drawEndsWhenNoCaseIsLeft();
    void lastCaseRunningIsNotAFinishedExam();
};

void TrainerExamTest::everyEnabledCaseOnceThenResult()
{
    Harness h;
    TForm1* f = h.Start();
    EnableOnly(f, {4, 9, 15});
    SetRecord(f, 4, "9,000", "9,000", "1");

    f->BitBtn7Click();
    QCOMPARE(h.messages->asked, QStringList{kStartQuestionEn});
    QVERIFY(f->state.examActive);
    QCOMPARE(f->BitBtn7->text(), QStringLiteral("Finish exam"));
    QVERIFY(f->BitBtn7->isEnabled());
    QVERIFY(!f->BitBtn4->isEnabled() && !f->BitBtn5->isEnabled() && !f->BitBtn6->isEnabled());
    for (int n = 1; n <= 57; ++n) {
        QLabel* label = ExamLabel(*f, n);
        QVERIFY(label);
        QCOMPARE(label->parent(), f->Tile(n));
        QVERIFY(label->text().isEmpty());
        QVERIFY(f->Tile(n)->avoll->isHidden() && f->Tile(n)->ncoll->isHidden());
    }
    QCOMPARE(ExamLabel(*f, 1)->geometry(), QRect(80, 37, 65, 24));
    QCOMPARE(ExamLabel(*f, 1)->alignment(), Qt::AlignCenter);
    QCOMPARE(ExamLabel(*f, 1)->font().pixelSize(), 21);

    QSet<int> drawn;
    drawn << StopOneCase(h, 1000);
    QVERIFY(f->res->isHidden());   // never a best-time line in an exam
    f->BitBtn2Click();
    const int discarded = StopOneCase(h, 2000);
    drawn << discarded;
    QVERIFY(f->res->isHidden());
    f->BitBtn3Click();
    QVERIFY(h.messages->shown.isEmpty());
    const int slowest = StopOneCase(h, 3000);
    drawn << slowest;
    f->BitBtn2Click();

    QCOMPARE(drawn, (QSet<int>{4, 9, 15}));
    // The names follow the result's own text.
    QCOMPARE(h.messages->shown, QStringList{ResultEn(2, 3) + "\r\n\r\nSlowest: " + CaseTitle(CaseSet::OLL, slowest)
                                            + " (3,000)\r\nNot completed: " + CaseTitle(CaseSet::OLL, discarded)});
    QVERIFY(f->state.examCompleted);
    QVERIFY(!f->BitBtn1->isEnabled());
    QCOMPARE(f->focusWidget(), f->BitBtn7);
    QStringList labels;
    for (int n : {4, 9, 15})
        labels << ExamLabel(*f, n)->text();
    labels.sort();
    QCOMPARE(labels, (QStringList{"1,000", "3,000", kDash}));
    QCOMPARE(Record(f, 4), (QStringList{"9,000", "9,000", "1"}));
    QCOMPARE(Record(f, 9), (QStringList{"0,000", "0,000", "0"}));

    f->BitBtn7Click();   // after the result: ends without asking
    QCOMPARE(h.messages->asked.size(), 1);
    QVERIFY(!f->state.examActive);
    QCOMPARE(f->BitBtn7->text(), QStringLiteral("Exam"));
    for (int n = 1; n <= 57; ++n) {
        QVERIFY(!ExamLabel(*f, n));
        QVERIFY(StatisticsShown(f, n));
    }
    QVERIFY(IsIdle(f));
    QVERIFY(f->BitBtn1->isEnabled() && f->BitBtn6->isEnabled());
    QCOMPARE(Record(f, 15), (QStringList{"0,000", "0,000", "0"}));

    h.Stop();
    const QByteArray file = h.ReadSettings();
    QVERIFY(file.contains("avg4=9,000"));
    QVERIFY(file.contains("nes15=0"));
    QVERIFY(!file.contains("1,000") && !file.contains("3,000"));
}

void TrainerExamTest::finishingEarlyAsksFirst()
{
    Harness h;
    TForm1* f = h.Start();
    EnableOnly(f, {1, 2, 3});
    f->BitBtn7Click();
    StopOneCase(h, 1500);
    f->BitBtn2Click();
    h.StartAttempt();
    h.Tick(700);

    h.messages->answers = {false};
    f->BitBtn7Click();
    QCOMPARE(h.messages->asked.last(), kFinishQuestionEn);
    QVERIFY(f->state.examActive);
    QVERIFY(f->Timer1->isActive());   // the running attempt is untouched
    QVERIFY(ExamLabel(*f, 1));
    h.Tick(100);
    QCOMPARE(f->Label1->text(), QStringLiteral("0,800"));

    h.messages->answers = {true};
    f->BitBtn7Click();
    QVERIFY(!f->state.examActive);
    QVERIFY(IsIdle(f));
    QVERIFY(!ExamLabel(*f, 2));
    QVERIFY(f->res->isHidden());
    for (int n : {1, 2, 3})
        QCOMPARE(Record(f, n), (QStringList{"0,000", "0,000", "0"}));
    QVERIFY(h.messages->shown.isEmpty());   // no result for an exam left early
}

void TrainerExamTest::noticeOffStartsWithoutQuestion()
{
    Harness h;
    h.WriteSettings(Settings("en", "OLL", false, "Showexamnotice=0\n"));
    TForm1* f = h.Start();
    h.messages->answers = {false};   // would refuse, if asked
    f->BitBtn7Click();
    QVERIFY(h.messages->asked.isEmpty());
    QVERIFY(f->state.examActive);
}

void TrainerExamTest::russianTexts()
{
    Harness h;
    h.WriteSettings(Settings("ru", "OLL", false));
    TForm1* f = h.Start();
    EnableOnly(f, {2});
    f->BitBtn7Click();
    QCOMPARE(h.messages->asked,
             QStringList{"Начало экзамена|В режиме «Экзамен» включенные алгоритмы будут предложены \r\n"
                         "в случайном порядке, каждый алгоритм по одному разу. \r\nНачать экзамен?"});
    QCOMPARE(f->BitBtn7->text(), QStringLiteral("Закончить экзамен"));
    StopOneCase(h, 1200);
    f->BitBtn2Click();
    QCOMPARE(h.messages->shown,
             QStringList{"Экзамен завершен. Выполнено алгоритмов: 1 из 1.\r\n"
                         "Если хотите сохранить результаты на память, сделайте снимок экрана."});
    f->BitBtn7Click();
    QCOMPARE(f->BitBtn7->text(), QStringLiteral("Экзамен"));

    f->BitBtn7Click();
    f->BitBtn7Click();   // nothing done yet: asks
    QCOMPARE(h.messages->asked.last(),
             QStringLiteral("Завершение экзамена|Вы выполнили не все алгоритмы. Выйти из режима экзамена?\r\n"
                            "Результаты не будут сохранены."));
}

void TrainerExamTest::failuresDuringExamMarkTheCase()
{
    Harness h;
    h.WriteSettings(Settings("en", "PLL", false));
    TForm1* f = h.Start();
    EnableOnly(f, {5, 6});
    QVERIFY(QFile::remove(h.Path("Images/PLL/5.gif")));
    QVERIFY(QFile::remove(h.Path("Images/PLL/6.gif")));
    f->BitBtn7Click();

    // Escape during the countdown changes nothing.
    f->BitBtn1Click();
    QTest::keyClick(f->focusWidget() ? f->focusWidget() : f, Qt::Key_Escape);
    QVERIFY(f->Timer2->isActive());
    f->BitBtn1Click();   // a countdown cannot be cancelled in an exam either
    QVERIFY(f->Timer2->isActive());

    // A missing picture ends the attempt, marks the case and counts it.
    h.clock->Advance(2000);
    f->Timer2Timer();
    f->Timer2Timer();
    const int first = f->state.currentCase;
    QVERIFY(IsIdle(f));
    QCOMPARE(ExamLabel(*f, first)->text(), kDash);
    QCOMPARE(h.messages->shown.last(), QStringLiteral("Image \"\\Images\\PLL\\%1.gif\" not found").arg(first));
    // The exam still holds the mode and bulk controls.
    QVERIFY(!f->BitBtn6->isEnabled() && !f->BitBtn4->isEnabled() && !f->BitBtn10->isEnabled());
    QVERIFY(f->BitBtn7->isEnabled());

    // A give-up is not available in an exam; Escape while running marks the case.
    WriteBytes(h.Path("Images/PLL/5.gif"), PictureBytes(5));
    WriteBytes(h.Path("Images/PLL/6.gif"), PictureBytes(6));
    h.StartAttempt();
    h.Tick(900);
    f->Image1Click();
    QVERIFY(f->Timer1->isActive());
    QTest::keyClick(f->focusWidget(), Qt::Key_Escape);
    const int second = f->state.currentCase;
    QVERIFY(second != first);
    QCOMPARE(ExamLabel(*f, second)->text(), kDash);
    QCOMPARE(h.messages->shown.last(), ResultEn(0, 2) + "\r\n\r\nNot completed: "
                                           + CaseTitle(CaseSet::PLL, std::min(first, second)) + ", "
                                           + CaseTitle(CaseSet::PLL, std::max(first, second)));
}

void TrainerExamTest::drawEndsWhenNoCaseIsLeft()
{
    Harness h;
    TForm1* f = h.Start();
    EnableOnly(f, {1, 2});
    f->BitBtn7Click();
    const int drawn = StopOneCase(h, 1000);
    f->BitBtn2Click();
    ToggleCaseOnBoard(*f, drawn == 1 ? 2 : 1);   // the other case leaves the exam's set
    QCOMPARE(f->state.enabledCases, QStringList{QString::number(drawn)});

    h.StartAttempt();   // nothing undrawn is left: the result, not an endless draw
    QVERIFY(IsIdle(f));
    QVERIFY(f->state.examCompleted);
    QCOMPARE(h.messages->shown, QStringList{ResultEn(1, 1)});
    QCOMPARE(ExamLabel(*f, drawn)->text(), QStringLiteral("1,000"));
    f->BitBtn7Click();
    QVERIFY(!f->state.examActive);
}

void TrainerExamTest::lastCaseRunningIsNotAFinishedExam()
{
    Harness h;
    TForm1* f = h.Start();
    EnableOnly(f, {33});
    f->BitBtn7Click();
    h.StartAttempt();
    h.Tick(400);
    h.messages->answers = {false};
    f->BitBtn7Click();
    QCOMPARE(h.messages->asked.last(), kFinishQuestionEn);
    QVERIFY(h.messages->shown.isEmpty());
    QVERIFY(f->Timer1->isActive());
    f->BitBtn1Click();
    f->BitBtn2Click();
    QCOMPARE(h.messages->shown, QStringList{ResultEn(1, 1)});
    QCOMPARE(ExamLabel(*f, 33)->text(), QStringLiteral("0,400"));
}

QTEST_MAIN(TrainerExamTest)
#include "test_trainer_exam.moc"
