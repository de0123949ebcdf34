// The Accept and Discard buttons: the session keeps or drops the time, the
// window returns to Idle. Discard is also the last step of every other ending.

#include "trainer/cycle_internal.h"
#include "window/tform1.h"

#include <QLabel>
#include <QPushButton>

namespace {

// The picture and stopwatch go away; Start is the next button again.
void ClearAttemptDisplay(TForm1& form)
{
    form.state.attemptActive = false;
    form.res->hide();
    HideRecognitionSplit(form);
    form.Label1->setText(QStringLiteral("0"));
    form.RzPanel1->hide();
    form.Image1->ClearPicture();
    form.BitBtn2->setEnabled(false);
    form.BitBtn3->setEnabled(false);
    form.BitBtn1->setEnabled(true);
    SetCountdownControlsEnabled(form, true);
}

void FocusStart(TForm1& form)
{
    if (form.BitBtn1->isEnabled())
        form.BitBtn1->setFocus();
}

} // namespace

namespace cycle {

void BackToIdle(TForm1& form)
{
    ClearAttemptDisplay(form);
    // The exam holds the mode controls until it ends.
    if (!form.state.examActive)
        SetModeControlsEnabled(form, true);
    RefreshBoard(form);
    FocusStart(form);
}

} // namespace cycle

namespace {

// The last case of the exam dealt with brings up its result.
void CheckExamComplete(TForm1& form)
{
    if (form.state.examActive && !form.state.examCompleted
        && form.state.enabledCases.size() == form.state.examDrawn)
        form.BitBtn7Click();
}

void MarkExamCase(TForm1& form, const QString& text)
{
    if (QLabel* label = ExamLabel(form, form.state.currentCase))
        label->setText(text);
}

// The rest of Discard once the session put the case back.
void FinishDiscard(TForm1& form)
{
    if (form.state.examActive)
        MarkExamCase(form, cycle::kExamDash);
    cycle::BackToIdle(form);
    CheckExamComplete(form);
}

void ReportHistoryFailure(TForm1& form, const QString& failure)
{
    if (!failure.isEmpty())
        form.env.messages->ShowError(failure);
}

} // namespace

// What Accept does lives in TrainingSession::Accept; the window marks the
// exam's tile, goes back to Idle and reports a refused write.
void TForm1::BitBtn2Click()
{
    const TrainingSession::AcceptOutcome outcome = session.Accept();
    using Kind = TrainingSession::AcceptOutcome::Kind;
    switch (outcome.kind) {
    case Kind::NoTime:
        FinishDiscard(*this);
        return;
    case Kind::Refused:
        FinishDiscard(*this);
        env.messages->ShowError(outcome.refusal);
        return;
    case Kind::Exam:
        MarkExamCase(*this, state.lastTimeText);
        cycle::BackToIdle(*this);
        ReportHistoryFailure(*this, outcome.historyFailure);
        CheckExamComplete(*this);
        return;
    case Kind::Recorded:
        cycle::BackToIdle(*this);
        ReportHistoryFailure(*this, outcome.historyFailure);
        return;
    }
}

void TForm1::BitBtn3Click()
{
    // A case of a round that was not kept comes again later in the round.
    session.Discard();
    FinishDiscard(*this);
}
