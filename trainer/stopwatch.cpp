// The stopwatch, stopping an attempt with the comparison against the case's
// best, and giving up on a case by clicking its picture.

#include "core/language.h"
#include "board/casename.h"
#include "trainer/cycle_internal.h"
#include "trainer/namedrill.h"
#include "core/timetext.h"
#include "window/tform1.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace {

bool AnswersShown(const TForm1& form)
{
    return form.state.level == Level::Hard && form.state.currentSet == CaseSet::PLL;
}

QString BestComparisonText(const TForm1& form, double best, double time, const QString& bestText)
{
    if (best != 0 && time < best)
        return Tr(form.state.russianInterface, QStringLiteral("Рекорд! (-"), QStringLiteral("New best! (-"))
               + MakeTimeText(best - time) + QStringLiteral(")");
    return Tr(form.state.russianInterface, QStringLiteral("Лучший результат: "), QStringLiteral("Current best: "))
           + bestText;
}

// The result line under the stopwatch: a new best in red, else the best in
// black; nothing for a case without a best (or whose best does not read).
void ShowBestComparison(TForm1& form)
{
    const std::optional<qint64> timeMs = form.session.TimeMs();
    if (!timeMs || form.state.currentCase < 1)
        return;
    const double time = static_cast<double>(*timeMs < 0 ? 0 : *timeMs) / 1000.0;
    const CaseRecord& record = form.session.Record(form.state.currentCase);
    const double best = record.Best().value_or(0);
    const bool improved = best != 0 && time < best;
    cycle::StyleResultLine(form.res, cycle::kResultPixelSize, improved ? QColor(Qt::red) : QColor(Qt::black),
                           cycle::kResultTop);
    form.res->setText(BestComparisonText(form, best, time, record.BestText()));
    SetTag(form.res, cycle::kResultMessageTag);
    form.res->setVisible(best != 0);
}

// The case's name and algorithm in place of the stopwatch; the popup of the
// line can edit the algorithm.
void ShowGivenUpHint(TForm1& form)
{
    cycle::StyleResultLine(form.res, cycle::kHintPixelSize, Qt::black, cycle::kHintTop);
    form.res->setText(form.hints[form.state.currentCase - 1]);
    form.RzPanel1->hide();
    SetTag(form.res, form.state.currentCase);
    form.res->show();
    ShowCaseNameAboveHint(form, form.state.currentCase);
    form.Image1->setEnabled(false);
}

// Easy level: the case's algorithm replaces the stopwatch.
void GiveUpWithHint(TForm1& form)
{
    form.state.answerShown = true;
    ShowGivenUpHint(form);
    form.BitBtn1Click();
    form.state.attemptActive = false;
}

// PLL Hard: the answer picture replaces the question.
void GiveUpWithAnswer(TForm1& form)
{
    if (!LoadAnswerPicture(form)) {
        AbortAttempt(form);
        cycle::ReportAnswerProblem(form);
        return;
    }
    form.Image1->setEnabled(false);
    form.RzPanel1->hide();
    form.state.answerShown = true;
    form.BitBtn1Click();
    form.state.attemptActive = false;
}

// With a setup scramble the cube in the hands was the question: the answer
// is shown as at Stop, the case's Easy picture, with its name and algorithm,
// and stays until Discard (Space, Enter or Esc) brings the next scramble. No
// time can be kept: Accept stays disabled.
void GiveUpUnderScramble(TForm1& form)
{
    form.Timer1->stop();
    form.session.ForgetTime();
    form.Label1->setText(QStringLiteral("0"));
    form.Image1->SetPicture(form.scrambleAnswer);
    ShowGivenUpHint(form);
    form.BitBtn3->setEnabled(true);
    form.BitBtn3->setFocus();
    form.BitBtn1->setEnabled(false);
    cycle::SetStartCaption(form);
}

// What the user sees is what is recorded: the text and the time Stop keeps.
void ShowElapsed(TForm1& form, qint64 elapsedMs)
{
    form.session.ShowTime(elapsedMs);
    form.Label1->setText(form.state.lastTimeText);
}

// Too long to be a real solve: stop and throw the attempt away.
void DiscardOverlongAttempt(TForm1& form)
{
    form.Timer1->stop();
    form.BitBtn1Click();
    form.BitBtn3Click();
    form.Label1->setText(QString());
    form.session.ForgetTime();
}

} // namespace

namespace cycle {

void StopAtPress(TForm1& form, qint64 pressUs)
{
    const TrainingSession::StopOutcome stop = form.session.Stop(pressUs);
    if (stop == TrainingSession::StopOutcome::Overlong) {
        // Past the limit the next tick would have thrown it away.
        DiscardOverlongAttempt(form);
        return;
    }
    if (stop == TrainingSession::StopOutcome::TimeKept)
        form.Label1->setText(form.state.lastTimeText);
    StopAttempt(form);
}

void StopAttempt(TForm1& form)
{
    // With a setup scramble the question was the cube; the answer is the
    // case's Easy picture, at either level.
    if (ScrambleMode(form))
        form.Image1->SetPicture(form.scrambleAnswer);
    else if (AnswersShown(form) && !LoadAnswerPicture(form))
        ReportAnswerProblem(form);
    form.Image1->setEnabled(false);
    form.res->hide();
    form.BitBtn2->setEnabled(true);
    form.BitBtn3->setEnabled(true);
    form.BitBtn1->setEnabled(false);
    // The next Space or Enter accepts the time.
    form.BitBtn2->setFocus();
    SetStartCaption(form);
    if (!form.state.examActive)
        ShowBestComparison(form);
    ShowRecognitionSplit(form);
    if (form.state.currentCase >= 1)
        ShowCaseNameAfterStop(form, form.state.currentCase);
}

void EndAfterAnswer(TForm1& form)
{
    SetStartCaption(form);
    form.Timer2->stop();
    form.Label1->setText(QStringLiteral("0"));
    SetCountdownControlsEnabled(form, true);
    EnableCycleControls(form, true);
    form.state.answerShown = false;
}

} // namespace cycle

void TForm1::Timer1Timer()
{
    if (!Timer1->isActive())
        return;
    const qint64 elapsed = (env.clock->MonotonicUs() - state.startTimeUs) / 1000;
    if (elapsed <= TrainingSession::kLongestAttemptMs)
        ShowElapsed(*this, elapsed);
    else if (!GiveUpNamingQuestion(*this))   // a case not named within the limit is given up
        DiscardOverlongAttempt(*this);
}

void TForm1::Image1Click()
{
    if (GiveUpNamingQuestion(*this))
        return;
    // The picture is clickable only while the stopwatch runs.
    if (!Timer1->isActive() || state.currentCase < 1 || MarkRecognition(*this) || state.examActive)
        return;
    if (ScrambleMode(*this)) {
        // At either level.
        GiveUpUnderScramble(*this);
        session.GiveUp();
    } else if (state.level == Level::Easy) {
        GiveUpWithHint(*this);
        session.GiveUp();
    } else if (state.currentSet == CaseSet::PLL) {
        GiveUpWithAnswer(*this);
        session.GiveUp();
    } else {
        return;   // OLL Hard has no answer to give
    }
    // The stop showed the split; a give-up has no time to split.
    HideRecognitionSplit(*this);
}
