// The exam: every enabled case once, in random order, with the normal
// countdown and stopwatch. Its times live only in the exam labels on the
// tiles; nothing of it reaches the records or the settings file.

#include "core/language.h"
#include "board/casename.h"
#include "trainer/cycle_internal.h"
#include "trainer/drawchoice.h"
#include "trainer/namedrill.h"
#include "window/tform1.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <algorithm>

namespace {

const QRect kExamLabelBounds(80, 37, 65, 24);
constexpr int kCompletedTag = 1;

const QString kCrLf = QStringLiteral("\r\n");

bool ConfirmExamStart(TForm1& form)
{
    if (!form.state.showExamNotice)
        return true;
    const bool russian = form.state.russianInterface;
    const QString caption = Tr(russian, QStringLiteral("Начало экзамена"), QStringLiteral("Start exam"));
    const QString text = Tr(russian,
        QStringLiteral("В режиме «Экзамен» включенные алгоритмы будут предложены ") + kCrLf
            + QStringLiteral("в случайном порядке, каждый алгоритм по одному разу. ") + kCrLf
            + QStringLiteral("Начать экзамен?"),
        QStringLiteral("The exam consists of enabled algorithms given in random order. ") + kCrLf
            + QStringLiteral("Each algorithm is shown once.") + kCrLf
            + QStringLiteral("Do you want to start the exam?"));
    return form.env.messages->Ask(caption, text);
}

bool ConfirmEarlyFinish(TForm1& form)
{
    const bool russian = form.state.russianInterface;
    const QString caption = Tr(russian, QStringLiteral("Завершение экзамена"), QStringLiteral("Finish exam"));
    const QString text = Tr(russian,
        QStringLiteral("Вы выполнили не все алгоритмы. Выйти из режима экзамена?") + kCrLf
            + QStringLiteral("Результаты не будут сохранены."),
        QStringLiteral("You have not completed all the algorithms. Do you really want to finish the exam?") + kCrLf
            + QStringLiteral("Your results will not be saved."));
    return form.env.messages->Ask(caption, text);
}

QString ResultText(const TForm1& form, int done, int total)
{
    return Tr(form.state.russianInterface,
              QStringLiteral("Экзамен завершен. Выполнено алгоритмов: %1 из %2.").arg(done).arg(total) + kCrLf
                  + QStringLiteral("Если хотите сохранить результаты на память, сделайте снимок экрана."),
              QStringLiteral("The exam is over. You have completed: %1 out of %2.").arg(done).arg(total) + kCrLf
                  + QStringLiteral("If you want to save your results, make a screenshot."));
}

void SetExamButtonCaption(TForm1& form)
{
    const bool russian = form.state.russianInterface;
    form.BitBtn7->setText(form.state.examActive
                              ? Tr(russian, QStringLiteral("Закончить экзамен"), QStringLiteral("Finish exam"))
                              : Tr(russian, QStringLiteral("Экзамен"), QStringLiteral("Exam")));
}

void SetStatisticsLabelsVisible(CaseTile* tile, bool visible)
{
    for (QLabel* label : {tile->avoll, tile->bvoll, tile->nvoll, tile->acoll, tile->bcoll, tile->ncoll})
        label->setVisible(visible);
}

void CreateExamLabel(TForm1& form, int caseNumber)
{
    CaseTile* tile = form.Tile(caseNumber);
    auto* label = new QLabel(tile);
    label->setObjectName(QStringLiteral("exl%1").arg(caseNumber));
    label->setGeometry(kExamLabelBounds);
    label->setAlignment(Qt::AlignCenter);
    cycle::SetFontPixelSize(label, cycle::kExamLabelPixelSize);
    label->show();
}

// Every tile gets its label, whatever the active set.
void ReplaceStatisticsByExamLabels(TForm1& form)
{
    for (int n = 1; n <= kMaxCases; ++n) {
        delete ExamLabel(form, n);
        CreateExamLabel(form, n);
        SetStatisticsLabelsVisible(form.Tile(n), false);
    }
}

void RestoreStatisticsLabels(TForm1& form)
{
    for (int n = 1; n <= kMaxCases; ++n) {
        delete ExamLabel(form, n);
        SetStatisticsLabelsVisible(form.Tile(n), true);
    }
}

int CountExamDashes(const TForm1& form)
{
    int dashes = 0;
    for (int n = 1; n <= kMaxCases; ++n) {
        if (const QLabel* label = ExamLabel(form, n); label && label->text() == cycle::kExamDash)
            ++dashes;
    }
    return dashes;
}

void StartExam(TForm1& form)
{
    if (!ConfirmExamStart(form))
        return;
    form.BitBtn3Click();
    LeaveNamingDrill(form);   // the exam times solves
    form.state.examActive = true;
    form.state.examCompleted = false;
    RefreshBoard(form);
    SetExamButtonCaption(form);
    ReplaceStatisticsByExamLabels(form);
    SetBulkButtonsEnabled(form, false);
    SetModeControlsEnabled(form, false);
    if (form.BitBtn1->isEnabled())
        form.BitBtn1->setFocus();
    form.exdone->clear();
    form.exdone->addItem(QStringLiteral("0"));
    form.state.examDrawn = 0;
    DrawInAdvance(form);
}

void FinishExam(TForm1& form, bool askFirst)
{
    if (askFirst && !ConfirmEarlyFinish(form))
        return;
    form.state.examActive = false;
    form.state.examCompleted = false;
    form.state.examDrawn = 0;
    SetTag(form.BitBtn7, 0);
    SetExamButtonCaption(form);
    RestoreStatisticsLabels(form);
    // Now outside the exam: a countdown is cancelled, a stopwatch stopped.
    if (form.state.attemptActive)
        form.BitBtn1Click();
    form.BitBtn3Click();
    SetCountdownControlsEnabled(form, true);
    form.BitBtn1->setEnabled(form.state.enabledCount > 0);
    SetBulkButtonsEnabled(form, true);
    SetModeControlsEnabled(form, true);
}

// Every enabled case has been drawn although the exam is not over: end the
// attempt without marking any case and report what was done.
void EndExamWithoutDraw(TForm1& form)
{
    form.state.examDrawn = form.exdone->count() - 1;
    cycle::HaltAttempt(form);
    cycle::BackToIdle(form);
    cycle::ShowExamResult(form);
}

} // namespace

namespace cycle {

void ShowExamResult(TForm1& form)
{
    form.BitBtn1->setEnabled(false);
    SetCountdownControlsEnabled(form, false);
    form.state.examCompleted = true;
    SetTag(form.BitBtn7, kCompletedTag);
    const int total = static_cast<int>(form.state.enabledCases.size());
    const int done = std::max(0, total - CountExamDashes(form));
    form.env.messages->Inform(ResultText(form, done, total) + ExamCaseNames(form));
    form.BitBtn7->setFocus();
}

} // namespace cycle

bool ExamDraw(TForm1& form)
{
    ++form.state.examDrawn;
    const std::optional<int> drawn = ScrambleMode(form) ? cycle::TakeCaseDrawnInAdvance(form)
                                                        : form.session.ChooseExamCase(cycle::ExamDrawnCases(form));
    if (!drawn) {
        EndExamWithoutDraw(form);
        return false;
    }
    form.state.currentCase = *drawn;
    form.exdone->addItem(QString::number(form.state.currentCase));
    return true;
}

void TForm1::BitBtn7Click()
{
    if (!state.examActive)
        StartExam(*this);
    else if (state.examCompleted)
        FinishExam(*this, false);
    // The last case still running is not a finished exam.
    else if (state.examDrawn == state.enabledCases.size() && !state.attemptActive)
        cycle::ShowExamResult(*this);
    else
        FinishExam(*this, true);
}
